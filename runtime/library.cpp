// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/library.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/form.h"
#include "runtime/host.h"

namespace rt {

namespace {
Form* g_running = nullptr;
}

HandlerScope::HandlerScope(Form& form) : outer_(g_running) {
    g_running = &form;
}

HandlerScope::~HandlerScope() {
    g_running = outer_;
}

Form& HandlerScope::form(const char* caller) {
    if (g_running == nullptr) {
        std::fprintf(stderr, "drenchwick: %s was called outside any handler\n", caller);
        std::abort();
    }
    return *g_running;
}

int MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    Host& host = HandlerScope::form("MsgBox").host();
    const int answer = host.messageBox(prompt, buttons, title);
    if (host.halted()) {
        throw Halt{};
    }
    return answer;
}

void End() {
    HandlerScope::form("End").host().end();
    throw Halt{};
}

Single Rnd() {
    return HandlerScope::form("Rnd").host().nextRandom();
}

void Randomize() {
    HandlerScope::form("Randomize").host().randomize();
}

PictureRef LoadResPicture(int id, int format) {
    const FormDesign& design = HandlerScope::form("LoadResPicture").design();
    if (format != 0) {
        throw RuntimeError(kErrBadArgument, "LoadResPicture: only bitmaps (format 0) are stored");
    }
    PictureRef p = design.bitmaps != nullptr ? design.bitmaps(id) : nullptr;
    if (!p) {
        throw RuntimeError(kErrNoSuchResource,
                           "Resource with identifier '" + std::to_string(id) + "' not found");
    }
    return p;
}

}  // namespace rt
