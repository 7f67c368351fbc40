// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
'use strict';
// Every 100 ms, two walker-sized rectangles move 15 pixels and are painted on the next frame, as
// the game's walking ticks change the scene; nothing else is drawn.
const ctx = document.getElementById('scene').getContext('2d', { alpha: false });
ctx.fillStyle = '#fff';
ctx.fillRect(0, 0, 426, 347);
let step = 0;
const walk = () => {
  requestAnimationFrame(() => {
    for (const [row, start] of [[309, 344], [309, 216]]) {
      const x = 145 + ((start - 145 - 15 * step) % 255 + 255) % 255;
      ctx.fillStyle = '#fff';
      ctx.fillRect(x + 15, row, 35, 36);
      ctx.fillStyle = '#00f';
      ctx.fillRect(x, row, 35, 36);
    }
    step++;
  });
  setTimeout(walk, 100);
};
walk();
