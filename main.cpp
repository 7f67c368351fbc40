#include <QApplication>

#include "game/form1.h"
#include "runtime/qt/qt_host.h"

int main(int argc, char** argv) {
    rt::QtHost::prepareProcess();
    QApplication app(argc, argv);
    // Ties the window to its installed desktop entry (Wayland's app id, and X shells that ask).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.drenchwick.Drenchwick"));
    rt::QtHost host;
    Form1 form;
    return host.run(form);
}
