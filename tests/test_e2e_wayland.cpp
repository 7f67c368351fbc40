// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The shipped program natively on Wayland, under a headless sway of the test's own, used as a
// player uses it: keys go in through wtype, the screen comes back through grim, and sway's tree
// says which windows there are, where, and which has the keyboard. (sway's headless outputs have
// no pointer: the menus are played on X11.)
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include "support/sway.h"

using e2e::Program;
using e2e::readCaptions;
using e2e::waitFor;

namespace {

const QString kAppId = QStringLiteral("org.drenchwick.Drenchwick");
// Quib walks under the end of the arc and stays; Zorbo keeps clear: every balloon hits Quib.
const char* const kQuibUnderTheArc =
    "0.5,0.5, 0.5,0.5, 0.5,0.5, 0.5,0, 0.5,0, 0.5,0, 0.5,0, 0.5,0;0";

}  // namespace

class WaylandTest : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { e2e::finish(game_); }

    void startsNativelyFloatingWithTheSceneTheCaptionsAndTheKeyboard() {
        launch(DRENCHWICK);
        QCOMPARE(window_.appId, kAppId);  // the desktop entry's name and icon
        QVERIFY(window_.floating);
        QVERIFY(window_.focused);
        QCOMPARE(window_.rect.size(), QSize(426, 347 + menuBarHeight()));
        bool shown = false;
        const QImage canvas = e2e::waitForTheScene([&] { return window_.canvas(); }, &shown);
        QVERIFY(shown);
        QVERIFY(e2e::balloonsOnTheArc(canvas).isEmpty());
        QVERIFY(readCaptions(canvas).areStart());
    }

    void aTapOfSpaceThrowsOneBalloonAlongTheArc() {
        launch(DRENCHWICK);
        sway::tap("space");
        e2e::checkOneThrow([&] { return window_.canvas(); });
    }

    void aHeldSpaceThrowsOnceWhenReleased() {
        launch(DRENCHWICK);
        // Qt repeats a held key on Wayland, about 25 times a second after 0.6 s.
        QProcess hold;
        QElapsedTimer held;
        held.start();
        hold.start("wtype", {"-k", "F24", "-P", "space", "-s", "1500", "-p", "space"});
        QVERIFY(hold.waitForStarted());
        while (held.elapsed() < 1300) {  // short of the release, whatever a grab takes
            const QImage canvas = window_.canvas();
            QCOMPARE(readCaptions(canvas).balloonsLeft, 100);
            QVERIFY(e2e::balloonsOnTheArc(canvas).isEmpty());
            QTest::qWait(50);
        }
        QVERIFY(hold.waitForFinished(5000));
        QCOMPARE(hold.exitCode(), 0);
        QVERIFY(waitFor([&] { return readCaptions(window_.canvas()).balloonsLeft == 99; }, 3000));
        QTest::qWait(700);
        QCOMPARE(readCaptions(window_.canvas()).balloonsLeft, 99);
    }

    void otherKeysThrowNothingAndSpaceThrowsWithAnyModifier() {
        launch(DRENCHWICK);
        QStringList keys;
        for (const char* k : {"Return", "KP_Enter", "a", "z", "1", "comma", "Left", "Right", "Up",
                              "Down", "Escape", "Tab", "BackSpace", "Delete", "Insert", "Home",
                              "F1", "F10", "Menu", "Super_L", "Shift_L", "Control_L", "Alt_L"}) {
            keys << "-k" << k;
        }
        sway::type(keys + QStringList{"-M", "alt", "-k", "F4", "-m", "alt", "-M", "ctrl", "-k",
                                      "q", "-m", "ctrl"});
        QTest::qWait(500);
        QVERIFY(game_->running());
        const QImage canvas = window_.canvas();
        QCOMPARE(readCaptions(canvas).balloonsLeft, 100);
        QVERIFY(e2e::balloonsOnTheArc(canvas).isEmpty());
        int left = 100;
        for (const char* modifier : {"shift", "ctrl", "alt"}) {
            sway::type({"-M", modifier, "-k", "space", "-m", modifier});
            --left;
            QVERIFY2(
                waitFor([&] { return readCaptions(window_.canvas()).balloonsLeft == left; }, 3000),
                modifier);
        }
    }

    void outOfBalloonsAnsweredYesStartsAFreshGameWithTheKeyboard() {
        const sway::Window box = playOutOfBalloons();
        QVERIFY(!box.title.isEmpty());
        sway::tap("Return");  // the default button, Yes
        QVERIFY(waitFor([&] { return !sway::findWindow(game_->pid(), "No more!"); }, 5000));
        QVERIFY(waitFor([&] { return readCaptions(window_.canvas()).areStart(); }, 5000));
        QVERIFY(sway::findWindow(game_->pid(), "Drenchwick")->focused);
        sway::tap("space");  // no click needed: the keyboard is back with the game
        QVERIFY(waitFor([&] { return readCaptions(window_.canvas()).balloonsLeft == 99; }, 3000));
    }

    void outOfBalloonsAnsweredNoEndsTheProgram() {
        const sway::Window box = playOutOfBalloons();
        QVERIFY(!box.title.isEmpty());
        sway::type({"-k", "Tab", "-k", "space"});  // over to No, and press it
        QVERIFY(game_->waitForExit(3000));
        QVERIFY(!game_->crashed());
        QCOMPARE(game_->exitCode(), 0);
    }

    void f11FillsTheScreenAtZoomTwoAndEscapeBringsTheWindowBack() {
        launch(DRENCHWICK);
        sway::tap("F11");
        std::optional<sway::Window> full;
        QVERIFY(waitFor(
            [&] {
                full = sway::findWindow(game_->pid(), "Drenchwick");
                return full && full->rect.size() == QSize(1024, 768);  // the whole output
            },
            3000));
        // 1024 × 749 below the menu bar holds the scene twice over, not three times.
        const QRect scene(full->rect.topLeft() + QPoint(0, menuBarHeight()), QSize(852, 694));
        QImage shot;
        QImage one;
        int uneven = -1;
        std::optional<e2e::Walkers> w;
        QVERIFY(waitFor(
            [&] {
                shot = sway::grab(scene);
                one = reference::unzoomed(shot, 2, &uneven);
                w = e2e::readWalkers(one);
                return uneven == 0 && w && e2e::differencesFromScene(one, *w) == 0;
            },
            5000));
        const char* const captions[] = {"Health: 5", "Score: 0", "Balloons Left: 100"};
        for (int i = 0; i < 3; ++i) {
            const reference::LabelSpot& l = reference::kLabels[i];
            QCOMPARE(shot.copy(QRect(l.rect.topLeft() * 2, l.rect.size() * 2)),
                     reference::labelImage(l, QString::fromLatin1(captions[i]), 2));
        }
        sway::tap("Escape");
        QVERIFY(waitFor(
            [&] {
                const std::optional<sway::Window> back =
                    sway::findWindow(game_->pid(), "Drenchwick");
                return back && back->floating && back->rect.size() == window_.rect.size();
            },
            3000));
        QCOMPARE(readCaptions(window_.canvas()).balloonsLeft, 100);  // neither key threw
    }

    void closingTheWindowEndsTheProgramEveryTime() {
        // The same teardown that hung follows Exit and No; the window's close is the road a
        // player takes most.
        for (int run = 1; run <= 12; ++run) {
            launch(DRENCHWICK);
            QElapsedTimer clock;
            clock.start();
            sway::close(game_->pid());
            QVERIFY2(game_->waitForExit(3000), qPrintable(QStringLiteral("run %1 hung").arg(run)));
            QVERIFY(!game_->crashed());
            QCOMPARE(game_->exitCode(), 0);
            qInfo("run %d ended %lld ms after the close", run, clock.elapsed());
        }
    }

  private:
    void launch(const char* program, const QStringList& args = {}) {
        game_ = std::make_unique<Program>();
        QVERIFY(game_->start(QString::fromLocal8Bit(program), args));
        const std::optional<sway::Window> w = sway::waitForWindow(game_->pid(), "Drenchwick");
        QVERIFY2(w.has_value(), "no window titled Drenchwick");
        window_ = *w;
        QVERIFY(waitFor([&] { return readCaptions(window_.canvas()).areStart(); }, 10000));
    }

    static int menuBarHeight() { return 19; }

    // Throws all hundred balloons, each onto Quib, and waits for the prompt.
    sway::Window playOutOfBalloons() {
        launch(SEQUENCED_DRENCHWICK, {kQuibUnderTheArc});
        if (QTest::currentTestFailed()) {
            return {};
        }
        QStringList throws;
        for (int i = 0; i < 100; ++i) {
            throws << "-k" << "space" << "-s" << "25";
        }
        sway::type(throws);
        const std::optional<sway::Window> box =
            sway::waitForWindow(game_->pid(), "No more!", 10000);
        if (!box) {
            qWarning("no box titled \"No more!\"");
            return {};
        }
        // Over the game, with the keyboard; the captions above it show the whole game.
        if (!box->floating || !box->focused || !window_.rect.contains(box->rect.center())) {
            qWarning("the box is not over the game with the keyboard");
            return {};
        }
        const e2e::Captions c = readCaptions(window_.canvas());
        if (c.score != 100 || c.balloonsLeft != 0) {
            qWarning("captions behind the box: score %d, balloons left %d",
                     c.score.value_or(-99), c.balloonsLeft.value_or(-99));
            return {};
        }
        QTest::qWait(700);  // a reader's pace: the box takes no answer at first
        return *box;
    }

    std::unique_ptr<Program> game_;
    sway::Window window_;
};

SWAY_MAIN(WaylandTest)
#include "test_e2e_wayland.moc"
