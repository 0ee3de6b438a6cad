// How small and quick the web page is, in headless Chromium on this machine
// (a benchmark, not a test: it reports and never fails on a figure):
//   - the gzip size of the page and its module, as a server would send them;
//   - navigation to ready-to-type (the page's 'ready' mark), beside a floor
//     page of static HTML with one input field, the two taking turns round by
//     round so that both meet the same load: cold (a new profile each time),
//     warm (the service worker and cache in place) and warm with the worker
//     stopped, as a phone finds it after a while; and again with the CPU
//     slowed four times, as a mid-range phone's;
//   - a keystroke's update: the input handler, the core's edit and the view
//     written back, one keystroke at a time, without and with the layout
//     that follows, at full speed and slowed four times.
// Each figure is the median of the rounds, with their range. Given another
// build of the page (before a change), it takes its turn beside them.
//   node bench/web_bench.mjs [build-wasm/page] [rounds] [other build's page folder]
import { createRequire } from 'node:module';
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, resolve } from 'node:path';
import { gzipSync } from 'node:zlib';

const { chromium } = createRequire(new URL('../tests/web/package.json', import.meta.url))('playwright-core');
const site = resolve(process.argv[2] ?? 'build-wasm/page');
const rounds = Number(process.argv[3] ?? 25);
const before = process.argv[4] && resolve(process.argv[4]);

const pageFiles = ['index.html', 'app.js', 'style.css', 'kq71wb.js', 'kq71wb.wasm'];
for (const [name, folder] of [['page', site], ...(before ? [['before', before]] : [])]) {
  let total = 0;
  for (const file of pageFiles) {
    const bytes = await readFile(join(folder, file));
    const gzipped = gzipSync(bytes, { level: 9 }).length;
    total += gzipped;
    console.log(`${name} ${file.padEnd(12)} ${String(bytes.length).padStart(7)} B, gzip ${String(gzipped).padStart(6)} B`);
  }
  console.log(`${name}: page and module ${(total / 1024).toFixed(1)} KiB gzip (aim: at most 200 KB)`);
}

const floor = '<!doctype html><html lang="en"><meta charset="utf-8"><title>Floor</title>' +
  '<input aria-label="Weight"><script>performance.mark("ready")</script></html>';
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.png': 'image/png', '.webmanifest': 'application/manifest+json' };
const server = createServer((request, response) => {
  const path = new URL(request.url, 'http://localhost').pathname;
  if (path === '/floor.html') return response.writeHead(200, { 'content-type': 'text/html' }).end(floor);
  const [folder, rest] = before && path.startsWith('/before/') ? [before, path.slice(7)] : [site, path];
  const file = join(folder, rest.replace(/\/$/, '/index.html'));
  readFile(file).then((body) => response.writeHead(200, { 'content-type': types[extname(file)] ?? 'text/plain' }).end(body),
    () => response.writeHead(404).end());
}).listen(0, '127.0.0.1');
await new Promise((listening) => server.on('listening', listening));
const origin = `http://127.0.0.1:${server.address().port}`;
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--headless', '--no-sandbox',
  '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run'] });

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const spread = (values) => `${median(values).toFixed(0)} ms (${Math.min(...values).toFixed(0)}-${Math.max(...values).toFixed(0)})`;
async function slowed(page, rate) {
  if (rate > 1) await (await page.context().newCDPSession(page)).send('Emulation.setCPUThrottlingRate', { rate });
  return page;
}
async function readyAt(page, path) {
  await page.goto(origin + path);
  await page.waitForFunction(() => ['ready', 'first-paint'].every((name) => performance.getEntriesByName(name).length));
  return page.evaluate(() => ({ painted: performance.getEntriesByName('first-paint')[0].startTime,
    ready: performance.getEntriesByName('ready')[0].startTime }));
}
// Cold: each visit in a profile of its own, nothing cached. Warm: a profile
// for each page, visited once first until its service worker is in place;
// stopped, its workers are stopped before each visit. The pages take turns.
const sites = { floor: '/floor.html', page: '/', ...(before ? { before: '/before/' } : {}) };
async function startUp(warm, rate, stopped) {
  const times = Object.fromEntries(Object.keys(sites).map((name) => [name, { painted: [], ready: [] }]));
  const contexts = {};
  if (warm) {
    for (const [name, path] of Object.entries(sites)) {
      contexts[name] = await browser.newContext();
      const page = await contexts[name].newPage();
      await readyAt(page, path);
      if (name !== 'floor') await page.evaluate(() => navigator.serviceWorker.ready);
      await page.close();
    }
  }
  for (let round = 0; round < rounds; ++round) {
    for (const [name, path] of Object.entries(sites)) {
      const context = warm ? contexts[name] : await browser.newContext();
      const page = await slowed(await context.newPage(), rate);
      if (stopped) {
        const cdp = await context.newCDPSession(page);
        await cdp.send('ServiceWorker.enable');
        await cdp.send('ServiceWorker.stopAllWorkers');
      }
      const at = await readyAt(page, path);
      for (const moment in at) times[name][moment].push(at[moment]);
      await (warm ? page.close() : context.close());
    }
  }
  for (const context of Object.values(contexts)) await context.close();
  return times;
}
for (const rate of [1, 4]) {
  for (const [name, warm, stopped] of [['cold', false, false], ['warm', true, false], ['warm, worker stopped', true, true]]) {
    const { floor, ...pages } = await startUp(warm, rate, stopped);
    for (const [moment, what] of [['painted', 'fields to type in'], ['ready', 'figures worked out']]) {
      for (const [page, times] of Object.entries(pages)) {
        const ratios = times[moment].map((time, round) => time / floor[moment][round]);
        console.log(`${what}, ${name}${rate > 1 ? `, CPU slowed ${rate}x` : ''}: ${page} ${spread(times[moment])}, ` +
          `floor ${spread(floor[moment])}, ratio ${(median(times[moment]) / median(floor[moment])).toFixed(2)} ` +
          `(${Math.min(...ratios).toFixed(1)}-${Math.max(...ratios).toFixed(1)}), median of ${rounds}`);
      }
    }
  }
}

// A pilot's keystrokes, one at a time: the pilot's weight typed and taken
// back on a sheet of an empty glider, nose ballast and a parachute.
for (const [rate, name] of [1, 4].flatMap((rate) => Object.keys(sites).slice(1).map((name) => [rate, name]))) {
  const page = await slowed(await (await browser.newContext()).newPage(), rate);
  await readyAt(page, sites[name]);
  const keystroke = await page.evaluate(() => {
    const fields = (kind) => [...document.querySelectorAll(`#sheet input.${kind}`)];
    const type = (field, text) => { field.value = text; field.dispatchEvent(new Event('input')); };
    for (const [kind, row, text] of [['weight', 0, '612.5'], ['arm', 0, '23.6'], ['weight', 2, '12'], ['arm', 2, '-30'],
      ['weight', 3, '18'], ['arm', 3, '15']]) type(fields(kind)[row], text);
    const pilot = fields('weight')[1];
    const texts = ['1', '17', '170', '17', '1', ''];
    const time = (layout) => {
      const times = [];
      for (let i = 0; i < 600; ++i) {
        const start = performance.now();
        type(pilot, texts[i % texts.length]);
        if (layout) void document.body.offsetHeight;
        times.push(performance.now() - start);
      }
      return times.sort((a, b) => a - b);
    };
    const update = time(false);
    const withLayout = time(true);
    return { update, withLayout };
  });
  const ms = (times) => `median ${times[Math.floor(times.length / 2)].toFixed(2)} ms, worst ${times.at(-1).toFixed(1)} ms`;
  console.log(`a keystroke, ${name}${rate > 1 ? `, CPU slowed ${rate}x` : ''}: ${ms(keystroke.update)} to update, ` +
    `${ms(keystroke.withLayout)} with the layout after it`);
  await page.context().close();
}
await browser.close();
server.close();
