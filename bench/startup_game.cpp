// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The game started as main.cpp starts it, reporting its first frame and peak memory.
#include <QApplication>

#include "bench/startup_probe.h"
#include "game/form1.h"
#include "runtime/qt/qt_host.h"

int main(int argc, char** argv) {
    rt::QtHost::prepareProcess();
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.drenchwick.Drenchwick"));
    rt::QtHost host;
    Form1 form;
    host.start(form);
    bench::reportStartup(host.canvasOf(form));
    QApplication::exec();
    return 0;
}
