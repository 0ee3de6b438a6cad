// The web page's pictures in docs/, for scripts/screenshots.sh, which names
// the fonts and the zone: Debian's chromium, driven by Playwright's core from
// the browser tests' folder, typed into as a pilot types, with the clock
// standing at 2026-12-07 14:03.
//   node scripts/screenshots.mjs build-wasm/page data/kq71wb.dat docs
import { readFile } from 'node:fs/promises';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { extname, join, resolve } from 'node:path';

const { chromium } = createRequire(new URL('../tests/web/package.json', import.meta.url))('playwright-core');
const [site, sample, docs] = process.argv.slice(2).map((path) => resolve(path));
const loadings = await readFile(sample, 'utf8');
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.png': 'image/png', '.webmanifest': 'application/manifest+json' };
const server = createServer((request, response) => {
  const path = join(site, new URL(request.url, 'http://localhost').pathname.replace(/\/$/, '/index.html'));
  readFile(path).then((body) => response.writeHead(200, { 'content-type': types[extname(path)] ?? 'text/plain' }).end(body),
    () => response.writeHead(404).end());
});
await new Promise((listening) => server.listen(0, '127.0.0.1', listening));
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--headless', '--no-sandbox',
  '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run',
  '--hide-scrollbars'] });

// The page at a size and text scale, the sample's gliders on its buttons
// (typed in once, then kept, as a pilot's own file is), the first pressed.
async function open(width, height, textScale = 1) {
  const context = await browser.newContext({ viewport: { width, height }, colorScheme: 'light', deviceScaleFactor: 1 });
  await context.clock.setFixedTime(new Date(2026, 11, 7, 14, 3));
  const page = await context.newPage();
  page.on('pageerror', (error) => { throw error; });
  if (textScale !== 1) {
    const cdp = await context.newCDPSession(page);
    await cdp.send('Page.setFontSizes', { fontSizes: { standard: Math.round(16 * textScale), fixed: Math.round(13 * textScale) } });
  }
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await page.waitForSelector('html[data-ready]');
  await page.fill('#typedFile', loadings);
  await page.click('#useTyped');
  await page.reload();
  await page.waitForSelector('html[data-ready]');
  await page.click('button.loading');
  return page;
}
const field = (page, kind, row) => page.locator(`#sheet input.${kind}`).nth(row);
async function type(page, ...steps) {
  for (const [kind, row, text] of steps) {
    await field(page, kind, row).focus();
    await page.keyboard.type(text);
  }
}
const blur = (page) => page.evaluate(() => document.activeElement.blur());
const nose = [['weight', 1, '110'], ['description', 0, 'Nose ballast'], ['arm', 2, '-30']];

let page = await open(360, 740);
await type(page, ['weight', 1, '170']);
await blur(page);
await page.screenshot({ path: join(docs, 'web-phone.png'), fullPage: true });

// Twice the text: a warning counted beside the verdict, and the ± key while
// a weight is typed.
page = await open(320, 740, 2);
await type(page, ['weight', 1, '170'], ['weight', 2, '-35']);
await page.screenshot({ path: join(docs, 'web-phone-large-text.png') });

// The caret in the nose ballast's weight: what it may weigh there.
page = await open(1280, 800);
await type(page, ...nose);
await field(page, 'weight', 2).focus();
await page.screenshot({ path: join(docs, 'web-desktop.png'), fullPage: true });

page = await open(320, 740);
await type(page, ...nose, ['weight', 2, '18']);
await blur(page);
await page.locator('figure.envelope').screenshot({ path: join(docs, 'web-envelope-phone.png') });

await browser.close();
server.close();
