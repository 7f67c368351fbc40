#include <QApplication>

#include "game/form1.h"
#include "runtime/qt_host.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    rt::QtHost host;
    Form1 form;
    return host.run(form);
}
