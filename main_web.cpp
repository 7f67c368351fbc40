// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The game in a browser page. main only starts it: once it has returned, the page's events
// drive the game, and the program lives as long as the page.
#include "game/form1.h"
#include "runtime/web/web_host.h"

int main() {
    static rt::WebHost host;
    static Form1 form;
    host.run(form);
}
