// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The page's keyboard as the game knows it. A browser sends one keyup each time a key really
// goes up and marks the keydowns of a held key as repeats, so every release can go to the game
// at once.
#pragma once

#include <functional>
#include <string>

#include "runtime/held_keys.h"

struct EmscriptenKeyboardEvent;

namespace rt {

class Keyboard {
  public:
    struct Events {
        std::function<void(int keyCode, int shift)> released;
        std::function<bool()> covered;  // a box covers the game: its keys are the box's
        std::function<void()> toggleFullScreen;
    };
    explicit Keyboard(Events events);
    ~Keyboard();
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    // The game no longer has the keyboard (the page is hidden or lost the focus, a box opened):
    // the release of a key down now counts for nothing.
    void forget() { held_.forget(); }
    // Nothing more is delivered.
    void stop();

  private:
    static int onKey(int type, const EmscriptenKeyboardEvent* e, void* self);
    int key(int type, const EmscriptenKeyboardEvent& e);

    Events events_;
    HeldKeys<std::string> held_;  // by the key's place on the keyboard, whatever it types
};

}  // namespace rt
