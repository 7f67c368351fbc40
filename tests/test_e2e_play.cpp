// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The shipped program in a real X session, used as a player uses it: keys and clicks go in
// through XTest, and everything checked is read back from the screen.
#include <QMessageBox>
#include <QtTest>

#include "support/e2e.h"

using namespace e2e;

class PlayTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { menus_ = layOutMenuBar(); }

    void init() {
        game_ = std::make_unique<Program>();
        QVERIFY(game_->start(QStringLiteral(DRENCHWICK)));
        window_ = waitForGameWindow(game_->pid());
        QVERIFY2(window_.id != 0, "no window titled Drenchwick");
        parkPointer();
        QVERIFY(waitFor([&] { return readCaptions(window_.canvas()).areStart(); }, 10000));
    }

    void cleanup() { finish(game_); }

    void startsWithTheSceneTheCaptionsAndTheKeyboard() {
        QCOMPARE(windowTitle(window_.id), QStringLiteral("Drenchwick"));
        QCOMPARE(window_.frame.width(), 426);
        // The walkers may have taken a step or two already; wherever they are, the rest of the
        // scene is exact.
        bool shown = false;
        const QImage canvas = waitForTheScene([&] { return window_.canvas(); }, &shown);
        QVERIFY(shown);
        QVERIFY(balloonsOnTheArc(canvas).isEmpty());
        QVERIFY(readCaptions(canvas).areStart());
        QCOMPARE(grabScreen(window_.menuBar()), menus_.strip);  // Exit, Reset, Help
        QCOMPARE(focusedWindow(), window_.id);
    }

    // Painting through a shared image would make every frame wait for the X server and hold
    // the fast ticks back; the window's pixels go down the socket instead.
    void sharesNoImageMemoryWithTheServer() {
        QFile maps(QStringLiteral("/proc/%1/maps").arg(game_->pid()));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray all = maps.readAll();
        QVERIFY(!all.isEmpty());
        for (const QByteArray& line : all.split('\n')) {
            QVERIFY2(
                !(line.contains(" rw-s ") && (line.contains("memfd:") || line.contains("SYSV"))),
                line.constData());
        }
    }

    void aTapOfSpaceThrowsOneBalloonAlongTheArc() {
        tap("space");
        checkOneThrow([&] { return window_.canvas(); });
    }

    void aHeldSpaceThrowsOnceWhenReleased() {
        keyDown("space");
        // Long enough for the server's auto-repeat, which sends release+press pairs.
        QElapsedTimer held;
        held.start();
        while (held.elapsed() < 1500) {
            const QImage canvas = window_.canvas();
            QCOMPARE(readCaptions(canvas).balloonsLeft, 100);
            QVERIFY(balloonsOnTheArc(canvas).isEmpty());
            QTest::qWait(100);
        }
        keyUp("space");
        QVERIFY(waitFor([&] { return readCaptions(window_.canvas()).balloonsLeft == 99; }, 3000));
        QTest::qWait(700);
        QCOMPARE(readCaptions(window_.canvas()).balloonsLeft, 99);
    }

    void otherKeysThrowNothingAndSpaceThrowsWithAnyModifier() {
        const QStringList others = {
            "Return",    "KP_Enter", "a",      "z",      "1",     "comma",     "Left",
            "Right",     "Up",       "Down",   "Escape", "Tab",   "BackSpace", "Delete",
            "Insert",    "Home",     "F1",     "F10",    "Menu",  "Super_L",   "Shift_L",
            "Control_L", "Alt_L",    "alt+F4", "ctrl+q", "Alt_L", "Right",     "Return"};
        for (const QString& k : others) {
            tap(k);
        }
        QTest::qWait(500);
        QVERIFY(game_->running());
        QVERIFY(!findWindow(game_->pid(), "^(Need help\\?|No more!|Ouch!)$"));
        QImage canvas = window_.canvas();
        QCOMPARE(readCaptions(canvas).balloonsLeft, 100);
        QVERIFY(balloonsOnTheArc(canvas).isEmpty());
        // A tap of Alt does not take the next Space away from the game.
        tap("Alt_L");
        tap("space");
        QVERIFY(waitFor([&] { return readCaptions(window_.canvas()).balloonsLeft == 99; }, 3000));
        int left = 99;
        for (const char* k : {"shift+space", "ctrl+space", "alt+space"}) {
            tap(k);
            --left;
            QVERIFY2(
                waitFor([&] { return readCaptions(window_.canvas()).balloonsLeft == left; }, 3000),
                qPrintable(k));
        }
        QVERIFY(game_->running());
    }

    void exitEndsTheProgramWithStatusZero() {
        tap("space");
        click(window_.frame.topLeft() + menus_.centre["Exit"]);
        QVERIFY(game_->waitForExit(10000));
        QVERIFY(!game_->crashed());
        QCOMPARE(game_->exitCode(), 0);
        QVERIFY(!game_->standardError().contains("Drenchwick stopped"));
    }

    void resetStartsAFreshGame() {
        tap("space");
        tap("space");
        QVERIFY(waitFor([&] { return readCaptions(window_.canvas()).balloonsLeft == 98; }, 3000));
        click(window_.frame.topLeft() + menus_.centre["Reset"]);
        QImage canvas;
        QVERIFY(waitFor(
            [&] {
                canvas = window_.canvas();
                return readCaptions(canvas).areStart();
            },
            3000));
        QVERIFY(balloonsOnTheArc(canvas).isEmpty());
        QVERIFY(game_->running());
        tap("space");
        QVERIFY(waitFor([&] { return readCaptions(window_.canvas()).balloonsLeft == 99; }, 3000));
    }

    void helpShowsTheRulesThenStartsAFreshGame() {
        tap("space");
        QVERIFY(waitFor([&] { return readCaptions(window_.canvas()).balloonsLeft == 99; }, 3000));
        click(window_.frame.topLeft() + menus_.centre["Help"]);
        const Box box = waitForBox(game_->pid(), "Need help?");
        QVERIFY2(box.id != 0, "no box titled \"Need help?\"");
        QCOMPARE(box.title, QStringLiteral("Need help?"));
        const BoxLayout layout = layOutBox(
            "Need help?",
            "Drop your water balloons with Space! You have 100 of them. If you hit Zorbo, in the "
            "green shirt, he'll jump up and ninja kick you! Ouch! You'll lose a health if this "
            "happens, and you only have 5 health, so be careful! Try to hit Quib, in the blue "
            "shirt, as much as you can before you run out of health or balloons.",
            QMessageBox::Ok);
        QString why;
        QVERIFY2(boxShows(box, layout, &why), qPrintable(why));
        // The game stands still behind the box.
        const QRect street(0, 300, 426, 47);
        const QImage before = window_.canvas().copy(street);
        QTest::qWait(500);
        QCOMPARE(window_.canvas().copy(street), before);
        // A close request for the game's window is refused while the box is up.
        QVERIFY(sendCloseRequest(window_.id));
        QTest::qWait(300);
        QVERIFY(game_->running());
        QVERIFY(findBox(game_->pid(), "Need help?"));

        press(box, layout, QMessageBox::Ok);
        QVERIFY(waitFor([&] { return !findBox(game_->pid(), "Need help?"); }, 5000));
        QVERIFY(waitFor([&] { return readCaptions(window_.canvas()).areStart(); }, 3000));
        QVERIFY(balloonsOnTheArc(window_.canvas()).isEmpty());
        QVERIFY(waitFor([&] { return focusedWindow() == window_.id; }, 3000));
        tap("space");
        QVERIFY(waitFor([&] { return readCaptions(window_.canvas()).balloonsLeft == 99; }, 3000));
    }

    void closingTheWindowEndsTheProgramWithStatusZero() {
        tap("space");
        QVERIFY2(sendCloseRequest(window_.id), "the window does not take WM_DELETE_WINDOW");
        QVERIFY(game_->waitForExit(10000));
        QVERIFY(!game_->crashed());
        QCOMPARE(game_->exitCode(), 0);
    }

  private:
    MenuLayout menus_;
    std::unique_ptr<Program> game_;
    GameWindow window_;
};

E2E_MAIN(PlayTest)
#include "test_e2e_play.moc"
