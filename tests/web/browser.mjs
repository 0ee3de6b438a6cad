// The web page in a real browser: Debian's chromium, driven by Playwright's
// core, against the built site served on localhost by the server below. It
// reads what a pilot reads: fields, figures, colours, words, what a screen
// reader is told, the printed page, and the page again with no network.
//   node tests/web/browser.mjs build-wasm/page
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { cp, mkdtemp, readdir, readFile, rm, writeFile } from 'node:fs/promises';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { extname, join, relative, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const site = resolve(process.argv[2] ?? 'build-wasm/page');
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.png': 'image/png', '.webmanifest': 'application/manifest+json' };
// Nothing from the HTTP cache: a page that opens offline was answered by the
// service worker. A test may serve another folder (an update half copied),
// and put files beside the page: path -> { body, modified }.
let served = site;
const beside = new Map();
const server = createServer((request, response) => {
  const { pathname } = new URL(request.url, 'http://localhost');
  const file = beside.get(pathname);
  if (file) {
    response.writeHead(200, { 'content-type': 'text/plain', 'cache-control': 'no-store', 'last-modified': file.modified })
      .end(file.body);
    return;
  }
  const path = join(served, pathname.replace(/\/$/, '/index.html'));
  readFile(path).then((body) => response.writeHead(200, { 'content-type': types[extname(path)] ?? 'text/plain',
    'cache-control': 'no-store' }).end(body), () => response.writeHead(404).end('Not found'));
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

const sheet = '"N271KQ",612.5,23.6\r\n"Ségur Ka",598,23.9\r\n';

// A fresh browser profile (no loadings kept, no service worker) with the page ready to type,
// its text at textScale times the usual 16 px, as a phone's text size setting gives it.
async function open(options = {}, textScale = 1) {
  const context = await browser.newContext({ colorScheme: 'light', timezoneId: 'America/Denver', ...options });
  await context.clock.setFixedTime(new Date(Date.UTC(2026, 11, 7, 21, 3)));  // 14:03 in Denver
  const page = await context.newPage();
  page.on('pageerror', (error) => assert.fail(error));
  // The page's own policy refuses anything it did not mean to load or run.
  page.on('console', (message) => message.text().includes('Content Security Policy') && assert.fail(message.text()));
  await page.goto(url);
  await page.waitForSelector('html[data-ready]');
  // Every text the live region is given, in order, as a screen reader is told it.
  await page.evaluate(() => { window.spoken = []; new MutationObserver(() => window.spoken.push(
    document.getElementById('spoken').textContent)).observe(document.getElementById('spoken'), { childList: true }); });
  if (textScale !== 1) {
    await (await context.newCDPSession(page)).send('Page.setFontSizes',
      { fontSizes: { standard: Math.round(16 * textScale), fixed: Math.round(13 * textScale) } });
  }
  return page;
}
// What is to be spoken is said once the keys pause: waits for the live region's nth text.
const said = (page, count) => page.waitForFunction((n) => window.spoken.length >= n, count);
const reopen = async (page) => { await page.reload(); await page.waitForSelector('html[data-ready]'); };
const field = (page, kind, row) => page.locator(`#sheet input.${kind}`).nth(row);
// Typed, and used once read.
const typeLoadings = async (page, text = sheet) => {
  await page.fill('#typedFile', text);
  await page.click('#useTyped');
  await page.waitForSelector('#loadingsFile:not([aria-busy])', { state: 'attached' });
};
async function typeKeys(page, ...keys) {
  for (const key of keys) await (key === 'Tab' || key.startsWith('Arrow') ? page.keyboard.press(key) : page.keyboard.type(key));
}
const shown = (page) => page.evaluate(() => {
  const text = (selector) => document.querySelector(selector).textContent.trim();
  const colour = (selector) => getComputedStyle(document.querySelector(selector)).backgroundColor;
  return { moments: [...document.querySelectorAll('#sheet tbody:not(.totals) td.moment')].slice(0, 2).map((cell) => cell.textContent),
    grossWeight: text('#grossWeight .figure'), grossMoment: text('#grossMoment'), flyCg: text('#flyCg .figure'),
    colours: [colour('#grossWeight'), colour('#flyCg')], verdict: text('#verdict'), readouts: text('#readouts'),
    warnings: [...document.querySelectorAll('#warnings li')].map((item) => item.textContent),
    scale: document.getElementById('scale').getAttribute('aria-label'), focus: document.activeElement.ariaLabel, spoken };
});
// Orca dropped the words said at each keystroke when the next key came
// quickly: the verdict the "6" of "600" changed was never heard. They are
// said once the keys pause, with the figures as they then stand.
test('600, Tab, 14, Tab, 170: the figures, their colours, the words, and what is spoken once per change', async () => {
  const page = await open();
  await field(page, 'weight', 0).focus();
  for (const [count, keys] of [[1, ['600']], [2, ['Tab', '14']], [3, ['Tab', '170']]]) {
    await typeKeys(page, ...keys);
    await said(page, count);
  }
  const forward = 'CG forward of the 11.70 in limit.';
  assert.deepEqual(await shown(page), { moments: ['8400', '-3400'], grossWeight: '770', grossMoment: '5000', flyCg: '6.49',
    colours: ['rgb(0, 255, 0)', 'rgb(255, 0, 0)'], verdict: forward, warnings: [], focus: 'Weight, Pilot',
    readouts: 'Pilot weight for this loading: 0 to 43 lb (0 to 19 kg). Room to 900 lb: 130 lb (58.9 kg).', scale: 'CG 6.49 in, forward of the scale',
    spoken: [`${forward} Arm, Aircraft Empty is blank: its 600 lb are counted at the datum.`, 'Within limits.', forward] });
  // The limits it judges by, as the core words them.
  assert.deepEqual(await page.locator('.limits .limit').allTextContents(),
    ['Maximum Gross Weight : 900 pounds', 'Forward CG Limit : 11.70 inches', 'Aft CG Limit : 16.00 inches']);
});

test('what is typed while the module is still coming is kept and worked out once it is there', async () => {
  const context = await browser.newContext();
  let release;
  const held = new Promise((resolve) => { release = resolve; });
  await context.route('**/kq71wb.wasm', async (route) => { await held; await route.continue(); });
  const page = await context.newPage();
  await page.goto(url, { waitUntil: 'domcontentloaded' });
  await field(page, 'weight', 0).fill('600');
  await field(page, 'arm', 0).fill('14');
  assert.equal(await page.evaluate(() => 'ready' in document.documentElement.dataset), false);
  release();
  await page.waitForSelector('html[data-ready]');
  assert.deepEqual((await shown(page)).moments, ['8400', '0']);
  assert.equal(await field(page, 'weight', 0).inputValue(), '600');
  await context.close();
});

// The read-outs' words are the core's, pinned by its tests; the caret is the page's.
test('the read-outs follow the caret into the nose ballast, and out of it', async () => {
  const page = await open();
  await field(page, 'weight', 0).fill('610');
  await field(page, 'arm', 0).fill('23.65');
  await field(page, 'weight', 1).fill('110');
  await field(page, 'arm', 2).fill('-30');
  const inBallast = (await shown(page)).readouts;
  await field(page, 'description', 0).focus();
  const pilot = (await shown(page)).readouts;
  assert.deepEqual([inBallast, pilot.startsWith('Pilot weight for this loading: ')],
    ['Item 3 (-30 in): 16 to 91 lb (7 to 41 kg) keeps the sheet within limits. ' + pilot, true]);
});

// The chart's words, where they stand: any outside the picture or on
// another (the point's label aside), and the smallest as it shows, in pixels.
const chartWords = (page) => page.evaluate(() => {
  const envelope = document.getElementById('envelope');
  const picture = envelope.getBoundingClientRect();
  const texts = [...envelope.querySelectorAll('text:not([hidden])')].map((text) => ({ text: text.textContent,
    box: text.getBoundingClientRect(), grid: text.id !== 'envelopeLabel',
    size: parseFloat(getComputedStyle(text).fontSize) * picture.width / envelope.viewBox.baseVal.width }));
  const meet = (a, b) => a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
  const grid = texts.filter((text) => text.grid);
  return { outside: texts.filter(({ box }) => box.left < picture.left || box.right > picture.right || box.top < picture.top ||
      box.bottom > picture.bottom).map(({ text }) => text),
    meeting: grid.flatMap((a, i) => grid.slice(i + 1).filter((b) => meet(a.box, b.box)).map((b) => `${a.text} on ${b.text}`)),
    smallest: Math.round(Math.min(...texts.map(({ size }) => size))) };
});

// The chart's words were some 9 px on a phone at any text size (14 units in
// a 480-unit picture): they are as large as the read-outs, each in the
// picture, clear of the others.
for (const [width, textScale] of [[320, 1], [360, 2], [1280, 1]]) {
  test(`the envelope at ${width} px and ${textScale * 100} % text: the area within limits, the point, the pilot line, in words too`, async () => {
    const page = await open({ viewport: { width, height: 800 } }, textScale);
    await field(page, 'weight', 0).fill('610');
    await field(page, 'arm', 0).fill('23.65');
    await field(page, 'weight', 1).fill('170');
    const chart = await page.evaluate(() => {
      const box = (id) => document.getElementById(id).getBoundingClientRect();
      const [point, area] = [box('envelopePoint'), box('envelopeArea')];
      return { inside: box('envelope').right <= document.documentElement.clientWidth,
        pointWithin: point.left > area.left && point.right < area.right && point.top > area.top && point.bottom < area.bottom,
        pilotLine: document.getElementById('pilotLine').getAttribute('points').split(' ').length,
        label: document.getElementById('envelopeLabel').textContent, words: document.getElementById('envelopeWords').textContent,
        readouts: Math.round(parseFloat(getComputedStyle(document.getElementById('readouts')).fontSize)) };
    });
    const { readouts, ...drawn } = chart;
    // The chart's words are the core's, pinned by its tests: here they are placed.
    drawn.words = drawn.words.includes(' This loading: 780 lb, CG 14.14 in, within limits. Pilot line: ');
    assert.deepEqual([drawn, await chartWords(page)], [{ inside: true, pointWithin: true, pilotLine: 25,
      label: textScale === 1 ? '780 lb, CG 14.14 in' : '780 lb,CG 14.14 in', words: true }, { outside: [], meeting: [], smallest: readouts }]);
  });
}

test('a comma typed as a decimal becomes a period where it stands; a misread is named, and spoken once', async () => {
  const page = await open();
  await field(page, 'arm', 2).focus();
  await typeKeys(page, '145', 'ArrowLeft', 'ArrowLeft', ',');
  assert.deepEqual(await field(page, 'arm', 2).evaluate((input) => [input.value, input.selectionStart]), ['1.45', 2]);
  await field(page, 'weight', 2).focus();
  await typeKeys(page, 'l', '70');
  await said(page, 1);
  const { warnings, spoken } = await shown(page);
  assert.deepEqual(warnings, ['Weight, item 3: "l70" is read as 0.']);
  assert.deepEqual(spoken, ['Weight, item 3: "l70" is read as 0.']);
});

for (const [how, give] of [
  ['chosen in UTF-8', (page) => page.setInputFiles('#chooseFile', { name: 'kq71wb.dat', mimeType: 'text/plain', buffer: Buffer.from(sheet) })],
  ['dropped in UTF-16 with its byte-order mark', async (page) => page.dispatchEvent('main', 'drop', {
    dataTransfer: await page.evaluateHandle((bytes) => { const dropped = new DataTransfer();
      dropped.items.add(new File([new Uint8Array(bytes)], 'kq71wb.dat')); return dropped; },
    [0xff, 0xfe, ...Buffer.from(sheet, 'utf16le')]) })],
  ['typed', typeLoadings],
]) {
  test(`loadings ${how}: on the buttons, pressed, kept on this device until cleared`, async () => {
    const page = await open();
    const names = () => page.locator('button.loading').evaluateAll((buttons) => buttons.map((b) => [b.textContent, b.disabled]));
    assert.deepEqual(await names(), [1, 2, 3, 4].map((n) => [`Loading ${n}`, true]));
    await give(page);
    await page.waitForFunction(() => !document.querySelector('button.loading').disabled);
    await page.locator('button.loading').nth(1).click();
    await said(page, 1);
    await page.locator('button.loading').nth(1).click();  // the same words again are spoken again
    await said(page, 2);
    const { focus, spoken } = await shown(page);
    assert.deepEqual([await field(page, 'weight', 0).inputValue(), await field(page, 'arm', 0).inputValue(),
      await page.locator('button.loading[aria-pressed="true"]').textContent(), focus, spoken],
    ['598', '23.9', 'Ségur Ka', 'Weight, Pilot', ['CG aft of the 16.00 in limit.', 'CG aft of the 16.00 in limit.\u00a0']]);
    await reopen(page);
    assert.deepEqual(await names(), ['N271KQ', 'Ségur Ka', 'Ségur Ka', 'Ségur Ka'].map((name) => [name, false]));
    await page.click('#loadingsFile summary');
    await page.click('#clearLoadings');
    await reopen(page);
    assert.deepEqual(await names(), [1, 2, 3, 4].map((n) => [`Loading ${n}`, true]));
  });
}

// The desktop's F8 had no match on the page: a pilot with a screen reader
// heard the result only piece by piece, as each line changed.
test('the whole result, said on request by its button or F8, and shown as the note', async () => {
  const page = await open();
  await typeLoadings(page);
  await page.click('button.loading');
  await typeKeys(page, '170', 'Tab', 'Tab', 'Tab', '20');
  await said(page, 1);
  await page.click('#sayResult');
  await said(page, 2);
  await page.keyboard.press('F8');
  await said(page, 3);
  // The whole result's words are the core's, pinned by its tests.
  const whole = await page.textContent('#note');
  assert.deepEqual([whole.startsWith('Gross weight 802.5 lb, within limits. '), ...(await page.evaluate(() => window.spoken.slice(-2)))],
    [true, whole, `${whole}\u00a0`]);
});

// On phones at large text sizes, "14486.8075" showed as "14486.807" over "5",
// "782.5" as "78" over "2.5", and fields cut "612.55" to "612.5": every
// figure shows on one line and whole, every field its whole number, and no
// heading runs into the next.
for (const [width, textScale] of [[320, 1], [360, 1], [320, 1.3], [360, 2], [320, 2]]) {
  test(`figures whole at ${width} px and ${textScale * 100} % text`, async () => {
    const page = await open({ viewport: { width, height: 740 } }, textScale);
    await typeLoadings(page, '"N271KQ",612.55,23.65\n');
    await page.click('button.loading');
    for (const [kind, row, text] of [['weight', 1, '140'], ['weight', 2, '-100.25'], ['arm', 2, '95.125'], ['weight', 3, '0.4445'], ['weight', 4, '400']])
      await field(page, kind, row).fill(text);
    const cut = await page.evaluate(() => {
      const lines = (element) => { const range = document.createRange(); range.selectNodeContents(element);
        return new Set([...range.getClientRects()].map((rect) => Math.round(rect.top))).size; };
      const figures = [...document.querySelectorAll('#sheet td.moment, #sheet td.result .figure')].filter((e) => e.textContent);
      const fields = [...document.querySelectorAll('#sheet input')].filter((input) => input.value);
      const headings = [...document.querySelectorAll('#sheet thead th')].filter((th) => th.offsetWidth > 0)
        .map((th) => { const range = document.createRange(); range.selectNodeContents(th); return range.getBoundingClientRect(); });
      return [...figures.filter((e) => lines(e) !== 1 || e.closest('td').scrollWidth > e.closest('td').clientWidth)
        .map((e) => `figure ${e.textContent}`),
      ...fields.filter((input) => input.scrollWidth > input.clientWidth).map((input) => `field ${input.value}`),
      ...headings.slice(1).filter((rect, i) => rect.left < headings[i].right).map((_, i) => `heading ${i + 2}`)];
    });
    assert.deepEqual(cut, []);
  });
}

// "Within limits." and a green CG were in view while "Arm, item 3 is
// blank…" stood below the screen: the verdict says a warning stands, and
// takes you to the field it names. At twice the text size the tap left that
// field under the verdict, the link was 19 px tall and the ± key 38, the
// key's coming moved the sheet 16 px under the finger, and with the
// keyboard up the verdict took 156 of 300 px.
test('a warning out of sight is said beside the verdict, a tap from its field, at twice the text size too', async () => {
  const page = await open({ viewport: { width: 360, height: 740 } }, 2);
  await typeLoadings(page);
  await page.click('button.loading');
  await field(page, 'weight', 1).fill('140');
  await field(page, 'description', 0).fill('Tail ballast');
  await field(page, 'weight', 2).fill('20');
  await page.evaluate(() => document.activeElement.blur());
  const where = () => page.evaluate(() => {
    const box = (selector) => document.querySelector(selector).getBoundingClientRect();
    const lines = (id) => {
      const range = document.createRange();
      range.selectNodeContents(document.getElementById(id));
      return new Set([...range.getClientRects()].map((rect) => Math.round(rect.top))).size;
    };
    const field = document.activeElement.getBoundingClientRect();
    return { sheet: Math.round(box('#sheet').top + window.scrollY), heights: [box('#checks').height >= 44, box('#sign').height >= 44],
      lines: [lines('verdict'), lines('checks')], focus: document.activeElement.ariaLabel ?? '',
      inSight: field.top >= box('.verdict').bottom && field.bottom <= window.innerHeight,
      warning: box('#warnings li').top >= window.innerHeight, checks: box('#checks').bottom <= window.innerHeight };
  });
  const before = await where();
  await page.click('#checks');
  const after = await where();
  assert.deepEqual([before, after], [{ ...before, heights: [true, true], lines: [1, 1], warning: true, checks: true },
    { ...after, sheet: before.sheet, heights: [true, true], lines: [1, 1], focus: 'Arm, item 3', inSight: true }]);
  await page.setViewportSize({ width: 320, height: 300 });  // the keyboard up on a phone 568 px tall
  assert.deepEqual((await where()).lines, [1, 1]);
});

// A club puts its gliders online once, beside the page, for every member's phone.
test("the club's kq71wb.dat beside the page: offered, named, overridden, changed on the server, and offline", async () => {
  const club = (name, modified) => {
    const body = `"${name}",600,23.7\n`;
    beside.set('/kq71wb.dat', { body, modified: new Date(modified).toUTCString() });
    return [name, `Loadings from the club's kq71wb.dat, modified ${modified.replace('T', ' ')} +00:00, ` +
      `SHA-256 ${createHash('sha256').update(body).digest('hex').slice(0, 12)}.`];
  };
  const seen = (page) => page.evaluate(() => [document.querySelector('button.loading').textContent,
    document.getElementById('loadingsFrom').textContent, document.getElementById('useClub').checkVisibility()]);
  try {
    const first = club('D-KQ71 (club)', '2026-11-30T09:12');
    const page = await open({ timezoneId: 'UTC' });
    await page.waitForFunction(() => document.getElementById('loadingsFrom').textContent);
    assert.deepEqual(await seen(page), [...first, false]);
    await page.evaluate(() => ['beforeprint', 'afterprint'].forEach((printing) => window.dispatchEvent(new Event(printing))));
    assert.ok((await page.locator('.load-sheet p').allTextContents()).includes(first[1].replace(/^Loadings from /, 'Loadings file: ').slice(0, -1)));
    // The pilot's own loadings come first, at every visit, until the pilot goes back to the club's.
    await typeLoadings(page);
    await reopen(page);
    const [caption, from, offered] = await seen(page);
    assert.deepEqual([caption, from.startsWith('Loadings typed on this page, modified'), offered], ['N271KQ', true, true]);
    await page.click('#useClub');
    await reopen(page);
    assert.deepEqual(await seen(page), [...first, false]);
    const second = club('D-KQ72 (club)', '2026-12-01T10:00');
    await page.waitForFunction(() => navigator.serviceWorker.controller);
    await reopen(page);
    await page.waitForFunction(() => document.getElementById('note').textContent);
    assert.deepEqual([...await seen(page), await page.textContent('#note')], [...second, false,
      "The club's kq71wb.dat has changed on the server: these are its new loadings (modified 2026-12-01 10:00 +00:00)."]);
    await page.context().setOffline(true);
    await reopen(page);
    assert.deepEqual(await seen(page), [...second, false]);
  } finally {
    beside.clear();
  }
});

// A picture chosen by mistake overwrote the kept loadings with junk names.
test('a file that gives no loading is refused, and the loadings kept stay', async () => {
  const page = await open();
  await typeLoadings(page);
  await page.setInputFiles('#chooseFile', { name: 'glider.png', mimeType: 'image/png',
    buffer: Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0, 0, 0, 0x0d, 0x49, 0x48, 0x44, 0x52]) });
  await page.waitForFunction(() => document.getElementById('note').textContent !== '');
  assert.match(await page.textContent('#note'), /^That file gives no loading/);
  await reopen(page);
  assert.equal(await page.locator('button.loading').first().textContent(), 'N271KQ');
});

// In forced colours the results lost red and green and the scale was an
// empty box: each result says its verdict, and the scale keeps its mark.
test('forced colours: each result says its verdict, and the scale shows the CG', async () => {
  const page = await open({ forcedColors: 'active' });
  await field(page, 'weight', 0).focus();
  await typeKeys(page, '600', 'Tab', '14', 'Tab', '170');
  const shown = await page.evaluate(() => {
    const seen = (element) => element.getBoundingClientRect().width > 2 && element.getBoundingClientRect().height > 2;
    const marker = document.getElementById('scaleMarker');
    return [...document.querySelectorAll('.result .words')].map((words) => (seen(words) ? words.textContent : ''))
      .concat(seen(marker) && getComputedStyle(marker).backgroundColor === getComputedStyle(document.body).color);
  });
  assert.deepEqual(shown, ['within limits', 'out of limits, forward of the 11.70 in limit', true]);
});

// A phone's decimal keypad without a minus key could not put nose ballast at
// -35; then the ± key moved the caret, so that 30, ±, .5 gave -3.50, and ±
// in an empty arm, then 30, gave 30- (read as +30).
test('the ± key makes the field being typed negative, and back, the keypad and the caret kept', async () => {
  const page = await open({ viewport: { width: 360, height: 740 }, hasTouch: true });
  const arm = (row) => field(page, 'arm', row).evaluate((input) => [input.value, document.activeElement === input]);
  for (const [row, before, after, typed] of [[2, '30', '.5', '-30.5'], [3, '', '30', '-30'], [4, 'select 30', '45', '-45'],
    [5, '-30', '5', '305'], [6, '30 ArrowLeft', '5', '-350']]) {
    await field(page, 'arm', row).focus();
    const [text, key] = before.replace('select ', '').split(' ');
    await typeKeys(page, text, ...(key ? [key] : []));
    if (before.startsWith('select')) await field(page, 'arm', row).selectText();
    await page.tap('#sign');
    await typeKeys(page, after);
    assert.deepEqual(await arm(row), [typed, true], `${before}, ±, ${after}`);
  }
  await page.tap('#sign');
  assert.deepEqual([await arm(6), await field(page, 'arm', 1).inputValue()], [['350', true], '-20']);
});

// A megabyte pasted into a field slowed every keystroke, a 4,096-byte name
// made a button 7,397 px tall and printed on three pages of A5: a field keeps
// 4,096 characters and says so, and long names and descriptions are shortened.
test('long text: a field keeps 4,096 characters, a long name is shortened, the sheet prints on one page', async () => {
  const page = await open();
  await typeLoadings(page, `"${'N'.repeat(4096)}",612.5,23.6\n`);
  await page.click('button.loading');
  for (let k = 0; k < 6; ++k) await field(page, 'description', k).fill('D'.repeat(5000));
  assert.deepEqual([(await field(page, 'description', 5).inputValue()).length, await page.textContent('#note')],
    [4096, 'Description, item 8 keeps at most 4,096 characters; the rest was cut.']);
  assert.ok((await page.locator('button.loading').first().boundingBox()).height < 200);
  const pdf = join(folder, 'long.pdf');
  await page.pdf({ path: pdf, format: 'A5', printBackground: true });
  assert.match(execFileSync('pdfinfo', [pdf], { encoding: 'utf8' }), /^Pages: +1$/m);
});

// Kept "OLD-A", then typed 6 MB the browser would not keep: the page said
// the loadings last until it is closed, yet a reload brought OLD-A back.
// Typed text past the 64 KiB read was cut before the core saw it: the load
// sheet gave the digest of the part read, not of what was typed.
test('what the page says it keeps is what it keeps', async () => {
  const page = await open();
  await typeLoadings(page, '"OLD-A",600,14\n');
  await page.evaluate(() => { Storage.prototype.setItem = () => { throw new DOMException('full', 'QuotaExceededError'); }; });
  const typed = `"NEW-B",610,14\n${'x'.repeat(100000)}`;
  await typeLoadings(page, typed);
  assert.deepEqual([await page.locator('button.loading').first().textContent(), await page.isVisible('#notKept'),
    await page.textContent('#note')],
  ['NEW-B', true, 'Only the first 64 KiB of loadings typed on this page were read: line 2, cut there, is left out.']);
  await page.evaluate(() => window.dispatchEvent(new Event('beforeprint')));
  assert.equal(await page.locator('.load-sheet p', { hasText: 'Loadings file:' }).textContent(), 'Loadings file: loadings typed on this page, ' +
    `modified 2026-12-07 14:03 \u221207:00, SHA-256 ${createHash('sha256').update(typed).digest('hex').slice(0, 12)}`);
  await reopen(page);
  assert.equal(await page.locator('button.loading').first().textContent(), 'Loading 1');
});

// A mistyped address in the page's folder (x/, index.html/) was answered
// with the page kept, its styles and script missing, as found.
test('after one visit the page opens and works with no network; an address not its own is not answered with it', async () => {
  const page = await open();
  await page.waitForFunction(() => navigator.serviceWorker.controller);
  // It keeps what the page uses, the page itself once.
  const kept = await page.evaluate(async () => {
    const cache = await caches.open((await caches.keys())[0]);
    return (await cache.keys()).map((request) => new URL(request.url).pathname.slice(1)).sort();
  });
  assert.deepEqual(kept, ['', 'app.js', 'icons/kq71wb-192.png', 'icons/kq71wb-512.png', 'kq71wb.js', 'kq71wb.wasm',
    'manifest.webmanifest', 'style.css']);
  for (const address of ['x/', 'index.html/']) assert.equal((await page.goto(url + address)).status(), 404, address);
  await page.context().setOffline(true);
  await page.goto(url);
  await page.waitForSelector('html[data-ready]');
  await field(page, 'weight', 0).fill('600');
  assert.equal((await shown(page)).grossWeight, '600');
});

const buildOf = (text) => text.match(/<meta name="kq71wb-build" content="(\w+)">/)[1];

// With its module missing or failing the sheet took typing and showed
// nothing, not even the pilot's -20, and nothing said it was not working.
test('a page whose module is missing, failing or of another build says it cannot start, and takes no typing', async () => {
  const build = buildOf(await readFile(join(site, 'index.html'), 'utf8'));
  for (const [what, files, answer] of [
    ['missing', '**/kq71wb.js', (route) => route.fulfill({ status: 404 })],
    ['failing', '**/kq71wb.wasm', (route) => route.fulfill({ contentType: 'application/wasm', body: 'not a module' })],
    ['of another build', '**/kq71wb.js', async (route) => {
      const response = await route.fetch();
      await route.fulfill({ response, body: (await response.text()).replace(build, '0123456789abcdef') });
    }],
  ]) {
    const context = await browser.newContext();
    await context.route(files, answer);
    const page = await context.newPage();
    await page.goto(url);
    await page.waitForSelector('html[data-failed]');
    assert.deepEqual(await page.evaluate(() => [document.getElementById('cannotStart').checkVisibility(),
      document.getElementById('verdict').textContent, document.querySelector('#sheet input').closest('[inert]') !== null]),
    [true, '', true], what);
    // A second fetch of the file (the preload, then the import) may still be in the route.
    await context.unrouteAll({ behavior: 'ignoreErrors' });
    await context.close();
  }
});

// An update copied half-way (the new sw.js, index.html and app.js beside the
// old module) was cached as the new version: every visit after showed the
// page and nothing worked, offline too, until the site's data was cleared.
test('an update half copied is not kept: the last whole version runs, then the new one, online and offline', async () => {
  // The version before: this build under another name, with its own service worker.
  const build = buildOf(await readFile(join(site, 'index.html'), 'utf8'));
  const old = join(folder, 'old'), half = join(folder, 'half'), sources = fileURLToPath(new URL('../../web/', import.meta.url));
  await cp(site, old, { recursive: true });
  for (const file of ['index.html', 'app.js', 'kq71wb.js'])
    await writeFile(join(old, file), (await readFile(join(old, file), 'utf8')).replaceAll(build, '0123456789abcdef'));
  const files = (await readdir(old, { recursive: true, withFileTypes: true })).filter((entry) => entry.isFile())
    .map((entry) => relative(old, join(entry.parentPath ?? entry.path, entry.name))).filter((file) => file !== 'sw.js');
  execFileSync('cmake', [`-Dsite=${old}`, `-Dfiles=${files.join(';')}`, `-Dtemplate=${sources}sw.js`, '-P', `${sources}service_worker.cmake`]);
  await cp(old, half, { recursive: true });
  for (const file of ['sw.js', 'index.html', 'app.js']) await cp(join(site, file), join(half, file));
  // Whatever the server now gives is installed, or refused, before the page is opened again.
  const updated = (page) => page.evaluate(async () => {
    const registration = await navigator.serviceWorker.getRegistration();
    await registration.update().catch(() => {});
    const worker = registration.installing ?? registration.waiting ?? registration.active;
    await new Promise((settled) => {
      const check = () => ['activated', 'redundant'].includes(worker.state) && settled();
      worker.addEventListener('statechange', check);
      check();
    });
    return (await caches.keys()).length;
  });
  const running = async (page) => {
    await field(page, 'weight', 0).fill('600');
    return [buildOf(await page.content()), (await shown(page)).grossWeight];
  };
  try {
    served = old;
    const page = await open();
    await page.waitForFunction(() => navigator.serviceWorker.controller);
    for (const [what, folderServed, expected] of [['half copied', half, '0123456789abcdef'], ['whole', site, build]]) {
      served = folderServed;
      await reopen(page);
      assert.equal(await updated(page), 1, what);
      await reopen(page);
      assert.deepEqual(await running(page), [expected, '600'], what);
    }
    await page.context().setOffline(true);
    await reopen(page);
    assert.deepEqual(await running(page), [build, '600'], 'offline');
  } finally {
    served = site;
  }
});

// Four gliders' placard and a few items ran to a second page of A5, which
// held the lines to sign; the chart's "1000" was cut at its left edge, and
// "lb" stood on it.
test('the load sheet prints whole on one page of A5, A4 or Letter, no word cut, the chart\'s words clear; a problem report copies it', async () => {
  const page = await open({ permissions: ['clipboard-read', 'clipboard-write'] });
  const gliders = `${sheet}"N471KQ",621.25,24.18\r\n"R&D, Club",605.5,24.61\r\n`;
  await typeLoadings(page, gliders);
  await page.click('button.loading');
  await typeKeys(page, '170', 'Tab', 'Tab', 'Parachute and a bag of tools for the trailer', 'Tab', '18 kg', 'Tab', '-12,5');
  const printed = async (format) => {
    const pdf = join(folder, `${format}.pdf`);
    await page.pdf({ path: pdf, format, printBackground: true });
    assert.match(execFileSync('pdfinfo', [pdf], { encoding: 'utf8' }), /^Pages: +1$/m, format);
    return new Set(execFileSync('pdftotext', [pdf, '-'], { encoding: 'utf8' }).split(/\s+/));
  };
  await printed('A5');
  await page.emulateMedia({ media: 'print' });
  await page.evaluate(() => window.dispatchEvent(new Event('beforeprint')));
  const { outside, meeting } = await chartWords(page);
  assert.deepEqual({ outside, meeting }, { outside: [], meeting: [] }, 'the chart on paper');
  await page.evaluate(() => window.dispatchEvent(new Event('afterprint')));
  await page.emulateMedia({ media: 'screen' });
  // Three warnings a row more: the image of the sheet and the lines shrink to keep to one page.
  for (let row = 3; row < 8; ++row) await field(page, 'weight', row).fill(`-${row} kg`);
  for (const format of ['A5', 'A4', 'Letter']) {
    const words = await printed(format);
    const lines = await page.locator('.load-sheet p').allTextContents();
    // Which weighing: when the loadings were typed, and the start of the SHA-256 of their bytes.
    const digest = createHash('sha256').update(gliders.replaceAll('\r\n', '\n')).digest('hex').slice(0, 12);
    assert.match(lines.join('\n'), new RegExp('^KQ 71 weight and balance\nMade 2026-12-07 14:03 \u221207:00 with KQ71WB \\d+\\.\\d+\n' +
      `Loading: N271KQ\nLoadings file: loadings typed on this page, modified 2026-12-07 14:03 \u221207:00, SHA-256 ${digest}\n` +
      '[^]*\nVerdict: [^]*\nCheck: [^]*\nCockpit placard, pilot at -20 in and nothing else aboard:\nN271KQ: 130 to 2'));
    for (const word of lines.join(' ').split(/\s+/).filter(Boolean))
      assert.ok(words.has(word), `${format}: "${word}" is not printed whole`);
    assert.ok(words.has('1000'), `${format}: the envelope chart (up to 1000 lb) is not printed`);
  }
  // The same lines, the version with them, the platform and where to send it, on the clipboard.
  await page.click('#report');
  const report = await page.evaluate(() => navigator.clipboard.readText());
  const lines = await page.locator('.load-sheet p').allTextContents();
  assert.ok(report.startsWith('KQ71WB problem report, for whoever gave you KQ71WB'), report);
  for (const part of [`\nPlatform: ${await page.evaluate(() => navigator.userAgent)}\n`, lines.slice(0, 4).join('\n'), lines.at(-1)])
    assert.ok(report.includes(part), part);
  assert.match(await page.textContent('#note'), /^A problem report is on the clipboard/);
});

for (const colorScheme of ['light', 'dark']) {
  test(`axe finds no violation, ${colorScheme}`, async () => {
    const page = await open({ colorScheme, bypassCSP: true });  // axe is put in as a script of its own
    await typeLoadings(page);
    await page.click('button.loading');
    await typeKeys(page, '70 kg', 'Tab', 'Tab', 'Tab', '8');
    await page.addScriptTag({ content: axe });
    const { violations } = await page.evaluate(() => window.axe.run());
    assert.deepEqual(violations.map(({ id, nodes }) => `${id}: ${nodes.map((node) => node.target).join(' ')}`), []);
  });
}
