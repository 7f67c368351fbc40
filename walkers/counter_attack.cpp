// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "game/form1.h"

void Form1::CounterAttackStep() {
    rt::Image& z = Zorbo();
    if (z.Left() > 168) {
        z.setLeft(z.Left() - 1);
    }
    if (z.Left() < 168) {
        z.setLeft(z.Left() + 1);
    }
    if (z.Left() != 168) {
        return;
    }
    z.setPicture(rt::LoadResPicture(6, 0));
    z.setTop(static_cast<rt::Single>(static_cast<double>(z.Top()) - 2.5));
    if (z.Top() < 34) {
        z.setPicture(rt::LoadResPicture(5, 0));
    }
    if (z.Top() > 24) {
        return;
    }
    Health = Health - 1;
    Hlth().setCaption("Health:" + rt::Str(Health));
    z.setTop(309);
    Attacking = 0;
    Walker().setInterval(100);
    z.setPicture(rt::LoadResPicture(4, 0));
    if (Health == 0) {
        GameOverPrompt(GameOver::Death);
    }
}
