// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
'use strict';
// The browser bench: the site served on 127.0.0.1 and played in headless Chromium through the
// DevTools protocol, each figure printed beside its target. Run on demand by tools/bench_web.sh,
// never by the test suite; it exits non-zero when a target is missed.
//   SITE, TEST_SITE  the players' site and the test site (its switches: tests/web/sequenced_site.cpp)
//   --quick          shorter runs, for trying the bench itself
//   --only=NAME,...  only these measurements (transfer, paint, release, idle, ticks, attack, resets,
//                    phone, engines, lighthouse)
const { execFile } = require('child_process');
const bidi = require('../../tools/browser/bidi');
const webdriver = require('../../tools/browser/webdriver');
const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const { launch } = require('../../tools/browser/cdp');
const { serve } = require('../../tools/browser/serve');

const quick = process.argv.includes('--quick');
const only = (process.argv.find((a) => a.startsWith('--only=')) || '').slice(7).split(',').filter(Boolean);
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const quantile = (xs, q) => [...xs].sort((a, b) => a - b)[Math.min(xs.length - 1, Math.floor(q * xs.length))];
const ms = (v) => `${v.toFixed(v < 10 ? 2 : 1)} ms`;
const kb = (bytes) => `${(bytes / 1000).toFixed(1)} KB`;
const rows = [];
// A row of the table: `met` is true, false or null (a figure without a target of its own).
const row = (measure, result, target = '', met = null, baseline = '') => {
  rows.push({ measure, result, baseline, target, met });
  console.error(`  ${measure}: ${result}`);
};

// A desktop browser's window whose room holds the scene at zoom 1, as the figures of earlier runs
// were taken; and a phone, held upright, with Chromium's CPU slowed as a phone's would be.
const DESKTOP = { width: 480, height: 400 };
const PHONE = { width: 390, height: 844, deviceScaleFactor: 3, mobile: true, cpuSlowdown: 4,
  name: 'phone (390 × 844 at ratio 3, CPU ÷ 4)' };
const on = (device) => (device.name ? `, ${device.name}` : '');

let browser;
const pages = new Set();
async function page({ cpuSlowdown = 1, ...device } = DESKTOP) {
  const p = await browser.newPage(device);
  if (cpuSlowdown > 1) await p.send('Emulation.setCPUThrottlingRate', { rate: cpuSlowdown });
  pages.add(p);
  return p;
}
async function closeAll() {
  await Promise.all([...pages].map((p) => p.close().catch(() => {})));
  pages.clear();
}
// The page's clock time of the frame that first showed the scene, as the page marks it: the menu
// bar shows before it, so the first contentful paint is not the scene's.
const painted = (p) => p.waitFor(() => performance.getEntriesByName('scene shown')[0]?.startTime, { timeout: 20000 });
// The scene has its place on the page, and its first pixels.
const shown = (p) => p.waitFor(() => document.getElementById('scene').style.visibility === 'visible', { timeout: 20000 });

// Every file a first visit asks the server for, gzipped as a server would send it.
async function transfer() {
  const server = await serve(process.env.SITE, { log: true });
  const p = await page();
  await p.goto(server.url);
  await painted(p);
  await p.waitForWorker();
  await sleep(500);
  const origins = await p.evaluate(() => performance.getEntriesByType('resource').map((e) => new URL(e.name).origin));
  server.stop();
  await closeAll();
  const files = new Map();
  for (const line of server.requests) {
    const [, file] = line.match(/^GET (\S+) 200/) || [];
    if (!file) continue;
    const name = decodeURIComponent(file.split('?')[0]).replace(/\/$/, '/index.html');
    const bytes = fs.readFileSync(path.join(process.env.SITE, name));
    const entry = files.get(name) || { requests: 0, gzip: zlib.gzipSync(bytes, { level: 9 }).length, raw: bytes.length };
    entry.requests++;
    files.set(name, entry);
  }
  let total = 0;
  for (const [name, f] of [...files].sort((a, b) => b[1].gzip - a[1].gzip)) {
    total += f.gzip * f.requests;
    row(`Transfer: ${name}${f.requests > 1 ? ` (asked ${f.requests} times)` : ''}`, `${kb(f.gzip)} gzip (${kb(f.raw)})`);
  }
  row('Transfer of a first visit, in all (gzip -9)', kb(total), '≤ 200 KB', total <= 200000);
  const foreign = origins.filter((o) => o !== new URL(server.url).origin);
  row('Requests to any other origin', `${foreign.length}`, 'none', foreign.length === 0);
}

// From navigation to the frame that first shows the scene, with the cache off and then warm.
async function firstPaint(device = DESKTOP, bare = null) {
  const server = await serve(process.env.SITE);
  const loads = quick ? 3 : 10;
  const times = { cold: [], warm: [] };
  for (const kind of ['cold', 'warm']) {
    if (kind === 'warm') {  // one visit to fill the HTTP cache and start the service worker
      const p = await page(device);
      await p.goto(server.url);
      await p.waitForWorker();
      await closeAll();
    }
    for (let i = 0; i < loads; i++) {
      const p = await page(device);
      await p.send('Network.enable');
      await p.send('Network.setCacheDisabled', { cacheDisabled: kind === 'cold' });
      await p.send('Network.setBypassServiceWorker', { bypass: kind === 'cold' });
      await p.goto(server.url);
      times[kind].push(await painted(p));
      await closeAll();
    }
  }
  server.stop();
  // The least a page can take to show a canvas on the same device: the bare page, cold.
  const least = [];
  for (let i = 0; bare && i < loads; i++) {
    const p = await page(device);
    await p.send('Network.enable');
    await p.send('Network.setCacheDisabled', { cacheDisabled: true });
    await p.goto(bare.url);
    least.push(await p.waitFor(() => performance.getEntriesByName('first-contentful-paint')[0]?.startTime, { timeout: 20000 }));
    await closeAll();
  }
  const [cold, warm] = [median(times.cold), median(times.warm)];
  row(`First painted scene, cold cache: median of ${loads}${on(device)}`, `${ms(cold)} (${ms(Math.min(...times.cold))}–${ms(Math.max(...times.cold))})`, '≤ 300 ms', cold <= 300,
    least.length ? `bare page's first paint, cold: ${ms(median(least))}` : '');
  row(`First painted scene, warm: median of ${loads}${on(device)}`, `${ms(warm)} (${ms(Math.min(...times.warm))}–${ms(Math.max(...times.warm))})`, '≤ 150 ms', warm <= 150);
}

// Set in a page: each Space released or finger lifted goes into benchWaits as the time from the
// event to the frame that shows the new balloon at the throw point, the first paint over it after
// the release: the frame under way when it was put on the canvas, or the next.
function RELEASE_TIMING() {
  window.benchWaits = [];
  let released = null;
  addEventListener('keyup', (e) => { if (e.code === 'Space') released = e.timeStamp; }, true);
  addEventListener('pointerup', (e) => { if (e.pointerType === 'touch') released = e.timeStamp; }, true);
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (image, x, y) {
    const f = this.canvas.width / 426;
    if (released !== null && x <= 145 * f && y <= 56 * f && x + image.width >= 161 * f && y + image.height >= 72 * f) {
      const from = released, at = performance.now();
      requestAnimationFrame((frame) => benchWaits.push(Math.max(frame, at) - from));
      released = null;
    }
    return put.apply(this, arguments);
  };
}

// `trials` throws by `act`, with a Reset before every 50th so that the balloons never run out:
// each one's wait, as RELEASE_TIMING gives it.
async function releases(p, trials, act) {
  const waits = [];
  for (let i = 0; i < trials; i++) {
    if (i % 50 === 0) {
      await p.evaluate(() => document.querySelectorAll('#menubar button')[1].click());
      await sleep(100);
    }
    await act();
    // A wait of 0 is one too: Firefox's and WebKit's page clocks are coarse.
    waits.push(...await p.waitFor((n) => benchWaits.length > n && [benchWaits[n]], { timeout: 2000 }, waits.length));
    await sleep(20 + Math.random() * 30);  // off the frame's beat
  }
  return waits;
}

// Space released (the keyup as the page gets it), or on a phone a finger lifted, to the frame
// that shows the new balloon at the throw point: the one under way when it was put on the canvas,
// or the next. Nobody walks and Zorbo stands off the landing place, so no throw is refused.
async function releaseToFrame(testSite, device = DESKTOP, bare = null) {
  const p = await page(device);
  await p.beforeLoad(RELEASE_TIMING);
  await p.goto(`${testSite.url}?random=0,0.5,0,0.5,0,0.5;0`);
  await shown(p);
  await sleep(400);
  const finger = device.mobile && await p.evaluate(() => { const r = document.getElementById('client').getBoundingClientRect(); return [r.left + r.width / 2, r.bottom - 20]; });
  const trials = quick ? 40 : 200;
  const waits = await releases(p, trials, () => (finger ? p.tap(...finger) : p.press('Space')));
  const factor = await p.evaluate(() => document.getElementById('scene').width / 426);
  await closeAll();
  // The same taps on the bare page, which paints a square the moment a finger lifts.
  let baseline = '';
  if (finger && bare) {
    const b = await page(device);
    await b.goto(`${bare.url}?factor=${factor}`);
    await sleep(400);
    for (let i = 0; i < trials; i++) {
      await b.tap(...finger);
      await b.waitFor((n) => tapWaits.length > n, { timeout: 2000 }, i);
      await sleep(20 + Math.random() * 30);
    }
    baseline = `bare page painting on the same taps: ${ms(median(await b.evaluate(() => tapWaits)))}`;
    await closeAll();
  }
  const m = median(waits);
  row(`${finger ? 'Finger lifted (pointerup)' : 'Space release (keyup)'} → frame showing the balloon: median of ${trials}${on(device)}`,
    `${ms(m)} (p99 ${ms(quantile(waits, 0.99))}, max ${ms(Math.max(...waits))})`, '≤ 17 ms (1 frame at 60 Hz)', m <= 17, baseline);
}

// The page's own work for a frame that shows what the ticks changed, at the device's scale: each
// animation frame's callbacks timed in the page, while both walkers step on every walking tick,
// then through counter-attacks from Left 400 (a frame of 5 ms ticks moves Zorbo up to 4 times).
async function frameCost(testSite, device) {
  const timed = `
    window.frameCosts = [];
    const ask = window.requestAnimationFrame;
    window.requestAnimationFrame = (fn) => ask((t) => {
      const start = performance.now();
      fn(t);
      frameCosts.push(performance.now() - start);
    });`;
  const costs = {};
  for (const [what, query, seconds] of [['walking', '?random=;0.5', quick ? 3 : 8], ['counter-attack', '?attack=400', quick ? 3 : 8]]) {
    const p = await page(device);
    await p.send('Page.addScriptToEvaluateOnNewDocument', { source: timed });
    await p.goto(testSite.url + query);
    await shown(p);
    await sleep(1000);  // the first frame paints the whole scene
    await p.evaluate(() => { frameCosts.length = 0; });
    if (what === 'counter-attack') {  // each Reset starts another from 400
      for (let end = Date.now() + seconds * 1000; Date.now() < end; await sleep(1800)) {
        await p.evaluate(() => document.querySelectorAll('#menubar button')[1].click());
      }
    } else {
      await sleep(seconds * 1000);
    }
    costs[what] = await p.evaluate(() => frameCosts.filter((t) => t > 0));
    await closeAll();
  }
  for (const [what, list] of Object.entries(costs)) {
    const m = median(list);
    row(`Page's work for a ${what} frame: median of ${list.length}${on(device)}`, `${ms(m)} (p99 ${ms(quantile(list, 0.99))})`,
      '≤ 4 ms (a quarter of a frame at 60 Hz)', m <= 4);
  }
}

// The CPU time of each of the browser's processes so far, in seconds, as the kernel counts it.
async function cpuSeconds() {
  const { processInfo } = await browser.send('SystemInfo.getProcessInfo');
  const out = new Map();
  for (const { id, cpuTime } of processInfo) {
    try {
      out.set(id, Number(fs.readFileSync(`/proc/${id}/schedstat`, 'utf8').split(' ')[0]) / 1e9);
    } catch {
      out.set(id, cpuTime);  // no schedstat here
    }
  }
  return out;
}
// Between two readings: a process that has gone since (a closed page's, say) counts for nothing,
// one that is new counts in full.
const cpuBetween = (before, after) => [...after].reduce((sum, [id, t]) => sum + t - (before.get(id) || 0), 0);

// The game while only the walkers walk, against a bare page painting two walker-sized rectangles
// on the same beat at the same scale, both above about:blank; in the same run, in turn.
async function idleCpu(site, bare, device = DESKTOP) {
  const seconds = quick ? 4 : 12;
  const cost = { blank: [], bare: [], game: [] };
  // The first visit keeps the site for offline play, which is work, but not the game's idling.
  const first = await page(device);
  await first.goto(site.url);
  await first.waitForWorker();
  await painted(first);
  const factor = await first.evaluate(() => document.getElementById('scene').width / 426);
  await closeAll();
  for (let round = 0; round < (quick ? 1 : 5); round++) {
    for (const [kind, url] of [['blank', 'about:blank'], ['bare', `${bare.url}?factor=${factor}`], ['game', site.url]]) {
      const p = await page(device);
      await p.goto(url);
      if (kind === 'game') await painted(p);
      await sleep(2000);
      const before = await cpuSeconds();
      await sleep(seconds * 1000);
      cost[kind].push(cpuBetween(before, await cpuSeconds()) / seconds * 100);
      await closeAll();
    }
  }
  const [blank, barePage, game] = ['blank', 'bare', 'game'].map((k) => median(cost[k]));
  const ratio = (game - blank) / (barePage - blank);
  row(`CPU of the browser while the walkers walk, above about:blank${on(device)}`, `${(game - blank).toFixed(2)} % of a core (ratio ${ratio.toFixed(2)})`,
    '≤ 1.25 × the bare page', ratio <= 1.25, `bare page: ${(barePage - blank).toFixed(2)} %; about:blank ${blank.toFixed(2)} %`);
}

// The Walker timer's ticks on the page's clock, set to 5, 50 and 100 ms, while both walkers step
// on every tick.
async function ticks(testSite) {
  const seconds = quick ? 3 : 10;
  for (const period of [5, 50, 100]) {
    const p = await page();
    await p.goto(`${testSite.url}?walker=${period}&random=;0.5`);
    await shown(p);
    await p.evaluate(() => { window.walkerTicks = []; });
    await sleep(seconds * 1000);
    const t = await p.evaluate(() => window.walkerTicks);
    await closeAll();
    const gaps = t.slice(1).map((v, i) => v - t[i]);
    const errors = gaps.map((g) => Math.abs(g - period));
    const drift = ((t[t.length - 1] - t[0]) / ((t.length - 1) * period) - 1) * 100;
    const limit = period === 5 ? 0.5 : 0.2;  // as on the desktop
    row(`${period} ms ticks (${seconds} s): median / p99 error, ${gaps.length} intervals`, `${ms(median(errors))} / ${ms(quantile(errors, 0.99))}`);
    row(`${period} ms ticks (${seconds} s): cumulative drift`, `${drift.toFixed(3)} %`, `≤ ${limit} %`, Math.abs(drift) <= limit);
  }
}

// Zorbo hit at Left 400: from the hit to the kick, 345 ticks of 5 ms. Each game of the test site
// starts with that hit; the one the page opens with is left out, as it shares its first second
// with the page's loading, which no hit in play does.
async function counterAttack(testSite) {
  const p = await page();
  await p.goto(`${testSite.url}?attack=400`);
  await shown(p);
  const runs = quick ? 2 : 5;
  for (let i = 1; i <= runs + 1; i++) {
    await p.waitFor((n) => window.attackStarts.length >= n && performance.now() - window.attackStarts[n - 1] > 2000, { timeout: 5000 }, i);
    if (i <= runs) await p.evaluate(() => document.querySelectorAll('#menubar button')[1].click());  // Reset: the next one
  }
  const { starts, walker } = await p.evaluate(() => ({ starts: window.attackStarts.slice(1), walker: window.walkerTicks }));
  await closeAll();
  // The kick lands in the attack's last 5 ms tick; the next comes 100 ms later.
  const times = starts.map((start) => {
    const mine = walker.filter((t) => t > start);
    const last = mine.findIndex((t, i) => mine[i + 1] - t > 50);
    return { seconds: (mine[last] - start) / 1000, count: last + 1 };
  });
  const s = times.map((x) => x.seconds);
  const m = median(s);
  row(`Counter-attack from Left 400, ${times[0].count} ticks: median (min–max) of ${runs}`, `${m.toFixed(4)} s (${Math.min(...s).toFixed(4)}–${Math.max(...s).toFixed(4)} s)`,
    '1.725 s ± 2 % (1.6905–1.7595 s)', times.every((x) => x.count === 345) && Math.abs(m - 1.725) <= 0.0345);
}

// In Firefox and WebKit, through their own automation, at the desktop's size: the first painted
// scene, cold (each load on an origin never visited: nothing cached, no service worker) and warm,
// and Space released to the frame showing the balloon. Their automation slows no CPU and, for
// WebKit, emulates no phone: those rows are Chromium's.
async function otherEngines(testSite) {
  const loads = quick ? 3 : 10;
  for (const start of [() => bidi.launch(), () => webdriver.launch()]) {
    const other = await start();
    const open = async (url) => {
      const p = await other.newPage(DESKTOP);
      await p.goto(url);
      return p;
    };
    // Each cold load on an origin never visited; the warm ones after a first visit that kept the
    // files. The bare page, loaded the same way, is the least a page takes there.
    const paints = async (folder, worker) => {
      const cold = [];
      for (let i = 0; i < loads; i++) {
        const server = await serve(folder);
        const p = await open(server.url);
        cold.push(await painted(p));
        await p.close();
        server.stop();
      }
      const server = await serve(folder);
      const first = await open(server.url);
      await painted(first);
      if (worker) await first.waitForWorker();
      // A private session (WebKit's) drops the kept files with the site's last page.
      if (first.can.storage) await first.close();
      const warm = [];
      for (let i = 0; i < loads; i++) {
        const p = await open(server.url);
        warm.push(await painted(p));
        await p.close();
      }
      if (!first.can.storage) await first.close();
      server.stop();
      return { cold, warm };
    };
    const game = await paints(process.env.SITE, true);
    const least = await paints(path.join(__dirname, 'bare'), false);
    for (const kind of ['cold', 'warm']) {
      const t = game[kind], m = median(t), target = kind === 'cold' ? 300 : 150;
      row(`First painted scene, ${kind}: median of ${loads}, ${other.version}`, `${ms(m)} (${ms(Math.min(...t))}–${ms(Math.max(...t))})`,
        `≤ ${target} ms`, m <= target, `bare page's first frame, ${kind}: ${ms(median(least[kind]))}`);
    }

    const p = await open(`${testSite.url}?random=0,0.5,0,0.5,0,0.5;0`);
    await painted(p);
    await p.evaluate(RELEASE_TIMING);
    await sleep(400);
    const trials = quick ? 40 : 200;
    const waits = await releases(p, trials, () => p.press('Space'));
    await p.close();
    await other.close();
    row(`Space release (keyup) → frame showing the balloon: median of ${trials}, ${other.version}`,
      `${ms(median(waits))} (p99 ${ms(quantile(waits, 0.99))}, max ${ms(Math.max(...waits))})`, '≤ 17 ms (1 frame at 60 Hz)', median(waits) <= 17);
  }
}

// Lighthouse's four scores and its layout shift, in its mobile and its desktop mode: medians of
// three runs, each on a fresh profile of Debian's Chromium.
async function lighthouse(site) {
  const cli = path.join(__dirname, 'node_modules', 'lighthouse', 'cli', 'index.js');
  if (!fs.existsSync(cli)) throw new Error('Lighthouse is not installed: tools/bench_web.sh installs it');
  const flags = '--headless=new --no-sandbox --disable-gpu --disable-background-networking --disable-component-update --disable-sync --no-first-run';
  const report = path.join(os.tmpdir(), `drenchwick-lighthouse-${process.pid}.json`);
  for (const mode of ['mobile', 'desktop']) {
    const runs = [];
    for (let i = 0; i < (quick ? 1 : 3); i++) {
      await new Promise((resolve, reject) => execFile(process.execPath, [cli, site.url, '--output=json', `--output-path=${report}`, '--quiet',
        `--chrome-flags=${flags}`, ...(mode === 'desktop' ? ['--preset=desktop'] : [])], { env: { ...process.env, CHROME_PATH: '/usr/bin/chromium' } },
      (error, stdout, stderr) => (error ? reject(new Error(`lighthouse: ${stderr || error.message}`)) : resolve())));
      const r = JSON.parse(fs.readFileSync(report, 'utf8'));
      fs.rmSync(report);
      runs.push({ scores: ['performance', 'accessibility', 'best-practices', 'seo'].map((c) => Math.round(r.categories[c].score * 100)),
        shift: r.audits['cumulative-layout-shift'].numericValue, version: r.lighthouseVersion });
    }
    const scores = [0, 1, 2, 3].map((k) => median(runs.map((x) => x.scores[k])));
    const shift = median(runs.map((x) => x.shift));
    const least = mode === 'mobile' ? 98 : 100;
    row(`Lighthouse ${runs[0].version}, ${mode}: performance / accessibility / best practices / SEO, medians of ${runs.length}`,
      `${scores.join(' / ')} (${runs.map((x) => x.scores[0]).join(', ')})`, `≥ ${least} / 100 / 100 / 100`,
      scores[0] >= least && scores.slice(1).every((v) => v === 100));
    row(`Lighthouse, ${mode}: cumulative layout shift, median`, shift.toFixed(3), 'none (0)', shift === 0);
  }
}

// The page's JavaScript heap and the wasm memory over 200 Resets.
async function resets(site) {
  const p = await page();
  await p.goto(site.url);
  await shown(p);
  const samples = [];
  for (let i = 1; i <= 200; i++) {
    await p.evaluate(() => document.querySelectorAll('#menubar button')[1].click());
    if (i % 20 === 0) {
      await p.send('HeapProfiler.collectGarbage');
      const { usedSize } = await p.send('Runtime.getHeapUsage');
      samples.push({ heap: usedSize, wasm: await p.evaluate(() => Module.HEAPU8.length) });
    }
  }
  await closeAll();
  const range = (k) => Math.max(...samples.slice(1).map((x) => x[k])) - Math.min(...samples.slice(1).map((x) => x[k]));
  const mib = (b) => `${(b / 1048576).toFixed(3)} MiB`;
  row('200 Resets: JS heap, spread after the first 20', `${mib(range('heap'))} (${mib(samples[0].heap)} at 20)`, '≤ 1 MiB', range('heap') <= 1048576);
  row('200 Resets: wasm memory, spread after the first 20', `${mib(range('wasm'))} (${mib(samples[0].wasm)} at 20)`, '≤ 1 MiB', range('wasm') <= 1048576);
}

(async () => {
  browser = await launch();
  const { product } = await browser.send('Browser.getVersion');
  const [site, testSite, bare] = await Promise.all([serve(process.env.SITE), serve(process.env.TEST_SITE), serve(path.join(__dirname, 'bare'))]);
  const started = new Date().toISOString().replace(/\.\d+Z$/, 'Z');
  const load = os.loadavg().map((v) => v.toFixed(2)).join(' ');
  for (const [what, run] of [['transfer', transfer], ['paint', firstPaint], ['release', () => releaseToFrame(testSite)],
    ['idle', () => idleCpu(site, bare)], ['ticks', () => ticks(testSite)], ['attack', () => counterAttack(testSite)],
    ['resets', () => resets(site)],
    ['phone', async () => {
      await firstPaint(PHONE, bare);
      await releaseToFrame(testSite, PHONE, bare);
      await frameCost(testSite, PHONE);
      await idleCpu(site, bare, { ...PHONE, cpuSlowdown: 1, name: 'phone (390 × 844 at ratio 3)' });
    }],
    ['engines', () => otherEngines(testSite)],
    ['lighthouse', () => lighthouse(site)]]) {
    if (only.length && !only.includes(what)) continue;
    console.error(`${what}...`);
    await run();
  }
  await browser.close();
  for (const s of [site, testSite, bare]) s.stop();

  console.log(`Machine: ${os.cpus()[0].model}, ${os.cpus().length} cores, ${Math.round(os.totalmem() / 2 ** 30)} GiB, Linux ${os.release()}; load average at start ${load}  `);
  console.log(`Browser: ${product}, headless, on the bench's own profile; site served by tools/serve_web.sh on 127.0.0.1; ${started}  `);
  console.log('');
  console.log('| Measure | Result | Baseline (same run) | Target | Met |');
  console.log('|---|---|---|---|---|');
  for (const r of rows) console.log(`| ${r.measure} | ${r.result} | ${r.baseline} | ${r.target} | ${r.met === null ? '–' : r.met ? 'yes' : 'NO'} |`);
  const missed = rows.filter((r) => r.met === false);
  console.log('');
  console.log(missed.length ? `${missed.length} target(s) missed.` : 'Every target met.');
  process.exit(missed.length ? 1 : 0);
})().catch((error) => {
  console.error(error);
  process.exit(2);
});
