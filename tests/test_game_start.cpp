// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// A game as it stands right after the window has loaded.
#include <QtTest>

#include "playfield/sprites.h"
#include "support/game_fixture.h"

class GameStartTest : public QObject {
    Q_OBJECT
  private slots:
    void formLoadSetsTheStateAndTheThreeCaptions() {
        Game g;
        const Form1& f = g.form;
        QCOMPARE(f.Health.value(), 5);
        QCOMPARE(f.Score.value(), 0);
        QCOMPARE(f.BalloonsLeft.value(), 100);
        QCOMPARE(f.Attacking.value(), 0);
        QCOMPARE(f.Balloons().Caption(), std::string("Balloons Left: 100"));
        QCOMPARE(f.Scr().Caption(), std::string("Score: 0"));
        QCOMPARE(f.Hlth().Caption(), std::string("Health: 5"));
        QCOMPARE(g.host.randomizeCalls(), 1);
        QVERIFY(f.shown());
    }

    void theDesignCaptionOfHealthIsNeverShown() {
        // The layout says "Health: 10"; Form_Load replaces it before the first show.
        struct Watch : Form1 {
            std::string captionAtLoad;
            void Form_Load() override {
                captionAtLoad = Hlth().Caption();
                QVERIFY(!shown());
                Form1::Form_Load();
            }
        };
        rt::HeadlessHost host;
        Watch w;
        host.start(w);
        QCOMPARE(w.captionAtLoad, std::string("Health: 10"));
        QCOMPARE(w.Hlth().Caption(), std::string("Health: 5"));
    }

    void timersAndSpritesStartAtTheirDesignSettings() {
        Game g;
        const Form1& f = g.form;
        QVERIFY(!f.Dropper().Enabled());
        QCOMPARE(f.Dropper().Interval(), 50);
        QVERIFY(f.Walker().Enabled());
        QCOMPARE(f.Walker().Interval(), 100);
        QCOMPARE(f.WaterB().Count().value(), 1);
        const rt::Image& template0 = f.WaterB()[0];
        QVERIFY(!template0.Visible());
        QCOMPARE(template0.Left(), 160.0F);
        QCOMPARE(template0.Top(), 56.0F);
        QCOMPARE(f.Zorbo().Left(), 216.0F);
        QCOMPARE(f.Quib().Left(), 344.0F);
        QCOMPARE(f.Zorbo().Top(), 309.0F);
        QCOMPARE(f.Quib().Top(), 309.0F);
        QVERIFY(f.Zorbo().Picture() == playfield::zorboPicture());
        QCOMPARE(f.Caption(), std::string("Drenchwick"));
    }

    void onlyTheWalkerTicksUntilTheFirstThrow() {
        Game g;
        g.host.advance(1000);
        QCOMPARE(g.host.randomDrawn(), size_t(20));  // ten walking ticks, two draws each
        QCOMPARE(g.balloonsThrown(), 0);
    }

    void everyLoadReseedsTheGenerator() {
        Game g;
        g.click("mnuReset");
        g.click("mnuReset");
        QCOMPARE(g.host.randomizeCalls(), 3);
    }
};

QTEST_GUILESS_MAIN(GameStartTest)
#include "test_game_start.moc"
