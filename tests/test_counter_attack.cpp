// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Zorbo's walk to the wall, his jump and the kick.
#include <QtTest>

#include "support/game_fixture.h"

namespace {

// Hits Zorbo where he stands with one balloon; Quib is kept out of the way.
void hitZorboAt(Game& g, int left) {
    g.place(g.form.Quib(), 400);
    g.place(g.form.Zorbo(), 212);
    g.space();
    g.dropperTicks(24);
    g.place(g.form.Zorbo(), left);
}

// Walker ticks until the kick lands; returns how many it took.
int ticksToKick(Game& g) {
    const int health = g.form.Health.value();
    for (int n = 1; n <= 1000; ++n) {
        g.walkerTick();
        if (g.form.Health.value() != health) {
            return n;
        }
    }
    return -1;
}

}  // namespace

class CounterAttackTest : public QObject {
    Q_OBJECT
  private slots:
    void kickLandsAfterTheApproachAndTheRise_data() {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("ticks");
        QTest::newRow("at the kick column") << 168 << 114;
        QTest::newRow("left end of the beat") << 145 << 136;
        QTest::newRow("design place") << 216 << 161;
        QTest::newRow("re-entry place") << 400 << 345;
    }
    void kickLandsAfterTheApproachAndTheRise() {
        QFETCH(int, left);
        QFETCH(int, ticks);
        Game g;
        hitZorboAt(g, left);
        QCOMPARE(g.form.Attacking.value(), -1);
        QCOMPARE(g.form.Walker().Interval(), 5);
        QCOMPARE(ticksToKick(g), ticks);
        QCOMPARE(g.quibLeft(), 400);  // Quib stood still throughout
        QCOMPARE(g.host.randomDrawn(), size_t(0));
    }

    void posesFollowTheHeight() {
        Game g;
        hitZorboAt(g, 168);
        const rt::HandlerScope asTheGame(g.form);
        const rt::PictureRef jumping = rt::LoadResPicture(6, 0);
        const rt::PictureRef kicking = rt::LoadResPicture(5, 0);
        const rt::PictureRef standing = rt::LoadResPicture(4, 0);
        for (int n = 1; n <= 110; ++n) {
            g.walkerTick();
            QCOMPARE(static_cast<double>(g.form.Zorbo().Top()), 309.0 - 2.5 * n);
        }
        QCOMPARE(g.form.Zorbo().Top(), 34.0F);
        QVERIFY(samePicture(g.form.Zorbo().Picture(), jumping));
        g.walkerTick();
        QCOMPARE(g.form.Zorbo().Top(), 31.5F);
        QVERIFY(samePicture(g.form.Zorbo().Picture(), kicking));
        g.walkerTicks(2);
        QCOMPARE(g.form.Zorbo().Top(), 26.5F);
        QCOMPARE(g.form.Health.value(), 5);
        g.walkerTick();  // step 114 reaches 24.0 and kicks in the same tick
        QCOMPARE(g.form.Health.value(), 4);
        QVERIFY(samePicture(g.form.Zorbo().Picture(), standing));
    }

    void afterTheKickZorboIsBackOnTheStreetAndWalksOn() {
        Game g;
        hitZorboAt(g, 190);
        ticksToKick(g);
        const Form1& f = g.form;
        QCOMPARE(f.Hlth().Caption(), std::string("Health: 4"));
        QCOMPARE(f.Zorbo().Top(), 309.0F);
        QCOMPARE(f.Zorbo().Left(), 168.0F);
        QCOMPARE(f.Attacking.value(), 0);
        QCOMPARE(f.Walker().Interval(), 100);
        g.space();  // throwing is allowed again
        QCOMPARE(g.balloonsThrown(), 2);
        g.host.scriptRandom({0.0F, 0.9F});
        g.walkerTick();
        QCOMPARE(g.zorboLeft(), 153);
        // The stored standing picture stays while he walks: silver skin, maroon shoes.
        QCOMPARE(f.Zorbo().Picture()->at(9, 2) & 0xFFFFFFU, 0xC0C0C0U);
        QCOMPARE(f.Zorbo().Picture()->at(8, 33) & 0xFFFFFFU, 0x800000U);
    }

    void aSecondHitDuringTheRiseChangesNothing() {
        Game g;
        hitZorboAt(g, 168);
        g.walkerTicks(50);
        const float top = g.form.Zorbo().Top();
        // Another balloon lands on Zorbo's span, as Zorbo stands at 168 during the rise.
        g.form.WaterB().Load(2);
        rt::Image& b = g.balloon(2);
        b.setVisible(true);
        b.setLeft(212);
        b.setTop(286);
        g.place(g.form.Zorbo(), 190);  // within reach of the landing
        g.dropperTick();
        g.place(g.form.Zorbo(), 168);
        QCOMPARE(g.form.Attacking.value(), -1);
        QCOMPARE(g.form.Walker().Interval(), 5);
        QCOMPARE(g.form.Zorbo().Top(), top);
        QCOMPARE(ticksToKick(g), 64);
    }

    void fifthKickOpensTheDeathPromptWithZorboOnTheStreet() {
        Game g;
        for (int kick = 1; kick <= 4; ++kick) {
            hitZorboAt(g, 168);
            ticksToKick(g);
        }
        QCOMPARE(g.form.Health.value(), 1);
        QVERIFY(g.host.boxes().empty());
        hitZorboAt(g, 168);
        // Look at the state as the prompt opens.
        std::string caption;
        float top = 0;
        float left = 0;
        int attacking = 1;
        int interval = 0;
        g.host.setAnswerer([&](const rt::HeadlessHost::Box&) {
            const Form1& f = g.form;
            caption = f.Hlth().Caption();
            top = f.Zorbo().Top();
            left = f.Zorbo().Left();
            attacking = f.Attacking.value();
            interval = f.Walker().Interval();
            return 7;
        });
        ticksToKick(g);
        QCOMPARE(g.host.boxes().size(), size_t(1));
        const auto& box = g.host.boxes()[0];
        QCOMPARE(box.title, std::string("Ouch!"));
        QCOMPARE(box.buttons, 4);
        QCOMPARE(box.text, std::string("You died. Be careful around Zorbo!!\r\rYou threw 5 "
                                       "balloons.\rYour score is 0.\r\rTry again?"));
        QVERIFY(g.host.ended());
        QCOMPARE(caption, std::string("Health: 0"));
        QCOMPARE(top, 309.0F);
        QCOMPARE(left, 168.0F);
        QCOMPARE(attacking, 0);
        QCOMPARE(interval, 100);
    }

    void onlyAKickThatReachesExactlyZeroEndsTheGame() {
        Game g;
        g.form.Health = 3;
        hitZorboAt(g, 168);
        ticksToKick(g);
        g.form.Health = -1;  // not a reachable value, but the rule is about exactly 0
        hitZorboAt(g, 168);
        ticksToKick(g);
        QCOMPARE(g.form.Health.value(), -2);
        QVERIFY(g.host.boxes().empty());
    }
};

QTEST_GUILESS_MAIN(CounterAttackTest)
#include "test_counter_attack.moc"
