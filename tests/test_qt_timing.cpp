// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The Qt host's clock and frames: a timer control's ticks, and the repaints gathered while a
// timer runs faster than the screen.
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QThread>
#include <QtTest>

#include "runtime/qt/tick_source.h"
#include "support/qt_game.h"

namespace {

// Runs the event loop for `ms`.
void spin(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

QRect rectOf(const rt::Image& i) {
    const rt::PixelRect r = i.pixelRect();
    return QRect(r.x, r.y, r.w, r.h);
}

}  // namespace

class QtTimingTest : public QObject {
    Q_OBJECT
  private slots:
    void aSourceTicksUntilStoppedAndForgetsExpiriesNotYetDelivered() {
        int ticks = 0;
        rt::TickSource s([&] { ++ticks; });
        QVERIFY(s.precise());
        s.start(2);
        QVERIFY(s.isActive());
        QCOMPARE(s.interval(), 2);
        QTRY_VERIFY(ticks >= 5);
        // Periods that pass while the loop is busy elsewhere and the source is then stopped
        // must not turn into a late tick: a stopped timer's handler would run on a game that
        // has moved on (or on destroyed controls after an unload).
        QThread::msleep(20);
        s.stop();
        QVERIFY(!s.isActive());
        const int atStop = ticks;
        spin(50);
        QCOMPARE(ticks, atStop);
    }

    void periodsMissedWhileBusyMakeOneTick() {
        int ticks = 0;
        rt::TickSource s([&] { ++ticks; });
        s.start(1);
        QThread::msleep(30);  // some thirty periods go by without the loop
        QCoreApplication::processEvents();
        QCOMPARE(ticks, 1);
    }

    void startingAgainCountsTheNewPeriodFromNow() {
        int ticks = 0;
        rt::TickSource s([&] { ++ticks; });
        s.start(60000);
        spin(30);
        QCOMPARE(ticks, 0);
        s.start(3);
        QCOMPARE(s.interval(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 1, 1000);
        s.start(0);  // no period: as stopped
        QVERIFY(!s.isActive());
        const int atStop = ticks;
        spin(30);
        QCOMPARE(ticks, atStop);
    }

    void aSourceMayBeDiscardedFromItsOwnTick() {
        // As the host does when a restart inside a tick unloads the form that owns the timer.
        int ticks = 0;
        rt::TickSource* s = nullptr;
        s = new rt::TickSource([&] {
            ++ticks;
            s->stop();
            s->deleteLater();
        });
        QPointer<rt::TickSource> alive(s);
        s->start(1);
        QTRY_VERIFY(alive.isNull());
        spin(20);
        QCOMPARE(ticks, 1);
    }

    void repaintsAreGatheredWhileAFastTimerRunsAndNoneIsLost() {
        QtGame<CountingForm1> game;
        CountingForm1& form = game.form;
        PaintLog log(game.canvas());
        spin(200);
        // Walking every 5 ms, a walker moves in nearly every tick; painted one by one, there
        // would be about as many paints as ticks.
        form.Walker().setInterval(5);
        log.regions.clear();
        form.walkerTicks = 0;
        spin(400);
        QVERIFY(form.walkerTicks >= 20);
        QVERIFY2(log.regions.size() < form.walkerTicks / 2,
                 qPrintable(QStringLiteral("%1 paints for %2 ticks")
                                .arg(log.regions.size())
                                .arg(form.walkerTicks)));
        // The last change before the fast timer stops still reaches the screen.
        form.Walker().setEnabled(false);
        log.regions.clear();
        form.Zorbo().setLeft(300);
        const QRect moved = rectOf(form.Zorbo());
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(log.regions.begin(), log.regions.end(),
                                             [&](const QRegion& r) { return r.contains(moved); }),
                                 1000);
    }

    void withOnlySlowTimersEveryChangeIsPaintedAtOnce() {
        QtGame<> game;
        Form1& form = game.form;
        PaintLog log(game.canvas());
        spin(200);
        form.Walker().setEnabled(false);
        // Two changes in quick succession each get their own paint, with no frame wait between.
        log.regions.clear();
        form.Quib().setLeft(200);
        QCoreApplication::processEvents();
        QCOMPARE(log.regions.size(), 1);
        QVERIFY(log.regions[0].contains(rectOf(form.Quib())));
        form.Quib().setLeft(230);
        QCoreApplication::processEvents();
        QCOMPARE(log.regions.size(), 2);
        QVERIFY(log.regions[1].contains(rectOf(form.Quib())));
    }
};

QTEST_MAIN(QtTimingTest)
#include "test_qt_timing.moc"
