// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The random walk of Quib and Zorbo.
#include <QtTest>

#include "support/game_fixture.h"

class WalkersTest : public QObject {
    Q_OBJECT
  private slots:
    void aThirdOrMoreGivesAStepAndQuibDrawsFirst() {
        Game g;
        g.host.scriptRandom({0.2F, 0.5F});
        g.walkerTick();
        QCOMPARE(g.quibLeft(), 344);
        QCOMPARE(g.zorboLeft(), 201);
        g.host.scriptRandom({0.5F, 0.1F});
        g.walkerTick();
        QCOMPARE(g.quibLeft(), 329);
        QCOMPARE(g.zorboLeft(), 201);
        g.host.scriptRandom({0.3333F, 0.3334F});
        g.walkerTick();
        QCOMPARE(g.quibLeft(), 329);
        QCOMPARE(g.zorboLeft(), 186);
        // The largest single below 1/3 stands; its product must not be rounded up.
        g.host.scriptRandom({std::nextafter(1.0F / 3.0F, 0.0F), 0.99999994F});
        g.walkerTick();
        QCOMPARE(g.quibLeft(), 329);
        QCOMPARE(g.zorboLeft(), 171);
        QCOMPARE(g.host.randomDrawn(), size_t(8));  // both draws in every walking tick
    }

    void walkersReEnterAtExactly400() {
        Game g;
        g.place(g.form.Quib(), 160);
        g.place(g.form.Zorbo(), 145);
        g.host.scriptRandom({0.9F, 0.9F});
        g.walkerTick();
        QCOMPARE(g.quibLeft(), 145);  // still on the beat
        QCOMPARE(g.zorboLeft(), 400);
        g.place(g.form.Quib(), 149);
        g.place(g.form.Zorbo(), 156);
        g.host.scriptRandom({0.7F, 0.4F});
        g.walkerTick();
        QCOMPARE(g.quibLeft(), 400);  // not 400 less the overshoot
        QCOMPARE(g.zorboLeft(), 400);
        QCOMPARE(g.form.Quib().Top(), 309.0F);
        QCOMPARE(g.form.Zorbo().Top(), 309.0F);
    }

    void startSequencesFromTheDesignPlaces() {
        Game g;
        std::vector<int> zorbo;
        std::vector<int> quib;
        for (int i = 0; i < 14; ++i) {
            g.host.scriptRandom({0.99F, 0.99F});
            g.walkerTick();
            zorbo.push_back(g.zorboLeft());
            quib.push_back(g.quibLeft());
        }
        QCOMPARE(std::vector<int>(zorbo.begin(), zorbo.begin() + 6),
                 (std::vector<int>{201, 186, 171, 156, 400, 385}));
        QCOMPARE(quib[12], 149);
        QCOMPARE(quib[13], 400);
        for (int i = 0; i < 13; ++i) {
            QCOMPARE(quib[static_cast<size_t>(i)], 344 - 15 * (i + 1));
        }
    }

    void nobodyWalksAndNothingIsDrawnDuringACounterAttack() {
        Game g;
        g.form.Attacking = -1;
        g.host.scriptRandom({0.9F, 0.9F});
        g.walkerTicks(10);
        QCOMPARE(g.quibLeft(), 344);
        QCOMPARE(g.zorboLeft(), 206);  // ten approach steps of one pixel
        QCOMPARE(g.host.randomDrawn(), size_t(0));
        g.form.Attacking = 0;
        g.walkerTick();  // the next walking tick takes the next two numbers
        QCOMPARE(g.host.randomDrawn(), size_t(2));
        QCOMPARE(g.quibLeft(), 329);
        QCOMPARE(g.zorboLeft(), 191);
    }

    void walkersStayOnTheirReachableBeats() {
        Game g;
        std::mt19937 gen(7);
        std::uniform_real_distribution<float> uni(0.0F, 1.0F);
        g.host.setRandomFallback([&] { return uni(gen); });
        for (int i = 0; i < 2000; ++i) {
            g.walkerTick();
            for (int left : {g.quibLeft(), g.zorboLeft()}) {
                const bool lap = left <= 400 && left >= 145 && (400 - left) % 15 == 0;
                const bool zorboStart = left <= 216 && left >= 156 && (216 - left) % 15 == 0;
                const bool quibStart = left <= 344 && left >= 149 && (344 - left) % 15 == 0;
                QVERIFY(lap || zorboStart || quibStart);
            }
        }
    }
};

QTEST_GUILESS_MAIN(WalkersTest)
#include "test_walkers.moc"
