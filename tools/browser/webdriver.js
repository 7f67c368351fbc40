// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
'use strict';
// WebKit, the engine of Safari, as WebKitGTK's MiniBrowser driven through W3C WebDriver over
// HTTP by WebKitWebDriver, on an X server of our own. One session; each page a window of it.
const { spawn } = require('child_process');
const net = require('net');
const { Page: BasePage, KEYS, sleep } = require('./page');

const MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

class Page extends BasePage {
  constructor(session, handle) {
    // The driver turns a touch into a mouse click and repeats no held key; a page's console
    // shows nowhere in an automation session; it has no way to change the screen's density.
    // The session is a private one: a site's caches go when its last page and worker do.
    super({ touch: false, mobile: false, ratio: false, insets: false, console: false, repeat: false, beforeLoad: false,
      storage: false });
    Object.assign(this, { session, handle, cover: null });
  }

  // Every command goes to the window that is current: this page's, first. Pages driven at once
  // take turns.
  send(method, path, body) {
    return this.session.exclusive(async () => {
      await this.session.switchTo(this.handle);
      return this.session.send(method, path, body);
    });
  }

  goto(url) { return this.send('POST', '/url', { url }); }

  // A promise the script returns is waited for; the value comes back through JSON.
  async evaluate(fn, ...args) {
    const script = `return (async () => JSON.stringify(await ${Page.call(fn, args)}))()`;
    const text = await this.send('POST', '/execute/sync', { script, args: [] });
    return text === null || text === undefined ? undefined : JSON.parse(text);
  }

  async png() { return Buffer.from(await this.send('GET', '/screenshot'), 'base64'); }

  // The driver gives the whole viewport, at one device pixel a CSS pixel; a clip is cut from it.
  async screenshot(clip = undefined) {
    const all = await super.screenshot();
    if (!clip) return all;
    const [x0, y0, width, height] = [clip.x, clip.y, clip.width, clip.height].map(Math.round);
    const data = new Uint8Array(width * height * 4);
    for (let y = 0; y < height; y++) data.set(all.data.subarray(((y0 + y) * all.width + x0) * 4, ((y0 + y) * all.width + x0 + width) * 4), y * width * 4);
    return { width, height, data, file: all.file };
  }

  key(type, name) {
    return this.send('POST', '/actions', { actions: [{ type: 'key', id: 'keyboard', actions: [{ type, value: KEYS[name][3] }] }] });
  }

  click(x, y) {
    return this.send('POST', '/actions', { actions: [{ type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' }, actions: [
      { type: 'pointerMove', x: Math.round(x), y: Math.round(y) }, { type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }] }] });
  }

  tap() { throw new Error("WebKitWebDriver delivers a touch as a mouse click"); }

  // The window is sized so that its viewport has the size asked for, whatever MiniBrowser's
  // toolbar takes.
  async emulate({ width = 800, height = 600 } = {}) {
    this.size = { width, height };
    for (let tries = 0, outer = { width, height }; tries < 5; tries++) {
      await this.send('POST', '/window/rect', { x: 0, y: 0, ...outer });
      // The window takes its new size a moment later: read it once it holds still.
      let inner = null;
      for (let last = null, until = Date.now() + 2000; Date.now() < until; await sleep(50)) {
        inner = await this.evaluate(() => `${innerWidth}x${innerHeight}`).catch(() => null);
        if (inner && inner === last) break;
        last = inner;
      }
      const [w, h] = (inner || '0x0').split('x').map(Number);
      if (w === width && h === height) return;
      outer = { width: Math.max(1, outer.width + width - w), height: Math.max(1, outer.height + height - h) };
    }
    throw new Error(`MiniBrowser's viewport will not take ${width} x ${height}`);
  }

  // A minimised window is hidden.
  async hide() {
    await this.send('POST', '/window/minimize', {});
    this.cover = true;
    await this.waitFor(() => document.visibilityState === 'hidden');
  }

  async show() {
    this.cover = null;
    await this.emulate(this.size);
    await this.waitFor(() => document.visibilityState === 'visible');
  }

  // The session's first window is current again: a new window needs one that is open.
  close() {
    return this.session.exclusive(async () => {
      await this.session.switchTo(this.handle);
      await this.session.send('DELETE', '/window');
      this.session.current = null;
      await this.session.switchTo(this.session.home);
    });
  }
}

const freePort = () => new Promise((resolve) => {
  const server = net.createServer().listen(0, '127.0.0.1', () => {
    const { port } = server.address();
    server.close(() => resolve(port));
  });
});

// An X server for MiniBrowser, big enough for a desktop browser's window.
function startX() {
  const x = spawn('Xvfb', ['-displayfd', '3', '-nolisten', 'tcp', '-screen', '0', '2000x1400x24'], { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  return new Promise((resolve, reject) => {
    let out = '';
    x.stdio[3].on('data', (d) => {
      out += d;
      if (out.includes('\n')) resolve({ display: `:${out.trim()}`, stop: () => x.kill() });
    });
    x.once('error', (e) => reject(new Error(`could not start Xvfb: ${e.message}`)));
    x.once('exit', (code) => reject(new Error(`Xvfb exited (${code})`)));
  });
}

async function launch({ driver = 'WebKitWebDriver', binary = MINIBROWSER } = {}) {
  const x = await startX();
  const port = await freePort();
  const child = spawn(driver, [`--port=${port}`], { env: { ...process.env, DISPLAY: x.display }, stdio: ['ignore', 'ignore', 'pipe'] });
  let stderr = '';
  child.stderr.on('data', (d) => { stderr = (stderr + d).slice(-4000); });
  const kill = () => { child.kill('SIGKILL'); x.stop(); };
  process.on('exit', kill);
  const base = `http://127.0.0.1:${port}`;
  const request = async (method, path, body) => {
    const response = await fetch(base + path, { method, ...(body ? { body: JSON.stringify(body), headers: { 'Content-Type': 'application/json' } } : {}) });
    const { value } = await response.json();
    if (value && value.error) throw new Error(`${method} ${path} ${body ? JSON.stringify(body) : ""}: ${value.error}: ${value.message}`);
    return value;
  };
  for (let tries = 0; ; tries++) {
    const ready = await request('GET', '/status').catch(() => null);
    if (ready && ready.ready) break;
    if (tries > 100) throw new Error(`WebKitWebDriver did not start:\n${stderr}`);
    await sleep(50);
  }
  const { sessionId, capabilities } = await request('POST', '/session', { capabilities: { alwaysMatch: {
    'webkitgtk:browserOptions': { binary, args: ['--automation'] }, timeouts: { script: 60000 } } } });
  let turn = Promise.resolve();
  const session = {
    current: null,
    send: (method, path, body) => request(method, `/session/${sessionId}${path}`, body),
    async switchTo(handle) {
      if (session.current !== handle) {
        await session.send('POST', '/window', { handle });
        session.current = handle;
      }
    },
    exclusive(fn) {
      const done = turn.then(fn);
      turn = done.catch(() => {});
      return done;
    },
  };
  // MiniBrowser's first window stays open behind the pages: closing a session's last window
  // ends it.
  session.home = session.current = await session.send('GET', '/window');
  // MiniBrowser's toolbar keeps its window from growing narrower than this.
  await session.send('POST', '/window/rect', { width: 100, height: 400 });
  const { width: narrowest } = await session.send('GET', '/window/rect');
  return {
    name: 'WebKit',
    narrowest,
    version: `WebKitGTK ${capabilities.browserVersion} (MiniBrowser)`,
    pid: child.pid,
    async newPage(device = {}) {
      const { handle } = await session.exclusive(async () => {
        await session.switchTo(session.home);
        return session.send('POST', '/window/new', { type: 'window' });
      });
      const page = new Page(session, handle);
      await page.emulate(device);
      return page;
    },
    async close() {
      await request('DELETE', `/session/${sessionId}`).catch(() => {});
      child.kill();
      x.stop();
      process.removeListener('exit', kill);
    },
  };
}

module.exports = { launch };
