// The page's wiring: each field hands its text to the C++ core and the page
// shows exactly the captions, colours and words that come back. Nothing is
// computed or worded here.
import createKq71wb from './kq71wb.js';

const kq71wb = await createKq71wb();

const FieldKind = { weight: 0, arm: 1, moment: 2, description: 3 };
const byId = (id) => document.getElementById(id);
const all = (selector) => [...document.querySelectorAll(selector)];
const weights = all('#sheet input.weight');
const arms = all('#sheet input.arm');
const moments = all('#sheet td.moment output');
const descriptions = all('#sheet input.description');
const loadingButtons = all('button.loading');

// An OleColor (0x00BBGGRR) as CSS.
const cssColor = (color) => '#' + [color & 0xff, (color >> 8) & 0xff, (color >> 16) & 0xff]
  .map((channel) => channel.toString(16).padStart(2, '0')).join('');

let sheet = kq71wb.calc({
  weight: weights.map(() => ''), arm: arms.map(() => ''), moment: moments.map(() => ''),
  grossWeight: '', grossMoment: '', flyCg: '', grossWeightVerdict: -1, flyCgVerdict: -1,
  hasSliderValue: false, sliderValue: 0, totalsStale: false,
}).sheet;
let pass = null;
let loadings = [];
let markedLoading = -1;

function showResult(output, caption, color, words) {
  output.value = caption;
  if (color >= 0) output.style.backgroundColor = cssColor(color);
  output.title = words;
}

function show() {
  moments.forEach((output, row) => { output.value = sheet.moment[row]; });
  showResult(byId('grossWeight'), sheet.grossWeight, pass.grossWeightColor, pass.grossWeightWords);
  byId('grossMoment').value = sheet.grossMoment;
  showResult(byId('flyCg'), sheet.flyCg, pass.flyCgColor, pass.flyCgWords);

  const scale = byId('scale');
  scale.setAttribute('aria-label', pass.scaleWords);
  byId('scaleMarker').hidden = !sheet.hasSliderValue;
  scale.style.setProperty('--tenths', sheet.sliderValue);

  const status = pass.faultStep >= 0 ? pass.faultWords : pass.statusWords;
  if (byId('status').textContent !== status) byId('status').textContent = status;
  byId('readouts').textContent = pass.readoutWords;
}

function calc() {
  pass = kq71wb.calc({ ...sheet, weight: weights.map((field) => field.value), arm: arms.map((field) => field.value) });
  sheet = pass.sheet;
  show();
}

function markLoading(index) {
  markedLoading = index;
  loadingButtons.forEach((button, i) => button.setAttribute('aria-pressed', String(i === index)));
}

function showLoadings() {
  loadingButtons.forEach((button, i) => {
    const name = loadings[i]?.name ?? '';
    button.textContent = name || `Loading ${i + 1}`;
    button.disabled = loadings.length === 0;
  });
}

function pressLoading(index) {
  weights[0].value = loadings[index].weight;
  arms[0].value = loadings[index].arm;
  markLoading(index);
  calc();
  weights[1].focus();
  weights[1].select();
}

async function importLoadings(file) {
  loadings = kq71wb.parseLoadings(new Uint8Array(await file.arrayBuffer()));
  markLoading(-1);
  showLoadings();
}

function printedAt(now) {
  const two = (n) => String(n).padStart(2, '0');
  return `${now.getFullYear()}-${two(now.getMonth() + 1)}-${two(now.getDate())} ${two(now.getHours())}:${two(now.getMinutes())}`;
}

// The load sheet's words, from the core, above and below the sheet where only print shows them.
function fillLoadSheet() {
  const heading = {
    printedAt: printedAt(new Date()),
    program: kq71wb.program(),
    loading: markedLoading >= 0 ? loadings[markedLoading].name : '',
  };
  const lines = kq71wb.loadSheet(sheet, pass.faultStep, pass.faultRow, heading);
  for (const [list, id] of [[lines.above, 'loadSheetAbove'], [lines.below, 'loadSheetBelow']]) {
    byId(id).replaceChildren(...Array.from({ length: list.size() }, (_, i) => {
      const line = document.createElement('p');
      line.textContent = list.get(i);
      return line;
    }));
    list.delete();
  }
  byId('loadSheetAbove').firstChild.className = 'title';
}

function wire() {
  weights.forEach((field, row) => field.setAttribute('aria-label', kq71wb.fieldName(FieldKind.weight, row)));
  arms.forEach((field, row) => field.setAttribute('aria-label', kq71wb.fieldName(FieldKind.arm, row)));
  moments.forEach((output, row) => output.setAttribute('aria-label', kq71wb.fieldName(FieldKind.moment, row)));
  descriptions.forEach((field, k) => field.setAttribute('aria-label', kq71wb.fieldName(FieldKind.description, k + 2)));
  for (const field of [...weights, ...arms, ...descriptions])
    field.addEventListener('focus', () => field.select());
  for (const field of [...weights, ...arms])
    field.addEventListener('input', calc);
  loadingButtons.forEach((button, i) => button.addEventListener('click', () => pressLoading(i)));
  byId('loadingsFile').addEventListener('change', (event) => {
    const [file] = event.target.files;
    if (file) importLoadings(file);
  });
  byId('print').addEventListener('click', () => window.print());
  window.addEventListener('beforeprint', fillLoadSheet);
}

wire();
calc();
weights[0].focus();
