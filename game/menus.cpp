// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "game/form1.h"

void Form1::mnuExit_Click() {
    rt::End();
}

void Form1::mnuReset_Click() {
    RestartGame();
}

void Form1::mnuHelp_Click() {
    rt::MsgBox(
        "Drop your water balloons with Space! You have 100 of them. If you hit Zorbo, in the "
        "green shirt, he'll jump up and ninja kick you! Ouch! You'll lose a health if this "
        "happens, and you only have 5 health, so be careful! Try to hit Quib, in the blue shirt, "
        "as much as you can before you run out of health or balloons.",
        0, "Need help?");
    RestartGame();
}
