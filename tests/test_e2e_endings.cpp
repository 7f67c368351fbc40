// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Both endings played through the real window, and both answers to each prompt. The game is the
// shipped one with a fixed random sequence (sequenced_drenchwick), so that the walkers go where
// an ending needs them; the player still only types, clicks and looks at the screen.
#include <QElapsedTimer>
#include <QMessageBox>
#include <QtTest>

#include "support/e2e.h"

using namespace e2e;

namespace {

// Quib takes eight steps to Left 224, under the end of the arc, and Zorbo three, to 171, clear
// of it; then both stand: every balloon lands on Quib.
const char* const kQuibUnderTheArc =
    "0.5,0.5, 0.5,0.5, 0.5,0.5, 0.5,0, 0.5,0, 0.5,0, 0.5,0, 0.5,0;0";
// Quib stands at 344, out of reach; Zorbo steps on every walking tick, round and round.
const char* const kZorboWalksOn = ";0,0.5";

QString noMoreText(int score) {
    return QStringLiteral(
               "You ran out of balloons!!\n\nYou threw all of your balloons!\n"
               "Your score is %1.\n\nTry again?")
        .arg(score);
}

QString ouchText(int thrown, int score) {
    return QStringLiteral(
               "You died. Be careful around Zorbo!!\n\nYou threw %1 balloons.\n"
               "Your score is %2.\n\nTry again?")
        .arg(thrown)
        .arg(score);
}

}  // namespace

class EndingsTest : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { finish(game_); }

    void outOfBalloonsAnsweredYesStartsAFreshGame() {
        const Box box = playOutOfBalloons();
        QVERIFY(box.id != 0);
        press(box, noMoreLayout(), QMessageBox::Yes);
        expectAFreshGame();
    }

    void outOfBalloonsAnsweredNoEndsTheProgram() {
        const Box box = playOutOfBalloons();
        QVERIFY(box.id != 0);
        press(box, noMoreLayout(), QMessageBox::No);
        expectTheEnd(box);
    }

    void deathAnsweredYesStartsAFreshGame() {
        auto [box, layout] = playToDeath();
        QVERIFY(box.id != 0);
        press(box, layout, QMessageBox::Yes);
        expectAFreshGame();
    }

    void deathAnsweredNoEndsTheProgram() {
        auto [box, layout] = playToDeath();
        QVERIFY(box.id != 0);
        press(box, layout, QMessageBox::No);
        expectTheEnd(box);
    }

  private:
    void launch(const char* randomSequence) {
        game_ = std::make_unique<Program>();
        QVERIFY(game_->start(QStringLiteral(SEQUENCED_DRENCHWICK), {randomSequence}));
        window_ = waitForGameWindow(game_->pid());
        QVERIFY2(window_.id != 0, "no window titled Drenchwick");
        parkPointer();
        QVERIFY(waitFor([&] { return readCaptions(window_.canvas()).areStart(); }, 10000));
    }

    static BoxLayout noMoreLayout() {
        return layOutBox("No more!", noMoreText(100), QMessageBox::Yes | QMessageBox::No);
    }

    // Throws all hundred balloons, each onto Quib, and waits for the prompt.
    Box playOutOfBalloons() {
        launch(kQuibUnderTheArc);
        if (QTest::currentTestFailed()) {
            return {};
        }
        QStringList keys{"key", "--delay", "30"};
        for (int i = 0; i < 100; ++i) {
            keys << "space";
        }
        xdotool(keys);
        // Every tap counted off; the last balloon is still in the air.
        if (!waitFor([&] { return readCaptions(window_.canvas()).balloonsLeft == 0; }, 5000)) {
            qWarning("the caption never showed 0 balloons left");
            return {};
        }
        const Box box = waitForBox(game_->pid(), "No more!", 20000);
        if (box.id == 0) {
            qWarning("no box titled \"No more!\"");
            return {};
        }
        QString why;
        if (!boxShows(box, noMoreLayout(), &why)) {
            qWarning("%s", qPrintable(why));
            return {};
        }
        // The window behind the box has its last score painted already (the box leaves the top
        // row of captions uncovered).
        const Captions c = readCaptions(window_.canvas());
        if (c.score != 100 || c.health != 5) {
            qWarning("captions behind the box: score %d, health %d", c.score.value_or(-99),
                     c.health.value_or(-99));
            return {};
        }
        return box;
    }

    // Watches Zorbo walk and drops two balloons where he will be, again after every kick, until
    // the fifth kick opens the prompt.
    std::pair<Box, BoxLayout> playToDeath() {
        launch(kZorboWalksOn);
        if (QTest::currentTestFailed()) {
            return {};
        }
        QElapsedTimer clock;
        clock.start();
        qint64 lastThrow = -10000;
        int balloonsLeft = 100;
        int health = 5;
        std::optional<Box> box;
        while (clock.elapsed() < 120000 && !(box = findBox(game_->pid(), "Ouch!"))) {
            const QImage canvas = window_.canvas();
            const Captions c = readCaptions(canvas);
            balloonsLeft = c.balloonsLeft.value_or(balloonsLeft);
            if (c.health && *c.health > health) {
                qWarning("health went up from %d to %d", health, *c.health);
                return {};
            }
            health = c.health.value_or(health);
            // Zorbo comes back in at 400 and steps 15 a tick; a balloon takes 24 ticks of
            // 50 ms to land at 212, which he covers from 228 down to 177. Thrown 100 and 200 ms
            // after he shows at 400, the balloons land when he is at 220, 205 or 190.
            const std::optional<Walkers> w = readWalkers(canvas);
            if (w && w->zorbo == 400 && clock.elapsed() - lastThrow > 1000) {
                lastThrow = clock.elapsed();
                QTest::qWait(100);
                tap("space");
                QTest::qWait(100);
                tap("space");
            }
            QTest::qWait(10);
        }
        if (!box) {
            qWarning("no box titled \"Ouch!\" after 120 s; health %d, balloons left %d", health,
                     balloonsLeft);
            return {};
        }
        qInfo("died after %lld ms with %d balloons thrown", clock.elapsed(), 100 - balloonsLeft);
        const BoxLayout layout =
            layOutBox("Ouch!", ouchText(100 - balloonsLeft, 0), QMessageBox::Yes | QMessageBox::No);
        QString why;
        if (!boxShows(*box, layout, &why)) {
            qWarning("%s", qPrintable(why));
            return {};
        }
        const Captions c = readCaptions(window_.canvas());
        if (c.health != 0 || c.score != 0) {
            qWarning("captions behind the box: health %d, score %d", c.health.value_or(-99),
                     c.score.value_or(-99));
            return {};
        }
        return {*box, layout};
    }

    void expectAFreshGame() {
        QVERIFY(waitFor([&] { return !findBox(game_->pid(), "^(No more!|Ouch!)$"); }, 5000));
        QImage canvas;
        std::optional<Walkers> w;
        QVERIFY(waitFor(
            [&] {
                canvas = window_.canvas();
                w = readWalkers(canvas);
                return readCaptions(canvas).areStart() && w && !w->zorboInBitmap4 &&
                       differencesFromScene(canvas, *w) == 0;
            },
            5000));
        QVERIFY(game_->running());
        QVERIFY(waitFor([&] { return focusedWindow() == window_.id; }, 3000));
        tap("space");
        QVERIFY(waitFor([&] { return readCaptions(window_.canvas()).balloonsLeft == 99; }, 3000));
    }

    void expectTheEnd(const Box& answered) {
        // Ended at once: no other box on the way out.
        QElapsedTimer clock;
        clock.start();
        while (game_->running() && clock.elapsed() < 10000) {
            for (unsigned long id :
                 findWindows(game_->pid(), "^(No more!|Ouch!|Need help\\?|Drenchwick)$")) {
                QVERIFY2(id == answered.id || id == window_.id, "another window opened");
            }
            QTest::qWait(20);
        }
        QVERIFY(!game_->running());
        QVERIFY(!game_->crashed());
        QCOMPARE(game_->exitCode(), 0);
    }

    std::unique_ptr<Program> game_;
    GameWindow window_;
};

E2E_MAIN(EndingsTest)
#include "test_e2e_endings.moc"
