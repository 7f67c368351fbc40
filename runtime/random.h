// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The random sequence of the real hosts: splitmix64, seeded by Randomize from the clock.
#pragma once

#include <cstdint>

#include "runtime/basic.h"

namespace rt {

class RandomSequence {
  public:
    void seed(uint64_t seed) { state_ = seed; }
    // At least 0 and below 1: the top 24 bits make a single exactly, never 1.
    Single next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        z ^= z >> 31;
        return static_cast<Single>(static_cast<double>(z >> 40) / 16777216.0);
    }

  private:
    uint64_t state_ = 0;
};

}  // namespace rt
