// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
'use strict';
// Firefox driven through WebDriver BiDi, which it speaks itself: no geckodriver. Headless, on a
// fresh profile, over a WebSocket of our own (websocket.js).
const { spawn } = require('child_process');
const fs = require('fs');
const net = require('net');
const os = require('os');
const path = require('path');
const { Page: BasePage, KEYS, sleep } = require('./page');
const { connect } = require('./websocket');

class Page extends BasePage {
  constructor(bidi, context) {
    // Firefox's automation has no phone (viewport meta, a coarse pointer) and no notch.
    super({ mobile: false, insets: false });
    Object.assign(this, { bidi, context, cover: null });
  }

  send(method, params = {}) { return this.bidi.send(method, params); }

  beforeLoad(fn) { return this.send('script.addPreloadScript', { functionDeclaration: String(fn), contexts: [this.context] }); }

  goto(url) { return this.send('browsingContext.navigate', { context: this.context, url, wait: 'complete' }); }

  // The value comes back through JSON, as from the other engines.
  async evaluate(fn, ...args) {
    const expression = `(async () => JSON.stringify(await ${Page.call(fn, args)}))()`;
    const r = await this.send('script.evaluate', { expression, target: { context: this.context }, awaitPromise: true, resultOwnership: 'none' });
    if (r.type === 'exception') throw new Error(`evaluate: ${r.exceptionDetails.text}`);
    return r.result.type === 'string' ? JSON.parse(r.result.value) : undefined;
  }

  async png(clip) {
    const { data } = await this.send('browsingContext.captureScreenshot', { context: this.context, origin: 'viewport',
      ...(clip ? { clip: { type: 'box', ...clip } } : {}) });
    return Buffer.from(data, 'base64');
  }

  // The keyboard keeps what is held, Shift included, from one action to the next.
  key(type, name) {
    return this.act({ type: 'key', id: 'keyboard', actions: [{ type, value: KEYS[name][3] }] });
  }

  pointer(pointerType, x, y) {
    return this.act({ type: 'pointer', id: pointerType, parameters: { pointerType }, actions: [
      { type: 'pointerMove', x: Math.round(x), y: Math.round(y) }, { type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }] });
  }

  tap(x, y) { return this.pointer('touch', x, y); }
  click(x, y) { return this.pointer('mouse', x, y); }
  act(source) { return this.send('input.performActions', { context: this.context, actions: [source] }); }

  emulate({ width = 800, height = 600, deviceScaleFactor = 1 } = {}) {
    return this.send('browsingContext.setViewport', { context: this.context, viewport: { width, height }, devicePixelRatio: deviceScaleFactor });
  }

  // A tab in front of it hides the page.
  async hide() {
    ({ context: this.cover } = await this.send('browsingContext.create', { type: 'tab' }));
    await this.send('browsingContext.activate', { context: this.cover });
    await this.waitFor(() => document.visibilityState === 'hidden');
  }

  async show() {
    await this.send('browsingContext.close', { context: this.cover });
    this.cover = null;
    await this.send('browsingContext.activate', { context: this.context });
    await this.waitFor(() => document.visibilityState === 'visible');
  }

  async close() {
    if (this.cover) await this.send('browsingContext.close', { context: this.cover });
    await this.send('browsingContext.close', { context: this.context });
  }
}

const freePort = () => new Promise((resolve) => {
  const server = net.createServer().listen(0, '127.0.0.1', () => {
    const { port } = server.address();
    server.close(() => resolve(port));
  });
});

async function launch({ executable = 'firefox-esr' } = {}) {
  const home = fs.mkdtempSync(path.join(os.tmpdir(), 'drenchwick-firefox-'));
  const profile = path.join(home, 'profile');
  fs.mkdirSync(profile);
  // Nothing of Firefox's own on a closed network: no updates, studies, reports or remote settings.
  fs.writeFileSync(path.join(profile, 'user.js'), ['app.update.disabledForTesting', 'app.normandy.enabled:false',
    'datareporting.policy.dataSubmissionEnabled:false', 'toolkit.telemetry.enabled:false', 'browser.shell.checkDefaultBrowser:false',
    'services.settings.server:"http://127.0.0.1:9/"', 'network.captive-portal-service.enabled:false', 'network.connectivity-service.enabled:false',
    'browser.safebrowsing.update.enabled:false', 'extensions.update.enabled:false']
    .map((p) => { const [name, value = 'true'] = p.split(/:(.*)/s); return `user_pref("${name}", ${value});`; }).join('\n'));
  const port = await freePort();
  const child = spawn(executable, ['--headless', '--remote-debugging-port', String(port), '--profile', profile, '--no-remote'],
    { env: { ...process.env, HOME: home, MOZ_CRASHREPORTER_DISABLE: '1' }, stdio: ['ignore', 'ignore', 'pipe'] });
  let stderr = '';
  const exited = new Promise((resolve) => child.once('exit', resolve));
  const kill = () => child.kill('SIGKILL');
  process.on('exit', kill);
  await new Promise((resolve, reject) => {
    child.stderr.on('data', (d) => {
      stderr = (stderr + d).slice(-4000);
      if (stderr.includes('WebDriver BiDi listening on')) resolve();
    });
    child.once('error', (e) => reject(new Error(`could not start ${executable}: ${e.message}`)));
    child.once('exit', (code) => reject(new Error(`Firefox exited (${code}):\n${stderr}`)));
  });
  const socket = await connect(`ws://127.0.0.1:${port}/session`);
  const pending = new Map();
  const listeners = new Set();
  let nextId = 1;
  socket.on('message', (text) => {
    const m = JSON.parse(text);
    if (m.type === 'event') {
      for (const fn of listeners) fn(m.method, m.params);
    } else if (pending.has(m.id)) {
      const call = pending.get(m.id);
      pending.delete(m.id);
      if (m.type === 'error') call.reject(new Error(`${call.method}: ${m.error}: ${m.message}`));
      else call.resolve(m.result);
    }
  });
  socket.on('close', () => {
    for (const call of pending.values()) call.reject(new Error(`${call.method}: Firefox has gone:\n${stderr}`));
    pending.clear();
  });
  const bidi = {
    send(method, params = {}) {
      const id = nextId++;
      socket.send(JSON.stringify({ id, method, params }));
      return new Promise((resolve, reject) => pending.set(id, { resolve, reject, method }));
    },
  };
  const { capabilities } = await bidi.send('session.new', { capabilities: {} });
  await bidi.send('session.subscribe', { events: ['log.entryAdded'] });
  const pages = new Map();
  listeners.add((method, params) => {
    const page = method === 'log.entryAdded' && pages.get(params.source.context);
    if (page) page.console.push({ level: params.level === 'warn' ? 'warning' : params.level, text: params.text });
  });
  // Firefox opens with a tab of its own, which stays behind the pages.
  return {
    name: 'Firefox',
    version: `Firefox ${capabilities.browserVersion}`,
    pid: child.pid,
    async newPage(device = {}) {
      const { context } = await bidi.send('browsingContext.create', { type: 'tab' });
      const page = new Page(bidi, context);
      pages.set(context, page);
      await page.emulate(device);
      return page;
    },
    async close() {
      await bidi.send('browser.close').catch(() => {});
      const timer = setTimeout(kill, 5000);
      await exited;
      clearTimeout(timer);
      socket.close();
      process.removeListener('exit', kill);
      for (let tries = 0; tries < 20 && fs.existsSync(home); tries++) {
        try { fs.rmSync(home, { recursive: true }); } catch { await sleep(100); }
      }
    },
  };
}

module.exports = { launch };
