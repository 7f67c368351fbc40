// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Which key releases the game acts on, the same on every host: one each time a key comes up,
// except for a key that was down when the window lost the keyboard or a box covered the game.
// Such a key was pressed for something else, and the release that comes once the game has the
// keyboard back must not throw a balloon.
#pragma once

#include <set>

namespace rt {

template <typename Key>
class HeldKeys {
  public:
    void pressed(const Key& key) {
        down_.insert(key);
        stale_.erase(key);  // pressed again: this release counts
    }
    // A press that went to something other than the game, a box say.
    void pressedElsewhere(const Key& key) {
        down_.erase(key);
        stale_.insert(key);
    }
    // True if this release counts. A release whose press was never seen counts too: a
    // compositor may hand a press over inside the event that gives the window the keyboard.
    bool released(const Key& key) {
        down_.erase(key);
        return stale_.erase(key) == 0;
    }
    // The game no longer has the keyboard: every key down now is stale.
    void forget() {
        stale_.insert(down_.begin(), down_.end());
        down_.clear();
    }

  private:
    std::set<Key> down_;
    std::set<Key> stale_;
};

}  // namespace rt
