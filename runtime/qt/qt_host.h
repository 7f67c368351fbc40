// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The host that runs forms in real windows on Qt. It only connects the pieces: the window with
// its menu bar, the canvas, the keyboard, the message boxes and the timer sources.
#pragma once

#include <QObject>
#include <functional>
#include <map>
#include <memory>

#include "runtime/host.h"
#include "runtime/random.h"
#include "runtime/qt/keyboard.h"
#include "runtime/qt/message_boxes.h"

class QMainWindow;
class QWidget;

namespace rt {

class Form;
class FormWindow;
class TimerTicks;

class QtHost : public QObject, public Host {
    Q_OBJECT
  public:
    QtHost();
    ~QtHost() override;

    // Settings Qt reads only when the application object is made: call before making it.
    static void prepareProcess();

    // Shows `startup`, runs the event loop and returns the program's exit status.
    int run(Form& startup);
    // Ends the process with `status` once the program is over, without tearing Qt down: the
    // game keeps nothing to save, and on Wayland the teardown can block for good.
    [[noreturn]] static void leave(int status);

    // The window of a loaded form and the widget its controls are painted on; null if none.
    QMainWindow* windowOf(const Form& form) const;
    QWidget* canvasOf(const Form& form) const;
    // Tests watch every box as it opens, e.g. to press one of its buttons.
    void setBoxObserver(std::function<void(QMessageBox&)> observer) {
        boxes_.setObserver(std::move(observer));
    }
    int openBoxes() const { return boxes_.open(); }
    // How key releases are told from repeats on this platform (see KeyReleases).
    KeyReleases::Path keyPath() const { return keyPath_; }

    // Host interface.
    void formLoaded(Form& form) override;
    void formShown(Form& form) override;
    void formUnloaded(Form& form) override;
    void invalidate(Form& form, const PixelRect& rect) override;
    void timerChanged(Timer& timer) override;
    int messageBox(const std::string& text, int buttons, const std::string& title) override;
    Single nextRandom() override;
    void randomize() override;

  protected:
    void onEnded() override;
    void onFailed(const std::string& report) override;

  private:
    struct Window {
        std::unique_ptr<FormWindow> window;
        KeyReleases* keys = nullptr;  // a child of the window
    };
    const Window* find(const Form& form) const;
    void takeFocus(Form& form);
    void hideAll();

    std::map<const Form*, Window> windows_;
    TimerTicks* ticks_ = nullptr;
    MessageBoxes boxes_;
    KeyReleases::Path keyPath_ = KeyReleases::Path::HeldBack;
    RandomSequence random_;
};

}  // namespace rt
