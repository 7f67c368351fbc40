// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
'use strict';
// A small DevTools client for the browser tests and the bench. Chromium is driven directly, not
// through a test framework: a framework keeps every page it drives "visible", and the tests need
// a page put in the background for real (a second tab in front of it). The protocol goes over a
// pipe, so Node 18, which has no WebSocket, is enough.
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { Page: BasePage, KEYS, sleep } = require('./page');

const FLAGS = ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--no-first-run', '--no-default-browser-check',
  '--remote-debugging-pipe'];

// Messages are JSON, each ended by a NUL byte; calls are answered by id, events go to listeners.
class Connection {
  constructor(input, output) {
    Object.assign(this, { input, nextId: 1, pending: new Map(), listeners: new Set(), dead: null, rest: '' });
    output.on('data', (chunk) => {
      const parts = (this.rest + chunk.toString('utf8')).split('\0');
      this.rest = parts.pop();
      for (const part of parts) this.receive(JSON.parse(part));
    });
    input.on('error', () => {});  // written after Chromium died: the exit says why
  }

  receive({ id, method, params, result, error, sessionId = '' }) {
    const call = this.pending.get(id);
    if (call) {
      this.pending.delete(id);
      if (error) call.reject(new Error(`${call.method}: ${error.message}`));
      else call.resolve(result);
    } else if (method) {
      for (const fn of this.listeners) fn(sessionId, method, params);
    }
  }

  send(method, params = {}, sessionId) {
    if (this.dead) return Promise.reject(new Error(`${method}: ${this.dead}`));
    const id = this.nextId++;
    this.input.write(`${JSON.stringify({ id, method, params, sessionId })}\0`);
    return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject, method }));
  }

  on(sessionId, eventName, fn) {
    const listener = (s, method, params) => s === sessionId && method === eventName && fn(params);
    this.listeners.add(listener);
    return () => this.listeners.delete(listener);
  }

  // Chromium is gone: nothing pending will ever be answered.
  fail(reason) {
    this.dead = reason;
    for (const call of this.pending.values()) call.reject(new Error(`${call.method}: ${reason}`));
    this.pending.clear();
  }
}

class Page extends BasePage {
  constructor(conn, targetId, sessionId) {
    super({ chromium: true });
    Object.assign(this, { conn, targetId, sessionId, cover: null, shift: false });
    const text = (args) => args.map((a) => ('value' in a ? String(a.value) : a.description || a.type)).join(' ');
    this.on('Runtime.consoleAPICalled', ({ type, args }) => this.console.push({ level: type, text: text(args) }));
    this.on('Runtime.exceptionThrown', ({ exceptionDetails: d }) =>
      this.console.push({ level: 'error', text: (d.exception && d.exception.description) || d.text }));
    this.on('Log.entryAdded', ({ entry }) => this.console.push({ level: entry.level, text: `${entry.text} ${entry.url || ''}` }));
  }

  send(method, params) { return this.conn.send(method, params, this.sessionId); }
  on(eventName, fn) { return this.conn.on(this.sessionId, eventName, fn); }

  // A function run in each document this page loads, before the page's own scripts.
  beforeLoad(fn) { return this.send('Page.addScriptToEvaluateOnNewDocument', { source: Page.call(fn, []) }); }

  // Resolves once the page has loaded; the load event may come before navigate's reply.
  async goto(url) {
    const loaded = new Promise((resolve) => { const off = this.on('Page.loadEventFired', () => { off(); resolve(); }); });
    const { errorText } = await this.send('Page.navigate', { url });
    if (errorText) throw new Error(`goto ${url}: ${errorText}`);
    await loaded;
  }

  async evaluate(fn, ...args) {
    const { result, exceptionDetails: d } = await this.send('Runtime.evaluate', { expression: Page.call(fn, args), returnByValue: true, awaitPromise: true });
    if (d) throw new Error(`evaluate: ${(d.exception && d.exception.description) || d.text}`);
    return result.value;
  }

  async png(clip) {
    const { data } = await this.send('Page.captureScreenshot', { format: 'png', fromSurface: true,
      ...(clip ? { clip: { ...clip, scale: 1 } } : {}) });
    return Buffer.from(data, 'base64');
  }

  key(type, name, autoRepeat = false) {
    const [key, keyCode, text] = KEYS[name];
    if (name === 'Shift') this.shift = type === 'keyDown';
    return this.send('Input.dispatchKeyEvent', { type, key, code: name === 'Shift' ? 'ShiftLeft' : name,
      windowsVirtualKeyCode: keyCode, nativeVirtualKeyCode: keyCode, autoRepeat, modifiers: this.shift ? 8 : 0,
      ...(type === 'keyDown' && text ? { text } : {}) });
  }

  async tap(x, y) {
    await this.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y }] });
    await this.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  }

  async click(x, y) {
    for (const type of ['mouseMoved', 'mousePressed', 'mouseReleased']) {
      await this.send('Input.dispatchMouseEvent', { type, x, y, button: 'left', clickCount: 1 });
    }
  }

  // The page as a device shows it: its viewport in CSS pixels, their density, and for a phone
  // or a tablet its viewport meta, touch and orientation, and the screen's edges a notch or a
  // rounded corner keeps (`insets`, in CSS pixels).
  async emulate({ width = 800, height = 600, deviceScaleFactor = 1, mobile = false, touch = mobile, insets = {} } = {}) {
    const screenOrientation = mobile ? { type: width > height ? 'landscapePrimary' : 'portraitPrimary', angle: width > height ? 90 : 0 } : undefined;
    await this.send('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor, mobile, screenOrientation });
    await this.send('Emulation.setTouchEmulationEnabled', { enabled: touch, maxTouchPoints: touch ? 5 : 1 });
    await this.send('Emulation.setSafeAreaInsetsOverride', { insets });
  }

  // Headless Chromium hides a page when another tab of its window comes to the front.
  async hide() {
    ({ targetId: this.cover } = await this.conn.send('Target.createTarget', { url: 'about:blank', newWindow: false }));
    await this.waitFor(() => document.visibilityState === 'hidden');
  }

  async show() {
    await this.conn.send('Target.closeTarget', { targetId: this.cover });
    this.cover = null;
    await this.conn.send('Target.activateTarget', { targetId: this.targetId });
    await this.waitFor(() => document.visibilityState === 'visible');
  }

  async close() {
    if (this.cover) await this.conn.send('Target.closeTarget', { targetId: this.cover });
    await this.conn.send('Target.closeTarget', { targetId: this.targetId });
  }
}

async function launch({ executable = '/usr/bin/chromium', args = [] } = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'drenchwick-chromium-'));
  const child = spawn(executable, [...FLAGS, `--user-data-dir=${profile}`, ...args], { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
  const conn = new Connection(child.stdio[3], child.stdio[4]);
  let stderr = '';
  child.stderr.on('data', (d) => { stderr = (stderr + d).slice(-2000); });
  const exited = new Promise((resolve) => child.once('exit', resolve));
  child.once('error', (e) => conn.fail(`could not start ${executable}: ${e.message}`));
  child.once('exit', (code, signal) => conn.fail(`Chromium exited (${signal || code}):\n${stderr}`));
  // Never leave a browser behind, even when a run ends without closing it.
  const kill = () => child.kill('SIGKILL');
  process.on('exit', kill);

  const browser = {
    pid: child.pid,
    send: (method, params) => conn.send(method, params),
    async newPage(device = {}) {
      const { targetId } = await conn.send('Target.createTarget', { url: 'about:blank', newWindow: false });
      const { sessionId } = await conn.send('Target.attachToTarget', { targetId, flatten: true });
      const page = new Page(conn, targetId, sessionId);
      await Promise.all(['Page.enable', 'Runtime.enable', 'Log.enable'].map((m) => page.send(m)));
      await page.emulate(device);
      return page;
    },
    async close() {
      conn.send('Browser.close').catch(() => {});
      const timer = setTimeout(kill, 5000);
      await exited;
      clearTimeout(timer);
      process.removeListener('exit', kill);
      // Chromium's helpers outlive it by a moment, still writing to the profile.
      for (let tries = 0; tries < 20 && fs.existsSync(profile); tries++) {
        try { fs.rmSync(profile, { recursive: true }); } catch { await sleep(100); }
      }
    },
  };
  const { product } = await conn.send('Browser.getVersion');
  browser.version = `Chromium ${product.split('/')[1]}`;
  return browser;
}

module.exports = { launch };
