// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "game/form1.h"

namespace {

void walk(rt::Image& walker) {
    // The product is taken in double precision: a single-precision product could round a
    // draw just below 1/3 up to a step.
    const double r = rt::Int(static_cast<double>(rt::Rnd()) * 3);
    if (r > 0) {
        walker.setLeft(walker.Left() - 15);
        if (walker.Left() < 145) {
            walker.setLeft(400);
        }
    }
}

}  // namespace

void Form1::Walker_Timer() {
    if (Attacking != 0) {
        CounterAttackStep();
        return;
    }
    walk(Quib());
    walk(Zorbo());
}
