// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
'use strict';
// A page as the browser tests and the bench drive it, whichever engine shows it: load, script,
// screenshot, keys, mouse, touch, hide and show, and its console. Each engine's client (cdp.js
// for Chromium, bidi.js for Firefox, webdriver.js for WebKit) fills in how; `can` says what its
// automation cannot do at all, so that a test skips that by name rather than passing it.
const png = require('./png');

// name -> [key, keyCode, text typed, WebDriver's key value]; the name is the code, except that
// Shift is the left one.
const KEYS = { Space: [' ', 32, ' ', ' '], Enter: ['Enter', 13, '\r', '\uE007'], Escape: ['Escape', 27, '', '\uE00C'],
  Tab: ['Tab', 9, '', '\uE004'], F11: ['F11', 122, '', '\uE03B'], ArrowLeft: ['ArrowLeft', 37, '', '\uE012'],
  ArrowUp: ['ArrowUp', 38, '', '\uE013'], ArrowRight: ['ArrowRight', 39, '', '\uE014'], ArrowDown: ['ArrowDown', 40, '', '\uE015'],
  Shift: ['Shift', 16, '', '\uE008'] };
for (let i = 0; i < 26; i++) {
  const c = String.fromCharCode(97 + i);
  KEYS[`Key${c.toUpperCase()}`] = [c, 65 + i, c, c];
}
for (let i = 0; i < 10; i++) KEYS[`Digit${i}`] = [String(i), 48 + i, String(i), String(i)];

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// What every engine's automation can do unless its client says otherwise.
const ALL = { hide: true, touch: true, mobile: true, ratio: true, insets: true, console: true, repeat: true, beforeLoad: true,
  storage: true, chromium: false };

class Page {
  constructor(can = {}) {
    this.console = [];  // { level: 'error' | 'warning' | ..., text }
    this.can = { ...ALL, ...can };
  }

  // A function sent with its arguments, which must survive JSON, as one expression.
  static call(fn, args) {
    return typeof fn === 'function' ? `(${fn})(${args.map((a) => JSON.stringify(a)).join(', ')})` : fn;
  }

  async waitFor(fn, { timeout = 5000, interval = 20 } = {}, ...args) {
    for (const deadline = Date.now() + timeout; ; await sleep(interval)) {
      const value = await this.evaluate(fn, ...args).catch(() => false);  // not set up yet
      if (value) return value;
      if (Date.now() > deadline) throw new Error(`gave up after ${timeout} ms waiting for ${fn}`);
    }
  }

  // Waits until the site's service worker has kept its files and taken its place. Asked of the
  // registration, not of the worker's state: WebKit's page may go on seeing it as installing
  // after it has activated.
  waitForWorker() {
    return this.waitFor(async () => !!(await navigator.serviceWorker.ready).active, { timeout: 10000 });
  }

  // The page as the screen shows it, or the part `clip` of it in CSS pixels, in device pixels:
  // the PNG as sent, and its pixels decoded.
  async screenshot(clip = undefined) {
    if (this.cover) throw new Error('screenshot: a hidden page paints nothing');
    const file = await this.png(clip);
    return Object.assign(png.decode(file), { file });
  }

  keyDown(name, { repeat = false } = {}) { return this.key('keyDown', name, repeat); }
  keyUp(name) { return this.key('keyUp', name); }
  async press(name) { await this.keyDown(name); await this.keyUp(name); }
}

module.exports = { Page, KEYS, sleep };
