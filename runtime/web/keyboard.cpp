// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/web/keyboard.h"

#include <emscripten/html5.h>

#include <cstring>

#include "runtime/codes.h"

namespace rt {

namespace {
constexpr int kKeyF11 = 122;
}

Keyboard::Keyboard(Events events) : events_(std::move(events)) {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_FALSE,
                                    &Keyboard::onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_FALSE, &Keyboard::onKey);
}

Keyboard::~Keyboard() {
    stop();
}

void Keyboard::stop() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, nullptr);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, nullptr);
}

int Keyboard::onKey(int type, const EmscriptenKeyboardEvent* e, void* self) {
    return static_cast<Keyboard*>(self)->key(type, *e);
}

// The answer says whether the browser's own action for the key is kept from it.
int Keyboard::key(int type, const EmscriptenKeyboardEvent& e) {
    const std::string id = e.code[0] != '\0' ? e.code : e.key;
    const int keyCode = static_cast<int>(e.keyCode);
    if (events_.covered()) {
        // A box takes the keys, as it does on the desktop; a key pressed for it is its own.
        if (type == EMSCRIPTEN_EVENT_KEYDOWN) {
            held_.pressedElsewhere(id);
        } else {
            held_.released(id);
        }
        return EM_FALSE;
    }
    if (type == EMSCRIPTEN_EVENT_KEYDOWN) {
        if (!e.repeat) {
            held_.pressed(id);
            if (keyCode == kKeyF11) {
                events_.toggleFullScreen();
                return EM_TRUE;
            }
        }
        // Space would scroll the page and press a focused button; every other key keeps what
        // the browser does with it.
        return keyCode == kKeySpace || keyCode == kKeyF11 ? EM_TRUE : EM_FALSE;
    }
    if (held_.released(id)) {
        const int shift = (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0);
        events_.released(keyCode, shift);
    }
    return keyCode == kKeySpace ? EM_TRUE : EM_FALSE;
}

}  // namespace rt
