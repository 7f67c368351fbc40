// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Random play on the headless host: any key with any shift state, ticks of either timer in any
// order, stretches of virtual time, menu commands and any answer to a box, with every rule that
// must hold between two events checked after each one. The choices come from a Chooser, so that
// a seeded generator (test_fuzz) and libFuzzer's bytes (fuzz_events) drive the same play.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

#include "playfield/sprites.h"
#include "support/game_fixture.h"

namespace fuzz {

class Chooser {
  public:
    virtual ~Chooser() = default;
    // A number in [0, n).
    virtual uint32_t below(uint32_t n) = 0;
};

struct Stats {
    uint64_t events = 0;
    uint64_t programs = 0;  // a fresh program after each End
    uint64_t throws = 0;
    uint64_t kicks = 0;
    uint64_t noMorePrompts = 0;
    uint64_t ouchPrompts = 0;
    uint64_t helpBoxes = 0;
    uint64_t answeredYes = 0;
    uint64_t answeredNo = 0;
    uint64_t answeredOther = 0;
    uint64_t resets = 0;
    uint64_t exits = 0;
};

namespace detail {

// The runtime's Str, written out again.
inline std::string str(int n) {
    std::string s = std::to_string(n);
    if (n >= 0) {
        s.insert(s.begin(), ' ');
    }
    return s;
}

// Left of a balloon in flight for its Top, or -1 for a Top it cannot have.
inline float arcLeft(float top) {
    if (top == 56) {
        return 145;
    }
    const float lefts[] = {160, 170, 188, 188, 197, 205, 208, 210, 211, 212};
    for (int k = 1; k <= 23; ++k) {
        if (top == static_cast<float>(56 + 10 * k)) {
            return k <= 10 ? lefts[k - 1] : 212;
        }
    }
    return -1;
}

inline bool onReentryBeat(float left) {
    for (int k = 0; k <= 17; ++k) {
        if (left == static_cast<float>(400 - 15 * k)) {
            return true;
        }
    }
    return false;
}

inline bool quibCanStand(float left) {
    for (int k = 0; k <= 13; ++k) {
        if (left == static_cast<float>(344 - 15 * k)) {
            return true;
        }
    }
    return onReentryBeat(left);
}

inline bool zorboCanStand(float left) {
    for (float v : {216.0F, 201.0F, 186.0F, 171.0F, 156.0F, 168.0F, 153.0F}) {
        if (left == v) {
            return true;
        }
    }
    return onReentryBeat(left);
}

// n for a Top of 309 - 2.5n on the rise, 1 <= n <= 113; 0 if it is none of those.
inline int riseStep(float top) {
    for (int n = 1; n <= 113; ++n) {
        if (top == static_cast<float>(309.0 - 2.5 * n)) {
            return n;
        }
    }
    return 0;
}

}  // namespace detail

class Run {
  public:
    explicit Run(Chooser& choose) : choose_(choose) { newProgram(); }

    const Stats& stats() const { return stats_; }

    // Plays one event and checks the game after it; returns what broke, or "".
    std::string step() {
        ++stats_.events;
        before_ = snapshot();
        loadsBefore_ = game_->host.randomizeCalls();
        singleDropperTick_ = false;
        Game& g = *game_;
        const uint32_t r = choose_.below(1000000);
        if (r < 300000) {
            g.dropperTick();
            singleDropperTick_ = true;
        } else if (r < 600000) {
            g.walkerTick();
        } else if (r < 710000) {
            g.space(static_cast<int>(choose_.below(256)));
        } else if (r < 790000) {
            g.host.keyUp(g.form, static_cast<int>(choose_.below(65536)),
                         static_cast<int>(choose_.below(256)));
        } else if (r < 999500) {
            g.host.advance(choose_.below(250));
        } else if (r < 999600) {
            ++stats_.resets;
            g.click("mnuReset");
        } else if (r < 999700) {
            g.click("mnuHelp");
        } else if (r < 999730) {
            ++stats_.exits;
            g.click("mnuExit");
        } else {
            // Names that are no menu item or no timer are nobody's event.
            const char* odd[] = {"mnuBogus", "Dropper", "Form1", "WaterB", ""};
            g.click(odd[choose_.below(5)]);
            g.host.tick(g.form, odd[choose_.below(5)]);
        }
        g.host.takeInvalidated();  // nobody paints here
        if (!failure_.empty()) {
            return failure_;
        }
        return check();
    }

  private:
    struct Snapshot {
        bool attacking = false;
        float zorboLeft = 0;
        int health = 5;
        int thrown = 0;
    };

    Snapshot snapshot() const {
        const Form1& f = game_->form;
        if (!f.loaded()) {
            return {};
        }
        return {f.Attacking.value() != 0, f.Zorbo().Left(), f.Health.value(),
                f.WaterB().Count().value() - 1};
    }

    void newProgram() {
        game_.reset();  // the old host goes first: the runtime talks to the newest one
        game_ = std::make_unique<Game>();
        ++stats_.programs;
        deathLeftRunning_ = false;
        approachBound_ = -1;
        game_->host.setRandomFallback(
            [this] { return static_cast<rt::Single>(choose_.below(1U << 24)) / 16777216.0F; });
        game_->host.setAnswerer([this](const rt::HeadlessHost::Box& box) { return answer(box); });
    }

    int answer(const rt::HeadlessHost::Box& box) {
        const Form1& f = game_->form;
        if (game_->host.openBoxes() != 1) {
            fail("a box opened while another was open: " + box.title);
        }
        const int score = f.Score.value();
        if (box.title == "Need help?") {
            ++stats_.helpBoxes;
            if (box.buttons != 0) {
                fail("the help box is not an OK box");
            }
            return static_cast<int>(choose_.below(10));  // OK, or whatever: it restarts anyway
        }
        if (box.title == "No more!") {
            ++stats_.noMorePrompts;
            if (f.BalloonsLeft.value() != 0 || landed() != 100) {
                fail("out of balloons with balloons to go");
            }
            if (box.text.find("Your score is" + detail::str(score) + ".") == std::string::npos) {
                fail("the prompt's score is not " + std::to_string(score));
            }
        } else if (box.title == "Ouch!") {
            ++stats_.ouchPrompts;
            if (f.Health.value() != 0) {
                fail("the death prompt at a health of " + std::to_string(f.Health.value()));
            }
            const std::string thrown =
                "You threw" + detail::str(100 - f.BalloonsLeft.value()) + " balloons.";
            if (box.text.find(thrown) == std::string::npos) {
                fail("the death prompt does not say: " + thrown);
            }
        } else {
            fail("a box titled \"" + box.title + "\"");
        }
        if (box.buttons != 4) {
            fail("a prompt without Yes and No");
        }
        const uint32_t r = choose_.below(100);
        if (r < 50) {
            ++stats_.answeredYes;
            return 6;
        }
        if (r < 65) {
            ++stats_.answeredNo;
            return 7;
        }
        ++stats_.answeredOther;
        // Neither Yes nor No: the game goes on where it was.
        if (box.title == "Ouch!") {
            deathLeftRunning_ = true;
        }
        const int others[] = {0, 1, 2, 3, 4, 5, 8, -1, 32767};
        return others[choose_.below(9)];
    }

    void fail(const std::string& what) {
        if (failure_.empty()) {
            failure_ = what;
        }
    }

    int landed() const {
        const Form1& f = game_->form;
        int n = 0;
        for (int i = 1; i < f.WaterB().Count().value(); ++i) {
            n += f.WaterB()[i].Visible() ? 0 : 1;
        }
        return n;
    }

    std::string check() {
        rt::HeadlessHost& h = game_->host;
        if (h.maxOpenBoxes() > 1) {
            return "two boxes open at once";
        }
        if (h.halted()) {
            if (!h.ended() || !h.errorReport().empty()) {
                return "runtime error: " + h.errorReport();
            }
            newProgram();
            return "";
        }
        const Form1& f = game_->form;
        if (!f.loaded() || !f.shown()) {
            return "the window is gone but the program runs";
        }
        if (h.randomizeCalls() != loadsBefore_) {
            // A fresh game began during the event: nothing carries over from the old one.
            before_ = Snapshot{false, 216, 5, 0};
            approachBound_ = -1;
            singleDropperTick_ = false;
            if (f.Health.value() == 5) {
                deathLeftRunning_ = false;
            }
        }
        if (f.Health.value() < before_.health) {
            stats_.kicks += static_cast<uint64_t>(before_.health - f.Health.value());
        }
        const int thrown = f.WaterB().Count().value() - 1;
        if (thrown > before_.thrown) {
            stats_.throws += static_cast<uint64_t>(thrown - before_.thrown);
        }

        // The game state and its captions.
        const int left = f.BalloonsLeft.value();
        if (left < 0 || left > 100) {
            return "BalloonsLeft " + std::to_string(left);
        }
        if (thrown + left != 100) {
            return std::to_string(thrown) + " thrown but " + std::to_string(left) + " left";
        }
        const int landedNow = landed();
        const int score = f.Score.value();
        if (score < 0 || score > landedNow) {
            return "score " + std::to_string(score) + " with " + std::to_string(landedNow) +
                   " landed";
        }
        const int health = f.Health.value();
        // Only a death prompt answered neither Yes nor No leaves a game running at 0, where
        // further kicks take it lower.
        if (health > 5 || (health < 0 && !deathLeftRunning_) || health < -100) {
            return "health " + std::to_string(health);
        }
        if (f.Balloons().Caption() != "Balloons Left:" + detail::str(left) ||
            f.Scr().Caption() != "Score:" + detail::str(score) ||
            f.Hlth().Caption() != "Health:" + detail::str(health)) {
            return "captions " + f.Balloons().Caption() + " / " + f.Scr().Caption() + " / " +
                   f.Hlth().Caption();
        }
        if (f.Dropper().Enabled() != (thrown > 0) || f.Dropper().Interval() != 50) {
            return "Dropper on before the first throw, or off after it";
        }

        // The balloons: landed ones form a prefix and lie at the end of the arc; the ones in
        // flight are on the arc, the later thrown no lower than the earlier.
        const rt::Image& model = f.WaterB()[0];
        if (model.Visible() || model.Left() != 160 || model.Top() != 56) {
            return "the template balloon moved or showed";
        }
        float lowest = 1000;
        for (int i = 1; i <= thrown; ++i) {
            const rt::Image& b = f.WaterB()[i];
            if (!b.Visible()) {
                if (i > landedNow) {
                    return "balloon " + std::to_string(i) + " landed before an earlier one";
                }
                if (b.Top() != 296 || b.Left() != 212) {
                    return "a landed balloon off the landing place";
                }
                continue;
            }
            if (detail::arcLeft(b.Top()) != b.Left()) {
                return "balloon " + std::to_string(i) + " at (" + std::to_string(b.Top()) + ", " +
                       std::to_string(b.Left()) + ") is off the arc";
            }
            if (b.Top() > lowest) {
                return "a later balloon below an earlier one";
            }
            lowest = b.Top();
        }

        // The walkers.
        const rt::Image& quib = f.Quib();
        if (quib.Top() != 309 || !detail::quibCanStand(quib.Left())) {
            return "Quib at (" + std::to_string(quib.Top()) + ", " + std::to_string(quib.Left()) +
                   ")";
        }
        const rt::Image& z = f.Zorbo();
        const bool attacking = f.Attacking.value() != 0;
        if (f.Attacking.value() != 0 && f.Attacking.value() != -1) {
            return "Attacking is " + std::to_string(f.Attacking.value());
        }
        if (f.Walker().Interval() != (attacking ? 5 : 100) || !f.Walker().Enabled()) {
            return "Walker at " + std::to_string(f.Walker().Interval()) + " ms";
        }
        const std::string where =
            " (" + std::to_string(z.Top()) + ", " + std::to_string(z.Left()) + ")";
        if (!attacking) {
            approachBound_ = -1;
            if (z.Top() != 309 || !zorboCanStand(z.Left())) {
                return "Zorbo walking at" + where;
            }
            if (z.Picture() != playfield::zorboPicture() && !samePicture(z.Picture(), stored(4))) {
                return "Zorbo walks in a jumping or kicking picture";
            }
            return "";
        }
        if (z.Top() == 309) {
            // The approach: whole pixels, straight towards 168 from where he was hit.
            const float l = z.Left();
            if (l != std::floor(l) || l < 145 || l > 400) {
                return "Zorbo approaching at" + where;
            }
            if (!before_.attacking) {
                approachBound_ = -1;
                if (singleDropperTick_ && l != before_.zorboLeft) {
                    return "Zorbo moved in the tick that hit him" + where;
                }
            }
            if (approachBound_ >= 0 && (std::fabs(l - 168) > std::fabs(approachBound_ - 168) ||
                                        (l - 168) * (approachBound_ - 168) < 0)) {
                return "Zorbo's approach goes the wrong way" + where;
            }
            approachBound_ = l;
            if (z.Picture() != playfield::zorboPicture() && !samePicture(z.Picture(), stored(4))) {
                return "Zorbo approaches in a jumping or kicking picture";
            }
            return "";
        }
        const int n = detail::riseStep(z.Top());
        if (z.Left() != 168 || n == 0) {
            return "Zorbo rising at" + where;
        }
        if (!samePicture(z.Picture(), stored(z.Top() < 34 ? 5 : 6))) {
            return "Zorbo in the wrong picture at" + where;
        }
        return "";
    }

    static bool zorboCanStand(float left) { return detail::zorboCanStand(left); }

    static const rt::PictureRef& stored(int id) {
        static const rt::PictureRef pictures[] = {
            playfield::storedBitmap(4), playfield::storedBitmap(5), playfield::storedBitmap(6)};
        return pictures[id - 4];
    }

    Chooser& choose_;
    std::unique_ptr<Game> game_;
    Stats stats_;
    Snapshot before_;
    bool singleDropperTick_ = false;
    int loadsBefore_ = 0;
    bool deathLeftRunning_ = false;
    float approachBound_ = -1;
    std::string failure_;
};

}  // namespace fuzz
