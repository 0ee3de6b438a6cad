//# allFunctionsCalledOnLoad
// (That first line has Chromium compile every function here as the file
// comes, not each at its first call: nearly all of them run as the page opens.)
// The page's wiring: each field hands its text to the C++ core, and the page
// shows exactly the captions, verdicts and words of the view that comes back.
// Nothing is computed or worded here.

// This build of the page; its index.html and its module must name the same.
const build = '@KQ71WB_PAGE_BUILD@';
const reloaded = 'kq71wb reloaded';  // once, when the files came from different builds

// The core, or null when it cannot start: missing, failing, or of another build.
async function startCore() {
  try {
    const { default: createKq71wb } = await import('./kq71wb.js');
    const core = await createKq71wb();
    const page = document.querySelector('meta[name="kq71wb-build"]')?.content;
    if (core.build !== build || page !== build)
      throw new Error(`the page (${page}), its script (${build}) and its module (${core.build}) are of different builds`);
    return core;
  } catch (error) {
    console.error('The calculator cannot start:', error);
    return null;
  }
}

function registerWorker() {
  // Served from a file or an insecure origin, the page works without it, only not offline.
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => {});
}

// Without its core nothing on the page works: it says so where the verdict
// stands, the sheet no longer takes typing, and nothing more runs. Files of
// two builds at once (an update that reached the cache while the page
// loaded) are sorted out by loading it again, once.
function cannotStart() {
  try {
    if (navigator.serviceWorker?.controller && !sessionStorage.getItem(reloaded)) {
      sessionStorage.setItem(reloaded, build);
      window.location.reload();
    }
  } catch { /* nothing is kept: no reload */ }
  document.getElementById('cannotStart').hidden = false;
  for (const part of document.querySelectorAll('#sheet, .loadings, #loadingsFile')) part.inert = true;
  document.documentElement.dataset.failed = '';
  registerWorker();
  return new Promise(() => {});
}

// The script is async: the module is fetched and compiled while the page's
// text and style still come. The page is filled once its HTML is all there.
const starting = startCore();
if (document.readyState === 'loading') {
  await new Promise((parsed) => document.addEventListener('DOMContentLoaded', parsed));
}
/** @type {import('./kq71wb').Kq71wb} */
const kq71wb = await starting ?? await cannotStart();
const session = new kq71wb.Session();
const { FieldKind } = kq71wb;
// Where this browser keeps a loadings file: the bytes the parser reads, and
// for the load sheet its name, when it was last changed (seconds since 1970
// and the zone's offset), and the SHA-256 and size of the whole file, which
// may go on past what is kept. The pilot's own file, chosen or typed; and
// the club's, as last fetched from beside the page, for offline.
const ownFile = ['kq71wb.dat', 'kq71wb.dat name', 'kq71wb.dat modified', 'kq71wb.dat whole'];
const clubFile = ['kq71wb club.dat', 'kq71wb club.dat name', 'kq71wb club.dat modified', 'kq71wb club.dat whole'];

const byId = (id) => document.getElementById(id);
const all = (selector) => [...document.querySelectorAll(selector)];
const weights = all('#sheet input.weight');
const arms = all('#sheet input.arm');
const descriptions = all('#sheet input.description');
const moments = all('#sheet tbody:not(.totals) td.moment');
const loadingButtons = all('button.loading');
const firstDescribedRow = weights.length - descriptions.length;
const editedFields = [[weights, FieldKind.Weight], [arms, FieldKind.Arm], [descriptions, FieldKind.Description]];
const rowOf = (kind, k) => (kind === FieldKind.Description ? k + firstDescribedRow : k);

// Writes only what changed, so that a keystroke touches a few nodes: the
// browser restyles and lays out again after a write of the same value too.
function put(element, text) {
  if (element.textContent !== text) element.textContent = text;
}
function set(element, property, value) {
  if (element[property] !== value) element[property] = value;
}
function setAttribute(element, name, value) {
  if (element.getAttribute(name) !== String(value)) element.setAttribute(name, value);
}

// The field's text as the core reads it (a comma turned into a period), the
// caret kept where it was: the core changes no text's length.
function putField(field, text) {
  if (field.value === text) return;
  const { selectionStart, selectionEnd } = field;
  field.value = text;
  if (document.activeElement === field) field.setSelectionRange(selectionStart, selectionEnd);
}

function showResult(cell, caption, verdict, words) {
  put(cell.querySelector('.figure'), caption);
  put(cell.querySelector('.words'), words);
  if (cell.dataset.verdict !== verdict) cell.dataset.verdict = verdict;
}

function showList(list, texts) {
  if ([...list.children].map((item) => item.textContent).join('\n') === texts.join('\n')) return;
  list.replaceChildren(...texts.map((text) => Object.assign(document.createElement('li'), { textContent: text })));
}

// The lines the core says are to be spoken go to the live region once the
// keys pause, with the view as it then stands. Orca holds a live region's
// words for 100 ms and drops them at the next key press, and Chromium takes
// tens of ms to pass them on: said at each keystroke, the verdict that the
// "1" of "170" changed was never heard. The same words again are made a
// change of the region's text, so that they are spoken.
const speechPause = 1000;  // ms without a key; a busy device may hold back keys typed together this long
const toSpeak = { verdict: false, warnings: false, note: false };
let lastView = null;
let speechTimer = 0;
const speakLater = () => { clearTimeout(speechTimer); speechTimer = setTimeout(speakNow, speechPause); };
function speakNow() {
  speechTimer = 0;
  const lines = [...(toSpeak.verdict ? [lastView.verdict] : []), ...(toSpeak.warnings ? lastView.warnings : []),
    ...(toSpeak.note ? [lastView.note] : [])].filter(Boolean);
  for (const line in toSpeak) toSpeak[line] = false;
  if (lines.length === 0) return;
  const spoken = byId('spoken');
  const text = lines.join(' ');
  spoken.textContent = spoken.textContent === text ? `${text}\u00a0` : text;
}
function speak(view) {
  lastView = view;
  for (const line in toSpeak) toSpeak[line] ||= view.announce[line];
  if (Object.values(toSpeak).some(Boolean)) speakLater();
}

// The envelope chart, drawn where the core's numbers say, in the units of the
// chart as the core last laid it out: on screen a unit a pixel, its words as
// large as the read-outs beside it; on paper a picture of its own.
const svg = (name, attributes, text = '') => {
  const element = document.createElementNS('http://www.w3.org/2000/svg', name);
  for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
  element.textContent = text;
  return element;
};
const points = (list) => list.map((point) => point.join(',')).join(' ');

// A text of the chart, a tspan a line.
function placeText(element, { x, lines, anchor, limit }) {
  element.setAttribute('text-anchor', anchor);
  element.classList.toggle('limit', limit);
  element.replaceChildren(...lines.map(([line, y]) => svg('tspan', { x, y }, line)));
  return element;
}

// The chart's frame (its size, grid, figures and the area within limits):
// the same for every sheet, drawn again only when the chart is laid out anew.
function drawChart(frame) {
  const [x, y, width, height] = frame.plot;
  const envelope = byId('envelope');
  envelope.setAttribute('viewBox', `0 0 ${frame.size.join(' ')}`);
  envelope.setAttribute('font-size', frame.textSize);
  for (const [key, value] of Object.entries({ x, y, width, height })) byId('plot').firstElementChild.setAttribute(key, value);
  byId('envelopeGrid').replaceChildren(svg('rect', { x, y, width, height, class: 'frame' }),
    ...frame.lines.map(([x1, y1, x2, y2]) => svg('line', { x1, y1, x2, y2 })),
    ...frame.texts.map((text) => placeText(svg('text', {}), text)));
  for (const id of ['envelopeArea', 'envelopeHatch']) byId(id).setAttribute('points', points(frame.area));
}

let chartSize = '';
function layOutChart() {
  if (document.documentElement.classList.contains('printing')) return;
  const width = byId('envelope').getBoundingClientRect().width;
  const textSize = parseFloat(getComputedStyle(byId('readouts')).fontSize);
  if (`${width} ${textSize}` === chartSize) return;
  chartSize = `${width} ${textSize}`;
  drawChart(JSON.parse(session.layoutChart(width, textSize)));
  show(session.view());
}

function showEnvelope(envelope) {
  setAttribute(byId('pilotLine'), 'points', points(envelope.pilotLine));
  const point = byId('envelopePoint');
  const label = byId('envelopeLabel');
  for (const part of [point, label]) part.toggleAttribute('hidden', envelope.point === null);
  if (envelope.point !== null) {
    setAttribute(point, 'transform', `translate(${envelope.point.join(' ')})`);
    if (point.dataset.within !== String(envelope.within)) point.dataset.within = envelope.within;
    const placed = JSON.stringify(envelope.label);
    if (label.dataset.placed !== placed) placeText(label, envelope.label).dataset.placed = placed;
  }
  put(byId('envelopeWords'), envelope.words);
}

let checksAt = null;  // the field "1 number to check" takes the pilot to

function show(json) {
  const view = JSON.parse(json);
  showEnvelope(view.envelope);
  weights.forEach((field, row) => putField(field, view.weight[row]));
  arms.forEach((field, row) => putField(field, view.arm[row]));
  descriptions.forEach((field, k) => putField(field, view.description[rowOf(FieldKind.Description, k)]));
  moments.forEach((cell, row) => put(cell, view.moment[row]));
  showResult(byId('grossWeight'), view.grossWeight, view.grossWeightVerdict, view.grossWeightWords);
  put(byId('grossMoment'), view.grossMoment);
  showResult(byId('flyCg'), view.flyCg, view.flyCgVerdict, view.flyCgWords);

  const scale = byId('scale');
  setAttribute(scale, 'aria-label', view.scaleWords);
  set(byId('scaleMarker'), 'hidden', view.scaleAt === null);
  if (view.scaleAt !== null && scale.style.getPropertyValue('--at') !== String(view.scaleAt)) {
    scale.style.setProperty('--at', view.scaleAt);
  }

  put(byId('verdict'), view.verdict);
  put(byId('checks'), view.checks);
  set(byId('checks'), 'hidden', view.checks === '');
  checksAt = view.checksAt;
  showList(byId('warnings'), view.warnings);
  put(byId('readouts'), view.readouts);
  put(byId('note'), view.note);
  put(byId('loadingsFrom'), view.loadingsFrom);
  byId('useClub').hidden = view.club !== 'offered';
  byId('clearLoadings').hidden = view.club !== 'none';
  loadingButtons.forEach((button, i) => {
    const { caption, canPress, whyNot, from } = view.loadings[i];
    set(button, 'disabled', !canPress);
    put(button, caption);
    set(button, 'title', whyNot || from);
    setAttribute(button, 'aria-pressed', i === view.marked);
  });
  speak(view);
  return view;
}

// A moment as the core writes it: seconds since 1970, and the offset of the
// device's time zone at that moment, in seconds east of UTC.
const momentOf = (date) => [date.getTime() / 1000, -60 * date.getTimezoneOffset()];

// A loadings file kept, its bytes in base64, in this browser only; false
// when the browser keeps nothing (private windows, storage turned off): the
// file is still used until the page is closed.
function keep([key, ...more], bytes, ...texts) {
  try {
    for (const name of [key, ...more]) localStorage.removeItem(name);
    if (bytes.length > 0) {
      localStorage.setItem(key, btoa(Array.from(bytes, (byte) => String.fromCharCode(byte)).join('')));
      more.forEach((name, k) => localStorage.setItem(name, texts[k]));
    }
    return true;
  } catch {
    // Whatever was kept before must not come back at the next visit in
    // place of what is used now.
    try { localStorage.removeItem(key); } catch { /* nothing is kept at all */ }
    return false;
  }
}

// A file kept, as fileOf gives it, or null.
function kept([key, ...more]) {
  try {
    const kept = localStorage.getItem(key);
    if (!kept) return null;
    const bytes = Uint8Array.from(atob(kept), (c) => c.charCodeAt(0));
    const [name, time, whole] = more.map((name) => localStorage.getItem(name) ?? '');
    const [sha256 = '', size = bytes.length] = whole.split(' ').filter(Boolean);
    const [modified = NaN, utcOffset = 0] = time.split(' ').filter(Boolean).map(Number);
    return { bytes, name, modified: [modified, utcOffset], sha256, size: Number(size) };
  } catch {
    return null;
  }
}

const keepFile = (keys, file) => keep(keys, file.bytes, file.name, file.modified.join(' '), `${file.sha256} ${file.size}`);

function keepLoadings(file) {
  byId('notKept').hidden = file ? keepFile(ownFile, file) : keep(ownFile, new Uint8Array());
}

// A file as the core takes it: the bytes the parser reads, and the SHA-256 of
// the whole, read a piece at a time so that a large file chosen by mistake is
// never held whole.
async function fileOf(blob, name, modified) {
  const piece = 1 << 20;
  const digest = new kq71wb.Sha256();
  try {
    for (let at = 0; at < blob.size; at += piece) digest.add(new Uint8Array(await blob.slice(at, at + piece).arrayBuffer()));
    return { bytes: new Uint8Array(await blob.slice(0, kq71wb.loadingsFileLimit()).arrayBuffer()), name, modified,
      sha256: digest.hex(), size: blob.size };
  } finally {
    digest.delete();
  }
}

const withFile = (file) => session.useLoadings(file.bytes, file.name, file.modified, file.sha256, file.size);
const offerClub = (file, fetched) => session.offerClubLoadings(file.bytes, file.modified, file.sha256, file.size, fetched);

// The club's kq71wb.dat beside the page, fetched at every visit with a
// network; without one, or while the server fails, the copy kept stands. No
// file there (or the server's page for a missing one, in HTML) is none.
async function fetchClubLoadings() {
  let response;
  try {
    response = await fetch('kq71wb.dat', { cache: 'no-cache' });
  } catch {
    return;
  }
  if (response.status >= 500) return;
  const isFile = response.ok && !/html/.test(response.headers.get('content-type') ?? '');
  const lastModified = response.headers.get('last-modified');
  const file = await fileOf(isFile ? await response.blob() : new Blob(), '',
    lastModified ? momentOf(new Date(lastModified)) : [NaN, 0]);
  const json = offerClub(file, true);
  if (JSON.parse(json).taken || file.bytes.length === 0) keepFile(clubFile, file);
  show(json);
}

// A file, chosen, dropped or typed. A file the core refuses (it gave no
// loading) is not kept: the loadings stay. `name` is the chosen file's, or
// empty for typed loadings; `modified` when it was last changed (typed ones:
// now). Files are used one after another, in the order given, the section
// busy meanwhile.
async function readLoadings(blob, name, modified) {
  const file = await fileOf(blob, name, modified);
  const json = withFile(file);
  if (JSON.parse(json).taken) keepLoadings(file);
  show(json);
}
let reading = Promise.resolve();
function useLoadings(blob, name, modified) {
  const section = byId('loadingsFile');
  section.setAttribute('aria-busy', 'true');
  const read = reading.then(() => readLoadings(blob, name, modified));
  const last = read.catch(() => {});
  reading = last;
  last.then(() => { if (reading === last) section.removeAttribute('aria-busy'); });
  return read;
}

const useFile = (file) => useLoadings(file, file.name, momentOf(new Date(file.lastModified)));

const fieldAt = ([kind, row]) => (kind === FieldKind.Weight ? weights : arms)[row];

// The read-outs follow the caret: the core hears where it went, unless the
// core sent it there itself.
let caretTold = `${FieldKind.Moment} -1`;
function tellCaret(kind, row) {
  if (caretTold === `${kind} ${row}`) return;
  caretTold = `${kind} ${row}`;
  show(session.focus(kind, row));
}

// On to the field the core names (the pilot's weight), as on the desktop; a
// focus that is already there gets no focus event to select its text.
function pressLoading(index) {
  const { caretTo } = show(session.pressLoading(index));
  if (!caretTo) return;
  caretTold = caretTo.join(' ');
  fieldAt(caretTo).focus();
  fieldAt(caretTo).select();
}

// The printed load sheet: its lines above and below the sheet, the chart as
// on paper, and the whole fitted to one page of A5, the smallest it is
// printed on, in the layout the paper gets (the print rules of style.css).
const fitSteps = 14;
function preparePrint() {
  const lines = JSON.parse(session.loadSheet(momentOf(new Date())));
  for (const [part, id] of [[lines.above, 'loadSheetAbove'], [lines.below, 'loadSheetBelow']])
    byId(id).replaceChildren(...part.map((line) => Object.assign(document.createElement('p'), { textContent: line })));
  const root = document.documentElement;
  root.classList.add('printing', 'fitting');
  chartSize = 'paper';
  drawChart(JSON.parse(session.layoutChartForPaper()));
  show(session.view());
  const main = document.querySelector('main');
  for (let fit = 0; fit <= fitSteps; ++fit) {
    root.style.setProperty('--fit', fit);
    if (main.scrollHeight <= main.clientHeight) break;
  }
  root.classList.remove('fitting');
}

function endPrint() {
  document.documentElement.classList.remove('printing');
  document.documentElement.style.removeProperty('--fit');
  layOutChart();
}

function wire() {
  const limits = kq71wb.limitCaptions();
  all('.limits .limit').forEach((item, k) => put(item, limits[k]));
  const [forward, aft] = kq71wb.scaleLimits();
  const bands = document.querySelector('.bands');
  bands.style.setProperty('--forward', forward);
  bands.style.setProperty('--aft', aft);
  const name = (field, kind, row) => field.setAttribute('aria-label', kq71wb.fieldName(kind, row));
  for (const [fields, kind] of editedFields) fields.forEach((field, k) => name(field, kind, rowOf(kind, k)));
  loadingButtons.forEach((button, i) => button.addEventListener('click', () => pressLoading(i)));

  for (const [fields, kind] of editedFields) {
    fields.forEach((field, k) => {
      field.addEventListener('input', () => show(session.edit(kind, rowOf(kind, k), field.value)));
      // In an item's weight or arm the read-outs first say what that item may weigh.
      field.addEventListener('focus', () => { field.select(); tellCaret(kind, rowOf(kind, k)); });
      field.addEventListener('blur', () => tellCaret(FieldKind.Moment, -1));
    });
  }
  // The ± key stands in sight while a weight or an arm has the focus; pressing
  // it keeps the focus, and the keypad, in the field, and the caret beside
  // the digits it was beside.
  const sign = byId('sign');
  let signed = null;
  for (const [fields, kind] of editedFields.filter(([, kind]) => kind !== FieldKind.Description)) {
    fields.forEach((field, row) => {
      field.addEventListener('focus', () => { signed = [field, kind, row]; sign.hidden = false; });
      field.addEventListener('blur', () => { sign.hidden = true; });
    });
  }
  sign.addEventListener('pointerdown', (event) => event.preventDefault());
  sign.addEventListener('click', () => {
    if (!signed) return;
    const [field, kind, row] = signed;
    field.setSelectionRange(...show(session.toggleSign(kind, row, field.selectionStart, field.selectionEnd)).caret);
  });
  byId('sheet').addEventListener('submit', (event) => event.preventDefault());
  // "1 number to check" takes the pilot to the field the warning names, in
  // sight under the verdict, to be mended.
  byId('checks').addEventListener('click', (event) => {
    if (!checksAt) return;
    event.preventDefault();
    const field = fieldAt(checksAt);
    field.focus({ preventScroll: true });
    field.scrollIntoView({ block: 'center' });
  });

  byId('chooseFile').addEventListener('change', (event) => {
    const [file] = event.target.files;
    if (file) useFile(file);
    event.target.value = '';
  });
  document.addEventListener('dragover', (event) => {
    if (!event.dataTransfer.types.includes('Files')) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
  });
  document.addEventListener('drop', (event) => {
    const [file] = event.dataTransfer.files;
    if (!file) return;
    event.preventDefault();
    useFile(file);
  });
  // Typed text is read as a chosen file is.
  byId('useTyped').addEventListener('click', () => useLoadings(new Blob([byId('typedFile').value]), '', momentOf(new Date())));
  // The pilot's own loadings forgotten: the club's, when there are any, come back.
  for (const id of ['clearLoadings', 'useClub']) {
    byId(id).addEventListener('click', () => {
      keepLoadings(null);
      show(session.clearLoadings());
    });
  }

  // Any key puts off what is to be spoken, which a screen reader would drop.
  document.addEventListener('keydown', () => speechTimer && speakLater(), true);
  // The whole result, spoken and shown as the note: the button, or F8 as on the desktop.
  byId('sayResult').addEventListener('click', () => show(session.sayResult()));
  document.addEventListener('keydown', (event) => {
    if (event.key !== 'F8' || event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) return;
    event.preventDefault();
    show(session.sayResult());
  });
  byId('print').addEventListener('click', () => window.print());
  // A report of a wrong figure: on the clipboard where the browser allows it
  // (not on a plain-http address), else shown for the pilot to copy.
  byId('report').addEventListener('click', async () => {
    const report = session.problemReport(momentOf(new Date()), navigator.userAgent);
    let copied = true;
    try { await navigator.clipboard.writeText(report); } catch { copied = false; }
    Object.assign(byId('reportText'), { value: report, hidden: copied });
    show(session.reported(copied));
  });
  window.addEventListener('beforeprint', preparePrint);
  window.addEventListener('afterprint', endPrint);
  // A turned phone, a wider window, or another text size lays the chart out anew.
  new ResizeObserver(layOutChart).observe(document.querySelector('.envelope'));
}

wire();
// Whatever was typed while the module loaded is handed over, not wiped.
for (const [fields, kind] of editedFields)
  fields.forEach((field, k) => field.value && session.edit(kind, rowOf(kind, k), field.value));
layOutChart();
const own = kept(ownFile);
if (own) show(withFile(own));
const club = kept(clubFile);
if (club) show(offerClub(club, false));
byId('loadingsFile').open = !own && !club;
document.documentElement.dataset.ready = '';
performance.mark('ready');
try { sessionStorage.removeItem(reloaded); } catch { /* nothing was kept */ }
registerWorker();
fetchClubLoadings();
