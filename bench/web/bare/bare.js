// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
'use strict';
// Every 100 ms, two walker-sized rectangles move 15 pixels and are painted on the next frame, as
// the game's walking ticks change the scene; nothing else is drawn. `?factor=F` draws the scene
// at F device pixels a scene pixel, as the game does on a screen of that size. A finger lifted
// paints a balloon-sized square at once, and the time from the event to the frame that shows it
// goes into tapWaits.
const factor = Number(new URLSearchParams(location.search).get('factor')) || 1;
const canvas = document.getElementById('scene');
canvas.width = Math.round(426 * factor);
canvas.height = Math.round(347 * factor);
canvas.style.width = `${canvas.width / devicePixelRatio}px`;
canvas.style.height = `${canvas.height / devicePixelRatio}px`;
const ctx = canvas.getContext('2d', { alpha: false });
ctx.scale(factor, factor);
ctx.fillStyle = '#fff';
ctx.fillRect(0, 0, 426, 347);
// Marked as the game marks its first frame, for engines that time no first paint of their own.
requestAnimationFrame(() => performance.mark('scene shown'));
window.tapWaits = [];
addEventListener('pointerup', (e) => {
  ctx.fillStyle = '#0ff';
  ctx.fillRect(145, 56, 16, 16);
  const at = performance.now();
  requestAnimationFrame((frame) => tapWaits.push(Math.max(frame, at) - e.timeStamp));
});
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
