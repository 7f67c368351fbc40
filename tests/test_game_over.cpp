// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The two endings, the answers to their prompts, and the three menu commands.
#include <QtTest>

#include "playfield/sprites.h"
#include "support/game_fixture.h"

namespace {

QStringList linesOf(const std::string& text) {
    return QString::fromStdString(text).split(QLatin1Char('\r'));
}

// Throws all hundred balloons, one a tick, and lets them land; the first `hits` of them land
// on Quib, the rest on the empty street.
void playOutOfBalloons(Game& g, int hits) {
    g.place(g.form.Zorbo(), 400);
    for (int tick = 1; tick <= 123 && !g.host.halted() && g.host.boxes().empty(); ++tick) {
        if (tick <= 100) {
            g.space();  // balloon `tick`, which lands in tick `tick` + 23
        }
        const int landing = tick - 23;
        g.place(g.form.Quib(), landing >= 1 && landing <= hits ? 212 : 400);
        g.dropperTick();
    }
}

void expectStartState(Game& g) {
    const Form1& f = g.form;
    QCOMPARE(f.Balloons().Caption(), std::string("Balloons Left: 100"));
    QCOMPARE(f.Scr().Caption(), std::string("Score: 0"));
    QCOMPARE(f.Hlth().Caption(), std::string("Health: 5"));
    QCOMPARE(f.Attacking.value(), 0);
    QCOMPARE(f.WaterB().Count().value(), 1);
    QCOMPARE(f.Zorbo().Left(), 216.0F);
    QCOMPARE(f.Zorbo().Top(), 309.0F);
    QCOMPARE(f.Quib().Left(), 344.0F);
    QVERIFY(f.Zorbo().Picture() == playfield::zorboPicture());
    QCOMPARE(f.Walker().Interval(), 100);
    QVERIFY(!f.Dropper().Enabled());
}

}  // namespace

class GameOverTest : public QObject {
    Q_OBJECT
  private slots:
    void outOfBalloonsPromptReadsLineByLine() {
        Game g;
        g.host.answer({7});
        playOutOfBalloons(g, 12);
        QCOMPARE(g.host.boxes().size(), size_t(1));
        const auto& box = g.host.boxes()[0];
        QCOMPARE(box.title, std::string("No more!"));
        QCOMPARE(box.buttons, 4);
        QCOMPARE(linesOf(box.text),
                 (QStringList{"You ran out of balloons!!", "", "You threw all of your balloons!",
                              "Your score is 12.", "", "Try again?"}));
    }

    void deathPromptCountsTheBalloonsThrown() {
        Game g;
        g.form.Health = 1;
        g.form.Score = 4;
        g.form.BalloonsLeft = 64;
        g.place(g.form.Quib(), 400);
        g.place(g.form.Zorbo(), 212);
        g.space();  // the 37th balloon
        g.dropperTicks(24);
        g.host.answer({7});
        g.walkerTicks(500);
        QCOMPARE(g.host.boxes().size(), size_t(1));
        QCOMPARE(linesOf(g.host.boxes()[0].text),
                 (QStringList{"You died. Be careful around Zorbo!!", "", "You threw 37 balloons.",
                              "Your score is 4.", "", "Try again?"}));
        QCOMPARE(g.host.boxes()[0].title, std::string("Ouch!"));
    }

    void yesStartsAFreshGame() {
        Game g;
        g.host.answer({6});
        playOutOfBalloons(g, 3);
        QCOMPARE(g.host.boxes().size(), size_t(1));
        QVERIFY(!g.host.halted());
        expectStartState(g);
        QCOMPARE(g.host.randomizeCalls(), 2);
    }

    void noEndsTheProgramWithoutAnotherBox() {
        Game g;
        g.host.answer({7});
        playOutOfBalloons(g, 0);
        QVERIFY(g.host.ended());
        QCOMPARE(g.host.exitStatus(), 0);
        QVERIFY(!g.form.loaded());
        g.host.advance(10000);
        g.space();
        QCOMPARE(g.host.boxes().size(), size_t(1));
        QVERIFY(QString::fromStdString(g.host.boxes()[0].text).contains("Your score is 0."));
    }

    void resetDuringACounterAttackGivesTheDesignStateBack() {
        Game g;
        g.place(g.form.Quib(), 400);
        g.place(g.form.Zorbo(), 212);
        g.space();
        g.dropperTicks(24);
        g.walkerTicks(60);  // well into the rise
        QVERIFY(g.form.Zorbo().Top() < 309.0F);
        g.click("mnuReset");
        QVERIFY(g.host.boxes().empty());
        expectStartState(g);
    }

    void helpShowsItsTextThenRestarts() {
        Game g;
        g.space();
        g.space();
        g.dropperTicks(5);
        g.click("mnuHelp");
        QCOMPARE(g.host.boxes().size(), size_t(1));
        const auto& box = g.host.boxes()[0];
        QCOMPARE(box.title, std::string("Need help?"));
        QCOMPARE(box.buttons, 0);
        QCOMPARE(box.text,
                 std::string("Drop your water balloons with Space! You have 100 of them. If you "
                             "hit Zorbo, in the green shirt, he'll jump up and ninja kick you! "
                             "Ouch! You'll lose a health if this happens, and you only have 5 "
                             "health, so be careful! Try to hit Quib, in the blue shirt, as much "
                             "as you can before you run out of health or balloons."));
        expectStartState(g);
    }

    void exitEndsAtOnceWithoutAMessage() {
        Game g;
        g.space();
        g.click("mnuExit");
        QVERIFY(g.host.ended());
        QCOMPARE(g.host.exitStatus(), 0);
        QVERIFY(g.host.boxes().empty());
        QVERIFY(!g.form.loaded());
    }

    void anAnswerThatIsNeitherYesNorNoDoesNothing() {
        Game g;
        g.host.answer({2});
        playOutOfBalloons(g, 0);
        QVERIFY(!g.host.halted());
        QCOMPARE(g.balloonsThrown(), 100);
        g.dropperTicks(10);  // every balloon is down: no second prompt
        QCOMPARE(g.host.boxes().size(), size_t(1));
    }

    void restartFromInsideATickLeavesNoOldWorkBehind() {
        // Yes inside Dropper_Timer: the tick returns into a form whose controls were made
        // anew; it must not move or judge anything of the new game.
        Game g;
        g.host.answer({6});
        playOutOfBalloons(g, 0);
        g.space();
        QCOMPARE(g.balloonsThrown(), 1);
        QCOMPARE(g.balloon(1).Top(), 56.0F);
        // The same from inside Walker_Timer, through the death prompt.
        g.form.Health = 1;
        g.place(g.form.Quib(), 400);
        g.place(g.form.Zorbo(), 212);
        g.dropperTicks(24);
        g.host.answer({6});
        g.walkerTicks(200);
        QCOMPARE(g.host.boxes().size(), size_t(2));
        QVERIFY(!g.host.halted());
        QCOMPARE(g.form.Health.value(), 5);
    }
};

QTEST_GUILESS_MAIN(GameOverTest)
#include "test_game_over.moc"
