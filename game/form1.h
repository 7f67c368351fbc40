// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The game window and its handlers. The handlers live beside the rules they apply:
// game/ (start, game over, menus), balloons/ (throw, flight), walkers/ (walk, counter-attack).
#pragma once

#include "runtime/form.h"

class Form1 : public rt::Form {
  public:
    Form1();

    // The state of one game; Form_Load sets it afresh.
    rt::Variant Health;
    rt::Variant Score;
    rt::Integer BalloonsLeft;
    rt::Integer Attacking;  // -1 true, 0 false

    // Controls by name.
    rt::ImageArray& WaterB() const { return imageArray("WaterB"); }
    rt::Image& Zorbo() const { return image("Zorbo"); }
    rt::Image& Quib() const { return image("Quib"); }
    rt::Image& You() const { return image("You"); }
    rt::Label& Balloons() const { return label("Balloons"); }
    rt::Label& Scr() const { return label("Scr"); }
    rt::Label& Hlth() const { return label("Hlth"); }
    rt::Timer& Dropper() const { return timer("Dropper"); }
    rt::Timer& Walker() const { return timer("Walker"); }

    enum class GameOver { OutOfBalloons, Death };

    void Form_Load() override;
    void Form_KeyUp(rt::Integer KeyCode, rt::Integer Shift) override;
    void Dropper_Timer();
    void Walker_Timer();
    void CounterAttackStep();
    void mnuExit_Click();
    void mnuReset_Click();
    void mnuHelp_Click();
    void GameOverPrompt(GameOver cause);
    void RestartGame();
};
