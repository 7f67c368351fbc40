// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The site's program (see main_web.cpp) with one change, for the browser tests only: its random
// numbers follow a fixed sequence, given in the page's address as ?random=a,b,...;c,d,..., that
// starts over at every Randomize. The numbers before the semicolon are drawn once, the ones after
// it over and over; each walking tick draws twice, first for Quib, then for Zorbo, and a number
// of 1/3 or more makes that walker step. With no sequence everybody stands still. With
// ?broken=key a key release overflows a 16-bit number, as failing_game does on the desktop.
#include <emscripten/emscripten.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "game/form1.h"
#include "runtime/web/web_host.h"

namespace {

std::string query(const char* name) {
    const std::string script = "new URLSearchParams(location.search).get('" + std::string(name) +
                               "') || ''";
    return emscripten_run_script_string(script.c_str());
}

std::vector<rt::Single> numbers(const std::string& list) {
    std::vector<rt::Single> out;
    std::stringstream in(list);
    for (std::string n; std::getline(in, n, ',');) {
        if (!n.empty()) {
            out.push_back(std::strtof(n.c_str(), nullptr));
        }
    }
    return out;
}

class SequencedHost : public rt::WebHost {
  public:
    SequencedHost() {
        const std::string list = query("random");
        const size_t cut = list.find(';');
        once_ = numbers(list.substr(0, cut));
        if (cut != std::string::npos) {
            repeated_ = numbers(list.substr(cut + 1));
        }
    }
    rt::Single nextRandom() override {
        const size_t i = next_++;
        if (i < once_.size()) {
            return once_[i];
        }
        return repeated_.empty() ? 0.0F : repeated_[(i - once_.size()) % repeated_.size()];
    }
    void randomize() override { next_ = 0; }

  private:
    std::vector<rt::Single> once_;
    std::vector<rt::Single> repeated_;
    size_t next_ = 0;
};

struct BrokenForm1 : Form1 {
    void Form_KeyUp(rt::Integer, rt::Integer) override { BalloonsLeft = BalloonsLeft * 1000; }
};

}  // namespace

int main() {
    static SequencedHost host;
    static Form1 form;
    static BrokenForm1 broken;
    host.run(query("broken") == "key" ? broken : form);
}
