// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Restarts by every road there is (Reset, Help, and Yes to each prompt), thousands of times on
// the headless host and on the Qt host (offscreen): resident memory stays flat once warm.
// Under the sanitizers the allocator keeps freed memory on purpose, so there the figures are
// only reported, and LeakSanitizer judges at exit.
#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <cstdio>
#include <fstream>
#include <string>

#include "support/game_fixture.h"
#include "support/qt_game.h"

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

namespace {

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

bool freshGame(const Form1& f) {
    return f.loaded() && f.BalloonsLeft.value() == 100 && f.WaterB().Count().value() == 1 &&
           f.Health.value() == 5 && f.Attacking.value() == 0;
}

// One restart each way on the headless host; false if one of them did not start afresh.
bool restartEachWay(Game& g) {
    bool ok = true;
    g.space();
    g.dropperTicks(5);
    g.click("mnuReset");
    ok = ok && freshGame(g.form);

    g.space();
    g.click("mnuHelp");  // answered OK
    ok = ok && freshGame(g.form);

    // The last balloon, onto the street.
    g.form.BalloonsLeft = 1;
    g.place(g.form.Zorbo(), 400);
    g.place(g.form.Quib(), 400);
    g.host.answer({6});
    g.space();
    g.dropperTicks(24);
    ok = ok && freshGame(g.form);

    // The last health, lost to a kick from the design place.
    g.form.Health = 1;
    g.place(g.form.Quib(), 400);
    g.place(g.form.Zorbo(), 212);
    g.host.answer({6});
    g.space();
    g.dropperTicks(24);
    g.walkerTicks(200);
    ok = ok && freshGame(g.form);

    g.host.takeInvalidated();
    g.host.takeBoxes();
    return ok;
}

// Lets the Qt host finish what it left to the event loop: painting, and the timers it
// deletes later.
void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The same four roads on the Qt host, through its window's menu and its boxes.
bool restartEachWay(QtGame<>& game) {
    Form1& form = game.form;
    bool ok = true;
    form.dispatchKeyUp(32, 0);
    game.menu("Reset")->trigger();
    ok = ok && freshGame(form);
    settle();

    form.dispatchKeyUp(32, 0);
    game.menu("Help")->trigger();
    ok = ok && freshGame(form);
    settle();

    form.BalloonsLeft = 1;
    form.Zorbo().setLeft(400);
    form.Quib().setLeft(400);
    form.dispatchKeyUp(32, 0);
    for (int i = 0; i < 24; ++i) {
        form.dispatchTimer("Dropper");
    }
    ok = ok && freshGame(form);
    settle();

    form.Health = 1;
    form.Quib().setLeft(400);
    form.Zorbo().setLeft(212);
    form.dispatchKeyUp(32, 0);
    for (int i = 0; i < 24; ++i) {
        form.dispatchTimer("Dropper");
    }
    for (int i = 0; i < 200 && form.WaterB().Count().value() > 1; ++i) {
        form.dispatchTimer("Walker");
    }
    ok = ok && freshGame(form);
    settle();
    return ok;
}

void report(const char* host, int restarts, long before, long after) {
    // Past QTest's log, which the offscreen platform's warnings can fill up.
    std::printf(
        "%s host: %d restarts after the warm-up, VmRSS %ld KiB before, %ld KiB after "
        "(%+ld)\n",
        host, restarts, before, after, after - before);
    std::fflush(stdout);
}

}  // namespace

class SoakTest : public QObject {
    Q_OBJECT
  private slots:
    void tenThousandRestartsOnTheHeadlessHost() {
        Game g;
        for (int i = 0; i < 250; ++i) {  // 1000 restarts to warm up
            QVERIFY(restartEachWay(g));
        }
        const long before = residentKiB();
        for (int i = 0; i < 2500; ++i) {  // 10 000
            QVERIFY2(restartEachWay(g), qPrintable(QString("round %1").arg(i)));
        }
        const long after = residentKiB();
        QVERIFY(!g.host.halted());
        report("headless", 10000, before, after);
        if (!kSanitized) {
            QVERIFY2(after - before <= 1024, "resident memory grew by more than 1 MiB");
        }
    }

    void aThousandRestartsOnTheQtHost() {
        QtGame<> game;
        game.host.setBoxObserver([](QMessageBox& box) {
            answerAtOnce(box,
                         box.windowTitle() == "Need help?" ? QMessageBox::Ok : QMessageBox::Yes);
        });
        settle();
        for (int i = 0; i < 50; ++i) {  // 200 restarts to warm up
            QVERIFY(restartEachWay(game));
        }
        const long before = residentKiB();
        for (int i = 0; i < 250; ++i) {  // 1000
            QVERIFY2(restartEachWay(game), qPrintable(QString("round %1").arg(i)));
        }
        const long after = residentKiB();
        QVERIFY(!game.host.halted());
        report("Qt", 1000, before, after);
        if (!kSanitized) {
            QVERIFY2(after - before <= 1024, "resident memory grew by more than 1 MiB");
        }
    }
};

QTEST_MAIN(SoakTest)
#include "test_soak.moc"
