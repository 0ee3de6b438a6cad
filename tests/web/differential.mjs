// The differential test: every call that differential_cases writes, with the
// native build's answer, is made of the WebAssembly module under Node, which
// must give the very same answer, byte for byte. It knows no case and no rule
// of its own.
//   node tests/web/differential.mjs build-wasm/node/kq71wb.mjs build/tests/web/differential_cases [sequences] [seed]
import { spawn } from 'node:child_process';
import { createInterface } from 'node:readline';
import { pathToFileURL } from 'node:url';
import { resolve } from 'node:path';

const [modulePath, casesProgram, ...caseArguments] = process.argv.slice(2);
const { default: createKq71wb } = await import(pathToFileURL(resolve(modulePath)).href);
const kq71wb = await createKq71wb();

// File bytes travel in hexadecimal and reach the module as a Uint8Array;
// field kinds by name, as the module's enum.
const argumentOf = (value) => {
  if (value?.field !== undefined) return kq71wb.FieldKind[value.field];
  if (value?.hex !== undefined) return Uint8Array.from(value.hex.match(/../g) ?? [], (pair) => parseInt(pair, 16));
  return value;
};

const cases = spawn(resolve(casesProgram), caseArguments, { stdio: ['ignore', 'pipe', 'inherit'] });
const finished = new Promise((done) => cases.on('close', done));
let session;
let lines = 0;
let differences = 0;
for await (const text of createInterface({ input: cases.stdout })) {
  ++lines;
  const { call, args, result } = JSON.parse(text);
  if (call === 'new') {
    session?.delete();
    session = new kq71wb.Session();
  }
  const answer = call === 'new' ? session.view() : session[call](...args.map(argumentOf));
  if (answer !== result && ++differences <= 5)
    console.error(`line ${lines}: ${call}(${JSON.stringify(args).slice(0, 300)})\n  native: ${result}\n  wasm:   ${answer}`);
}
const status = await finished;
if (status !== 0 || lines === 0 || differences > 0) {
  console.error(`differential_cases ended with status ${status}; ${differences} of ${lines} answers differ`);
  process.exit(1);
}
console.log(`All ${lines} answers of the WebAssembly module are those of the native build.`);
