// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
'use strict';
// A small DevTools client for the browser tests. We drive Chromium ourselves rather than through a
// test framework because the tests need to put a page in the background for real (a second tab),
// and over a pipe because Node 18 has no WebSocket.
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const png = require('./png');

const CHROMIUM = '/usr/bin/chromium';
const FLAGS = ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--no-first-run', '--no-default-browser-check',
  '--remote-debugging-pipe'];

// name -> [key, keyCode, text]; the name is also the code, except that Shift and Control are the
// left-hand keys, as a real keyboard reports them.
const KEYS = { Space: [' ', 32, ' '], Enter: ['Enter', 13, '\r'], Escape: ['Escape', 27], Tab: ['Tab', 9], F11: ['F11', 122],
  ArrowLeft: ['ArrowLeft', 37], ArrowUp: ['ArrowUp', 38], ArrowRight: ['ArrowRight', 39], ArrowDown: ['ArrowDown', 40],
  Shift: ['Shift', 16], Control: ['Control', 17] };
for (let i = 0; i < 26; i++) KEYS['Key' + String.fromCharCode(65 + i)] = [String.fromCharCode(97 + i), 65 + i, String.fromCharCode(97 + i)];
for (let i = 0; i < 10; i++) KEYS['Digit' + i] = [String(i), 48 + i, String(i)];
const MODIFIER_BITS = { Shift: 8, Control: 2 };

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

class Connection {
  constructor(input, output) {
    Object.assign(this, { input, nextId: 1, pending: new Map(), listeners: new Set(), dead: null, parts: [] });
    output.on('data', (chunk) => this.receive(chunk));
    input.on('error', () => {}); // a write after Chromium died; the exit handler reports it
  }

  receive(chunk) {
    let start = 0;
    for (let end; (end = chunk.indexOf(0, start)) !== -1; start = end + 1) {
      this.parts.push(chunk.subarray(start, end));
      const message = JSON.parse(Buffer.concat(this.parts).toString('utf8'));
      this.parts = [];
      this.dispatch(message);
    }
    if (start < chunk.length) this.parts.push(chunk.subarray(start));
  }

  dispatch({ id, method, params, result, error, sessionId = '' }) {
    const call = this.pending.get(id);
    if (call) {
      this.pending.delete(id);
      if (error) call.reject(new Error(`${call.method}: ${error.message}${error.data ? ` (${error.data})` : ''}`));
      else call.resolve(result);
    } else if (method) {
      // A closed or crashed tab never answers, so fail what was waiting on it.
      if (method === 'Target.detachedFromTarget') this.fail('the page was closed', params.sessionId);
      if (method === 'Inspector.targetCrashed') this.fail('the page crashed', sessionId);
      for (const fn of this.listeners) fn(sessionId, method, params);
    }
  }

  send(method, params = {}, sessionId) {
    if (this.dead) return Promise.reject(new Error(`${method}: ${this.dead}`));
    const id = this.nextId++;
    this.input.write(JSON.stringify({ id, method, params, sessionId }) + '\0');
    return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject, method, sessionId }));
  }

  on(sessionId, eventName, fn) {
    const listener = (s, method, params) => s === sessionId && method === eventName && fn(params);
    this.listeners.add(listener);
    return () => this.listeners.delete(listener);
  }

  // Without a sessionId, Chromium is gone and everything pending fails.
  fail(reason, sessionId) {
    if (sessionId === undefined) this.dead = reason;
    for (const [id, call] of this.pending) {
      if (sessionId === undefined || call.sessionId === sessionId) { this.pending.delete(id); call.reject(new Error(`${call.method}: ${reason}`)); }
    }
  }
}

class Page {
  constructor(conn, targetId, sessionId) {
    Object.assign(this, { conn, targetId, sessionId, console: [], cover: null, modifiers: 0 });
    const text = (args) => args.map((a) => ('value' in a ? String(a.value) : a.description || a.type)).join(' ');
    this.on('Runtime.consoleAPICalled', ({ type, args }) =>
      this.console.push({ level: type === 'assert' ? 'error' : type, text: text(args) }));
    this.on('Runtime.exceptionThrown', ({ exceptionDetails: d }) =>
      this.console.push({ level: 'error', text: (d.exception && d.exception.description) || d.text }));
    // Chromium fetches /favicon.ico on its own; a missing one is no fault of the page.
    this.on('Log.entryAdded', ({ entry }) => /\/favicon\.ico$/.test(entry.url || '') ||
      this.console.push({ level: entry.level, text: entry.url ? `${entry.text} (${entry.url})` : entry.text }));
  }

  send(method, params) { return this.conn.send(method, params, this.sessionId); }
  on(eventName, fn) { return this.conn.on(this.sessionId, eventName, fn); }

  goto(url, { timeout = 15000 } = {}) {
    return new Promise((resolve, reject) => {
      let navigated = false, loaded = false;
      const done = (error) => { clearTimeout(timer); off(); error ? reject(error) : resolve(); };
      const timer = setTimeout(() => done(new Error(`goto ${url}: no load event within ${timeout} ms`)), timeout);
      // The load event may overtake the navigate reply, so listen first and only finish after both.
      const off = this.on('Page.loadEventFired', () => (navigated ? done() : (loaded = true)));
      this.send('Page.navigate', { url }).then(({ errorText, loaderId }) => {
        if (errorText) return done(new Error(`goto ${url}: ${errorText}`));
        navigated = true;
        if (loaded || !loaderId) done(); // no loaderId: a same-document navigation, which fires no load
      }, done);
    });
  }

  async evaluate(fn, ...args) {
    const expression = typeof fn === 'function'
      ? `(${fn})(${args.map((a) => (a === undefined ? 'undefined' : JSON.stringify(a))).join(', ')})` : String(fn);
    const { result, exceptionDetails: d } = await this.send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true });
    if (d) throw new Error(`evaluate: ${(d.exception && d.exception.description) || d.text}`);
    const v = result.unserializableValue; // NaN, Infinity, -0 and bigints do not survive JSON
    return v === undefined ? result.value : result.type === 'bigint' ? BigInt(v.slice(0, -1)) : Number(v);
  }

  async waitFor(fn, { timeout = 5000, interval = 20 } = {}, ...args) {
    const deadline = Date.now() + timeout;
    let lastError = null;
    for (;;) {
      try {
        const value = await this.evaluate(fn, ...args);
        if (value) return value;
        lastError = null;
      } catch (error) { // the page may throw until it has set itself up; only the timeout fails
        if (this.conn.dead) throw error;
        lastError = error;
      }
      if (Date.now() >= deadline) {
        throw new Error(`waitFor: gave up after ${timeout} ms waiting for ${fn}${lastError ? `\nlast error: ${lastError.message}` : ''}`);
      }
      await sleep(interval);
    }
  }

  async screenshot() {
    // A background tab paints nothing, so Chromium would never answer.
    if (this.cover) throw new Error('screenshot: the page is hidden; call show() first');
    const { data } = await this.send('Page.captureScreenshot', { format: 'png', captureBeyondViewport: false, fromSurface: true });
    return png.decode(Buffer.from(data, 'base64'));
  }

  key(type, name, autoRepeat = false) {
    const entry = KEYS[name];
    if (!entry) throw new Error(`unknown key name: ${name}`);
    let [key, keyCode, text] = entry;
    const bit = MODIFIER_BITS[name] || 0, code = bit ? name + 'Left' : name;
    // A modifier's own keydown already carries its flag and its keyup no longer does.
    this.modifiers = type === 'keyDown' ? this.modifiers | bit : this.modifiers & ~bit;
    if (this.modifiers & 8 && code.startsWith('Key')) key = text = key.toUpperCase();
    if (this.modifiers & 2) text = undefined; // Ctrl+letter types nothing
    return this.send('Input.dispatchKeyEvent', { type, key, code, windowsVirtualKeyCode: keyCode,
      nativeVirtualKeyCode: keyCode, modifiers: this.modifiers, autoRepeat, location: bit ? 1 : 0,
      ...(type === 'keyDown' && text !== undefined ? { text, unmodifiedText: entry[2] } : {}) });
  }

  keyDown(name, { repeat = false } = {}) { return this.key('keyDown', name, repeat); }
  keyUp(name) { return this.key('keyUp', name); }
  async press(name) { await this.keyDown(name); await this.keyUp(name); }

  async tap(x, y) {
    await this.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y }] });
    await this.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  }

  async click(x, y) {
    await this.send('Input.dispatchMouseEvent', { type: 'mouseMoved', x, y });
    await this.send('Input.dispatchMouseEvent', { type: 'mousePressed', x, y, button: 'left', buttons: 1, clickCount: 1 });
    await this.send('Input.dispatchMouseEvent', { type: 'mouseReleased', x, y, button: 'left', buttons: 0, clickCount: 1 });
  }

  // Headless Chromium only hides a page when another tab in its window comes to the front.
  async hide() {
    if (!this.cover) ({ targetId: this.cover } = await this.conn.send('Target.createTarget', { url: 'about:blank', newWindow: false }));
    await this.waitFor(() => document.visibilityState === 'hidden');
  }

  async show() {
    if (this.cover) await this.conn.send('Target.closeTarget', { targetId: this.cover });
    this.cover = null;
    await this.conn.send('Target.activateTarget', { targetId: this.targetId });
    await this.waitFor(() => document.visibilityState === 'visible');
  }

  async close() {
    if (this.cover) await this.conn.send('Target.closeTarget', { targetId: this.cover }).catch(() => {});
    await this.conn.send('Target.closeTarget', { targetId: this.targetId });
  }
}

async function launch({ args = [], executable = CHROMIUM, timeout = 20000 } = {}) {
  if (!fs.existsSync(executable)) throw new Error(`launch: ${executable} not found (apt-get install chromium)`);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'drenchwick-chromium-'));
  const child = spawn(executable, [...FLAGS, `--user-data-dir=${profile}`, ...args], { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
  const conn = new Connection(child.stdio[3], child.stdio[4]);
  let stderr = '';
  // The last few lines go into error messages, minus the D-Bus and wrapper-script noise of every run.
  child.stderr.on('data', (d) => {
    const lines = (stderr + d).split('\n'), partial = lines.pop();
    stderr = [...lines.filter((l) => !/dbus|unexpected operator/.test(l)).slice(-10), partial].join('\n');
  });
  const exited = new Promise((resolve) => child.once('exit', resolve));
  // Chromium's helper processes outlive it by a moment and may still be writing to the profile.
  const removeProfile = () => {
    for (let tries = 0; ; tries++) {
      try { return fs.rmSync(profile, { recursive: true, force: true }); } catch (error) {
        if (tries === 40) throw error;
        Atomics.wait(new Int32Array(new SharedArrayBuffer(4)), 0, 0, 50); // a sleep that also works at exit
      }
    }
  };
  // Never leave a browser behind if a test run ends without closing it.
  const onExit = () => { child.kill('SIGKILL'); try { removeProfile(); } catch {} };
  process.on('exit', onExit);
  child.once('error', (e) => conn.fail(`could not start ${executable}: ${e.message}`));
  child.once('exit', (code, signal) => conn.fail(`Chromium exited (${signal || `code ${code}`})${stderr.trim() ? `; stderr:\n${stderr.trim()}` : ''}`));

  const browser = {
    pid: child.pid,
    send: (method, params) => conn.send(method, params),
    on: (eventName, fn) => conn.on('', eventName, fn),
    async newPage({ width = 800, height = 600, deviceScaleFactor = 1, touch = false } = {}) {
      const { targetId } = await conn.send('Target.createTarget', { url: 'about:blank', newWindow: false });
      const { sessionId } = await conn.send('Target.attachToTarget', { targetId, flatten: true });
      const page = new Page(conn, targetId, sessionId);
      await Promise.all(['Page.enable', 'Runtime.enable', 'Log.enable'].map((m) => page.send(m)));
      await page.send('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor, mobile: false });
      if (touch) await page.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 1 });
      return page;
    },
    async close() {
      if (child.pid && child.exitCode === null && child.signalCode === null) {
        conn.send('Browser.close').catch(() => {});
        const lingering = setTimeout(() => child.kill('SIGKILL'), conn.dead ? 0 : 5000);
        await exited;
        clearTimeout(lingering);
      }
      process.removeListener('exit', onExit);
      removeProfile();
    },
  };

  const timer = setTimeout(() => conn.fail(`Chromium did not answer within ${timeout} ms`), timeout);
  const failure = await conn.send('Browser.getVersion').then(() => null, (error) => error);
  clearTimeout(timer);
  if (failure) { await browser.close(); throw new Error(`launch: ${failure.message}`); }
  return browser;
}

module.exports = { launch, KEYS };
