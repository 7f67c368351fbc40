// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
'use strict';
// The browser version played as a player plays it, in each of the three engines: keys, taps and
// clicks go in through the engine's own automation, and what the screen shows is read back
// against the desktop tests' own reference. Run by ctest (label web) with the sites built in
// build/web/: with no arguments it plays every engine, as many at once as there are cores, each
// in a process of its own (`--engine=NAME` plays one).
const assert = require('assert');
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const bidi = require('../../tools/browser/bidi');
const cdp = require('../../tools/browser/cdp');
const webdriver = require('../../tools/browser/webdriver');
const { serve } = require('../../tools/browser/serve');
const { ZOOM_1, Game, references, scaled, crop, differences, inkBox, unevenOutlines, offColours, count, within, sleep, LABELS } = require('./support/game');

// The screens a player brings, each at its own size and density. With `mobile` the page is laid
// out as a phone lays it out, its main pointer a finger.
const DEVICES = {
  'a phone in portrait': { width: 390, height: 844, deviceScaleFactor: 3, mobile: true },
  'a phone in landscape, in a browser tab': { width: 844, height: 340, deviceScaleFactor: 3, mobile: true },
  'a phone at a ratio of 2.625': { width: 412, height: 915, deviceScaleFactor: 2.625, mobile: true },
  'a tablet': { width: 820, height: 1180, deviceScaleFactor: 2, mobile: true },
  'a desktop window': { width: 1400, height: 1150, deviceScaleFactor: 1 },
};
const AQUA = [0, 255, 255];

// The engines, each driven by its own protocol: Chromium by the DevTools protocol, Firefox by
// WebDriver BiDi, WebKit (WebKitGTK's MiniBrowser) by WebDriver.
const ENGINES = {
  chromium: { name: 'Chromium', program: process.env.CHROMIUM, package: 'chromium', launch: (program) => cdp.launch({ executable: program }) },
  firefox: { name: 'Firefox', program: process.env.FIREFOX, package: 'firefox-esr', launch: (program) => bidi.launch({ executable: program }) },
  webkit: { name: 'WebKit', program: process.env.WEBKIT_DRIVER, package: 'webkit2gtk-driver', launch: (program) => webdriver.launch({ driver: program }) },
};

const cases = [];
const test = (name, fn) => cases.push({ name, fn });

// What an engine's automation cannot do is said by name: a part of a case with `cannot`, the
// whole case with `unable`.
class Unable extends Error {}
let skipped;
const cannot = (what) => skipped.push(what);
const unable = (why) => { throw new Unable(why); };

// On the test site every walker stands still unless the address gives them steps. The pages a
// case opens are checked for console warnings and errors after it.
let browser, site, testSite, refs, opened;
async function open(query = '', options = {}, url = testSite.url) {
  const game = await Game.open(browser, url + query, refs, options);
  opened.push(game);
  return game;
}
// Some browsers' windows are wider than a phone.
const narrowEnough = (device) => device.width >= (browser.narrowest || 0) ||
  unable(`a viewport ${device.width} px wide: its window is at least ${browser.narrowest} px wide`);
const balloonsLeft = (game, n) => game.waitForCaption('Balloons', `Balloons Left: ${n}`);

// Counts the paints that begin at the scene's top left corner: on the test site, with nobody
// walking, only a whole scene's.
function countWholePaints() {
  window.wholePaints = 0;
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (image, x, y) {
    if (x === 0 && y === 0) wholePaints++;
    return put.apply(this, arguments);
  };
}

test('the start scene is the desktop one, pixel for pixel, at zoom 1 and zoom 3', async () => {
  const game = await open('', { beforeLoad: countWholePaints });
  const img = await game.scene();
  // Painted once as the page starts: placing the canvas again would wipe it, and show a blank
  // frame before the scene came back.
  if (!game.page.can.beforeLoad) cannot("the start's paints: its automation runs no script before the page's own");
  else assert.strictEqual(await game.page.evaluate(() => wholePaints), 1);
  assert.deepStrictEqual(differences(img, refs.scene), []);
  for (const [label, caption] of [['Hlth', 'Health: 5'], ['Scr', 'Score: 0'], ['Balloons', 'Balloons Left: 100']]) {
    assert(await game.shows(label, caption, img), `${label} does not read "${caption}"`);
    // The ink lies where the desktop's lies, to the pixel.
    const l = LABELS[label], page = inkBox(crop(img, l.x, l.y, l.width, l.height)), desktop = inkBox(refs[label]);
    assert(Object.keys(page).every((k) => Math.abs(page[k] - desktop[k]) <= 1), `${label}: ${JSON.stringify({ page, desktop })}`);
  }
  assert.deepStrictEqual((await game.buttons('#menubar button')).map((m) => m.caption), ['Exit', 'Reset', 'Help']);
  // A screen reader reads the captions, and follows them politely; the scene has a name.
  assert.deepStrictEqual([await game.captions(), await game.page.evaluate(() => [document.getElementById('captions').getAttribute('aria-live'),
    document.getElementById('scene').getAttribute('aria-label').length > 0])], [['Health: 5', 'Score: 0', 'Balloons Left: 100'], ['polite', true]]);
  assert.strictEqual(await game.page.evaluate(() => document.title), 'Drenchwick');
  assert(await game.page.evaluate(async () => (await fetch(document.querySelector('link[rel=icon]').href)).ok));

  const big = await open('', { width: 1300, height: 1100 });  // zoom 3
  assert.deepStrictEqual(differences(await big.scene(), scaled(refs.scene, 3), 3), []);

  // The players' own site, whose walkers walk: everything above the street is the same.
  const played = await open('', {}, site.url);
  assert.deepStrictEqual(differences(await played.scene(), refs.scene, 1, { x: 145, y: 300, width: 281, height: 47 }), []);
});

for (const [name, device] of Object.entries(DEVICES)) {
  test(`on ${name} the whole scene fills the room, sharp and in its colours, and a tap anywhere in it throws one balloon`, async () => {
    narrowEnough(device);
    const game = await open('', device);
    const can = game.page.can;
    if (device.deviceScaleFactor !== 1 && !can.ratio) cannot(`a ratio of ${device.deviceScaleFactor}: laid out at 1`);
    if (device.mobile && !can.mobile) cannot("a phone's layout and coarse pointer: laid out as a desktop browser's window");
    const { scene, room, viewport, factor, scrolls } = await game.layout();
    assert(within(scene, room) && within(room, viewport) && !scrolls, JSON.stringify({ scene, room, viewport, scrolls }));
    const fit = Math.min(room.width / 426, room.height / 347);
    assert(scene.width >= 0.85 * fit * 426, `${scene.width} px wide in a room that fits ${fit * 426}`);
    const img = await game.scene();
    assert.deepStrictEqual(unevenOutlines(img, factor), []);
    assert.deepStrictEqual(offColours(img, factor), []);
    // Targets a finger can hit where the pointer is one, and the hint that a tap throws.
    const finger = Boolean(device.mobile) && can.mobile;
    const least = finger ? 44 : 24;
    const targets = (await game.buttons('#menubar button')).map((b) => b.rect);
    assert(targets.every((r) => r.width >= least && r.height >= least), JSON.stringify(targets));
    assert.strictEqual(await game.page.evaluate(() => getComputedStyle(document.getElementById('hint')).display !== 'none'), finger);
    if (!device.mobile) {
      // The desktop browser's zoom 3, pixel for pixel; a mouse click throws nothing.
      assert.deepStrictEqual(differences(img, scaled(refs.scene, factor), factor), []);
      await game.page.click(scene.x + scene.width / 2, scene.y + scene.height / 2);
      await sleep(300);
      assert.deepStrictEqual(await game.captions(), ['Health: 5', 'Score: 0', 'Balloons Left: 100']);
      return;
    }
    if (!can.touch) return cannot('a tap: its automation has no touch');
    const water = count(img, AQUA);  // Quib's trousers
    await game.page.tap(scene.x + scene.width * 0.6, scene.y + scene.height / 2);
    await game.waitForCaptions('Balloons Left: 99');
    // Beside the scene, in the spare room where a thumb rests.
    const spare = room.width - scene.width > room.height - scene.height
      ? { x: (room.x + scene.x) / 2, y: scene.y + scene.height / 2 }
      : { x: scene.x + scene.width / 2, y: (scene.y + scene.height + room.y + room.height) / 2 };
    await game.page.tap(spare.x, spare.y);
    await game.waitForCaptions('Balloons Left: 98');
    await game.waitForShot((shot) => count(shot, AQUA) > water, { what: "a balloon's water in its own colour" });
    await sleep(300);  // the mouse events a tap brings throw nothing more
    assert.deepStrictEqual(await game.captions(), ['Health: 5', 'Score: 0', 'Balloons Left: 98']);
  });
}

test('a phone turns without a reload; Help fits either way, takes a tap on OK once armed, and keeps clear of the notch', async () => {
  narrowEnough(DEVICES['a phone in portrait']);
  const game = await open('', DEVICES['a phone in portrait']);
  const can = game.page.can;
  if (!can.touch) unable('its automation has no touch');
  if (!can.mobile) cannot("a phone's layout and coarse pointer: laid out as a desktop browser's window");
  if (!can.insets) cannot('a notch: its automation has none');
  await game.page.evaluate(() => { window.sameDocument = true; });
  await game.page.tap(200, 400);
  await game.waitForCaptions('Balloons Left: 99');
  await game.choose('Help', { finger: true });
  await game.waitForBox();
  const fits = async () => {
    const [box, { viewport }] = [await game.box(), await game.layout()];
    return within(box.rect, viewport) && box.buttons.every((b) => within(b.rect, box.rect) && b.rect.height >= (can.mobile ? 44 : 24)) || JSON.stringify(box);
  };
  assert.strictEqual(await fits(), true);
  await game.answer('OK', { finger: true });  // still arming: the tap counts for nothing
  await sleep(100);
  assert(await game.box(), 'a tap answered the box before it armed');

  // Turned, in a browser tab, with the notch on the left and rounded corners below.
  const safe = can.insets ? { left: 47, right: 47, bottom: 21 } : { left: 0, right: 0, bottom: 0 };
  await game.page.emulate({ ...DEVICES['a phone in landscape, in a browser tab'], height: 390, insets: safe });
  await game.page.waitFor(() => {
    const [scene, room] = ['scene', 'client'].map((id) => document.getElementById(id).getBoundingClientRect());
    return room.width > room.height && scene.bottom <= room.bottom && scene.height >= 0.85 * room.height;
  });
  assert.strictEqual(await fits(), true);
  await game.waitForArming();
  await game.answer('OK', { finger: true });
  await game.waitForCaptions('Balloons Left: 100');
  assert.strictEqual(await game.box(), false);
  const { scene, room, factor } = await game.layout();
  const clear = { x: safe.left, y: 0, width: 844 - safe.left - safe.right, height: 390 - safe.bottom };
  const parts = [scene, ...(await game.buttons('#menubar button')).map((b) => b.rect),
    await game.page.evaluate(() => { const r = document.getElementById('hint').getBoundingClientRect(); return { x: r.left, y: r.top, width: r.width, height: r.height }; })];
  assert(parts.every((r) => within(r, clear)) && within(scene, room) && scene.height >= 0.85 * room.height, JSON.stringify(parts));
  assert.deepStrictEqual(unevenOutlines(await game.scene(), factor), []);
  assert(await game.page.evaluate(() => window.sameDocument), 'the page was loaded again');
});

test('a Space tap throws one balloon, which falls along the arc and lands', async () => {
  const game = await open();
  await game.page.press('Space');
  await balloonsLeft(game, 99);
  const seen = [];
  for (const until = Date.now() + 1600; Date.now() < until;) {
    const img = await game.scene();
    const on = game.balloonsOnArc(img);
    assert(on.length <= 1 && !game.offArc(img), `balloons at ${on}, ${game.offArc(img)} pixels off the arc`);
    if (on.length && on[0] !== seen[seen.length - 1]) seen.push(on[0]);
  }
  // A screenshot takes a few ticks: the balloon is seen now and then, always further on.
  assert(seen.length >= 3 && seen[0] <= 8 && seen[seen.length - 1] >= 16 && seen.every((k, i) => !i || k > seen[i - 1]),
    `seen at ${seen}`);
  assert.deepStrictEqual(game.balloonsOnArc(await game.scene()), []);  // landed
});

test('holding Space for 1.5 s throws exactly one balloon, on release', async () => {
  const game = await open();
  await game.page.keyDown('Space');
  if (!game.page.can.repeat) cannot("a held key's repeats: its automation sends none");
  for (const end = Date.now() + 1500; Date.now() < end; await sleep(40)) {
    if (game.page.can.repeat) await game.page.keyDown('Space', { repeat: true });
  }
  assert(await game.shows('Balloons', 'Balloons Left: 100'));
  await game.page.keyUp('Space');
  await balloonsLeft(game, 99);
  await sleep(300);
  assert(await game.shows('Balloons', 'Balloons Left: 99'));
});

test('other keys and a mouse click do nothing; Space under Shift throws, and never scrolls the page', async () => {
  const game = await open();
  const g = await game.geometry();
  await game.page.click(g.x + 300, g.y + 200);
  for (const key of ['Enter', 'KeyA', 'ArrowLeft', 'ArrowDown', 'Tab', 'Digit5', 'Escape', 'Shift']) await game.page.press(key);
  await sleep(300);
  assert(await game.shows('Balloons', 'Balloons Left: 100'));
  assert.deepStrictEqual(game.balloonsOnArc(await game.scene()), []);
  await game.page.keyDown('Shift');
  await game.page.press('Space');
  await game.page.keyUp('Shift');
  await balloonsLeft(game, 99);
  assert.strictEqual(await game.page.evaluate(() => document.scrollingElement.scrollTop), 0);
});

test('Help shows its text, takes no Space in its first 0.6 s, and OK gives a fresh game', async () => {
  const game = await open();
  await game.page.press('Space');
  await balloonsLeft(game, 99);
  await game.choose('Help');
  const box = await game.waitForBox();
  assert.deepStrictEqual([box.title, box.text, box.buttons.map((b) => [b.caption, b.disabled])], ['Need help?',
    "Drop your water balloons with Space! You have 100 of them. If you hit Zorbo, in the green shirt, he'll " +
    "jump up and ninja kick you! Ouch! You'll lose a health if this happens, and you only have 5 health, so be " +
    'careful! Try to hit Quib, in the blue shirt, as much as you can before you run out of health or balloons.',
    [['OK', true]]]);
  await game.page.press('Space');
  await sleep(300);
  assert(await game.box(), 'a Space answered the box at once');
  // Behind the box the game stands still: the balloon stays where it was.
  const behind = game.balloonsOnArc(await game.scene());
  await game.waitForArming();
  assert.deepStrictEqual(game.balloonsOnArc(await game.scene()), behind);
  await game.page.press('Space');
  await balloonsLeft(game, 100);
  assert.deepStrictEqual([await game.box(), game.balloonsOnArc(await game.scene())], [false, []]);
});

// Three walking ticks take Zorbo from 216 to 171, off the balloons' landing place; then nobody
// moves, so every balloon misses.
async function throwAll(game) {
  await sleep(400);
  for (let i = 0; i < 100; i++) await game.page.press('Space');
  await balloonsLeft(game, 0);
  const box = await game.waitForBox(3000);
  await game.waitForArming();
  return box;
}

test('out of balloons: the prompt sums up; Yes starts a fresh game and No ends it', async () => {
  const game = await open('?random=0,0.5,0,0.5,0,0.5;0');
  const box = await throwAll(game);
  assert.deepStrictEqual([box.title, box.text.split('\n'), box.buttons.map((b) => b.caption)], ['No more!',
    ['You ran out of balloons!!', '', 'You threw all of your balloons!', 'Your score is 0.', '', 'Try again?'], ['Yes', 'No']]);
  await game.answer('Yes');
  await balloonsLeft(game, 100);
  // A fresh game: no balloon, Quib back at his place (Zorbo is on his way again).
  assert.deepStrictEqual(differences(await game.scene(), refs.scene, 1, { x: 145, y: 300, width: 120, height: 47 }), []);

  await throwAll(game);
  await game.answer('No');
  await game.page.waitFor(() => document.documentElement.dataset.state === 'ended');
  assert.match(await game.ended(), /The game has ended\./);
  await game.page.press('Space');
  await sleep(200);
  assert.match(await game.ended(), /The game has ended\./);
  await game.page.evaluate(() => document.getElementById('new-game').click());
  await game.waitForScene();
  assert(await game.shows('Balloons', 'Balloons Left: 100'));
});

test('a runtime error ends the game and the page gives its report', async () => {
  const game = await open('?broken=key');
  await game.page.press('Space');
  await game.page.waitFor(() => document.documentElement.dataset.state === 'ended');
  assert.match(await game.ended(), /run-time error 6 in Form_KeyUp: Overflow/);
  // The report goes to the console too, as to the desktop's standard error; nothing else does.
  if (!game.page.can.console) return cannot("the report on the console: the page's console shows nowhere");
  const [report, ...others] = game.complaints();
  assert(report && /run-time error 6/.test(report.text) && !others.length, JSON.stringify(game.page.console));
  game.page.console.length = 0;
});

test('a hidden page stands still, and shows again where it was, without a jump', async () => {
  const game = await open();
  if (!game.page.can.hide) unable('its automation cannot hide a page');
  await game.page.evaluate(() => {
    window.shown = [];  // how long the page showed, from the first screenshot on
    document.addEventListener('visibilitychange', () => window.shown.push(performance.now()));
  });
  await game.page.press('Space');
  const before = await game.waitForShot((img) => game.balloonsOnArc(img)[0] >= 5, { what: 'the balloon in flight' });
  const from = await game.page.evaluate(() => performance.now());
  await game.page.hide();
  await sleep(1500);  // longer than the whole flight
  await game.page.show();
  const after = await game.scene();
  const [hidden, visible, to] = await game.page.evaluate(() => [...window.shown, performance.now()]);
  // A tick every 50 ms while the page showed, and none while it was hidden.
  const ticks = game.balloonsOnArc(after)[0] - game.balloonsOnArc(before)[0];
  assert(ticks <= (hidden - from + to - visible) / 50 + 2, `${ticks} ticks in ${JSON.stringify({ from, hidden, visible, to })}`);
  await game.waitForShot((img) => !game.balloonsOnArc(img).length, { what: 'the balloon to land' });
});

test('a second visit plays with the server gone; the page is installable and sends its policy', async () => {
  const server = await serve(process.env.SITE);
  const first = await open('', {}, server.url);
  if (first.page.can.chromium) assert.deepStrictEqual((await first.page.send('Page.getInstallabilityErrors')).installabilityErrors, []);
  else cannot('installability: only Chromium says');
  assert.match(await first.page.evaluate(async () => (await fetch('./')).headers.get('Content-Security-Policy')),
    /script-src 'self' 'wasm-unsafe-eval'.*frame-ancestors 'none'/);
  // The first visit keeps the whole site, once its worker is in place.
  await first.page.waitForWorker();
  const kept = await first.page.evaluate(async () => {
    const names = (await caches.keys()).filter((n) => n.startsWith('drenchwick-'));
    const listed = (await (await fetch('sw.js')).text()).match(/\['[^']+', '[0-9a-f]{64}'\]/g);
    return [names.length, (await (await caches.open(names[0])).keys()).length === listed.length];
  });
  assert.deepStrictEqual(kept, [1, true]);
  server.stop();
  if (first.page.can.storage) await first.page.close();
  else cannot("a visit once the site's last page has closed: its automation's session is private, and drops a site's caches with it");
  const second = await open('', {}, server.url);
  await second.page.press('Space');
  await balloonsLeft(second, 99);
});

// A seeded run of everything a player (or a cat on the keyboard) might do, with the game's state
// read off the screen now and then; then 200 Resets, with the page's memory watched.
test('a minute of random input leaves the game legal and the console quiet; 200 Resets keep memory flat', async () => {
  let seed = Number(process.env.DRENCHWICK_WEB_SEED || 20261209);
  const random = () => ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648);
  const any = (list) => list[Math.floor(random() * list.length)];
  const game = await open('', { touch: true }, site.url);
  const page = game.page;
  if (!page.can.chromium) unable("it changes the device as it goes and reads the heap, through Chromium's own protocol");
  const metrics = (width, height, deviceScaleFactor, mobile = false) => page.emulate({ width, height, deviceScaleFactor, mobile, touch: true });
  const numbers = (prefix, low, high) => Array.from({ length: high - low + 1 }, (_, i) => `${prefix} ${low + i}`);
  const captions = { Hlth: numbers('Health:', 0, 5), Scr: numbers('Score:', 0, 100), Balloons: numbers('Balloons Left:', 0, 100) };
  const actions = [
    [30, () => page.press('Space')],
    [4, async () => {
      await page.keyDown('Space');
      for (let i = random() * 30; i > 0; i--, await sleep(30)) await page.keyDown('Space', { repeat: true });
      await page.keyUp('Space');
    }],
    [10, () => page.press(any(['Enter', 'Escape', 'KeyA', 'KeyZ', 'ArrowLeft', 'ArrowDown', 'Tab', 'Digit7', 'Shift', 'F11']))],
    [15, async () => { const g = await game.geometry(); await page.tap(g.x + random() * g.width, g.y + random() * g.height); }],
    [4, () => page.click(random() * ZOOM_1.width, random() * ZOOM_1.height)],
    [4, () => game.choose(any(['Reset', 'Help', 'Help', 'Exit']))],
    [6, () => metrics(320 + Math.floor(random() * 1100), 300 + Math.floor(random() * 900), any([1, 1.25, 1.5, 2, 2.625, 3]), random() < 0.4)],
    [3, async () => { await page.hide(); await sleep(random() * 800); await page.show(); }],
    [20, () => sleep(random() * 300)],
  ];
  const total = actions.reduce((sum, [w]) => sum + w, 0);
  let checks = 0, boxes = 0;
  for (let end = Date.now() + 60000, next = 0; Date.now() < end;) {
    let r = random() * total;
    await actions.find(([w]) => (r -= w) < 0)[1]();
    if (await game.ended()) {
      await page.evaluate(() => document.getElementById('new-game').click());
      await game.waitForScene();
    }
    const box = await game.box();
    if (box && random() < 0.3) {
      boxes++;
      await game.answer(any(box.buttons).caption);  // refused while it arms
    }
    if (Date.now() > next && !box) {
      // What the player sees, at zoom 1: captions of the right form, every balloon on the arc.
      await metrics(ZOOM_1.width, ZOOM_1.height, 1);
      await sleep(50);
      const img = await game.scene();
      const shown = {};
      for (const label of Object.keys(captions)) shown[label] = await game.read(label, captions[label], img);
      assert(Object.values(shown).every(Boolean), JSON.stringify(shown));
      const [score, left] = [shown.Scr, shown.Balloons].map((c) => Number(c.split(' ').pop()));
      assert(score <= 100 - left, JSON.stringify(shown));
      assert.strictEqual(game.offArc(img), 0);
      assert.deepStrictEqual(game.complaints(), []);
      checks++;
      next = Date.now() + 3000;
    }
  }
  assert(checks >= 10 && boxes > 0, `${checks} checks, ${boxes} boxes answered`);

  await metrics(ZOOM_1.width, ZOOM_1.height, 1);
  while (await game.box()) {
    await game.waitForArming();
    await game.answer((await game.box()).buttons[0].caption);
    await sleep(100);
  }
  if (await game.ended()) {
    await page.evaluate(() => document.getElementById('new-game').click());
    await game.waitForScene();
  }
  const memory = [];
  for (let i = 1; i <= 200; i++) {
    await game.choose('Reset');
    if (i % 20 === 0) {
      await page.send('HeapProfiler.collectGarbage');
      const { usedSize } = await page.send('Runtime.getHeapUsage');
      memory.push([usedSize, await page.evaluate(() => Module.HEAPU8.length)]);
    }
  }
  console.log(`  ${checks} checks of the screen, ${boxes} answers to boxes; JS heap and wasm memory every 20 Resets: ` +
    memory.map(([heap, wasm]) => `${(heap / 1048576).toFixed(2)}/${(wasm / 1048576).toFixed(0)}`).join(' ') + ' MiB');
  for (const k of [0, 1]) {
    const after = memory.slice(1).map((m) => m[k]);
    assert(Math.max(...after) - Math.min(...after) <= 1 << 20, `memory over the Resets: ${JSON.stringify(memory)}`);
  }
  await balloonsLeft(game, 100);
});

// One engine's run of every case, in this process.
async function play(engine) {
  const missing = [[engine.program, `${engine.name} is not installed (apt-get install ${engine.package})`],
    [path.join(process.env.SITE || '', 'index.html'), 'the browser version was not built (emscripten is not installed)']]
    .find(([file]) => !file || !fs.existsSync(file));
  if (missing) {
    console.log(`SKIPPED: ${missing[1]}`);
    return 77;
  }
  refs = references();
  [site, testSite] = await Promise.all([serve(process.env.SITE), serve(process.env.TEST_SITE)]);
  browser = await engine.launch(engine.program);
  console.log(`# ${browser.version}`);
  let failed = 0;
  for (const [n, { name, fn }] of cases.entries()) {
    const started = Date.now();
    opened = [];
    skipped = [];
    try {
      await fn();
      assert.deepStrictEqual(opened.flatMap((g) => g.complaints()), [], 'the console had warnings or errors');
      if (opened.some((g) => !g.page.can.console)) cannot("a quiet console: the page's console shows nowhere");
      const parts = skipped.length ? ` # not in ${engine.name}: ${[...new Set(skipped)].join('; ')}` : '';
      console.log(`ok - ${name} (${((Date.now() - started) / 1000).toFixed(1)} s)${parts}`);
    } catch (error) {
      if (error instanceof Unable) {
        console.log(`ok - ${name} # SKIP in ${engine.name}: ${error.message}`);
      } else {
        failed++;
        console.log(`not ok - ${name}\n  ${String(error.stack).replace(/\n/g, '\n  ')}`);
        for (const [i, game] of opened.entries()) {
          const file = path.join(os.tmpdir(), `drenchwick-web-${engine.name.toLowerCase()}-${n}-${i}.png`);
          await game.page.screenshot().then((shot) => fs.writeFileSync(file, shot.file), () => {});
          console.log(`  page ${i}: ${file}; its console: ${JSON.stringify(game.page.console)}`);
        }
      }
    }
    await Promise.all(opened.map((g) => g.page.close().catch(() => {})));
  }
  await browser.close();
  site.stop();
  testSite.stop();
  console.log(failed ? `${failed} of ${cases.length} failed in ${engine.name}` : `all ${cases.length} passed in ${engine.name}`);
  return failed ? 1 : 0;
}

// Every engine, each in a process of its own, as many at once as there are cores; their reports
// in the table's order.
async function playAll() {
  const runs = Object.keys(ENGINES).map((name) => ({ name, output: '' }));
  const waiting = [...runs];
  const worker = async () => {
    for (let run; (run = waiting.shift());) {
      const child = spawn(process.execPath, [__filename, `--engine=${run.name}`], { stdio: ['ignore', 'pipe', 'pipe'] });
      child.stdout.on('data', (d) => { run.output += d; });
      child.stderr.on('data', (d) => { run.output += d; });
      run.status = await new Promise((resolve) => child.once('exit', (code) => resolve(code === null ? 1 : code)));
    }
  };
  await Promise.all(Array.from({ length: Math.min(os.cpus().length, runs.length) }, worker));
  for (const run of runs) console.log(`=== ${ENGINES[run.name].name}\n${run.output.trimEnd()}`);
  const played = runs.filter((r) => r.status !== 77);
  if (!played.length) return 77;
  return played.some((r) => r.status !== 0) ? 1 : 0;
}

const chosen = (process.argv.find((a) => a.startsWith('--engine=')) || '').slice(9);
if (chosen && !ENGINES[chosen]) {
  console.error(`no engine ${chosen}: ${Object.keys(ENGINES).join(', ')}`);
  process.exit(2);
}
(chosen ? play(ENGINES[chosen]) : playAll()).then((status) => process.exit(status), (error) => {
  console.error(error);
  process.exit(1);
});
