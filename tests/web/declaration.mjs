// The page's declaration of the core's answers (web/kq71wb.d.ts) held to the
// answers themselves: each JSON answer that differential_cases writes has the
// members that its Session method's Json<T> declares, nested ones included,
// every member it does not mark optional, and nothing else; and each optional
// member turns up somewhere. ctest runs it (tests/web/CMakeLists.txt).
//   node tests/web/declaration.mjs web/kq71wb.d.ts build/tests/web/differential_cases [sequences] [seed]
import { spawn } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createInterface } from 'node:readline';
import { resolve } from 'node:path';

const [declarationFile, casesProgram, ...caseArguments] = process.argv.slice(2);
const declaration = readFileSync(declarationFile, 'utf8').replace(/\/\/.*$/gm, '');

// Where the bracket opened at `open` closes.
function closing(text, open) {
  for (let k = open, depth = 0; k < text.length; ++k) {
    if ('{[(<'.includes(text[k])) ++depth;
    else if ('}])>'.includes(text[k]) && text[k - 1] !== '=' && --depth === 0) return k;
  }
  throw new Error(`${declarationFile}: a bracket never closes: ${text.slice(open, open + 60)}`);
}

// An object type's members, name -> { optional, type }, split at the
// semicolons and line ends outside brackets; a method's type is what it returns.
function membersOf(body) {
  const members = new Map();
  for (let k = 1, start = 1; k < body.length; ++k) {
    if ('{[(<'.includes(body[k])) k = closing(body, k);
    if (!';\n'.includes(body[k]) && k < body.length - 1) continue;
    const text = body.slice(start, k + 1).trim().replace(/[;}]$/, '').trim();
    start = k + 1;
    if (text === '') continue;
    const member = text.match(/^(\w+)(\??)(?:\([^)]*\))?:\s*([\s\S]+)$/);
    if (!member) throw new Error(`${declarationFile}: a member this check cannot read: ${text}`);
    const [, name, optional, type] = member;
    members.set(name, { optional: optional === '?', type: type.trim() });
  }
  return members;
}

const interfaces = new Map();
for (const { index, 1: name } of declaration.matchAll(/interface (\w+) /g)) {
  const open = declaration.indexOf('{', index);
  interfaces.set(name, declaration.slice(open, closing(declaration, open) + 1));
}

// The one object type a member's type holds, written in it or named, that
// every object in its value (in lists at any depth) must be; or none.
const shapes = new Map();  // an interface's name or an object type's text -> { name, members, seen }
function shapeOf(type, name) {
  const open = type.indexOf('{');
  const body = open >= 0 ? type.slice(open, closing(type, open) + 1) : '';
  const named = new Set((type.replace(body, '').replace(/'[^']*'/g, '').match(/\w+/g) ?? [])
    .filter((word) => interfaces.has(word)));
  const key = body || [...named][0];
  if (named.size + (body ? 1 : 0) > 1) throw new Error(`${declarationFile}: ${name} holds more than one object type: ${type}`);
  if (key && !shapes.has(key))
    shapes.set(key, { name: body ? name : key, members: membersOf(body || interfaces.get(key)), seen: new Set() });
  return shapes.get(key) ?? null;
}

const faults = new Set();
function check(value, shape, path) {
  if (value === null || typeof value !== 'object') return;
  if (Array.isArray(value)) {
    for (const item of value) check(item, shape, `${path}[]`);
    return;
  }
  if (!shape) {
    faults.add(`${path} is an object the declaration does not declare`);
    return;
  }
  for (const [name, member] of shape.members) {
    if (!member.optional && !(name in value)) faults.add(`${path} lacks "${name}", which ${shape.name} declares`);
  }
  for (const [name, item] of Object.entries(value)) {
    const member = shape.members.get(name);
    if (!member) {
      faults.add(`${path}.${name} is not declared in ${shape.name}`);
      continue;
    }
    shape.seen.add(name);
    if (item === null && !/\bnull\b/.test(member.type)) faults.add(`${path}.${name} is null, which ${shape.name} does not allow`);
    check(item, shapeOf(member.type, `${shape.name}.${name}`), `${path}.${name}`);
  }
}

const methods = membersOf(interfaces.get('Session'));
const cases = spawn(resolve(casesProgram), caseArguments, { stdio: ['ignore', 'pipe', 'inherit'] });
const finished = new Promise((done) => cases.on('close', done));
let answers = 0;
for await (const line of createInterface({ input: cases.stdout })) {
  const { call, result } = JSON.parse(line);
  const method = methods.get(call === 'new' ? 'view' : call);
  if (!method) {
    faults.add(`Session declares no ${call}`);
    continue;
  }
  const [, type] = method.type.match(/^Json<(\w+)>$/) ?? [];
  if (!type) continue;  // an answer in plain text
  ++answers;
  check(JSON.parse(result), shapeOf(type), `${call}()`);
}
for (const { name, members, seen } of shapes.values()) {
  for (const member of members.keys()) {
    if (!seen.has(member)) faults.add(`${name} declares "${member}", which no answer has`);
  }
}
const status = await finished;
if (status !== 0 || answers === 0 || faults.size > 0) {
  for (const fault of faults) console.error(fault);
  console.error(`differential_cases ended with status ${status}; its ${answers} answers and ${declarationFile} differ as above`);
  process.exit(1);
}
console.log(`All ${answers} JSON answers have the members ${declarationFile} declares.`);
