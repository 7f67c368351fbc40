// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "game/form1.h"

void Form1::Form_KeyUp(rt::Integer KeyCode, rt::Integer Shift) {
    (void)Shift;  // Space throws whatever modifier is held
    if (KeyCode == 32 && Attacking == 0 && BalloonsLeft > 0) {
        Dropper().setEnabled(true);
        WaterB().Load(WaterB().Count());
        rt::Image& balloon = WaterB()[WaterB().Count() - 1];
        balloon.setVisible(true);
        balloon.setLeft(145);
        balloon.setTop(56);
        BalloonsLeft = BalloonsLeft - 1;
        Balloons().setCaption("Balloons Left:" + rt::Str(BalloonsLeft));
    }
}
