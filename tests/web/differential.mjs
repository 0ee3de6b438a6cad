// The differential test: every case that differential_cases writes, with the
// native build's answer, is put to the WebAssembly module under Node, which
// must answer the same, byte for byte and bit for bit.
//   node tests/web/differential.mjs build-wasm/node/kq71wb.mjs build/tests/web/differential_cases [sequences] [seed]
// It knows no case and no rule of its own: it makes the call each line names
// and compares what comes back, field by field.
import { spawn } from 'node:child_process';
import { createInterface } from 'node:readline';
import { pathToFileURL } from 'node:url';
import { resolve } from 'node:path';

const [modulePath, casesProgram, ...caseArguments] = process.argv.slice(2);
if (!modulePath || !casesProgram) {
  console.error('usage: differential.mjs <kq71wb.mjs> <differential_cases> [sequences] [seed]');
  process.exit(2);
}
const { default: createKq71wb } = await import(pathToFileURL(resolve(modulePath)).href);
const kq71wb = await createKq71wb();

const bits = new DataView(new ArrayBuffer(8));
const bitsOf = (number) => {
  bits.setFloat64(0, number);
  return bits.getBigUint64(0).toString(16).padStart(16, '0');
};
const doubleOf = (hex) => {
  bits.setBigUint64(0, BigInt('0x' + hex));
  return bits.getFloat64(0);
};
const isTagged = (value, tag) => value !== null && typeof value === 'object' && !Array.isArray(value) && tag in value;

// Arguments as the module takes them: doubles from their bits, file bytes as a Uint8Array.
const argumentOf = (value) => {
  if (isTagged(value, 'f64')) return doubleOf(value.f64);
  if (isTagged(value, 'bytes')) return Uint8Array.from(value.bytes.match(/../g) ?? [], (pair) => parseInt(pair, 16));
  return value;
};

// A result as plain data: a vector the module holds becomes an array, and is freed.
const plain = (value) => {
  if (value !== null && typeof value === 'object' && typeof value.size === 'function' && typeof value.get === 'function') {
    const items = Array.from({ length: value.size() }, (_, i) => value.get(i));
    value.delete();
    return items;
  }
  if (Array.isArray(value)) return value.map(plain);
  if (value !== null && typeof value === 'object')
    return Object.fromEntries(Object.entries(value).map(([key, field]) => [key, plain(field)]));
  return value;
};

// Where the answer first differs from the expected one, or null.
const differenceOf = (actual, expected, where) => {
  if (isTagged(expected, 'f64')) {
    return typeof actual === 'number' && bitsOf(actual) === expected.f64
      ? null
      : `${where}: ${typeof actual === 'number' ? bitsOf(actual) : typeof actual} is not ${expected.f64}`;
  }
  if (Array.isArray(expected)) {
    if (!Array.isArray(actual) || actual.length !== expected.length) return `${where}: ${JSON.stringify(actual)} is not ${JSON.stringify(expected)}`;
    for (let i = 0; i < expected.length; ++i) {
      const difference = differenceOf(actual[i], expected[i], `${where}[${i}]`);
      if (difference) return difference;
    }
    return null;
  }
  if (expected !== null && typeof expected === 'object') {
    if (actual === null || typeof actual !== 'object') return `${where}: ${JSON.stringify(actual)} is not an object`;
    const names = Object.keys(expected).sort().join();
    if (Object.keys(actual).sort().join() !== names) return `${where}: fields ${Object.keys(actual).sort()} are not ${names}`;
    for (const key of Object.keys(expected)) {
      const difference = differenceOf(actual[key], expected[key], `${where}.${key}`);
      if (difference) return difference;
    }
    return null;
  }
  return Object.is(actual, expected) ? null : `${where}: ${JSON.stringify(actual)} is not ${JSON.stringify(expected)}`;
};

const cases = spawn(resolve(casesProgram), caseArguments, { stdio: ['ignore', 'pipe', 'inherit'] });
const finished = new Promise((done) => cases.on('close', done));
const counts = new Map();
let differences = 0;
let line = 0;
for await (const text of createInterface({ input: cases.stdout })) {
  ++line;
  const { call, args, result } = JSON.parse(text);
  if (typeof kq71wb[call] !== 'function') {
    console.error(`line ${line}: the module has no ${call}`);
    process.exit(1);
  }
  counts.set(call, (counts.get(call) ?? 0) + 1);
  const difference = differenceOf(plain(kq71wb[call](...args.map(argumentOf))), result, call);
  if (difference && ++differences <= 10) console.error(`line ${line}: ${difference}\n  arguments: ${JSON.stringify(args).slice(0, 600)}`);
}
const status = await finished;
for (const [call, count] of counts) console.log(`${String(count).padStart(7)} ${call}`);
if (status !== 0) {
  console.error(`differential_cases failed (status ${status})`);
  process.exit(1);
}
if (line === 0) {
  console.error('No cases were written');
  process.exit(1);
}
if (differences > 0) {
  console.error(`${differences} of ${line} answers differ between the native build and the WebAssembly module`);
  process.exit(1);
}
console.log(`All ${line} answers of the WebAssembly module are those of the native build.`);
