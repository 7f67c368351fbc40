// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/qt/qt_host.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "runtime/form.h"
#include "runtime/qt/canvas.h"
#include "runtime/qt/conversions.h"
#include "runtime/qt/form_window.h"
#include "runtime/qt/keyboard.h"
#include "runtime/qt/tick_source.h"

namespace rt {

namespace {

bool hasDisplay() {
    const QString p = QGuiApplication::platformName();
    return p != QLatin1String("offscreen") && p != QLatin1String("minimal");
}

}  // namespace

void QtHost::prepareProcess() {
    // On X11 Qt hands the window's pixels over through shared memory, and before it paints over
    // pixels the server may not have read yet it waits for the server to answer. The game's
    // changes touch last frame's every frame, so each frame made that round trip, and a server
    // slow to answer held the 5 ms ticks back by up to 6 ms. The window is small and its changes
    // smaller: sending them down the socket costs less and never waits. Anyone who sets the
    // variable themselves keeps their choice.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
}

QtHost::QtHost()
    : boxes_(MessageBoxes::Freeze{
          // The game stands still behind a box: no tick, and no release still held back.
          [this] {
              ticks_->freeze();
              for (auto& [f, w] : windows_) {
                  w.keys->forget();
              }
          },
          [this] {
              if (halted()) {
                  return;
              }
              ticks_->thaw();
              for (auto& [f, w] : windows_) {
                  if (f->shown()) {
                      takeFocus(*const_cast<Form*>(f));
                  }
              }
          }}) {
    FormWindow::installStyle();
    // Wayland marks its repeats; X11 does once the server grants the flag. Anywhere else, or
    // where the server refuses, releases are held back for a moment.
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland")) ||
        (platform == QLatin1String("xcb") && askForDetectableAutoRepeat())) {
        keyPath_ = KeyReleases::Path::AtOnce;
    }
    ticks_ = new TimerTicks([](Timer& t) { t.form().dispatchTimer(t); }, this);
    randomize();
}

QtHost::~QtHost() {
    windows_.clear();
}

int QtHost::run(Form& startup) {
    start(startup);
    if (halted()) {
        return exitStatus();
    }
    const int rc = QApplication::exec();
    return halted() ? exitStatus() : rc;
}

// A hung process after its window had gone: Qt's Wayland display, when it is destroyed, waits for
// Qt's own event thread, and that thread can sit for good in a read of the display. Closed 20
// times under sway, the game hung 7 times in QApplication's destructor. Nothing is left to save
// or say when the loop has returned, so the process leaves from here: what it has written goes
// out first, and under the sanitizers the leak check still runs over everything but Qt's
// application object, which is never destroyed.
void QtHost::leave(int status) {
#if defined(__SANITIZE_ADDRESS__)
    __lsan_do_leak_check();
#endif
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

const QtHost::Window* QtHost::find(const Form& form) const {
    auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : &it->second;
}

QMainWindow* QtHost::windowOf(const Form& form) const {
    const Window* w = find(form);
    return w != nullptr ? w->window.get() : nullptr;
}

QWidget* QtHost::canvasOf(const Form& form) const {
    const Window* w = find(form);
    return w != nullptr ? w->window->canvas() : nullptr;
}

void QtHost::formLoaded(Form& form) {
    Window& w = windows_[&form];
    if (!w.window) {
        Form* f = &form;
        FormWindow::Events events;
        events.keyPressed = [this, f](const QKeyEvent& e) {
            if (const Window* w = find(*f)) {
                w->keys->pressed(e);
            }
        };
        events.keyReleased = [this, f](const QKeyEvent& e) {
            const Window* w = find(*f);
            if (w != nullptr && boxes_.open() == 0) {
                w->keys->released(e);
            }
        };
        // The only window is gone: the program ends, as with End.
        events.closedByUser = [this] { end(); };
        events.keyboardLost = [this, f] {
            if (const Window* w = find(*f)) {
                w->keys->forget();
            }
        };
        w.window = std::make_unique<FormWindow>(form, std::move(events));
        w.keys = new KeyReleases(
            keyPath_,
            [this, f](int keyCode, int shift) {
                if (boxes_.open() == 0) {
                    f->dispatchKeyUp(keyCode, shift);
                }
            },
            w.window.get());
    }
    w.window->buildMenus();
    w.window->canvas()->update();
    for (Timer* t : form.timers()) {
        ticks_->apply(*t);
    }
}

void QtHost::formShown(Form& form) {
    const Window* w = find(form);
    if (w == nullptr) {
        return;
    }
    if (!w->window->isVisible()) {
        w->window->show();
    }
    takeFocus(form);
}

void QtHost::takeFocus(Form& form) {
    const Window* w = find(form);
    if (w == nullptr || !w->window->isVisible()) {
        return;
    }
    // A restart shows a window that already has the keyboard; asking again would cost a round
    // trip to the X server (Qt waits for it) inside every restart.
    if (QGuiApplication::focusWindow() == w->window->windowHandle() &&
        w->window->canvas()->hasFocus()) {
        return;
    }
    // Without a window manager nobody hands out the keyboard, so the window takes it.
    w->window->raise();
    w->window->activateWindow();
    w->window->canvas()->setFocus(Qt::ActiveWindowFocusReason);
}

void QtHost::formUnloaded(Form& form) {
    ticks_->forget(form);
    const Window* w = find(form);
    if (w == nullptr) {
        return;
    }
    w->keys->forget();
    w->window->canvas()->update();
    // A restart shows the form again before control returns to the event loop; the window is
    // kept for it, so it does not jump or flicker. Otherwise it goes.
    Form* f = &form;
    QTimer::singleShot(0, this, [this, f] {
        auto it = windows_.find(f);
        if (it != windows_.end() && !f->loaded()) {
            it->second.window->closeFromProgram();
            it->second.window.release()->deleteLater();
            windows_.erase(it);
        }
    });
}

void QtHost::invalidate(Form& form, const PixelRect& rect) {
    const Window* w = find(form);
    if (w == nullptr) {
        return;
    }
    int fastest = 0;
    for (const Timer* t : form.timers()) {
        if (t->running() && (fastest == 0 || t->Interval() < fastest)) {
            fastest = t->Interval();
        }
    }
    w->window->canvas()->changed(toRect(rect), boxes_.open() > 0 ? 0 : fastest);
}

void QtHost::timerChanged(Timer& t) {
    ticks_->apply(t);
}

int QtHost::messageBox(const std::string& text, int buttons, const std::string& title) {
    QWidget* parent = nullptr;
    for (auto& [f, w] : windows_) {
        if (f->shown()) {
            parent = w.window.get();
        }
    }
    return boxes_.show(parent, text, buttons, title);
}

Single QtHost::nextRandom() {
    return random_.next();
}

void QtHost::randomize() {
    random_.seed(
        static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

void QtHost::hideAll() {
    for (auto& [f, w] : windows_) {
        w.window->hide();
    }
}

void QtHost::onEnded() {
    hideAll();
    QCoreApplication::exit(0);
}

void QtHost::onFailed(const std::string& report) {
    hideAll();
    if (hasDisplay()) {
        QMessageBox::critical(nullptr, QStringLiteral("Drenchwick"),
                              QString::fromStdString(report));
    }
    QCoreApplication::exit(1);
}

}  // namespace rt
