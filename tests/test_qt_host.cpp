// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The game in a real Qt window (offscreen platform): keys, frozen boxes, restarts, closing.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "support/qt_game.h"

namespace {

void sendKey(QWidget* to, QEvent::Type type, int key, ulong timestamp, bool autoRepeat = false) {
    QKeyEvent e(type, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : QString(),
                autoRepeat);
    e.setTimestamp(timestamp);
    QApplication::sendEvent(to, &e);
}

void press(QMessageBox& box, QMessageBox::StandardButton which) {
    QAbstractButton* b = box.button(which);
    QVERIFY(b != nullptr);
    b->click();
}

}  // namespace

class QtHostTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { game_ = std::make_unique<QtGame<CountingForm1>>(); }
    void cleanup() { game_.reset(); }

    void windowTakesTheKeyboardAtStart() {
        QWidget* canvas = game_->canvas();
        QVERIFY(canvas != nullptr);
        QTRY_COMPARE(QApplication::focusWidget(), canvas);
        QCOMPARE(canvas->size(), QSize(426, 347));
    }

    void aHeldSpaceThrowsOnceOnItsRelease() {
        QWidget* w = game_->window();
        ulong t = 1000;
        sendKey(w, QEvent::KeyPress, Qt::Key_Space, t);
        // Repeats come as release+press pairs with one timestamp, not always flagged.
        for (int i = 0; i < 20; ++i) {
            t += 40;
            sendKey(w, QEvent::KeyRelease, Qt::Key_Space, t, i % 2 == 0);
            sendKey(w, QEvent::KeyPress, Qt::Key_Space, t, i % 2 == 0);
            QTest::qWait(2);
        }
        QTest::qWait(30);
        QCOMPARE(game_->form.WaterB().Count().value(), 1);  // nothing while held
        sendKey(w, QEvent::KeyRelease, Qt::Key_Space, t + 300);
        QTRY_COMPARE(game_->form.WaterB().Count().value(), 2);
        QTest::qWait(50);
        QCOMPARE(game_->form.WaterB().Count().value(), 2);
        // Two quick taps are two throws.
        sendKey(w, QEvent::KeyPress, Qt::Key_Space, t + 400);
        sendKey(w, QEvent::KeyRelease, Qt::Key_Space, t + 430);
        sendKey(w, QEvent::KeyPress, Qt::Key_Space, t + 436);
        sendKey(w, QEvent::KeyRelease, Qt::Key_Space, t + 470);
        QTRY_COMPARE(game_->form.WaterB().Count().value(), 4);
    }

    void aSpaceHeldWhileTheWindowLosesTheKeyboardThrowsNothing() {
        QWidget* w = game_->window();
        QTRY_VERIFY(w->isActiveWindow());
        sendKey(w, QEvent::KeyPress, Qt::Key_Space, 1);
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(!w->isActiveWindow());
        game_->window()->activateWindow();
        QTRY_VERIFY(w->isActiveWindow());
        sendKey(w, QEvent::KeyRelease, Qt::Key_Space, 900);
        QTest::qWait(30);
        QCOMPARE(game_->form.WaterB().Count().value(), 1);
    }

    void altLeavesTheKeyboardWithTheGame() {
        // Alt used to put the menu bar in keyboard mode: the Space after it chose Exit, and
        // Right, Right, Return opened the help.
        QStringList opened;
        game_->host.setBoxObserver([&](QMessageBox& box) {
            opened << box.windowTitle();
            answerAtOnce(box, QMessageBox::Ok);
        });
        // As the window system delivers them, so that the menu bar sees them as a user's.
        QWindow* w = game_->window()->windowHandle();
        QTest::keyClick(w, Qt::Key_Alt);
        QTest::keyClick(w, Qt::Key_Space);
        QTRY_COMPARE(game_->form.WaterB().Count().value(), 2);
        for (Qt::Key key : {Qt::Key_Alt, Qt::Key_Right, Qt::Key_Right, Qt::Key_Return}) {
            QTest::keyClick(w, key);
        }
        QTest::qWait(50);
        QVERIFY(!game_->host.halted());
        QCOMPARE(opened, QStringList());
        QCOMPARE(game_->form.BalloonsLeft.value(), 99);
    }

    void mashingSpaceNeverStallsTheBalloons() {
        QWidget* w = game_->window();
        QElapsedTimer clock;
        clock.start();
        ulong t = 5000;
        while (clock.elapsed() < 600) {
            sendKey(w, QEvent::KeyPress, Qt::Key_Space, t);
            sendKey(w, QEvent::KeyRelease, Qt::Key_Space, t + 5);
            t += 20;
            QTest::qWait(20);
        }
        QVERIFY(game_->form.dropperTicks >= 5);
        QVERIFY(game_->form.WaterB()[1].Top() > 56.0F);
    }

    void noTickArrivesWhileABoxIsOpen() {
        QTRY_VERIFY(game_->form.walkerTicks >= 2);
        int atOpen = -1;
        int beforeOk = -1;
        game_->host.setBoxObserver([&](QMessageBox& box) {
            QCOMPARE(box.windowTitle(), QStringLiteral("Need help?"));
            atOpen = game_->form.walkerTicks;
            QTimer::singleShot(700, &box, [&, b = &box] {
                beforeOk = game_->form.walkerTicks;
                press(*b, QMessageBox::Ok);
            });
        });
        game_->menu("Help")->trigger();
        QCOMPARE(beforeOk, atOpen);
        // Help restarted the game, which ticks again and has the keyboard back.
        const int after = game_->form.walkerTicks;
        QTRY_VERIFY(game_->form.walkerTicks > after);
        QTRY_COMPARE(QApplication::focusWidget(), game_->canvas());
    }

    void aNewBoxTakesNoAnswerForAMoment() {
        // A prompt may open while the player is still hammering Space.
        QElapsedTimer open;
        bool refused = false;
        game_->host.setBoxObserver([&](QMessageBox& box) {
            open.start();
            QAbstractButton* ok = box.button(QMessageBox::Ok);
            const bool disabled = !ok->isEnabled();
            QTest::keyClick(&box, Qt::Key_Space);
            QTest::keyClick(&box, Qt::Key_Return);
            QTest::mouseClick(ok, Qt::LeftButton);
            box.close();
            refused = disabled && box.isVisible();
            // Once armed, Return answers with the default button.
            QTimer::singleShot(650, &box, [b = &box] {
                QVERIFY(b->button(QMessageBox::Ok)->isEnabled());
                QTest::keyClick(b, Qt::Key_Return);
            });
        });
        game_->menu("Help")->trigger();  // back once the box is answered
        QVERIFY(refused);
        QVERIFY(open.elapsed() >= 600);
        QVERIFY(!game_->host.halted());
        QCOMPARE(game_->host.openBoxes(), 0);
    }

    void restartFromInsideATickIsClean() {
        game_->host.setBoxObserver([](QMessageBox& box) {
            QCOMPARE(box.windowTitle(), QStringLiteral("No more!"));
            QVERIFY(box.text().contains("\n\nYou threw all of your balloons!\n"));
            answerAtOnce(box, QMessageBox::Yes);
        });
        game_->form.BalloonsLeft = 1;
        QWidget* w = game_->window();
        sendKey(w, QEvent::KeyPress, Qt::Key_Space, 1);
        sendKey(w, QEvent::KeyRelease, Qt::Key_Space, 2);
        QTRY_COMPARE(game_->form.WaterB().Count().value(), 2);
        // 24 ticks of 50 ms, then the prompt, answered Yes, inside the last tick.
        QTRY_COMPARE_WITH_TIMEOUT(game_->form.BalloonsLeft.value(), 100, 5000);
        QCOMPARE(game_->form.WaterB().Count().value(), 1);
        QVERIFY(!game_->form.Dropper().Enabled());
        QVERIFY(!game_->host.halted());
        QCOMPARE(game_->window()->isVisible(), true);
        sendKey(w, QEvent::KeyPress, Qt::Key_Space, 10);
        sendKey(w, QEvent::KeyRelease, Qt::Key_Space, 11);
        QTRY_COMPARE(game_->form.WaterB().Count().value(), 2);
    }

    void exitAndClosingTheWindowEndWithStatusZero() {
        game_->window()->close();
        QVERIFY(game_->host.ended());
        QCOMPARE(game_->host.exitStatus(), 0);
        QVERIFY(!game_->form.loaded());

        cleanup();
        init();
        game_->menu("Exit")->trigger();
        QVERIFY(game_->host.ended());
        QVERIFY(!game_->form.loaded());
    }

    void restartsDoNotPileUpMenuItems() {
        QMenuBar* bar = game_->window()->menuBar();
        const auto items = [bar] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return bar->findChildren<QAction*>(Qt::FindDirectChildrenOnly).size();
        };
        const auto atStart = items();
        for (int i = 0; i < 5; ++i) {
            game_->menu("Reset")->trigger();
        }
        QCOMPARE(items(), atStart);
        QCOMPARE(bar->actions().size(), 3);
        // The new items work.
        game_->menu("Exit")->trigger();
        QVERIFY(game_->host.ended());
    }

    void randomNumbersStayBelowOne() {
        const rt::HandlerScope asTheGame(game_->form);
        double lowest = 1;
        double highest = 0;
        for (int i = 0; i < 1000000; ++i) {
            const float r = rt::Rnd();
            QVERIFY(r >= 0.0F && r < 1.0F);
            lowest = std::min<double>(lowest, r);
            highest = std::max<double>(highest, r);
        }
        QVERIFY(lowest < 0.001 && highest > 0.999);
    }

  private:
    std::unique_ptr<QtGame<CountingForm1>> game_;
};

QTEST_MAIN(QtHostTest)
#include "test_qt_host.moc"
