// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include <QApplication>

#include "game/form1.h"
#include "runtime/qt/qt_host.h"

int main(int argc, char** argv) {
    rt::QtHost::prepareProcess();
    // Never destroyed: the process leaves without tearing Qt down (QtHost::leave).
    new QApplication(argc, argv);
    // Ties the window to its installed desktop entry (Wayland's app id, and X shells that ask).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.drenchwick.Drenchwick"));
    int status = 0;
    {
        rt::QtHost host;
        Form1 form;
        status = host.run(form);
    }
    rt::QtHost::leave(status);
}
