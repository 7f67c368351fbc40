// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// A form's window: its title, its icon, its menu bar and the canvas below it.
#pragma once

#include <QMainWindow>
#include <functional>

namespace rt {

class Canvas;
class Form;

class FormWindow : public QMainWindow {
  public:
    struct Events {
        std::function<void(const QKeyEvent&)> keyPressed;
        std::function<void(const QKeyEvent&)> keyReleased;
        std::function<void()> closedByUser;
        std::function<void()> keyboardLost;
    };

    FormWindow(Form& form, Events events);

    // The application style, but with Alt left to the game: install once per application.
    static void installStyle();

    // The menu bar is rebuilt on every load: its items belong to the loaded controls.
    void buildMenus();
    Canvas* canvas() const { return canvas_; }
    // Closes the window for the program's own reasons (End, an unload), not the user's.
    void closeFromProgram();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

  private:
    Form& form_;
    Events events_;
    Canvas* canvas_ = nullptr;
    bool closingFromProgram_ = false;
};

}  // namespace rt
