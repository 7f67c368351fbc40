// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The keyboard measured through the X server: real key events sent with XTest.
#pragma once

namespace bench {

// Space released `trials` times: the time from the release to the flush of the first frame
// that shows the new balloon.
int keyLatency(int trials);
// Space held 1.5 s, `holds` times; with `xServerPid`, the game and the X server share one CPU
// that a busy loop keeps loaded, so that the halves of a repeat pair can arrive apart.
int heldKeys(int holds, int xServerPid);
// `runs` runs of `count` taps 25 ms apart: how many of them threw.
int taps(int runs, int count);

}  // namespace bench
