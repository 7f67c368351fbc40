// The game in a real Qt window (offscreen platform): keys, frozen boxes, restarts, closing.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "runtime/qt/qt_host.h"
#include "support/game_fixture.h"

namespace {

// Form1 with a count of the ticks that reach its handlers.
struct CountingForm1 : Form1 {
    CountingForm1() {
        on("Walker_Timer", [this] {
            ++walkerTicks;
            Walker_Timer();
        });
        on("Dropper_Timer", [this] {
            ++dropperTicks;
            Dropper_Timer();
        });
    }
    int walkerTicks = 0;
    int dropperTicks = 0;
};

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

QAction* menuAction(QMainWindow* w, const QString& caption) {
    for (QAction* a : w->menuBar()->actions()) {
        if (a->text() == caption) {
            return a;
        }
    }
    return nullptr;
}

}  // namespace

class QtHostTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        host_ = std::make_unique<rt::QtHost>();
        form_ = std::make_unique<CountingForm1>();
        host_->start(*form_);
    }
    void cleanup() {
        form_.reset();
        host_.reset();
    }

    void windowTakesTheKeyboardAtStart() {
        QWidget* canvas = host_->canvasOf(*form_);
        QVERIFY(canvas != nullptr);
        QTRY_COMPARE(QApplication::focusWidget(), canvas);
        QCOMPARE(canvas->size(), QSize(426, 347));
    }

    void aHeldSpaceThrowsOnceOnItsRelease() {
        QWidget* w = host_->windowOf(*form_);
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
        QCOMPARE(form_->WaterB().Count().value(), 1);  // nothing while held
        sendKey(w, QEvent::KeyRelease, Qt::Key_Space, t + 300);
        QTRY_COMPARE(form_->WaterB().Count().value(), 2);
        QTest::qWait(50);
        QCOMPARE(form_->WaterB().Count().value(), 2);
        // Two quick taps are two throws.
        sendKey(w, QEvent::KeyPress, Qt::Key_Space, t + 400);
        sendKey(w, QEvent::KeyRelease, Qt::Key_Space, t + 430);
        sendKey(w, QEvent::KeyPress, Qt::Key_Space, t + 436);
        sendKey(w, QEvent::KeyRelease, Qt::Key_Space, t + 470);
        QTRY_COMPARE(form_->WaterB().Count().value(), 4);
    }

    void altLeavesTheKeyboardWithTheGame() {
        // Alt used to put the menu bar in keyboard mode: the Space after it chose Exit, and
        // Right, Right, Return opened the help.
        QStringList opened;
        host_->setBoxObserver([&](QMessageBox& box) {
            opened << box.windowTitle();
            box.button(QMessageBox::Ok)->click();
        });
        // As the window system delivers them, so that the menu bar sees them as a user's.
        QWindow* w = host_->windowOf(*form_)->windowHandle();
        QTest::keyClick(w, Qt::Key_Alt);
        QTest::keyClick(w, Qt::Key_Space);
        QTRY_COMPARE(form_->WaterB().Count().value(), 2);
        for (Qt::Key key : {Qt::Key_Alt, Qt::Key_Right, Qt::Key_Right, Qt::Key_Return}) {
            QTest::keyClick(w, key);
        }
        QTest::qWait(50);
        QVERIFY(!host_->halted());
        QCOMPARE(opened, QStringList());
        QCOMPARE(form_->BalloonsLeft.value(), 99);
    }

    void mashingSpaceNeverStallsTheBalloons() {
        QWidget* w = host_->windowOf(*form_);
        QElapsedTimer clock;
        clock.start();
        ulong t = 5000;
        while (clock.elapsed() < 600) {
            sendKey(w, QEvent::KeyPress, Qt::Key_Space, t);
            sendKey(w, QEvent::KeyRelease, Qt::Key_Space, t + 5);
            t += 20;
            QTest::qWait(20);
        }
        QVERIFY(form_->dropperTicks >= 5);
        QVERIFY(form_->WaterB()[1].Top() > 56.0F);
    }

    void noTickArrivesWhileABoxIsOpen() {
        QTRY_VERIFY(form_->walkerTicks >= 2);
        int atOpen = -1;
        int beforeOk = -1;
        host_->setBoxObserver([&](QMessageBox& box) {
            QCOMPARE(box.windowTitle(), QStringLiteral("Need help?"));
            atOpen = form_->walkerTicks;
            QTimer::singleShot(500, &box, [&, b = &box] {
                beforeOk = form_->walkerTicks;
                press(*b, QMessageBox::Ok);
            });
        });
        menuAction(host_->windowOf(*form_), "Help")->trigger();
        QCOMPARE(beforeOk, atOpen);
        // Help restarted the game, which ticks again and has the keyboard back.
        const int after = form_->walkerTicks;
        QTRY_VERIFY(form_->walkerTicks > after);
        QTRY_COMPARE(QApplication::focusWidget(), host_->canvasOf(*form_));
    }

    void restartFromInsideATickIsClean() {
        host_->setBoxObserver([](QMessageBox& box) {
            QCOMPARE(box.windowTitle(), QStringLiteral("No more!"));
            QVERIFY(box.text().contains("\n\nYou threw all of your balloons!\n"));
            press(box, QMessageBox::Yes);
        });
        form_->BalloonsLeft = 1;
        QWidget* w = host_->windowOf(*form_);
        sendKey(w, QEvent::KeyPress, Qt::Key_Space, 1);
        sendKey(w, QEvent::KeyRelease, Qt::Key_Space, 2);
        QTRY_COMPARE(form_->WaterB().Count().value(), 2);
        // 24 ticks of 50 ms, then the prompt, answered Yes, inside the last tick.
        QTRY_COMPARE_WITH_TIMEOUT(form_->BalloonsLeft.value(), 100, 5000);
        QCOMPARE(form_->WaterB().Count().value(), 1);
        QVERIFY(!form_->Dropper().Enabled());
        QVERIFY(!host_->halted());
        QCOMPARE(host_->windowOf(*form_)->isVisible(), true);
        sendKey(w, QEvent::KeyPress, Qt::Key_Space, 10);
        sendKey(w, QEvent::KeyRelease, Qt::Key_Space, 11);
        QTRY_COMPARE(form_->WaterB().Count().value(), 2);
    }

    void exitAndClosingTheWindowEndWithStatusZero() {
        host_->windowOf(*form_)->close();
        QVERIFY(host_->ended());
        QCOMPARE(host_->exitStatus(), 0);
        QVERIFY(!form_->loaded());

        cleanup();
        init();
        menuAction(host_->windowOf(*form_), "Exit")->trigger();
        QVERIFY(host_->ended());
        QVERIFY(!form_->loaded());
    }

    void restartsDoNotPileUpMenuItems() {
        QMenuBar* bar = host_->windowOf(*form_)->menuBar();
        const auto items = [bar] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return bar->findChildren<QAction*>(Qt::FindDirectChildrenOnly).size();
        };
        const auto atStart = items();
        for (int i = 0; i < 5; ++i) {
            menuAction(host_->windowOf(*form_), "Reset")->trigger();
        }
        QCOMPARE(items(), atStart);
        QCOMPARE(bar->actions().size(), 3);
        // The new items work.
        menuAction(host_->windowOf(*form_), "Exit")->trigger();
        QVERIFY(host_->ended());
    }

    void randomNumbersStayBelowOne() {
        const rt::HandlerScope asTheGame(*form_);
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
    std::unique_ptr<rt::QtHost> host_;
    std::unique_ptr<CountingForm1> form_;
};

QTEST_MAIN(QtHostTest)
#include "test_qt_host.moc"
