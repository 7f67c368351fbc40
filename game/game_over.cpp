// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "game/form1.h"

void Form1::GameOverPrompt(GameOver cause) {
    const std::string cr = rt::Chr(13);
    std::string text;
    std::string title;
    if (cause == GameOver::OutOfBalloons) {
        text = "You ran out of balloons!!" + cr + cr + "You threw all of your balloons!" + cr +
               "Your score is" + rt::Str(Score) + "." + cr + cr + "Try again?";
        title = "No more!";
    } else {
        text = "You died. Be careful around Zorbo!!" + cr + cr + "You threw" +
               rt::Str(100 - BalloonsLeft) + " balloons." + cr + "Your score is" + rt::Str(Score) +
               "." + cr + cr + "Try again?";
        title = "Ouch!";
    }
    const int answer = rt::MsgBox(text, 4, title);
    if (answer == 6) {
        RestartGame();
    } else if (answer == 7) {
        rt::End();
    }
}

void Form1::RestartGame() {
    Unload();
    Show();
}
