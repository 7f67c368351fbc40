// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The forms runtime on its own: the value types, controls, control arrays, the form's life
// and the halting of the program, on the headless host.
#include <QtTest>

#include "playfield/sprites.h"
#include "runtime/form.h"
#include "runtime/headless/headless_host.h"
#include "support/game_fixture.h"

namespace {

rt::PictureRef dot() {
    auto p = std::make_shared<rt::Picture>();
    p->width = 2;
    p->height = 2;
    p->pixels.assign(4, 0xFF102030U);
    return p;
}

// A small form of our own: two timers, a picture array, a label and a menu item.
rt::ControlDesign control(rt::ControlKind kind, const char* name) {
    rt::ControlDesign d;
    d.kind = kind;
    d.name = name;
    return d;
}

const rt::FormDesign& probeDesign() {
    static const rt::FormDesign d = [] {
        rt::FormDesign f;
        f.name = "Probe";
        f.caption = "Probe";
        f.clientWidth = 40;
        f.clientHeight = 30;
        for (const char* name : {"Fast", "Slow"}) {
            rt::ControlDesign t = control(rt::ControlKind::Timer, name);
            t.enabled = true;
            t.interval = 10;
            f.controls.push_back(t);
        }
        rt::ControlDesign cap = control(rt::ControlKind::Label, "Cap");
        cap.caption = "design";
        cap.width = 30;
        cap.height = 10;
        f.controls.push_back(cap);
        rt::ControlDesign pic = control(rt::ControlKind::Image, "Pic");
        pic.index = 0;
        pic.left = 3;
        pic.top = 4;
        pic.width = 2;
        pic.height = 2;
        pic.picture = dot();
        f.controls.push_back(pic);
        rt::ControlDesign go = control(rt::ControlKind::Menu, "mnuGo");
        go.caption = "Go";
        f.controls.push_back(go);
        return f;
    }();
    return d;
}

class Probe : public rt::Form {
  public:
    Probe() : rt::Form(probeDesign()) {
        on("Fast_Timer", [this] {
            note('F');
            if (onFast) {
                onFast();
            }
        });
        on("Slow_Timer", [this] { note('S'); });
        on("mnuGo_Click", [this] {
            if (onGo) {
                onGo();
            }
        });
    }
    rt::HeadlessHost& headless() const { return static_cast<rt::HeadlessHost&>(host()); }
    rt::Timer& Fast() { return timer("Fast"); }
    rt::Timer& Slow() { return timer("Slow"); }
    rt::ImageArray& Pic() { return imageArray("Pic"); }
    rt::Label& Cap() { return label("Cap"); }
    void Form_Load() override { ++loads; }
    // Each tick as its timer's letter and the virtual time.
    void note(char timer) {
        log += timer;
        log += std::to_string(headless().now());
        log += ' ';
    }
    void Form_KeyUp(rt::Integer KeyCode, rt::Integer) override { keys += KeyCode.value(); }
    void bind(const std::string& handlerName) {
        on(handlerName, [] {});
    }

    std::string log;
    int loads = 0;
    int keys = 0;
    std::function<void()> onFast;
    std::function<void()> onGo;
};

template <typename F>
int errorNumberOf(F&& f) {
    try {
        f();
    } catch (const rt::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

class RuntimeTest : public QObject {
    Q_OBJECT
  private slots:
    void integerArithmeticOverflowRaisesInsteadOfWrapping() {
        rt::Integer top = 32767;
        rt::Integer bottom = -32768;
        QCOMPARE((top - 1).value(), 32766);
        QCOMPARE(errorNumberOf([&] { (void)(top + 1); }), 6);
        QCOMPARE(errorNumberOf([&] { (void)(bottom - 1); }), 6);
        QCOMPARE(errorNumberOf([&] { (void)(rt::Integer(200) * 200); }), 6);
        QCOMPARE(errorNumberOf([&] { (void)(-bottom); }), 6);
        QCOMPARE(errorNumberOf([] { (void)rt::Integer(40000); }), 6);
        rt::Variant v = 32767;
        QCOMPARE(errorNumberOf([&] { v = v + 1; }), 6);
        QCOMPARE(v.value(), 32767);  // an overflow leaves the old value
    }

    void strPutsABlankBeforeNumbersThatAreNotNegative() {
        QCOMPARE(rt::Str(0), std::string(" 0"));
        QCOMPARE(rt::Str(5), std::string(" 5"));
        QCOMPARE(rt::Str(-3), std::string("-3"));
        QCOMPARE(rt::Str(-32768), std::string("-32768"));
        QCOMPARE(rt::Int(2.9999), 2.0);
        QCOMPARE(rt::Int(-0.5), -1.0);
        QCOMPARE(rt::Chr(13), std::string("\r"));
    }

    void positionsReadBackExactlyAsWrittenHalfPixelsIncluded() {
        Game g;
        rt::Image& z = g.form.Zorbo();
        z.setTop(306.5F);
        QCOMPARE(z.Top(), 306.5F);
        // Every height of a rise, written one after another as the counter-attack does.
        z.setTop(309);
        for (int n = 1; n <= 114; ++n) {
            z.setTop(static_cast<rt::Single>(static_cast<double>(z.Top()) - 2.5));
            QCOMPARE(static_cast<double>(z.Top()), 309.0 - 2.5 * n);
        }
    }

    void loadedArrayElementCopiesElementZeroButStartsHidden() {
        rt::HeadlessHost host;
        Probe p;
        host.start(p);
        p.Pic()[0].setLeft(7.5F);
        p.Pic().Load(1);
        rt::Image& e = p.Pic()[1];
        QCOMPARE(p.Pic().Count().value(), 2);
        QCOMPARE(e.Left(), 7.5F);
        QCOMPARE(e.Top(), 4.0F);
        QCOMPARE(e.Width(), 2.0F);
        QCOMPARE(e.Height(), 2.0F);
        QVERIFY(e.Picture() == p.Pic()[0].Picture());
        QVERIFY(!e.Visible());
        QVERIFY(p.Pic()[0].Visible());
        // A new element stacks just in front of its template.
        const auto& s = p.stacking();
        const auto at = [&](const rt::Visual* v) {
            return std::find(s.begin(), s.end(), v) - s.begin();
        };
        QCOMPARE(at(&e) + 1, at(&p.Pic()[0]));
    }

    void invalidOrDuplicateArrayIndexIsARuntimeError() {
        rt::HeadlessHost host;
        Probe p;
        host.start(p);
        QCOMPARE(errorNumberOf([&] { (void)p.Pic()[1]; }), 340);
        QCOMPARE(errorNumberOf([&] { p.Pic().Load(-1); }), 340);
        QCOMPARE(errorNumberOf([&] { p.Pic().Load(0); }), 360);
        p.Pic().Load(1);
        QCOMPARE(errorNumberOf([&] { p.Pic().Load(1); }), 360);

        // Inside a handler the same error halts the program with a failing status.
        p.onGo = [&] { (void)p.Pic()[9]; };
        host.click(p, "mnuGo");
        QVERIFY(host.halted());
        QCOMPARE(host.exitStatus(), 1);
        QVERIFY(QString::fromStdString(host.errorReport()).contains("mnuGo_Click"));
        QVERIFY(QString::fromStdString(host.errorReport()).contains("'9'"));
        QVERIFY(!p.loaded());
        host.advance(1000);
        QVERIFY(p.log.empty());
    }

    void unloadThenShowGivesTheDesignLayoutBackAndKeepsTheFields() {
        Game g;
        Form1& f = g.form;
        g.space();
        g.space();
        f.Zorbo().setLeft(168);
        f.Zorbo().setTop(31.5F);
        f.Zorbo().setPicture(playfield::storedBitmap(5));
        f.Walker().setInterval(5);
        f.Scr().setCaption("Score: 77");
        f.Score = 42;
        f.Unload();
        QVERIFY(!f.loaded());
        QCOMPARE(f.Score.value(), 42);  // the object and its fields outlive the unload
        QCOMPARE(errorNumberOf([&] { (void)f.Zorbo(); }), 364);
        f.Show();
        QCOMPARE(f.Score.value(), 0);
        QCOMPARE(f.WaterB().Count().value(), 1);
        QCOMPARE(f.Zorbo().Left(), 216.0F);
        QCOMPARE(f.Zorbo().Top(), 309.0F);
        QVERIFY(f.Zorbo().Picture() == playfield::zorboPicture());
        QCOMPARE(f.Walker().Interval(), 100);
        QVERIFY(!f.Dropper().Enabled());
        QCOMPARE(f.Scr().Caption(), std::string("Score: 0"));
    }

    void endStopsEveryFurtherEvent() {
        rt::HeadlessHost host;
        Probe p;
        host.start(p);
        int fast = 0;
        p.onFast = [&] {
            if (++fast == 3) {
                rt::End();
            }
            p.Cap().setCaption("after End");  // never reached on the third tick
        };
        host.advance(1000);
        QCOMPARE(fast, 3);
        QVERIFY(host.ended());
        QCOMPARE(host.exitStatus(), 0);
        QVERIFY(!p.loaded());
        QCOMPARE(p.log, std::string("F10 S10 F20 S20 F30 "));
        host.keyUp(p, 32);
        QCOMPARE(p.keys, 0);
    }

    void timersKeepTheirPeriodWhenReEnabledAndRestartOnANewInterval() {
        rt::HeadlessHost host;
        Probe p;
        host.start(p);
        p.Slow().setEnabled(false);
        host.advance(15);           // Fast at 10
        p.Fast().setEnabled(true);  // already on: its next tick stays at 20
        host.advance(10);
        QCOMPARE(p.log, std::string("F10 F20 "));
        p.Fast().setInterval(7);    // at 25: next at 32, then 39
        p.Slow().setEnabled(true);  // switched on at 25: first tick at 35
        host.advance(15);
        QCOMPARE(p.log, std::string("F10 F20 F32 S35 F39 "));
        p.Fast().setInterval(0);  // an interval of 0 never ticks
        p.log.clear();
        host.advance(100);
        QCOMPARE(p.log, std::string("S45 S55 S65 S75 S85 S95 S105 S115 S125 S135 "));
        QCOMPARE(errorNumberOf([&] { p.Fast().setInterval(-1); }), 5);
    }

    void formLoadRunsOnceBeforeTheFirstShowAndShowLoadsOnlyIfNeeded() {
        rt::HeadlessHost host;
        Probe p;
        QVERIFY(!p.loaded());
        host.start(p);
        QCOMPARE(p.loads, 1);
        QVERIFY(p.shown());
        p.Show();
        QCOMPARE(p.loads, 1);
        p.Unload();
        p.Show();
        QCOMPARE(p.loads, 2);
        QCOMPARE(p.Cap().Caption(), std::string("design"));
    }

    void propertyWritesAskToRepaintOnlyWhatChanged() {
        rt::HeadlessHost host;
        Probe p;
        host.start(p);
        host.takeInvalidated();
        rt::Image& pic = p.Pic()[0];
        pic.setLeft(3);  // same value: nothing to paint
        QVERIFY(host.takeInvalidated().empty());
        pic.setLeft(10.5F);  // old and new place
        const auto moved = host.takeInvalidated();
        QCOMPARE(moved.size(), size_t(2));
        QCOMPARE(moved[0], (rt::PixelRect{3, 4, 2, 2}));
        QCOMPARE(moved[1], (rt::PixelRect{10, 4, 2, 2}));
        pic.setVisible(false);
        QCOMPARE(host.takeInvalidated().size(), size_t(1));
        pic.setTop(20);  // hidden: nothing shows, nothing to paint
        QVERIFY(host.takeInvalidated().empty());
    }

    void aHandlerBoundToNoEventStopsTheLoad() {
        // A misspelt binding would never run, and nobody would notice.
        for (const char* name : {"Fast_Tick", "mnuGo_Timer", "Cap_Click", "Nobody_Timer", "Fast"}) {
            rt::HeadlessHost host;
            Probe p;
            p.bind(name);
            host.start(p);
            QCOMPARE(host.exitStatus(), 1);
            QVERIFY(!p.loaded());
            QCOMPARE(p.loads, 0);
            QVERIFY2(QString::fromStdString(host.errorReport()).contains(name),
                     host.errorReport().c_str());
        }
    }

    void runtimeFunctionsActForTheFormWhoseHandlerRuns() {
        // Two programs in one process, each on its own host: a handler's calls reach the host of
        // its own form, never whichever host was made last.
        Game game;
        rt::HeadlessHost host;
        Probe p;
        host.start(p);
        game.host.scriptRandom({0.9F, 0.9F});
        host.scriptRandom({0.25F});
        float drawn = -1;
        int bitmapError = 0;
        p.onGo = [&] {
            drawn = rt::Rnd();
            rt::Randomize();
            rt::MsgBox("probe", 0, "Probe");
            // The stored bitmaps belong to a form's design; this one stores none.
            bitmapError = errorNumberOf([] { (void)rt::LoadResPicture(4, 0); });
        };
        host.click(p, "mnuGo");
        QCOMPARE(drawn, 0.25F);
        QCOMPARE(host.randomizeCalls(), 1);
        QCOMPARE(host.boxes().size(), size_t(1));
        QCOMPARE(bitmapError, 326);
        // Form1's walk draws from its own host, and its box opens there.
        game.walkerTick();
        QCOMPARE(game.quibLeft(), 329);
        QCOMPARE(game.host.randomDrawn(), size_t(2));
        QCOMPARE(game.host.randomizeCalls(), 1);  // its own Form_Load
        game.click("mnuHelp");
        QCOMPARE(game.host.boxes().size(), size_t(1));
        QCOMPARE(host.boxes().size(), size_t(1));
        // End ends only the program whose handler calls it.
        p.onGo = [] { rt::End(); };
        host.click(p, "mnuGo");
        QVERIFY(host.ended());
        QVERIFY(!game.host.halted());
        QVERIFY(game.form.loaded());
    }
};

QTEST_GUILESS_MAIN(RuntimeTest)
#include "test_runtime.moc"
