// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Throwing balloons and their flight to the street, tick by tick.
#include <QtTest>

#include "support/game_fixture.h"

class BalloonsTest : public QObject {
    Q_OBJECT
  private slots:
    void firstThrowMakesElementOneAtTheRoofCorner() {
        Game g;
        g.space();
        QCOMPARE(g.balloonsThrown(), 1);
        QVERIFY(g.balloon(1).Visible());
        QCOMPARE(g.balloon(1).Left(), 145.0F);
        QCOMPARE(g.balloon(1).Top(), 56.0F);
        QCOMPARE(g.form.Balloons().Caption(), std::string("Balloons Left: 99"));
        QCOMPARE(g.form.BalloonsLeft.value(), 99);
        QVERIFY(g.form.Dropper().Enabled());
        QVERIFY(!g.balloon(0).Visible());
    }

    void spaceThrowsWhateverModifierIsHeldAndOtherKeysDoNothing() {
        Game g;
        for (int key : {13, 65, 37, 38, 39, 40, 27, 0, 288, 65535}) {
            g.host.keyUp(g.form, key, 0);
        }
        QCOMPARE(g.balloonsThrown(), 0);
        QVERIFY(!g.form.Dropper().Enabled());
        g.space(1);  // Shift
        g.space(2);  // Ctrl
        g.space(7);
        QCOMPARE(g.balloonsThrown(), 3);
    }

    void noThrowDuringACounterAttack() {
        Game g;
        g.form.Attacking = -1;
        g.space();
        QCOMPARE(g.balloonsThrown(), 0);
        QCOMPARE(g.form.Balloons().Caption(), std::string("Balloons Left: 100"));
        QVERIFY(!g.form.Dropper().Enabled());
    }

    void theHundredthThrowIsTheLast() {
        Game g;
        for (int i = 0; i < 100; ++i) {
            g.space();
        }
        QCOMPARE(g.form.WaterB().Count().value(), 101);
        QCOMPARE(g.form.Balloons().Caption(), std::string("Balloons Left: 0"));
        g.space();
        QCOMPARE(g.form.WaterB().Count().value(), 101);
        QCOMPARE(g.form.BalloonsLeft.value(), 0);
        QCOMPARE(g.form.Balloons().Caption(), std::string("Balloons Left: 0"));
    }

    void balloonFollowsTheArcAndLandsInTick24() {
        Game g;
        g.place(g.form.Zorbo(), 400);
        g.place(g.form.Quib(), 400);
        g.space();
        const float expectedLeft[] = {160, 170, 188, 188, 197, 205, 208, 210, 211, 212};
        for (int k = 1; k <= 24; ++k) {
            g.dropperTick();
            const rt::Image& b = g.balloon(1);
            QCOMPARE(b.Top(), static_cast<float>(56 + 10 * k));
            QCOMPARE(b.Left(), k <= 10 ? expectedLeft[k - 1] : 212.0F);
            QCOMPARE(b.Visible(), k < 24);
        }
        g.dropperTicks(5);  // landed balloons are never moved again
        QCOMPARE(g.balloon(1).Top(), 296.0F);
        QCOMPARE(g.balloon(1).Left(), 212.0F);
    }

    void aWalkerIsHitFrom177To228Inclusive() {
        for (int left : {176, 177, 200, 228, 229}) {
            Game g;
            g.place(g.form.Zorbo(), 400);
            g.place(g.form.Quib(), left);
            g.space();
            g.dropperTicks(24);
            const bool hit = left >= 177 && left <= 228;
            QCOMPARE(g.form.Score.value(), hit ? 1 : 0);
            QCOMPARE(g.form.Scr().Caption(), std::string(hit ? "Score: 1" : "Score: 0"));
            QCOMPARE(g.form.Attacking.value(), 0);
        }
    }

    void hitOnZorboStartsTheCounterAttackEvenWhereQuibIsToo() {
        Game g;
        g.place(g.form.Zorbo(), 228);
        g.place(g.form.Quib(), 177);
        g.space();
        g.dropperTicks(24);
        QCOMPARE(g.form.Score.value(), 0);
        QCOMPARE(g.form.Attacking.value(), -1);
        QCOMPARE(g.form.Walker().Interval(), 5);
        QVERIFY(!g.balloon(1).Visible());
    }

    void twoThrowsBetweenTicksFlyTogetherAndAreJudgedEach() {
        Game g;
        g.place(g.form.Zorbo(), 400);
        g.place(g.form.Quib(), 200);
        g.space();
        g.space();
        for (int k = 1; k <= 24; ++k) {
            g.dropperTick();
            QCOMPARE(g.balloon(1).Top(), g.balloon(2).Top());
            QCOMPARE(g.balloon(1).Left(), g.balloon(2).Left());
        }
        QCOMPARE(g.form.Score.value(), 2);
        QCOMPARE(g.form.Scr().Caption(), std::string("Score: 2"));
    }

    void aHitOnZorboDuringTheCounterAttackChangesNothingElseAndQuibStillScores() {
        Game g;
        g.place(g.form.Zorbo(), 200);
        g.place(g.form.Quib(), 400);
        g.space();
        g.dropperTicks(12);
        g.space();  // refused later, so throw the second one now
        g.dropperTicks(12);
        QCOMPARE(g.form.Attacking.value(), -1);
        g.walkerTicks(24);  // Zorbo walks towards the wall, out of the landing span
        QCOMPARE(g.zorboLeft(), 176);
        g.place(g.form.Quib(), 212);
        g.dropperTicks(12);  // the second balloon lands on Quib
        QCOMPARE(g.form.Score.value(), 1);
        QCOMPARE(g.form.Attacking.value(), -1);
        QCOMPARE(g.zorboLeft(), 176);
    }

    void lastBalloonOpensThePromptInItsOwnTickWithItsPointCounted() {
        Game g;
        g.place(g.form.Zorbo(), 400);
        g.place(g.form.Quib(), 212);
        for (int i = 0; i < 99; ++i) {
            g.space();
        }
        g.dropperTicks(10);
        g.space();  // the 100th, ten ticks behind the others
        g.dropperTicks(23);
        QVERIFY(g.host.boxes().empty());  // the 99 have landed, the last is still falling
        QCOMPARE(g.form.Score.value(), 99);
        g.host.answer({7});
        g.dropperTick();
        QCOMPARE(g.host.boxes().size(), size_t(1));
        QVERIFY(QString::fromStdString(g.host.boxes()[0].text).contains("Your score is 100."));
        QVERIFY(g.host.ended());
    }

    void ticksWithNoBalloonInFlightChangeNothing() {
        Game g;
        g.place(g.form.Quib(), 400);
        g.place(g.form.Zorbo(), 400);
        for (int i = 0; i < 100; ++i) {
            g.space();
        }
        g.host.answer({6});
        g.dropperTicks(24);
        QCOMPARE(g.host.boxes().size(), size_t(1));
        // A fresh game: its Dropper is off and the old balloons are gone.
        QCOMPARE(g.balloonsThrown(), 0);
        g.dropperTicks(50);
        QCOMPARE(g.host.boxes().size(), size_t(1));
        g.space();
        QCOMPARE(g.balloonsThrown(), 1);  // a restart numbers from 1 again
    }
};

QTEST_GUILESS_MAIN(BalloonsTest)
#include "test_balloons.moc"
