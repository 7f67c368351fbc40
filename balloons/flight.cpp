// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "game/form1.h"

namespace {

// The arc every balloon follows: its Left for the Top it has just reached.
struct FlightStep {
    rt::Single top;
    rt::Single left;
};
constexpr FlightStep FlightPath[] = {
    {66, 160},  {76, 170},  {86, 188},  {96, 188},  {106, 197},
    {116, 205}, {126, 208}, {136, 210}, {146, 211}, {156, 212},
};

bool misses(const rt::Image& balloon, const rt::Image& walker) {
    return balloon.Left() + balloon.Width() < walker.Left() ||
           walker.Left() + walker.Width() < balloon.Left();
}

}  // namespace

void Form1::Dropper_Timer() {
    const rt::Integer n = WaterB().Count() - 1;
    for (rt::Integer i = 1; i <= n; i = i + 1) {
        // Looked up afresh each time: a restart inside this loop replaces every control.
        if (!WaterB()[i].Visible()) {
            continue;
        }
        rt::Image& b = WaterB()[i];
        b.setTop(b.Top() + 10);
        for (const FlightStep& step : FlightPath) {
            if (b.Top() == step.top) {
                b.setLeft(step.left);
            }
        }
        if (b.Top() > 156) {
            b.setLeft(212);
        }
        if (b.Top() == 296) {
            if (misses(b, Zorbo()) && misses(b, Quib())) {
                b.setVisible(false);
            } else if (misses(b, Zorbo())) {
                b.setVisible(false);
                Score = Score + 1;
                Scr().setCaption("Score:" + rt::Str(Score));
            } else {
                Attacking = -1;
                Walker().setInterval(5);
                b.setVisible(false);
            }
        }
        if (BalloonsLeft == 0 && !WaterB()[WaterB().Count() - 1].Visible()) {
            GameOverPrompt(GameOver::OutOfBalloons);
            // Only a restart comes back here, and this balloon was the last one of the old
            // game: nothing is left to move.
            return;
        }
    }
}
