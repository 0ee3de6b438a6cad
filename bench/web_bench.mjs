// How small and quick the web page is, in headless Chromium on this machine
// (a benchmark, not a test: it reports and never fails on a figure):
//   - the gzip size of the page and its module, as a server would send them;
//   - navigation to ready-to-type (the page's 'ready' mark), beside a floor
//     page of static HTML with one input field, in the same run, cold (a new
//     profile each time) and warm (the service worker and cache in place);
//   - one keystroke's update: the input handler, the core's edit and the view
//     written back, without and with the layout that follows.
//   node bench/web_bench.mjs [build-wasm/page] [rounds]
import { createRequire } from 'node:module';
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, resolve } from 'node:path';
import { gzipSync } from 'node:zlib';

const { chromium } = createRequire(new URL('../tests/web/package.json', import.meta.url))('playwright-core');
const site = resolve(process.argv[2] ?? 'build-wasm/page');
const rounds = Number(process.argv[3] ?? 25);

const pageFiles = ['index.html', 'app.js', 'style.css', 'kq71wb.js', 'kq71wb.wasm'];
let total = 0;
for (const file of pageFiles) {
  const bytes = await readFile(join(site, file));
  const gzipped = gzipSync(bytes, { level: 9 }).length;
  total += gzipped;
  console.log(`${file.padEnd(12)} ${String(bytes.length).padStart(7)} B, gzip ${String(gzipped).padStart(6)} B`);
}
console.log(`page and module: ${(total / 1024).toFixed(1)} KiB gzip (aim: at most 200 KB)`);

const floor = '<!doctype html><html lang="en"><meta charset="utf-8"><title>Floor</title>' +
  '<input aria-label="Weight"><script>performance.mark("ready")</script></html>';
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.png': 'image/png', '.webmanifest': 'application/manifest+json' };
const server = createServer((request, response) => {
  const path = new URL(request.url, 'http://localhost').pathname;
  if (path === '/floor.html') return response.writeHead(200, { 'content-type': 'text/html' }).end(floor);
  const file = join(site, path.replace(/\/$/, '/index.html'));
  readFile(file).then((body) => response.writeHead(200, { 'content-type': types[extname(file)] ?? 'text/plain' }).end(body),
    () => response.writeHead(404).end());
}).listen(0, '127.0.0.1');
await new Promise((listening) => server.on('listening', listening));
const origin = `http://127.0.0.1:${server.address().port}`;
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--headless', '--no-sandbox',
  '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run'] });

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
async function readyAt(page, path) {
  await page.goto(origin + path);
  await page.waitForFunction(() => ['ready', 'first-paint'].every((name) => performance.getEntriesByName(name).length));
  return page.evaluate(() => ({ painted: performance.getEntriesByName('first-paint')[0].startTime,
    ready: performance.getEntriesByName('ready')[0].startTime }));
}
// Cold: each round a profile of its own, nothing cached. Warm: one profile,
// visited once first, so that the service worker answers every round.
async function startUp(path, warm) {
  const times = { painted: [], ready: [] };
  let context = await browser.newContext();
  if (warm) await readyAt(await context.newPage(), path);
  for (let round = 0; round < rounds; ++round) {
    if (!warm) context = await browser.newContext();
    const page = await context.newPage();
    const at = await readyAt(page, path);
    for (const moment in times) times[moment].push(at[moment]);
    await (warm ? page.close() : context.close());
  }
  await context.close();
  return { painted: median(times.painted), ready: median(times.ready) };
}
for (const [name, warm] of [['cold', false], ['warm', true]]) {
  const floor = await startUp('/floor.html', warm);
  const page = await startUp('/', warm);
  for (const [moment, what] of [['painted', 'fields to type in'], ['ready', 'figures worked out']]) {
    console.log(`${what}, ${name}: page ${page[moment].toFixed(1)} ms, floor ${floor[moment].toFixed(1)} ms, ` +
      `ratio ${(page[moment] / floor[moment]).toFixed(2)}, ${(page[moment] - floor[moment]).toFixed(1)} ms more ` +
      `(median of ${rounds}; aim: within 150 ms)`);
  }
}

const page = await (await browser.newContext()).newPage();
await readyAt(page, '/');
const keystroke = await page.evaluate(() => {
  const field = document.querySelectorAll('#sheet input.weight')[1];
  const time = (layout) => {
    const count = 2000;
    const start = performance.now();
    for (let i = 0; i < count; ++i) {
      field.value = i % 2 ? '170' : '17';
      field.dispatchEvent(new Event('input'));
      if (layout) void document.body.offsetHeight;
    }
    return (performance.now() - start) / count;
  };
  document.querySelectorAll('#sheet input.weight')[0].value = '600';
  document.querySelectorAll('#sheet input.weight')[0].dispatchEvent(new Event('input'));
  return { update: time(false), withLayout: time(true) };
});
console.log(`one keystroke: ${(keystroke.update * 1000).toFixed(0)} us to update, ` +
  `${(keystroke.withLayout * 1000).toFixed(0)} us with the layout after it (aim: under 1 ms)`);
await browser.close();
server.close();
