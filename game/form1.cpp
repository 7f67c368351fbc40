// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "game/form1.h"

#include "playfield/form1_layout.h"

Form1::Form1() : rt::Form(playfield::form1Design()) {
    on("Dropper_Timer", [this] { Dropper_Timer(); });
    on("Walker_Timer", [this] { Walker_Timer(); });
    on("mnuExit_Click", [this] { mnuExit_Click(); });
    on("mnuReset_Click", [this] { mnuReset_Click(); });
    on("mnuHelp_Click", [this] { mnuHelp_Click(); });
}

void Form1::Form_Load() {
    rt::Randomize();
    Health = 5;
    BalloonsLeft = 100;
    Score = 0;
    Attacking = 0;
    Balloons().setCaption("Balloons Left:" + rt::Str(BalloonsLeft));
    Scr().setCaption("Score:" + rt::Str(Score));
    Hlth().setCaption("Health:" + rt::Str(Health));
}
