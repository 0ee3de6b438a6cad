// The web page in a real browser: Debian's chromium, driven by Playwright's
// core, against the built site served on localhost by the server below. It
// reads what a pilot reads: fields, figures, colours, words, what a screen
// reader is told, the printed page, and the page again with no network.
//   node tests/web/browser.mjs build-wasm/page
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { mkdtemp, readFile, rm } from 'node:fs/promises';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { extname, join, resolve } from 'node:path';
import { chromium } from 'playwright-core';

const site = resolve(process.argv[2] ?? 'build-wasm/page');
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.png': 'image/png', '.webmanifest': 'application/manifest+json' };
// Nothing from the HTTP cache: a page that opens offline was answered by the service worker.
const server = createServer((request, response) => {
  const path = join(site, new URL(request.url, 'http://localhost').pathname.replace(/\/$/, '/index.html'));
  readFile(path).then((body) => response.writeHead(200, { 'content-type': types[extname(path)] ?? 'text/plain',
    'cache-control': 'no-store' }).end(body), () => response.writeHead(404).end());
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

// A fresh browser profile (no loadings kept, no service worker) with the page ready to type.
async function open(options = {}) {
  const context = await browser.newContext({ colorScheme: 'light', ...options });
  await context.clock.setFixedTime(new Date(2026, 11, 7, 14, 3));
  const page = await context.newPage();
  page.on('pageerror', (error) => assert.fail(error));
  // The page's own policy refuses anything it did not mean to load or run.
  page.on('console', (message) => message.text().includes('Content Security Policy') && assert.fail(message.text()));
  await page.goto(url);
  await page.waitForSelector('html[data-ready]');
  // Every text the live region is given, in order, as a screen reader is told it.
  await page.evaluate(() => { window.spoken = []; new MutationObserver(() => window.spoken.push(
    document.getElementById('spoken').textContent)).observe(document.getElementById('spoken'), { childList: true }); });
  return page;
}
const reopen = async (page) => { await page.reload(); await page.waitForSelector('html[data-ready]'); };
const field = (page, kind, row) => page.locator(`#sheet input.${kind}`).nth(row);
const typeLoadings = async (page, text = sheet) => { await page.fill('#typedFile', text); await page.click('#useTyped'); };
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
test('600, Tab, 14, Tab, 170: the figures, their colours, the words, and what is spoken once per change', async () => {
  const page = await open();
  await field(page, 'weight', 0).focus();
  await typeKeys(page, '600', 'Tab', '14', 'Tab', '170');
  const forward = 'CG forward of the 11.70 in limit.';
  assert.deepEqual(await shown(page), { moments: ['8400', '-3400'], grossWeight: '770', grossMoment: '5000', flyCg: '6.49',
    colours: ['rgb(0, 255, 0)', 'rgb(255, 0, 0)'], verdict: forward, warnings: [], focus: 'Weight, Pilot',
    readouts: 'Pilot weight for this loading: 0 to 43 lb (0 to 19 kg). Room to 900 lb: 130 lb (58.9 kg).', scale: 'CG 6.49 in, forward of the scale',
    spoken: [`${forward} Arm, Aircraft Empty is blank: its 6 lb are counted at the datum.`, 'Within limits.', forward] });
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

test('the read-outs follow the caret into the nose ballast, and tell a light pilot what it must weigh', async () => {
  const page = await open();
  await field(page, 'weight', 0).fill('610');
  await field(page, 'arm', 0).fill('23.65');
  await field(page, 'weight', 1).fill('110');
  await field(page, 'arm', 2).fill('-30');
  const pilot = 'Pilot weight for this loading: 130 to 229 lb (59 to 103 kg). A 110 lb pilot needs at least 16 lb (8 kg) ' +
    'at item 3 (-30 in). Room to 900 lb: 180 lb (81.6 kg).';
  assert.equal((await shown(page)).readouts, 'Item 3 (-30 in): 16 to 91 lb (8 to 41 kg) keeps the sheet within limits. ' + pilot);
  await field(page, 'description', 0).focus();
  assert.equal((await shown(page)).readouts, pilot);
});

for (const width of [320, 1280]) {
  test(`the envelope drawn at ${width} px: the area within limits, the loaded point, the pilot line, in words too`, async () => {
    const page = await open({ viewport: { width, height: 800 } });
    await field(page, 'weight', 0).fill('610');
    await field(page, 'arm', 0).fill('23.65');
    await field(page, 'weight', 1).fill('170');
    const chart = await page.evaluate(() => {
      const box = (id) => document.getElementById(id).getBoundingClientRect();
      const svg = box('envelope');
      return { inside: svg.left >= 0 && svg.right <= document.documentElement.clientWidth && svg.width > 250,
        area: document.getElementById('envelopeArea').getAttribute('points'),
        point: document.getElementById('envelopePoint').getAttribute('transform'),
        lineStart: document.getElementById('pilotLine').getAttribute('points').split(' ')[0],
        label: document.getElementById('envelopeLabel').textContent,
        words: document.getElementById('envelopeWords').textContent };
    });
    // 11.70 to 16.00 in across 48 to 470, 400 to 900 lb up from 276 to 66; the point at 14.14 in and 780 lb.
    assert.deepEqual(chart, { inside: true, area: '178.1,276.0 178.1,66.0 329.3,66.0 329.3,276.0',
      point: 'translate(263.9 116.4)', lineStart: '598.4,187.8', label: '780 lb, CG 14.14 in', words: 'Envelope chart: gross weight up the side from 400 lb ' +
      'to 1000 lb, CG across from 8 to 20 in. Within limits: CG 11.70 to 16.00 in, up to 900 lb. This loading: 780 lb, ' +
      'CG 14.14 in, within limits. Pilot line: 610 lb at CG 23.65 in with no pilot, to 839 lb at CG 11.74 in with a 229 lb pilot.' });
  });
}

test('a comma typed as a decimal becomes a period where it stands; a misread is named, and spoken once', async () => {
  const page = await open();
  await field(page, 'arm', 2).focus();
  await typeKeys(page, '145', 'ArrowLeft', 'ArrowLeft', ',');
  assert.deepEqual(await field(page, 'arm', 2).evaluate((input) => [input.value, input.selectionStart]), ['1.45', 2]);
  await field(page, 'weight', 2).focus();
  await typeKeys(page, 'l', '70');
  const { warnings, spoken } = await shown(page);
  assert.deepEqual(warnings, ['Weight, item 3: "l70" is read as 0.']);
  assert.deepEqual(spoken, ['Weight, item 3: "l" is read as 0.']);
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
    await page.locator('button.loading').nth(1).click();  // the same words again are spoken again
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

// On phones at large text sizes, "14486.8075" showed as "14486.807" over "5",
// "782.5" as "78" over "2.5", and fields cut "612.55" to "612.5": every
// figure shows on one line and whole, every field its whole number, and no
// heading runs into the next.
for (const [width, textScale] of [[320, 1], [360, 1], [320, 1.3], [360, 2], [320, 2]]) {
  test(`figures whole at ${width} px and ${textScale * 100} % text`, async () => {
    const page = await open({ viewport: { width, height: 740 } });
    const cdp = await page.context().newCDPSession(page);
    await cdp.send('Page.setFontSizes', { fontSizes: { standard: Math.round(16 * textScale), fixed: Math.round(13 * textScale) } });
    await typeLoadings(page, '"N271KQ",612.55,23.65\n');
    await page.click('button.loading');
    for (const [kind, row, text] of [['weight', 1, '140'], ['weight', 2, '-100.25'], ['arm', 2, '95.125'], ['weight', 3, '20']])
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
// takes you to it.
test('a warning out of sight is said beside the verdict, a tap from it', async () => {
  const page = await open({ viewport: { width: 360, height: 740 } });
  await typeLoadings(page);
  await page.click('button.loading');
  await field(page, 'weight', 1).fill('140');
  await field(page, 'description', 0).fill('Tail ballast');
  await field(page, 'weight', 2).fill('20');
  const inSight = async (locator) => { const box = await locator.boundingBox(); return box.y >= 0 && box.y + box.height <= 740; };
  const checks = page.locator('#checks');
  assert.deepEqual([await checks.textContent(), await inSight(checks), await inSight(page.locator('#warnings li'))],
    ['1 number to check', true, false]);
  await checks.click();
  assert.ok(await inSight(page.locator('#warnings li')));
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

// A phone's decimal keypad without a minus key could not put nose ballast at -35.
test('the ± key makes the field being typed negative, and back, keeping the keypad there', async () => {
  const page = await open({ viewport: { width: 360, height: 740 }, hasTouch: true });
  await field(page, 'arm', 2).focus();
  await typeKeys(page, '35');
  await page.tap('#sign');
  const arm = () => field(page, 'arm', 2).evaluate((input) => [input.value, document.activeElement === input]);
  assert.deepEqual(await arm(), ['-35', true]);
  await page.tap('#sign');
  assert.deepEqual([await arm(), await field(page, 'arm', 1).inputValue()], [['35', true], '-20']);
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
test('what the page says it keeps is what it keeps', async () => {
  const page = await open();
  await typeLoadings(page, '"OLD-A",600,14\n');
  await page.evaluate(() => { Storage.prototype.setItem = () => { throw new DOMException('full', 'QuotaExceededError'); }; });
  await typeLoadings(page, `"NEW-B",610,14\n${'x'.repeat(100000)}`);
  assert.deepEqual([await page.locator('button.loading').first().textContent(), await page.isVisible('#notKept')], ['NEW-B', true]);
  await reopen(page);
  assert.equal(await page.locator('button.loading').first().textContent(), 'Loading 1');
});

test('after one visit the page opens and works with no network', async () => {
  const page = await open();
  await page.waitForFunction(() => navigator.serviceWorker.controller);
  // It keeps what the page uses, the page itself once.
  const kept = await page.evaluate(async () => {
    const cache = await caches.open((await caches.keys())[0]);
    return (await cache.keys()).map((request) => new URL(request.url).pathname.slice(1)).sort();
  });
  assert.deepEqual(kept, ['', 'app.js', 'icons/kq71wb-192.png', 'icons/kq71wb-512.png', 'kq71wb.js', 'kq71wb.wasm',
    'manifest.webmanifest', 'style.css']);
  await page.context().setOffline(true);
  await reopen(page);
  await field(page, 'weight', 0).fill('600');
  assert.equal((await shown(page)).grossWeight, '600');
});

test('the load sheet prints whole on one page of A5, A4 or Letter, no word cut', async () => {
  const page = await open();
  await typeLoadings(page);
  await page.click('button.loading');
  await typeKeys(page, '170', 'Tab', 'Tab', 'Parachute and a bag of tools for the trailer', 'Tab', '18 kg', 'Tab', '-12,5');
  // Three warnings a row more: the image of the sheet and the lines shrink to keep to one page.
  for (let row = 3; row < 8; ++row) await field(page, 'weight', row).fill(`-${row} kg`);
  for (const format of ['A5', 'A4', 'Letter']) {
    const pdf = join(folder, `${format}.pdf`);
    await page.pdf({ path: pdf, format, printBackground: true });
    assert.match(execFileSync('pdfinfo', [pdf], { encoding: 'utf8' }), /^Pages: +1$/m, format);
    const printed = new Set(execFileSync('pdftotext', [pdf, '-'], { encoding: 'utf8' }).split(/\s+/));
    const lines = await page.locator('.load-sheet p').allTextContents();
    // Which weighing: when the loadings were typed, and the start of the SHA-256 of their bytes.
    const digest = createHash('sha256').update(sheet.replaceAll('\r\n', '\n')).digest('hex').slice(0, 12);
    assert.match(lines.join('\n'), new RegExp('^KQ 71 weight and balance\nMade 2026-12-07 14:03 with KQ71WB \\d+\\.\\d+\n' +
      `Loading: N271KQ\nLoadings file: loadings typed on this page, modified 2026-12-07 14:03, SHA-256 ${digest}\n` +
      '[^]*\nVerdict: [^]*\nCheck: [^]*\nCockpit placard, pilot at -20 in and nothing else aboard:\nN271KQ: 130 to 2'));
    for (const word of lines.join(' ').split(/\s+/).filter(Boolean))
      assert.ok(printed.has(word), `${format}: "${word}" is not printed whole`);
    assert.ok(printed.has('1000'), `${format}: the envelope chart (up to 1000 lb) is not printed`);
  }
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
