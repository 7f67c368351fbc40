// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The keyboard as the game knows it: Qt's keys as 16-bit key codes, and only the releases of
// keys that really went up.
#pragma once

#include <QObject>
#include <functional>
#include <utility>

#include "runtime/held_keys.h"

class QKeyEvent;
class QTimer;

namespace rt {

// The Qt key as the key code a handler knows (32 is Space); 0 for a key without one.
int keyCodeOf(const QKeyEvent& e);
// Shift, Ctrl and Alt as the bits 1, 2 and 4.
int shiftOf(const QKeyEvent& e);

// Asks the X server to send no release for a held key until it really goes up (detectable
// auto-repeat, a flag each X client sets for itself). True if the server granted it; false
// where it refused, and on any platform other than X11.
bool askForDetectableAutoRepeat();

// Turns the window's key events into the releases the game acts on: one each time a key comes
// up, however long it was held, except for a key that was down when the window lost the
// keyboard.
class KeyReleases : public QObject {
  public:
    // How a real release is told from the release half of a repeat.
    enum class Path {
        // The platform says which releases are real, and each is delivered at once. Wayland:
        // Qt makes the repeats itself and marks both halves of each pair. X11 with detectable
        // auto-repeat: a held key sends presses only, and its one release when it goes up.
        AtOnce,
        // The platform does not say: repeats come as release+press pairs that Qt does not
        // always mark. A release waits a moment, in which the press of a pair cancels it.
        HeldBack,
    };
    using Deliver = std::function<void(int keyCode, int shift)>;

    KeyReleases(Path path, Deliver deliver, QObject* parent = nullptr);
    Path path() const { return path_; }

    void pressed(const QKeyEvent& e);
    void released(const QKeyEvent& e);
    // The window has lost the keyboard, or a box covers the game. A key that is down now was
    // pressed for the game, but Wayland sends no release to a window without the keyboard, and
    // the one that comes once the keyboard is back must not throw: it counts for nothing. A
    // release held back is dropped.
    void forget();

  private:
    using KeyId = std::pair<unsigned, int>;  // the scan code where there is one, else the key
    static KeyId idOf(const QKeyEvent& e);
    void deliverPending();

    struct Pending {
        bool waiting = false;
        KeyId key;
        int keyCode = 0;
        int shift = 0;
        unsigned long timestamp = 0;
    };
    Path path_;
    Deliver deliver_;
    HeldKeys<KeyId> held_;
    Pending pending_;
    QTimer* grace_ = nullptr;
};

}  // namespace rt
