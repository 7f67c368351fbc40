// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/host.h"

#include <algorithm>
#include <cstdio>

#include "runtime/form.h"

namespace rt {

Host::Host() = default;
Host::~Host() = default;

void Host::start(Form& startup) {
    startup.host_ = this;
    startup.guarded("Form_Load", [&] { startup.Show(); });
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
