// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
'use strict';
// The browser version as a player meets it: the site served on 127.0.0.1, a page in Chromium,
// Space, taps and clicks going in, and the screen read back against the desktop's reference.
const { spawn, execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const SCENE = { width: 426, height: 347 };
const LABELS = {
  Hlth: { x: 200, y: 16, width: 97, height: 25, align: 'left' },
  Scr: { x: 304, y: 16, width: 113, height: 25, align: 'left' },
  Balloons: { x: 200, y: 40, width: 193, height: 25, align: 'center' },
};
// Where a balloon can be between two ticks: thrown at (145, 56), then 10 down a tick with its
// Left from the flight path, landing on the 24th tick at Top 296.
const FLIGHT_PATH = { 66: 160, 76: 170, 86: 188, 96: 188, 106: 197, 116: 205, 126: 208, 136: 210,
  146: 211, 156: 212 };
const ARC = Array.from({ length: 24 }, (_, k) => {
  const top = 56 + 10 * k;
  return { top, left: k === 0 ? 145 : FLIGHT_PATH[top] || 212 };
});

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function readPpm(file) {
  const bytes = fs.readFileSync(file);
  const [, width, height, max] = bytes.toString('latin1', 0, 20).match(/^P6\s+(\d+)\s+(\d+)\s+(\d+)\s/);
  const start = bytes.toString('latin1', 0, 20).match(/^P6\s+\d+\s+\d+\s+\d+\s/)[0].length;
  if (max !== '255') throw new Error(`${file}: not 8 bits a channel`);
  const image = { width: +width, height: +height, data: new Uint8Array(width * height * 4) };
  for (let i = 0; i < width * height; i++) {
    image.data.set(bytes.subarray(start + i * 3, start + i * 3 + 3), i * 4);
    image.data[i * 4 + 3] = 255;
  }
  return image;
}

// The desktop tests' reference pictures, written out by their own program.
function references() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'drenchwick-reference-'));
  execFileSync(process.env.WEB_REFERENCE, [dir], { env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' },
    stdio: ['ignore', 'ignore', 'inherit'] });
  const out = {};
  for (const name of ['scene', 'balloon', ...Object.keys(LABELS)]) out[name] = readPpm(path.join(dir, `${name}.ppm`));
  fs.rmSync(dir, { recursive: true });
  return out;
}

// The site on a free port of 127.0.0.1, through the script players use.
async function serve(folder) {
  const server = spawn(process.env.SERVE, ['--port', '0', folder], { stdio: ['ignore', 'pipe', 'inherit'] });
  const url = await new Promise((resolve, reject) => {
    let out = '';
    server.stdout.on('data', (d) => {
      out += d;
      const m = out.match(/http:\/\/127\.0\.0\.1:\d+\//);
      if (m) resolve(m[0]);
    });
    server.once('exit', (code) => reject(new Error(`serve_web.sh exited (${code}): ${out}`)));
  });
  return { url, stop: () => server.kill() };
}

const at = (img, x, y) => (y * img.width + x) * 4;
const sameAt = (a, ai, b, bi) => a.data[ai] === b.data[bi] && a.data[ai + 1] === b.data[bi + 1] &&
  a.data[ai + 2] === b.data[bi + 2];

function crop(img, x, y, width, height) {
  const out = { width, height, data: new Uint8Array(width * height * 4) };
  for (let row = 0; row < height; row++) {
    out.data.set(img.data.subarray(at(img, x, y + row), at(img, x + width, y + row)), row * width * 4);
  }
  return out;
}

// Each pixel of `img` a solid block of k × k.
function scaled(img, k) {
  const out = { width: img.width * k, height: img.height * k, data: new Uint8Array(img.width * k * img.height * k * 4) };
  for (let y = 0; y < out.height; y++) {
    for (let x = 0; x < out.width; x++) out.data.set(img.data.subarray(at(img, x / k | 0, y / k | 0), at(img, x / k | 0, y / k | 0) + 4), at(out, x, y));
  }
  return out;
}

const inLabel = (x, y) => Object.values(LABELS).some((l) => x >= l.x && x < l.x + l.width && y >= l.y && y < l.y + l.height);

// The pixels where `shot` (at `zoom` screen pixels a scene pixel) differs from `want`, outside the
// labels and outside `ignore` (scene pixels); the first few are described in `notes`.
function differences(shot, want, zoom = 1, ignore = null, notes = []) {
  if (shot.width !== want.width || shot.height !== want.height) return [`${shot.width}x${shot.height}, not ${want.width}x${want.height}`];
  let count = 0;
  for (let y = 0; y < want.height; y++) {
    for (let x = 0; x < want.width; x++) {
      const sx = x / zoom | 0, sy = y / zoom | 0;
      if (inLabel(sx, sy) || (ignore && sx >= ignore.x && sx < ignore.x + ignore.width && sy >= ignore.y && sy < ignore.y + ignore.height)) continue;
      if (!sameAt(shot, at(shot, x, y), want, at(want, x, y)) && count++ < 5) {
        notes.push(`pixel ${x},${y} is ${Array.from(shot.data.subarray(at(shot, x, y), at(shot, x, y) + 3))}, not ${Array.from(want.data.subarray(at(want, x, y), at(want, x, y) + 3))}`);
      }
    }
  }
  return count ? notes : [];
}

// The ink (non-white) of a picture: its bounding box.
function inkBox(img) {
  let x0 = img.width, y0 = img.height, x1 = -1, y1 = -1;
  for (let y = 0; y < img.height; y++) {
    for (let x = 0; x < img.width; x++) {
      const i = at(img, x, y);
      if (img.data[i] < 250 || img.data[i + 1] < 250 || img.data[i + 2] < 250) {
        x0 = Math.min(x0, x); y0 = Math.min(y0, y); x1 = Math.max(x1, x); y1 = Math.max(y1, y);
      }
    }
  }
  return { x0, y0, x1, y1 };
}

class Game {
  constructor(page, references) { Object.assign(this, { page, references }); }

  // A page on `url`, once its scene has been painted.
  static async open(browser, url, references, { width = 640, height = 480, deviceScaleFactor = 1, touch = false } = {}) {
    const page = await browser.newPage({ width, height, deviceScaleFactor, touch });
    await page.goto(url);
    const game = new Game(page, references);
    await game.waitForScene();
    return game;
  }

  async waitForScene() {
    // The scene's walls are drawn: the building's green shows at its centre.
    await this.page.waitFor(() => document.documentElement.dataset.state === 'playing' &&
      document.getElementById('scene').getBoundingClientRect().width >= 426, { timeout: 10000 });
    await this.waitForShot((img) => {
      const i = at(img, 48 * (img.width / SCENE.width) | 0, 190 * (img.height / SCENE.height) | 0);
      return img.data[i] === 0 && img.data[i + 1] === 255 && img.data[i + 2] === 0;
    });
  }

  // The canvas in CSS pixels, and the device pixels a CSS pixel.
  geometry() {
    return this.page.evaluate(() => {
      const r = document.getElementById('scene').getBoundingClientRect();
      return { x: r.left, y: r.top, width: r.width, height: r.height, ratio: devicePixelRatio };
    });
  }

  // The scene as the screen shows it, in device pixels.
  async scene() {
    const g = await this.geometry();
    const shot = await this.page.screenshot();
    const d = (v) => Math.round(v * g.ratio);
    return crop(shot, d(g.x), d(g.y), Math.min(d(g.width), shot.width - d(g.x)), Math.min(d(g.height), shot.height - d(g.y)));
  }

  // Polls the scene until `test` holds for it; returns that scene.
  async waitForShot(test, { timeout = 5000, what = 'the scene' } = {}) {
    const deadline = Date.now() + timeout;
    for (;;) {
      const img = await this.scene();
      if (test(img)) return img;
      if (Date.now() > deadline) throw new Error(`gave up waiting for ${what}`);
      await sleep(30);
    }
  }

  // The arc positions (indices into ARC) where a balloon shows in a zoom-1 scene.
  balloonsOnArc(img) {
    const b = this.references.balloon;
    return ARC.flatMap(({ left, top }, k) => {
      for (let y = 0; y < b.height; y++) {
        for (let x = 0; x < b.width; x++) if (!sameAt(img, at(img, left + x, top + y), b, at(b, x, y))) return [];
      }
      return [k];
    });
  }

  // True if the label shows `caption` exactly as the serif face draws it there, and its ink lies
  // where the desktop's does for a caption of the same width.
  async shows(label, caption, img = null) {
    img = img || (await this.scene());
    const l = LABELS[label];
    const shown = crop(img, l.x, l.y, l.width, l.height);
    const want = await this.page.evaluate(async (l, caption) => {
      // A face of its own from the site's font file, so a page whose @font-face failed to load
      // would not match.
      if (!window.referenceFace) {
        window.referenceFace = new FontFace('Reference Serif', 'url(fonts/LiberationSerif-Regular.ttf)');
        document.fonts.add(await window.referenceFace.load());
      }
      const c = new OffscreenCanvas(l.width, l.height);
      const ctx = c.getContext('2d', { alpha: false });
      ctx.fillStyle = '#fff';
      ctx.fillRect(0, 0, l.width, l.height);
      ctx.font = '19px "Reference Serif"';
      ctx.fillStyle = '#000';
      ctx.textAlign = l.align;
      const ascent = Math.round(ctx.measureText(caption).fontBoundingBoxAscent);
      ctx.fillText(caption, l.align === 'center' ? l.width / 2 : 0, ascent);
      return Array.from(ctx.getImageData(0, 0, l.width, l.height).data);
    }, l, caption);
    return shown.data.every((v, i) => v === want[i]);
  }

  // Where the desktop puts a start caption's ink, against where this page does.
  async inkAgainstDesktop(label) {
    const l = LABELS[label];
    return { page: inkBox(crop(await this.scene(), l.x, l.y, l.width, l.height)), desktop: inkBox(this.references[label]) };
  }

  async waitForCaption(label, caption, timeout = 3000) {
    const deadline = Date.now() + timeout;
    while (!(await this.shows(label, caption))) {
      if (Date.now() > deadline) throw new Error(`${label} never read "${caption}"`);
      await sleep(30);
    }
  }

  // The menu bar's items, and a click on one, as a mouse gives it.
  menu() {
    return this.page.evaluate(() => Array.from(document.querySelectorAll('#menubar button'), (b) => {
      const r = b.getBoundingClientRect();
      return { caption: b.textContent, x: r.left + r.width / 2, y: r.top + r.height / 2 };
    }));
  }

  async choose(caption) {
    const item = (await this.menu()).find((m) => m.caption === caption);
    if (!item) throw new Error(`no menu item ${caption}`);
    await this.page.click(item.x, item.y);
  }

  // The open box as the player reads it, or null.
  box() {
    return this.page.evaluate(() => {
      const box = document.getElementById('box');
      if (!box.open) return null;
      const buttons = Array.from(box.querySelectorAll('button'), (b) => ({ caption: b.textContent, disabled: b.disabled,
        focused: document.activeElement === b, ...(({ left, top, width, height }) => ({ x: left + width / 2, y: top + height / 2 }))(b.getBoundingClientRect()) }));
      return { title: document.getElementById('box-title').textContent, text: document.getElementById('box-text').innerText, buttons };
    });
  }

  async waitForBox(timeout = 5000) {
    await this.page.waitFor(() => document.getElementById('box').open, { timeout });
    return this.box();
  }

  async answer(caption) {
    const b = (await this.box()).buttons.find((x) => x.caption === caption);
    await this.page.click(b.x, b.y);
  }

  async ended() {
    return this.page.evaluate(() => document.documentElement.dataset.state === 'ended' &&
      getComputedStyle(document.getElementById('ended')).display !== 'none' &&
      document.getElementById('ended').innerText);
  }

  // Every console message that was a warning or an error.
  complaints() {
    return this.page.console.filter((m) => m.level === 'error' || m.level === 'warning');
  }
}

module.exports = { Game, serve, references, scaled, crop, differences, sleep, SCENE, ARC, LABELS };
