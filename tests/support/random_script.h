// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The fixed random sequence of the test builds of the game, desktop and browser alike, given as
// "a,b,...;c,d,...": the numbers before the semicolon are drawn once, the ones after it over and
// over, and the whole starts over at every Randomize, so that each game walks the same way. Each
// walking tick draws twice, first for Quib, then for Zorbo; 1/3 or more makes that walker step.
// With no numbers every draw is 0 and nobody walks.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/basic.h"

class RandomScript {
  public:
    explicit RandomScript(const std::string& script) {
        const size_t cut = script.find(';');
        once_ = numbers(script.substr(0, cut));
        if (cut != std::string::npos) {
            repeated_ = numbers(script.substr(cut + 1));
        }
    }
    rt::Single next() {
        const size_t i = next_++;
        if (i < once_.size()) {
            return once_[i];
        }
        return repeated_.empty() ? 0.0F : repeated_[(i - once_.size()) % repeated_.size()];
    }
    void restart() { next_ = 0; }

  private:
    static std::vector<rt::Single> numbers(const std::string& list) {
        std::vector<rt::Single> out;
        std::stringstream in(list);
        for (std::string n; std::getline(in, n, ',');) {
            if (n.empty()) {
                continue;
            }
            char* end = nullptr;
            const float v = std::strtof(n.c_str(), &end);
            if (end == n.c_str() || *end != '\0' || v < 0 || v >= 1) {
                std::fprintf(stderr, "not a number in [0, 1): %s\n", n.c_str());
                std::exit(2);
            }
            out.push_back(v);
        }
        return out;
    }

    std::vector<rt::Single> once_;
    std::vector<rt::Single> repeated_;
    size_t next_ = 0;
};
