//# allFunctionsCalledOnLoad
// (That first line has Chromium compile every function here as the file
// comes, not each at its first call: nearly all of them run as the page opens.)
// The page's wiring: each field hands its text to the C++ core, and the page
// shows exactly the captions, verdicts and words of the view that comes back.
// Nothing is computed or worded here.
import createKq71wb from './kq71wb.js';

const storedLoadings = 'kq71wb.dat';
const storedName = 'kq71wb.dat name';  // the name of the file kept, for the load sheet
const storedTime = 'kq71wb.dat modified';  // and when it was last changed

// The script is async: the module is fetched and compiled, and the code of
// a first view with it (WebAssembly compiles each function at its first
// call), while the page's text and style still come. The page is filled
// once its HTML is all there.
const starting = createKq71wb().then((module) => {
  const opened = new module.Session();
  opened.view();
  return [module, opened, JSON.parse(opened.chartFrame())];
});
// The loadings kept on this device are read meanwhile: the browser opens its
// storage at the first reading, and the page waits for it.
const kept = keptLoadings();
if (document.readyState === 'loading') {
  await new Promise((parsed) => document.addEventListener('DOMContentLoaded', parsed));
}
/** @type {[import('./kq71wb').Kq71wb, import('./kq71wb').Session, object]} */
const [kq71wb, session, chartFrame] = await starting;
const { FieldKind } = kq71wb;

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

// The envelope chart, drawn where the core's numbers say, CG across and
// gross weight up.
const svg = (name, attributes, text = '') => {
  const element = document.createElementNS('http://www.w3.org/2000/svg', name);
  for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
  element.textContent = text;
  return element;
};
// The chart's frame (its size, grid, figures and the area within limits)
// never changes: it is drawn with the first view; each view after moves only
// the point and the pilot line.
let chart = null;
function drawChartFrame(frame) {
  const [left, top, width, height] = frame.plot;
  const [lowCg, lowWeight] = frame.lowest;
  const [highCg, highWeight] = frame.highest;
  const x = (cg) => left + ((cg - lowCg) / (highCg - lowCg)) * width;
  const y = (weight) => top + height - ((weight - lowWeight) / (highWeight - lowWeight)) * height;
  const points = (list) => list.map(([cg, weight]) => `${x(cg).toFixed(1)},${y(weight).toFixed(1)}`).join(' ');
  const bottom = top + height;
  byId('envelope').setAttribute('viewBox', `0 0 ${frame.size.join(' ')}`);
  for (const [key, value] of Object.entries({ x: left, y: top, width, height })) byId('plot').firstElementChild.setAttribute(key, value);
  byId('envelopeGrid').replaceChildren(
    svg('rect', { x: left, y: top, width, height, class: 'frame' }),
    ...frame.cgTicks.flatMap(({ at, label, limit }) => [svg('line', { x1: x(at), x2: x(at), y1: top, y2: bottom }),
      // The limits' figures stand above the chart, clear of the inches below.
      limit ? svg('text', { x: x(at), y: top - 6, class: 'limit' }, label)
        : svg('text', { x: x(at), y: bottom + 16, class: 'across' }, label)]),
    ...frame.weightTicks.flatMap(({ at, label }) => [svg('line', { x1: left, x2: left + width, y1: y(at), y2: y(at) }),
      svg('text', { x: left - 4, y: y(at) + 4, class: 'up' }, label)]),
    svg('text', { x: left + width / 2, y: bottom + 36, class: 'title' }, 'CG (in)'),
    svg('text', { x: left - 4, y: top - 12, class: 'up' }, 'lb'));
  byId('envelopeArea').setAttribute('points', points(frame.area));
  byId('envelopeHatch').setAttribute('points', points(frame.area));
  return { left, top, right: left + width, bottom, x, y, points };
}

function showEnvelope(envelope) {
  chart ??= drawChartFrame(chartFrame);
  const line = chart.points(envelope.pilotLine);
  setAttribute(byId('pilotLine'), 'points', line);
  const point = byId('envelopePoint');
  point.toggleAttribute('hidden', envelope.point === null);
  if (envelope.point !== null) {
    // A point off the chart stands at its edge; its label says where it is.
    const [cg, weight] = envelope.point;
    const at = [Math.min(Math.max(chart.x(cg), chart.left), chart.right), Math.min(Math.max(chart.y(weight), chart.top), chart.bottom)];
    setAttribute(point, 'transform', `translate(${at[0].toFixed(1)} ${at[1].toFixed(1)})`);
    if (point.dataset.within !== String(envelope.within)) point.dataset.within = envelope.within;
    const label = byId('envelopeLabel');
    put(label, envelope.label);
    setAttribute(label, 'class', at[0] > (chart.left + chart.right) / 2 ? 'end' : '');
    setAttribute(label, 'y', at[1] < chart.top + 20 ? 20 : -9);
  }
  put(byId('envelopeWords'), envelope.words);
}

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
  showList(byId('warnings'), view.warnings);
  put(byId('readouts'), view.readouts);
  put(byId('note'), view.note);
  loadingButtons.forEach((button, i) => {
    const { caption, canPress, whyNot, from } = view.loadings[i];
    set(button, 'disabled', !canPress);
    put(button, caption);
    set(button, 'title', whyNot || from);
    setAttribute(button, 'aria-pressed', i === view.marked);
  });
  speak(view);
}

// Where the page keeps a loadings file: its bytes in base64, in this browser
// only. A browser that keeps nothing (private windows, storage turned off)
// still uses the file until the page is closed.
function keepLoadings(bytes, name = '', modified = '') {
  try {
    for (const key of [storedLoadings, storedName, storedTime]) localStorage.removeItem(key);
    if (bytes.length > 0) {
      localStorage.setItem(storedLoadings, btoa(Array.from(bytes, (byte) => String.fromCharCode(byte)).join('')));
      localStorage.setItem(storedName, name);
      localStorage.setItem(storedTime, modified);
    }
    byId('notKept').hidden = true;
  } catch {
    // Whatever was kept before must not come back at the next visit in
    // place of what is used now.
    try { localStorage.removeItem(storedLoadings); } catch { /* nothing is kept at all */ }
    byId('notKept').hidden = false;
  }
}

function keptLoadings() {
  try {
    const kept = localStorage.getItem(storedLoadings);
    return kept ? [Uint8Array.from(atob(kept), (c) => c.charCodeAt(0)), localStorage.getItem(storedName) ?? '',
      localStorage.getItem(storedTime) ?? ''] : null;
  } catch {
    return null;
  }
}

// A file the core refuses (it gave no loading) is not kept: the loadings stay.
// `name` is the chosen file's, or empty for typed loadings; `modified` when
// it was last changed (typed ones: now), for the load sheet.
function useLoadings(bytes, name = '', modified = madeAt(new Date())) {
  const json = session.useLoadings(bytes, name, modified);
  if (JSON.parse(json).taken) keepLoadings(bytes, name, modified);
  show(json);
}

async function useFile(file) {
  useLoadings(new Uint8Array(await file.slice(0, kq71wb.loadingsFileLimit()).arrayBuffer()), file.name,
    madeAt(new Date(file.lastModified)));
}

function pressLoading(index) {
  show(session.pressLoading(index));
  // On to the pilot's weight, as on the desktop; a focus that is already
  // there gets no focus event to select its text.
  weights[1].focus();
  weights[1].select();
}

function madeAt(now) {
  const two = (n) => String(n).padStart(2, '0');
  return `${now.getFullYear()}-${two(now.getMonth() + 1)}-${two(now.getDate())} ${two(now.getHours())}:${two(now.getMinutes())}`;
}

// The load sheet's lines, above and below the sheet, where only print shows them.
function fillLoadSheet() {
  const lines = JSON.parse(session.loadSheet(madeAt(new Date())));
  for (const [part, id] of [[lines.above, 'loadSheetAbove'], [lines.below, 'loadSheetBelow']])
    byId(id).replaceChildren(...part.map((line) => Object.assign(document.createElement('p'), { textContent: line })));
}

function wire() {
  const name = (field, kind, row) => field.setAttribute('aria-label', kq71wb.fieldName(kind, row));
  for (const [fields, kind] of editedFields) fields.forEach((field, k) => name(field, kind, rowOf(kind, k)));
  loadingButtons.forEach((button, i) => button.addEventListener('click', () => pressLoading(i)));

  for (const [fields, kind] of editedFields) {
    fields.forEach((field, k) => {
      field.addEventListener('input', () => show(session.edit(kind, rowOf(kind, k), field.value)));
      // The read-outs follow the caret: in an item's weight or arm they
      // first say what that item may weigh.
      field.addEventListener('focus', () => { field.select(); show(session.focus(kind, rowOf(kind, k))); });
      field.addEventListener('blur', () => show(session.focus(FieldKind.Moment, -1)));
    });
  }
  // The ± key stands in sight while a weight or an arm has the focus; pressing
  // it keeps the focus, and the keypad, in the field.
  const sign = byId('sign');
  let signed = null;
  for (const [fields, kind] of editedFields.filter(([, kind]) => kind !== FieldKind.Description)) {
    fields.forEach((field, row) => {
      field.addEventListener('focus', () => { signed = [kind, row]; sign.hidden = false; });
      field.addEventListener('blur', () => { sign.hidden = true; });
    });
  }
  sign.addEventListener('pointerdown', (event) => event.preventDefault());
  sign.addEventListener('click', () => signed && show(session.toggleSign(...signed)));
  byId('sheet').addEventListener('submit', (event) => event.preventDefault());

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
  // Typed text is cut to the part the parser reads, as a chosen file is.
  byId('useTyped').addEventListener('click', () => useLoadings(
    new TextEncoder().encode(byId('typedFile').value).slice(0, kq71wb.loadingsFileLimit())));
  byId('clearLoadings').addEventListener('click', () => {
    keepLoadings(new Uint8Array());
    show(session.clearLoadings());
  });

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
  window.addEventListener('beforeprint', fillLoadSheet);
}

wire();
// Whatever was typed while the module loaded is handed over, not wiped.
for (const [fields, kind] of editedFields)
  fields.forEach((field, k) => field.value && session.edit(kind, rowOf(kind, k), field.value));
show(session.view());
if (kept) show(session.useLoadings(...kept));
byId('loadingsFile').open = !kept;
document.documentElement.dataset.ready = '';
performance.mark('ready');

// Served from a file or an insecure origin, the page works without it, only not offline.
if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => {});
