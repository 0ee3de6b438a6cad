// The web page in a real browser: Debian's chromium, driven by Playwright's
// core, against the built site served on localhost by the server below. The
// core's own tests pin the figures and words; here the page must send each
// event to it and put the view it answers where it belongs, on a phone too,
// on paper, offline, and across an update.
//   node tests/web/browser.mjs build-wasm/page
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtemp, readFile, rm } from 'node:fs/promises';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { extname, join, resolve } from 'node:path';
import { chromium } from 'playwright-core';

const site = resolve(process.argv[2] ?? 'build-wasm/page');
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm', '.png': 'image/png' };
// Nothing from the HTTP cache: a page that opens offline was answered by the
// service worker. A test may give a text of its own in place of a file (path -> text).
const replaced = new Map();
const server = createServer((request, response) => {
  const { pathname } = new URL(request.url, 'http://localhost');
  const path = join(site, pathname.replace(/\/$/, '/index.html'));
  const body = replaced.has(pathname) ? Promise.resolve(replaced.get(pathname)) : readFile(path);
  body.then((text) => response.writeHead(200, { 'content-type': types[extname(path)] ?? 'text/plain', 'cache-control': 'no-store' })
    .end(text), () => response.writeHead(404).end('Not found'));
});
const axe = await readFile(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
const folder = await mkdtemp(join(tmpdir(), 'kq71wb-browser-'));
let browser, url;
before(async () => {
  await new Promise((listening) => server.listen(0, '127.0.0.1', listening));
  url = `http://127.0.0.1:${server.address().port}/`;
  browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--headless', '--no-sandbox',
    '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run'] });
});
after(async () => { await browser?.close(); server.close(); await rm(folder, { recursive: true }); });

// A fresh browser profile (no loadings kept, no service worker) with the page ready to type,
// its text at textScale times the usual 16 px, as a phone's text size setting gives it.
async function open(options = {}, textScale = 1) {
  const context = await browser.newContext({ colorScheme: 'light', ...options });
  const page = await context.newPage();
  page.on('pageerror', (error) => assert.fail(error));
  // The page's own policy refuses anything it did not mean to load or run.
  page.on('console', (message) => message.text().includes('Content Security Policy') && assert.fail(message.text()));
  await page.goto(url);
  await page.waitForSelector('html[data-ready]');
  // Every text the live region is given, in order, as a screen reader is told it.
  await page.evaluate(() => { window.spoken = []; new MutationObserver(() => window.spoken.push(
    document.getElementById('spoken').textContent)).observe(document.getElementById('spoken'), { childList: true }); });
  await (await context.newCDPSession(page)).send('Page.setFontSizes',
    { fontSizes: { standard: Math.round(16 * textScale), fixed: Math.round(13 * textScale) } });
  return page;
}
// What is to be spoken is said once the keys pause: waits for the live region's nth text.
const said = (page, count) => page.waitForFunction((n) => window.spoken.length >= n, count);
const reopen = async (page) => { await page.reload(); await page.waitForSelector('html[data-ready]'); };
const field = (page, kind, row) => page.locator(`#sheet input.${kind}`).nth(row);
const typeLoadings = async (page, text = '"N271KQ",612.5,23.6\r\n"Ségur Ka",598,23.9\r\n') => {
  await page.fill('#typedFile', text);
  await page.click('#useTyped');
  await page.waitForSelector('#loadingsFile:not([aria-busy])', { state: 'attached' });
};
async function typeKeys(page, ...keys) {
  for (const key of keys) await (['ArrowLeft', 'F8'].includes(key) ? page.keyboard.press(key) : page.keyboard.type(key));
}

// Orca dropped the words said at each keystroke when the next key came
// quickly: the verdict the "6" of "600" changed was never heard. They are
// said once the keys pause, with the figures as they then stand.
test('what is typed reaches the core, and its view and chart land where they belong, spoken once per change', async () => {
  const page = await open();
  // Each step: the field to type in (or the button clicked, the caret kept), the keys, and how many texts
  // the live region has been given once they pause.
  for (const [kind, row, keys, count] of [['weight', 0, ['600'], 1], ['arm', 0, ['14'], 2], ['weight', 1, ['170'], 3],
    ['weight', 2, ['l70'], 4], ['arm', 2, ['145', 'ArrowLeft', 'ArrowLeft', ','], 4], ['#sayResult', 0, [], 5], ['', 0, ['F8'], 6]]) {
    if (kind) await (kind.startsWith('#') ? page.dispatchEvent(kind, 'click') : field(page, kind, row).focus());
    await typeKeys(page, ...keys);
    await said(page, count);
  }
  // The whole result on request, by its button or F8 as on the desktop: the same words again are spoken again.
  const [note, forward] = [await page.textContent('#note'), 'CG forward of the 11.70 in limit.'];
  assert.deepEqual(await page.evaluate(() => window.spoken), [`${forward} Arm, Aircraft Empty is blank: its 600 lb are counted at the datum.`,
    'Within limits.', forward, 'Weight, item 3: "l70" is read as 0.', note, `${note}\u00a0`]);
  // A comma becomes a period where it stands, the caret kept beside it.
  assert.deepEqual(await field(page, 'arm', 2).evaluate((input) => [input.value, input.selectionStart]), ['1.45', 2]);
  assert.deepEqual(await page.evaluate(() => ['#grossWeight', '#flyCg'].map((id) => getComputedStyle(document.querySelector(id)).backgroundColor)),
    ['rgb(0, 255, 0)', 'rgb(255, 0, 0)'], 'green within, red out of limits');
  // The same events given to a session of the core's own: the page shows its answer.
  const [core, shown] = await page.evaluate(async () => {
    const kq71wb = await (await import('./kq71wb.js')).default();
    const session = new kq71wb.Session();
    for (const [kind, row, text] of [[0, 0, '600'], [1, 0, '14'], [0, 1, '170'], [0, 2, 'l70'], [1, 2, '1.45']]) session.edit(kind, row, text);
    const { width } = document.getElementById('envelope').getBoundingClientRect();
    const frame = JSON.parse(session.layoutChart(width, parseFloat(getComputedStyle(document.getElementById('readouts')).fontSize)));
    session.focus(1, 2);
    const view = JSON.parse(session.sayResult());
    const lines = (text) => text.lines.map(([line]) => line).join('');
    // Each part of the view, where the page shows it, and in which attribute (or else the text or value).
    const parts = [
      [view.weight, '#sheet input.weight'], [view.arm, '#sheet input.arm'], [view.description.slice(2), '#sheet input.description'],
      [view.moment, '#sheet tbody:not(.totals) td.moment'], [view.grossMoment, '#grossMoment'], [view.grossWeight, '#grossWeight .figure'],
      [view.grossWeightWords, '#grossWeight .words'], [view.grossWeightVerdict, '#grossWeight', 'data-verdict'],
      [view.flyCg, '#flyCg .figure'], [view.flyCgWords, '#flyCg .words'], [view.flyCgVerdict, '#flyCg', 'data-verdict'],
      [view.scaleWords, '#scale', 'aria-label'], [[view.scaleAt], '#scale', 'style'], [view.verdict, '#verdict'],
      [view.checks, '#checks'], [view.warnings, '#warnings li'], [view.readouts, '#readouts'], [view.note, '#note'],
      [kq71wb.limitCaptions(), '.limits .limit'], [kq71wb.scaleLimits(), '.bands', 'style'],
      [view.envelope.pilotLine.flat(), '#pilotLine', 'points'],
      [view.envelope.point, '#envelopePoint', 'transform'], [lines(view.envelope.label), '#envelopeLabel'],
      [view.envelope.words, '#envelopeWords'], [frame.area.flat(), '#envelopeArea', 'points'], [frame.texts.map(lines), '#envelopeGrid text'],
    ];
    const read = ([value, selector, attribute]) => {
      const shown = [...document.querySelectorAll(selector)]
        .map((element) => (attribute ? element.getAttribute(attribute) : element.localName === 'input' ? element.value : element.textContent));
      if (typeof value[0] === 'number') return shown[0].match(/-?[\d.]+(e-?\d+)?/g).map(Number);
      return Array.isArray(value) ? shown : shown[0];
    };
    return [parts.map(([value]) => value), parts.map(read)];
  });
  assert.deepEqual(shown, core);
});

// A picture chosen by mistake overwrote the kept loadings with junk names.
// Kept "OLD-A", then typed loadings the browser would not keep: the page
// said they last until it is closed, yet a reload brought OLD-A back.
test('loadings chosen, dropped in UTF-16 or typed: on the buttons, pressed, kept until cleared; a picture refused', async () => {
  const page = await open();
  const captions = () => page.locator('button.loading').allTextContents();
  const choose = (name, bytes) => page.setInputFiles('#chooseFile', { name, mimeType: 'text/plain', buffer: Buffer.from(bytes) });
  for (const [first, give] of [
    ['Chosen', () => choose('kq71wb.dat', '"Chosen",1,1')],
    ['Dropped', async () => page.dispatchEvent('main', 'drop', { dataTransfer: await page.evaluateHandle((bytes) => {
      const dropped = new DataTransfer();
      dropped.items.add(new File([new Uint8Array(bytes)], 'kq71wb.dat'));
      return dropped;
    }, [0xff, 0xfe, ...Buffer.from('"Dropped",1,1', 'utf16le')]) })],
    ['N271KQ', () => typeLoadings(page)],
    ['N271KQ', () => choose('glider.png', [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a])],
  ]) {
    await give();
    await page.waitForSelector('#loadingsFile:not([aria-busy])', { state: 'attached' });
    assert.equal(await page.textContent('button.loading'), first);
  }
  // A loading pressed takes the caret to the pilot's weight, its text selected to be typed over.
  await field(page, 'weight', 1).fill('170');
  await page.locator('button.loading').nth(1).click();
  assert.deepEqual(await page.evaluate(() => [document.activeElement.ariaLabel, getSelection().toString(),
    document.querySelector('button.loading[aria-pressed="true"]').textContent, document.querySelector('input.weight').value]),
  ['Weight, Pilot', '170', 'Ségur Ka', '598']);
  await reopen(page);
  assert.deepEqual(await captions(), ['N271KQ', 'Ségur Ka', 'Ségur Ka', 'Ségur Ka']);
  await page.evaluate(() => { Storage.prototype.setItem = () => { throw new DOMException('full', 'QuotaExceededError'); }; });
  await page.click('#loadingsFile summary');
  await typeLoadings(page, '"NEW-B",610,14\n');
  assert.equal(await page.isVisible('#notKept'), true);
  const none = ['Loading 1', 'Loading 2', 'Loading 3', 'Loading 4'];
  await reopen(page);
  assert.deepEqual(await captions(), none, 'the loadings kept before, not kept in their place');
  await typeLoadings(page);
  await page.click('#clearLoadings');
  await reopen(page);
  assert.deepEqual(await captions(), none, 'cleared');
});

// A phone's decimal keypad without a minus key could not put nose ballast at
// -35; then the ± key moved the caret, so that 30, ±, .5 gave -3.50, and ±
// in an empty arm, then 30, gave 30- (read as +30).
test('the ± key makes the field being typed negative, and back, the keypad and the caret kept', async () => {
  const page = await open({ viewport: { width: 360, height: 740 }, hasTouch: true });
  const arm = (row) => field(page, 'arm', row).evaluate((input) => [input.value, document.activeElement === input]);
  // Each row: what is typed before the key (keys apart, "select" selecting it all), with the key pressed
  // once or twice, and after it.
  for (const [row, before, presses, after, typed] of [[2, '30', 1, '.5', '-30.5'], [3, '', 1, '30', '-30'],
    [4, 'select 30', 1, '45', '-45'], [5, '-30', 1, '5', '305'], [6, '30 ArrowLeft', 1, '5', '-350'], [7, '-30.5', 2, '', '-30.5']]) {
    await field(page, 'arm', row).focus();
    await typeKeys(page, ...before.replace('select ', '').split(' '));
    if (before.startsWith('select')) await field(page, 'arm', row).selectText();
    for (let press = 0; press < presses; ++press) await page.tap('#sign');
    await typeKeys(page, after);
    assert.deepEqual(await arm(row), [typed, true], `${before}, ± ${presses} times, ${after}`);
  }
  assert.equal(await field(page, 'arm', 1).inputValue(), '-20');
});

// On phones at large text sizes, "14486.8075" showed as "14486.807" over "5",
// fields cut "612.55" to "612.5", the chart's words were some 9 px and ran
// off it, a 4,096-byte name made a button 7,397 px tall, and "Within limits."
// stood above a warning below the screen that its tap left under the verdict.
// Four gliders' placard and a few items printed on two pages of A5.
for (const textScale of [1, 2]) {
  test(`at 320 px and ${textScale * 100} % text: figures whole, a warning a tap away, the load sheet on one page, nothing for axe`, async () => {
    const page = await open({ viewport: { width: 320, height: 740 }, permissions: ['clipboard-read', 'clipboard-write'] }, textScale);
    await typeLoadings(page, `"N271KQ",612.55,23.65\n"Ségur Ka",598,23.9\n"N471KQ",621.25,24.18\n"${'N'.repeat(4096)}",605.5,24.61\n`);
    await page.click('button.loading');
    for (const [kind, row, text] of [['weight', 1, '140'], ['weight', 2, '-100.25'], ['arm', 2, '95.125'], ['weight', 3, '0.4445'],
      ['description', 1, 'Parachute and a bag of tools for the trailer'], ...[4, 5, 6, 7].map((row) => ['weight', row, `-${row} kg`])])
      await field(page, kind, row).fill(text);
    await page.evaluate(() => document.activeElement.blur());
    // What is cut, too small or too large, and how many lines the verdict and "2 numbers to check" take.
    const cut = () => page.evaluate(() => {
      const box = (element) => element.getBoundingClientRect();
      const all = (selector) => [...document.querySelectorAll(selector)];
      const lines = (element) => { const range = document.createRange(); range.selectNodeContents(element);
        return new Set([...range.getClientRects()].map((rect) => Math.round(rect.top))).size; };
      const envelope = box(document.getElementById('envelope'));
      const scale = envelope.width / document.getElementById('envelope').viewBox.baseVal.width;
      const readouts = Math.round(parseFloat(getComputedStyle(document.getElementById('readouts')).fontSize));
      const over = (element) => element.scrollWidth > element.clientWidth;
      return [...all('#sheet td.moment, #sheet td.result .figure').filter((e) => e.textContent && (lines(e) !== 1 || over(e.closest('td'))))
        .map((e) => `figure ${e.textContent}`), ...all('#sheet input.weight, #sheet input.arm').filter(over).map((input) => `field ${input.value}`),
      ...all('#envelope text:not([hidden])').filter((text) => box(text).left < envelope.left || box(text).right > envelope.right ||
        Math.round(parseFloat(getComputedStyle(text).fontSize) * scale) < readouts).map((text) => `chart ${text.textContent}`),
      ...all('button.loading').filter((button) => box(button).height > innerHeight).map((button) => `button ${box(button).height} px tall`)];
    });
    assert.deepEqual(await cut(), []);
    // The tap on "2 numbers to check", beside the verdict, brings the field its warning names, out of
    // sight below, into sight under the verdict.
    assert.equal(await page.evaluate(() => document.querySelector('#warnings li').getBoundingClientRect().top > innerHeight), true);
    await page.click('#checks');
    assert.deepEqual(await page.evaluate(() => {
      const [field, verdict] = [document.activeElement, document.querySelector('.verdict')].map((e) => e.getBoundingClientRect());
      return [document.activeElement.ariaLabel, field.top >= verdict.bottom && field.bottom <= innerHeight];
    }), ['Weight, item 3', true]);
    // On paper, the load sheet on one page, the chart's "1000" whole at its left edge.
    for (const format of ['A5', 'A4', 'Letter']) {
      const pdf = join(folder, `${format}-${textScale}.pdf`);
      await page.pdf({ path: pdf, format, printBackground: true });
      assert.match(execFileSync('pdfinfo', [pdf], { encoding: 'utf8' }), /^Pages: +1$/m, format);
      assert.match(execFileSync('pdftotext', [pdf, '-'], { encoding: 'utf8' }), /^(?=[^]*^Verdict: )(?=[^]*^1000$)/m, format);
    }
    // A problem report: the load sheet with the platform, on the clipboard.
    await page.click('#report');
    assert.match(await page.evaluate(() => navigator.clipboard.readText()), /\nPlatform: Mozilla.*\n[^]*\nVerdict: /);
    for (const colorScheme of ['light', 'dark']) {
      await page.emulateMedia({ colorScheme });
      await page.evaluate(axe);  // evaluated as the test's own script, which the page's policy does not govern
      const { violations } = await page.evaluate(() => window.axe.run());
      assert.deepEqual(violations.map(({ id, nodes }) => `${id}: ${nodes.map((node) => node.target).join(' ')}`), [], colorScheme);
    }
  });
}

// An update copied half-way (the new sw.js, index.html and app.js beside the
// old module) was cached as the new version: every visit after showed the
// page and nothing worked, offline too, until the site's data was cleared.
// A mistyped address in the page's folder (x/, index.html/) was answered
// with the page kept, its styles and script missing. A club puts its gliders
// beside the page, once, for every member's phone, which keeps them offline.
test('an update half copied is never kept: the last whole version runs on, offline too, until the next whole one', async () => {
  const worker = await readFile(join(site, 'sw.js'), 'utf8');
  const [cache] = worker.match(/kq71wb-\w+/);
  // The next version's service worker, its app.js not yet on the server as it lists it; then whole.
  try {
    replaced.set('/kq71wb.dat', '"D-KQ71 (club)",600,23.7\n');
    const page = await open();
    await page.waitForFunction(() => navigator.serviceWorker.controller);
    for (const [what, next, kept] of [
      ['half copied', worker.replace(cache, `${cache}-next`).replace(/('app\.js', ')\w+/, `$1${'0'.repeat(64)}`), cache],
      ['whole', worker.replace(cache, `${cache}-next`), `${cache}-next`],
    ]) {
      replaced.set('/sw.js', next);
      // Installed, or refused, before the page is opened again, offline.
      assert.deepEqual(await page.evaluate(async () => {
        const registration = await navigator.serviceWorker.getRegistration();
        await registration.update().catch(() => {});
        const installed = registration.installing ?? registration.waiting ?? registration.active;
        while (!['activated', 'redundant'].includes(installed.state))
          await new Promise((changed) => installed.addEventListener('statechange', changed, { once: true }));
        return caches.keys();
      }), [kept], what);
      await page.context().setOffline(true);
      await reopen(page);
      await field(page, 'weight', 0).fill('600');
      assert.deepEqual([await page.textContent('#grossWeight .figure'), await page.textContent('button.loading')], ['600', 'D-KQ71 (club)'], what);
      await page.context().setOffline(false);
    }
    for (const address of ['x/', 'index.html/']) assert.equal((await page.goto(url + address)).status(), 404, address);
  } finally {
    replaced.clear();
  }
});

// With its module failing the sheet took typing and showed nothing, not even
// the pilot's -20, and nothing said it was not working; so with a module of
// another build beside the page's files, as an upload half done leaves them.
// (Last: a failure here leaves the server giving that module.)
test('a page whose module is of another build says it cannot start, and takes no typing', async () => {
  replaced.set('/kq71wb.js', (await readFile(join(site, 'kq71wb.js'), 'utf8')).replace(/(Module\["build"\]=")\w+/, '$10123456789abcdef'));
  const page = await (await browser.newContext()).newPage();
  await page.goto(url);
  await page.waitForSelector('html[data-failed]');
  replaced.clear();
  assert.deepEqual(await page.$eval('#sheet', (sheet) => [document.getElementById('cannotStart').checkVisibility(), sheet.inert]), [true, true]);
});
