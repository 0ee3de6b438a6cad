// The page's declaration of the core's answers (web/kq71wb.d.ts) held to the
// answers themselves: each JSON answer that differential_cases writes has the
// members that its Session method's Json<T> declares, nested ones included,
// every member it does not mark optional, and nothing else; and each optional
// member turns up somewhere. Each field kind the cases give is numbered as the
// core numbers it, and each one declared is given. ctest runs it
// (tests/web/CMakeLists.txt).
//   node tests/web/declaration.mjs web/kq71wb.d.ts build/tests/web/differential_cases [sequences] [seed]
import { spawn } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createInterface } from 'node:readline';
import { resolve } from 'node:path';

const [declarationFile, casesProgram, ...caseArguments] = process.argv.slice(2);
let declaration = readFileSync(declarationFile, 'utf8').replace(/\/\/.*$/gm, '');

// Each object type, innermost first, is read into its members (name -> { optional, type, seen }), one a
// line or between semicolons, a method's type being what it returns, and stands as §n in the text
// around it, so that a member's type names the object types it holds.
const shapes = [];
for (let inner; (inner = declaration.match(/\{([^{}]*)\}/));) {
  const members = new Map();
  for (const text of inner[1].split(/[;\n]/).map((line) => line.trim()).filter(Boolean)) {
    const member = text.match(/^(?:new\s*)?(\w*)(\??)\s*(?:\([^)]*\))?:\s*(.+)$/);
    if (!member) throw new Error(`${declarationFile}: a member this check cannot read: ${text}`);
    members.set(member[1], { optional: member[2] === '?', type: member[3], seen: 0 });
  }
  declaration = declaration.replace(inner[0], `§${shapes.push({ members, checked: 0 }) - 1}`);
}
const interfaces = new Map([...declaration.matchAll(/interface (\w+) §(\d+)/g)].map(([, name, n]) => [name, shapes[n]]));
// The object type that every object in a member's value (in lists at any depth) must be, or none.
const shapeOf = (type) => (type.replace(/'[^']*'/g, '').match(/§\d+|\w+/g) ?? [])
  .map((word) => (word.startsWith('§') ? shapes[word.slice(1)] : interfaces.get(word))).find(Boolean) ?? null;

const faults = new Set();
function check(value, shape, path) {
  if (Array.isArray(value)) value.forEach((item) => check(item, shape, `${path}[]`));
  if (value === null || typeof value !== 'object' || Array.isArray(value)) return;
  if (!shape) {
    faults.add(`${path} is an object the declaration does not declare`);
    return;
  }
  shape.at ??= path;
  ++shape.checked;
  for (const [name, item] of Object.entries(value)) {
    const member = shape.members.get(name);
    if (member) ++member.seen;
    if (!member) faults.add(`${path}.${name} is not declared`);
    else if (item === null && !/\bnull\b/.test(member.type)) faults.add(`${path}.${name} is null, which is not declared`);
    else check(item, shapeOf(member.type), `${path}.${name}`);
  }
}

const methods = interfaces.get('Session').members;
const fieldKinds = interfaces.get('FieldKinds').members;
const cases = spawn(resolve(casesProgram), caseArguments, { stdio: ['ignore', 'pipe', 'inherit'] });
const finished = new Promise((done) => cases.on('close', done));
let answers = 0;
for await (const line of createInterface({ input: cases.stdout })) {
  const { call, args, result } = JSON.parse(line);
  for (const { field, kind } of args.filter((arg) => arg?.field !== undefined)) {
    const declared = fieldKinds.get(field);
    if (declared?.type !== String(kind)) faults.add(`FieldKinds declares ${field}: ${declared?.type}; the core numbers it ${kind}`);
    else ++declared.seen;
  }
  const method = methods.get(call === 'new' ? 'view' : call);
  if (!method) {
    faults.add(`Session declares no ${call}`);
    continue;
  }
  const [, type] = method.type.match(/^Json<(\w+)>$/) ?? [];
  if (!type) continue;  // an answer in plain text
  ++answers;
  check(JSON.parse(result), interfaces.get(type), `${call}()`);
}
for (const [field, { seen }] of fieldKinds) if (!seen) faults.add(`FieldKinds declares ${field}, which no case gives`);
// A member not marked optional is in every object of its type, an optional one in some.
for (const { members, checked, at } of shapes.filter((shape) => shape.checked)) {
  for (const [name, { optional, seen }] of members) {
    if (seen < (optional ? 1 : checked)) faults.add(`${at} ${optional ? 'declares' : 'lacks'} "${name}", which ${seen} of ${checked} have`);
  }
}
const status = await finished;
if (status !== 0 || answers === 0 || faults.size > 0) {
  for (const fault of faults) console.error(fault);
  console.error(`differential_cases ended with status ${status}; its ${answers} answers and ${declarationFile} differ as above`);
  process.exit(1);
}
console.log(`All ${answers} JSON answers have the members ${declarationFile} declares.`);
