// The game with one handler broken on purpose: a 16-bit overflow on the first key release.
// test_failure runs it as a child on either host and reads how it ends.
#include <QApplication>
#include <QTimer>
#include <cstring>

#include "game/form1.h"
#include "runtime/headless_host.h"
#include "runtime/qt_host.h"

namespace {
struct BrokenForm1 : Form1 {
    void Form_KeyUp(rt::Integer, rt::Integer) override { BalloonsLeft = BalloonsLeft * 1000; }
};
}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--qt") == 0) {
        QApplication app(argc, argv);
        rt::QtHost host;
        BrokenForm1 form;
        QTimer::singleShot(100, [&] { form.dispatchKeyUp(32, 0); });
        return host.run(form);
    }
    rt::HeadlessHost host;
    BrokenForm1 form;
    host.start(form);
    host.advance(500);
    host.keyUp(form, 32);
    host.advance(500);
    return host.exitStatus();
}
