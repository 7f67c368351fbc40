// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The game with one handler broken on purpose: a 16-bit overflow in the key release, in the
// Walker tick or in Form_Load. test_failure runs it as a child on either host and reads how it
// ends; the end-to-end test does the same with a display and a real key.
//
//   failing_game [--qt | --qt-player] [key | tick | load]
//
// --qt releases a key by itself after 100 ms; --qt-player waits for a real one.
#include <QApplication>
#include <QTimer>
#include <cstring>
#include <string>

#include "game/form1.h"
#include "runtime/headless/headless_host.h"
#include "runtime/qt/qt_host.h"

namespace {

struct BrokenForm1 : Form1 {
    explicit BrokenForm1(std::string where) : where_(std::move(where)) {
        if (where_ == "tick") {
            on("Walker_Timer", [this] { overflow(); });
        }
    }
    void Form_KeyUp(rt::Integer, rt::Integer) override {
        if (where_ == "key") {
            overflow();
        }
    }
    void Form_Load() override {
        Form1::Form_Load();
        if (where_ == "load") {
            overflow();
        }
    }
    void overflow() { BalloonsLeft = BalloonsLeft * 1000; }
    std::string where_;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const bool qt = mode == "--qt" || mode == "--qt-player";
    const std::string where = argc > (qt ? 2 : 1) ? argv[qt ? 2 : 1] : "key";
    if (qt) {
        rt::QtHost::prepareProcess();
        new QApplication(argc, argv);
        int status = 0;
        {
            rt::QtHost host;
            BrokenForm1 form(where);
            if (mode == "--qt") {
                QTimer::singleShot(100, [&] { form.dispatchKeyUp(32, 0); });
            }
            status = host.run(form);
        }
        rt::QtHost::leave(status);
    }
    rt::HeadlessHost host;
    BrokenForm1 form(where);
    host.start(form);
    host.advance(500);
    host.keyUp(form, 32);
    host.advance(500);
    return host.exitStatus();
}
