// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Renders the README's screenshot with the game's own painting code on the offscreen platform:
// the window with its menu bar, a few seconds into a game with two balloons on their way down.
#include <QApplication>
#include <QMainWindow>
#include <cstdio>

#include "game/form1.h"
#include "runtime/qt/qt_host.h"

namespace {

// The walk would be random; the screenshot takes the walkers' places as given.
struct StagedForm1 : Form1 {
    StagedForm1() {
        on("Walker_Timer", [] {});
        on("Dropper_Timer", [] {});
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    rt::QtHost host;
    StagedForm1 form;
    host.start(form);
    form.Zorbo().setLeft(261);
    form.Quib().setLeft(209);
    // Two throws, the first one 14 ticks ahead of the second: what the handlers make of them.
    form.dispatchKeyUp(32, 0);
    for (int i = 0; i < 8; ++i) {
        form.Dropper_Timer();
    }
    form.dispatchKeyUp(32, 0);
    for (int i = 0; i < 6; ++i) {
        form.Dropper_Timer();
    }
    QCoreApplication::processEvents();
    const QImage shot = host.windowOf(form)->grab().toImage();
    if (!shot.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
