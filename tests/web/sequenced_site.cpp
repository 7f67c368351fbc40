// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The site's program (see main_web.cpp) with a few switches in the page's address, for the
// browser tests and the bench only:
//   ?random=a,b,...;c,d,...  the random numbers follow this sequence (see
//                            tests/support/random_script.h); with none, nobody walks.
//   ?broken=key              a key release overflows a 16-bit number, as failing_game does on
//                            the desktop.
//   ?walker=MS               every game's Walker timer ticks every MS milliseconds;
//   ?attack=LEFT             every game starts with Zorbo at LEFT, attacking, as a hit starts it.
// With either of the last two, the page's clock time of every Walker tick goes into the page's
// walkerTicks, and that of every start of an attack into attackStarts.
#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <cstdlib>
#include <string>

#include "game/form1.h"
#include "runtime/web/web_host.h"
#include "support/random_script.h"

// clang-format off
EM_JS(void, test_query, (const char* name, char* out, int size), {
  stringToUTF8(new URLSearchParams(location.search).get(UTF8ToString(name)) || '', out, size);
});
EM_JS(void, test_walker_tick, (double at), {
  (window.walkerTicks = window.walkerTicks || []).push(at);
});
EM_JS(void, test_attack_started, (double at), {
  (window.attackStarts = window.attackStarts || []).push(at);
});
// clang-format on

namespace sequenced {

std::string query(const char* name) {
    char value[512];
    test_query(name, value, sizeof value);
    return value;
}

class Host : public rt::WebHost {
  public:
    Host() : randoms_(query("random")) {}
    rt::Single nextRandom() override { return randoms_.next(); }
    void randomize() override { randoms_.restart(); }

  private:
    RandomScript randoms_;
};

class Game : public Form1 {
  public:
    Game()
        : broken_(query("broken") == "key"),
          walker_(std::atoi(query("walker").c_str())),
          attack_(std::atoi(query("attack").c_str())) {
        if (walker_ > 0 || attack_ > 0) {
            on("Walker_Timer", [this] {
                test_walker_tick(emscripten_get_now());
                Walker_Timer();
            });
        }
    }
    void Form_Load() override {
        Form1::Form_Load();
        if (walker_ > 0) {
            Walker().setInterval(walker_);
        }
        if (attack_ > 0) {
            Zorbo().setLeft(static_cast<rt::Single>(attack_));
            Attacking = -1;
            Walker().setInterval(5);
            test_attack_started(emscripten_get_now());
        }
    }
    void Form_KeyUp(rt::Integer KeyCode, rt::Integer Shift) override {
        if (broken_) {
            BalloonsLeft = BalloonsLeft * 1000;
        }
        Form1::Form_KeyUp(KeyCode, Shift);
    }

  private:
    bool broken_;
    int walker_;
    int attack_;
};

}  // namespace sequenced

int main() {
    static sequenced::Host host;
    static sequenced::Game game;
    host.run(game);
}
