// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
'use strict';
// The browser version as a player meets it: the site served on 127.0.0.1, a page in Chromium,
// and the screen read back against the desktop tests' own reference pictures.
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const LABELS = {
  Hlth: { x: 200, y: 16, width: 97, height: 25, align: 'left' },
  Scr: { x: 304, y: 16, width: 113, height: 25, align: 'left' },
  Balloons: { x: 200, y: 40, width: 193, height: 25, align: 'center' },
};
// Where a balloon can be seen between two ticks: thrown at (145, 56), then 10 down a tick with
// its Left from the flight path, hidden on landing at Top 296.
const FLIGHT_PATH = { 66: 160, 76: 170, 86: 188, 96: 188, 106: 197, 116: 205, 126: 208, 136: 210, 146: 211 };
const ARC = Array.from({ length: 24 }, (_, k) => ({ top: 56 + 10 * k, left: k ? FLIGHT_PATH[56 + 10 * k] || 212 : 145 }));

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const at = (img, x, y) => (y * img.width + x) * 4;
const same = (a, i, b, j) => a.data[i] === b.data[j] && a.data[i + 1] === b.data[j + 1] && a.data[i + 2] === b.data[j + 2];

// An RGBA image of `width` × `height` whose pixel (x, y) is the one at byte `pick(x, y)` of `from`.
function remap(from, width, height, pick) {
  const out = { width, height, data: new Uint8Array(width * height * 4).fill(255) };
  for (let y = 0, o = 0; y < height; y++) {
    for (let x = 0; x < width; x++, o += 4) {
      const i = pick(x, y);
      out.data[o] = from.data[i];
      out.data[o + 1] = from.data[i + 1];
      out.data[o + 2] = from.data[i + 2];
    }
  }
  return out;
}
const crop = (img, x0, y0, w, h) => remap(img, w, h, (x, y) => at(img, x0 + x, y0 + y));
const scaled = (img, k) => remap(img, img.width * k, img.height * k, (x, y) => at(img, x / k | 0, y / k | 0));

// The desktop's reference pictures, written out by its own program (tests/web/web_reference).
function references() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'drenchwick-reference-'));
  execFileSync(process.env.WEB_REFERENCE, [dir], { env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' }, stdio: 'ignore' });
  const out = {};
  for (const name of ['scene', 'balloon', ...Object.keys(LABELS)]) {
    const bytes = fs.readFileSync(path.join(dir, `${name}.ppm`));
    const [head, width, height] = bytes.toString('latin1', 0, 20).match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
    const rgb = { width: +width, height: +height, data: bytes.subarray(head.length) };
    out[name] = remap(rgb, rgb.width, rgb.height, (x, y) => (y * rgb.width + x) * 3);
  }
  fs.rmSync(dir, { recursive: true });
  return out;
}

const inside = (r, x, y) => r && x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;

// Where `shot` (`zoom` screen pixels a scene pixel) differs from `want`, outside the labels and
// `ignore` (in scene pixels): the first few, described.
function differences(shot, want, zoom = 1, ignore = null) {
  if (shot.width !== want.width || shot.height !== want.height) return [`${shot.width}x${shot.height}, not ${want.width}x${want.height}`];
  const found = [];
  for (let y = 0; y < want.height && found.length < 5; y++) {
    for (let x = 0; x < want.width && found.length < 5; x++) {
      const sx = x / zoom | 0, sy = y / zoom | 0;
      if (Object.values(LABELS).some((l) => inside(l, sx, sy)) || inside(ignore, sx, sy)) continue;
      const i = at(shot, x, y);
      if (!same(shot, i, want, i)) found.push(`${x},${y} is ${shot.data.subarray(i, i + 3)}, not ${want.data.subarray(i, i + 3)}`);
    }
  }
  return found;
}

// The bounding box of a picture's ink, whatever is not white.
function inkBox(img) {
  const box = { x0: img.width, y0: img.height, x1: -1, y1: -1 };
  for (let y = 0; y < img.height; y++) {
    for (let x = 0; x < img.width; x++) {
      if (img.data.subarray(at(img, x, y), at(img, x, y) + 3).some((v) => v < 250)) {
        Object.assign(box, { x0: Math.min(box.x0, x), y0: Math.min(box.y0, y), x1: Math.max(box.x1, x), y1: Math.max(box.y1, y) });
      }
    }
  }
  return box;
}

// The building's twelve window outlines, each side as the line across it is read: a vertical
// side across a row through the window's middle, a horizontal one down a column.
const OUTLINES = [72, 136, 200, 264].flatMap((top) => [8, 56, 104].flatMap((left) => [
  ...[left, left + 32].map((x) => ({ what: `column ${x} of the window at ${left},${top}`, x, y: top + 20.5, vertical: true })),
  ...[top, top + 40].map((y) => ({ what: `row ${y} of the window at ${left},${top}`, x: left + 16.5, y, vertical: false })),
]));

// The sides of the building's windows whose ink differs from `factor` device pixels, the width
// of one scene pixel: sharp, every outline is as thick as every other. The ink of the black line
// is read off the green across it, 1 for a device pixel it covers in full.
function unevenOutlines(img, factor) {
  const span = Math.ceil(factor) + 6;
  return OUTLINES.flatMap(({ what, x, y, vertical }) => {
    let ink = 0;
    for (let i = 0; i < span; i++) {
      const dx = vertical ? Math.floor(x * factor) - 3 + i : Math.floor(x * factor);
      const dy = vertical ? Math.floor(y * factor) : Math.floor(y * factor) - 3 + i;
      ink += (255 - img.data[at(img, dx, dy) + 1]) / 255;
    }
    return Math.abs(ink - factor) < 0.1 ? [] : [`${what}: ${ink.toFixed(2)} device pixels, not ${factor.toFixed(2)}`];
  });
}

// Places well inside one colour of the scene (scene pixels, the walkers where they start): at any
// size they keep that very colour, whatever the scaling blends at their edges.
const COLOURS = [
  { what: "the building's green", x: 48, y: 200, rgb: [0, 255, 0] },
  { what: "Zorbo's shirt", x: 231, y: 325, rgb: [0, 255, 0] },
  { what: "Quib's shirt", x: 359, y: 325, rgb: [0, 0, 255] },
  { what: "Quib's trousers", x: 358, y: 335, rgb: [0, 255, 255] },
  { what: 'the white street', x: 300, y: 200, rgb: [255, 255, 255] },
];
function offColours(img, factor) {
  return COLOURS.flatMap(({ what, x, y, rgb }) => {
    const i = at(img, Math.floor((x + 0.5) * factor), Math.floor((y + 0.5) * factor));
    const seen = [...img.data.subarray(i, i + 3)];
    return seen.every((v, k) => v === rgb[k]) ? [] : [`${what} is ${seen}, not ${rgb}`];
  });
}

// How many device pixels show exactly this colour.
function count(img, rgb) {
  let n = 0;
  for (let i = 0; i < img.data.length; i += 4) n += img.data[i] === rgb[0] && img.data[i + 1] === rgb[1] && img.data[i + 2] === rgb[2];
  return n;
}

// A window whose room holds the scene at zoom 1, pixel for pixel: a whole zoom fills it.
const ZOOM_1 = { width: 480, height: 400 };

class Game {
  // A page on `url`, once its scene has been painted.
  // `beforeLoad` runs in the page before its own scripts, where the engine's automation can.
  static async open(browser, url, references, { beforeLoad, ...device } = {}) {
    const game = Object.assign(new Game(), { page: await browser.newPage({ ...ZOOM_1, ...device }), references });
    if (beforeLoad && game.page.can.beforeLoad) await game.page.beforeLoad(beforeLoad);
    await game.page.goto(url);
    await game.waitForScene();
    return game;
  }

  // The building's green shows in its middle.
  waitForScene() {
    return this.waitForShot((img) => {
      const i = at(img, Math.floor(48 * img.width / 426), Math.floor(190 * img.height / 347));
      return img.data[i] === 0 && img.data[i + 1] === 255 && img.data[i + 2] === 0;
    }, { timeout: 10000, what: 'the scene' });
  }

  // The canvas in CSS pixels, and the device pixels a CSS pixel.
  geometry() {
    return this.page.evaluate(() => {
      const r = document.getElementById('scene').getBoundingClientRect();
      return { x: r.left, y: r.top, width: r.width, height: r.height, ratio: devicePixelRatio };
    });
  }

  // Where the page has put things, in CSS pixels: the scene, the room below the menu bar it may
  // fill and the viewport; and the device pixels the scene gives a scene pixel.
  layout() {
    return this.page.evaluate(() => {
      const rect = (e) => { const r = e.getBoundingClientRect(); return { x: r.left, y: r.top, width: r.width, height: r.height }; };
      const scene = document.getElementById('scene');
      return { scene: rect(scene), room: rect(document.getElementById('client')), factor: scene.width / 426,
        viewport: { x: 0, y: 0, width: innerWidth, height: innerHeight }, scrolls: document.scrollingElement.scrollTop !== 0 ||
          document.scrollingElement.scrollHeight > innerHeight || document.scrollingElement.scrollWidth > innerWidth };
    });
  }

  // The scene as the screen shows it, in device pixels.
  async scene() {
    const { x, y, width, height } = await this.geometry();
    return this.page.screenshot({ x, y, width, height });
  }

  async waitForShot(test, { timeout = 5000, what = 'the scene' } = {}) {
    for (const deadline = Date.now() + timeout; ; await sleep(30)) {
      const img = await this.scene().catch(() => null);
      if (img && img.width && test(img)) return img;
      if (Date.now() > deadline) throw new Error(`gave up waiting for ${what}`);
    }
  }

  // The arc positions (indices into ARC) where a balloon shows in a zoom-1 scene.
  balloonsOnArc(img) {
    const b = this.references.balloon;
    const shows = ({ left, top }) => {
      for (let y = 0; y < b.height; y++) for (let x = 0; x < b.width; x++) if (!same(img, at(img, left + x, top + y), b, at(b, x, y))) return false;
      return true;
    };
    return ARC.flatMap((spot, k) => (shows(spot) ? [k] : []));
  }

  // How many aqua pixels show above the street off the arc: none, if every balloon in flight
  // lies on it. Balloons thrown close together cover each other, so this asks only that each
  // pixel of one lie where a balloon on the arc could be. (Quib's trousers are aqua too, but
  // only from the street line down.)
  offArc(img) {
    let off = 0;
    for (let y = 0; y < 309; y++) {
      for (let x = 0; x < img.width; x++) {
        const i = at(img, x, y);
        const aqua = img.data[i] === 0 && img.data[i + 1] === 255 && img.data[i + 2] === 255;
        off += aqua && !ARC.some((b) => x >= b.left && x < b.left + 16 && y >= b.top && y < b.top + 16);
      }
    }
    return off;
  }

  // The label's caption as the player reads it: of `captions`, the one the site's serif face
  // draws most like what the label shows, provided their ink lies within a pixel of each other;
  // or null. Each engine rasterizes text its own way, so the words are read, not the pixels.
  async read(label, captions, img = null) {
    const l = LABELS[label];
    const shown = crop(img || (await this.scene()), l.x, l.y, l.width, l.height);
    const found = await this.page.evaluate(async (l, captions, shown) => {
      // A face of its own, from the site's font file: a page whose own face failed to load
      // would not match.
      if (!window.referenceFace) {
        window.referenceFace = new FontFace('Reference Serif', 'url(fonts/LiberationSerif-Regular.woff2)');
        document.fonts.add(await window.referenceFace.load());
      }
      const pixels = Uint8Array.from(atob(shown), (c) => c.charCodeAt(0));
      const ctx = new OffscreenCanvas(l.width, l.height).getContext('2d', { alpha: false, willReadFrequently: true });
      let best = { difference: Infinity };
      for (const caption of captions) {
        ctx.fillStyle = '#fff';
        ctx.fillRect(0, 0, l.width, l.height);
        Object.assign(ctx, { font: '19px "Reference Serif"', fillStyle: '#000', textAlign: l.align });
        ctx.fillText(caption, l.align === 'center' ? l.width / 2 : 0, Math.round(ctx.measureText(caption).fontBoundingBoxAscent));
        const drawn = ctx.getImageData(0, 0, l.width, l.height).data;
        let difference = 0;
        for (let i = 0; i < drawn.length; i += 4) difference += Math.abs(drawn[i] - pixels[i]) + Math.abs(drawn[i + 1] - pixels[i + 1]) + Math.abs(drawn[i + 2] - pixels[i + 2]);
        if (difference < best.difference) best = { caption, difference, drawn: btoa(String.fromCharCode(...drawn)) };
      }
      return best.caption && { caption: best.caption, drawn: best.drawn };
    }, l, captions, Buffer.from(shown.data).toString('base64'));
    if (!found) return null;
    const drawn = { width: l.width, height: l.height, data: Buffer.from(found.drawn, 'base64') };
    const [a, b] = [inkBox(shown), inkBox(drawn)];
    return Object.keys(a).every((k) => Math.abs(a[k] - b[k]) <= 1) ? found.caption : null;
  }

  // The captions as the page gives them to a screen reader.
  captions() {
    return this.page.evaluate(() => Array.from(document.querySelectorAll('#captions p'), (p) => p.textContent));
  }

  async waitForCaptions(...want) {
    await this.page.waitFor((want) => want.every((c) => Array.from(document.querySelectorAll('#captions p'), (p) => p.textContent).includes(c)), {}, want);
  }

  // Told apart from the same words with any other number.
  async shows(label, caption, img = null) {
    const family = /\d+$/.test(caption) ? Array.from({ length: 101 }, (_, n) => caption.replace(/\d+$/, n)) : [caption];
    return (await this.read(label, family, img)) === caption;
  }

  async waitForCaption(label, caption, timeout = 3000) {
    for (const deadline = Date.now() + timeout; !(await this.shows(label, caption)); await sleep(30)) {
      if (Date.now() > deadline) throw new Error(`${label} never read "${caption}"`);
    }
  }

  // The page's buttons (menu bar, box) with their centres, as a mouse would find them.
  buttons(selector) {
    return this.page.evaluate((selector) => Array.from(document.querySelectorAll(selector), (b) => {
      const r = b.getBoundingClientRect();
      return { caption: b.textContent, disabled: b.disabled, focused: document.activeElement === b, x: r.left + r.width / 2, y: r.top + r.height / 2,
        rect: { x: r.left, y: r.top, width: r.width, height: r.height } };
    }), selector);
  }

  // A click, or with `finger` a tap.
  async press(selector, caption, { finger = false } = {}) {
    const b = (await this.buttons(selector)).find((x) => x.caption === caption);
    if (!b) throw new Error(`no button ${caption} in ${selector}`);
    await (finger ? this.page.tap(b.x, b.y) : this.page.click(b.x, b.y));
  }

  choose(caption, how) { return this.press('#menubar button', caption, how); }
  answer(caption, how) { return this.press('#box button', caption, how); }

  // The open box as the player reads it, or null.
  async box() {
    const open = await this.page.evaluate(() => {
      const box = document.getElementById('box');
      const r = box.getBoundingClientRect();
      return box.open && [document.getElementById('box-title').textContent, document.getElementById('box-text').innerText,
        { x: r.left, y: r.top, width: r.width, height: r.height }];
    });
    return open && { title: open[0], text: open[1], rect: open[2], buttons: await this.buttons('#box button') };
  }

  async waitForBox(timeout = 5000) {
    await this.page.waitFor(() => document.getElementById('box').open, { timeout });
    return this.box();
  }

  // Once the box's default button has the keyboard, it takes an answer.
  waitForArming() {
    return this.page.waitFor(() => document.activeElement.matches('#box button:first-child:enabled'));
  }

  // What the page says once the game has ended, or false while it runs.
  ended() {
    return this.page.evaluate(() => document.documentElement.dataset.state === 'ended' && document.getElementById('ended').innerText);
  }

  complaints() {
    return this.page.console.filter((m) => m.level === 'error' || m.level === 'warning');
  }
}

const within = (inner, outer) => inner.x >= outer.x - 0.01 && inner.y >= outer.y - 0.01 &&
  inner.x + inner.width <= outer.x + outer.width + 0.01 && inner.y + inner.height <= outer.y + outer.height + 0.01;

module.exports = { ZOOM_1, Game, references, scaled, crop, differences, inkBox, unevenOutlines, offColours, count, within, sleep, LABELS };
