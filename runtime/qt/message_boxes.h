// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The modal message boxes, and the game standing still behind them.
#pragma once

#include <functional>
#include <string>

class QMessageBox;
class QWidget;

namespace rt {

class MessageBoxes {
  public:
    struct Freeze {
        std::function<void()> begin;  // as the first box opens
        std::function<void()> end;    // as the last one closes
    };
    explicit MessageBoxes(Freeze freeze) : freeze_(std::move(freeze)) {}

    // Shows a box over `parent` and waits for the answer: 1 OK, 6 Yes, 7 No (0 if closed
    // without one). Qt's timers keep firing inside the box's event loop, so whatever must stand
    // still is frozen around it.
    int show(QWidget* parent, const std::string& text, int buttons, const std::string& title);

    int open() const { return open_; }
    // Tests watch every box as it opens, e.g. to press one of its buttons.
    void setObserver(std::function<void(QMessageBox&)> observer) {
        observer_ = std::move(observer);
    }

  private:
    Freeze freeze_;
    int open_ = 0;
    std::function<void(QMessageBox&)> observer_;
};

}  // namespace rt
