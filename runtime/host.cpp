#include "runtime/host.h"

#include <algorithm>
#include <cstdio>

#include "runtime/form.h"

namespace rt {
namespace {
Host* g_current = nullptr;
}

Host::Host() {
    g_current = this;
}

Host::~Host() {
    if (g_current == this) {
        g_current = nullptr;
    }
}

Host& host() {
    if (g_current == nullptr) {
        // A programming error of the program itself, not of a handler: there is nobody to
        // report to, so say so plainly and stop.
        std::fputs("drenchwick: no host is running\n", stderr);
        std::abort();
    }
    return *g_current;
}

void Host::registerForm(Form* form) {
    if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) {
        forms_.push_back(form);
    }
}

void Host::unregisterForm(Form* form) {
    std::erase(forms_, form);
}

void Host::unloadAll() {
    // Unloading unregisters, so work on a copy.
    const std::vector<Form*> forms = forms_;
    for (Form* f : forms) {
        f->Unload();
    }
}

void Host::end() {
    if (halted_) {
        return;
    }
    halted_ = true;
    exitStatus_ = 0;
    unloadAll();
    onEnded();
}

void Host::fail(const RuntimeError& error, const std::string& handler) {
    if (halted_) {
        return;
    }
    halted_ = true;
    exitStatus_ = 1;
    report_ = "Drenchwick stopped: run-time error " + std::to_string(error.number()) + " in " +
              handler + ": " + error.what();
    std::fprintf(stderr, "%s\n", report_.c_str());
    std::fflush(stderr);
    unloadAll();
    onFailed(report_);
}

}  // namespace rt
