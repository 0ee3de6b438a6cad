// The module under Node trusts no caller: a field kind, row or loading its
// core lacks, a deleted session, and a text it has no memory for are each
// refused with an error that says so, and the session goes on.
//   node tests/web/binding.mjs build-wasm/node/kq71wb.mjs
import assert from 'node:assert/strict';
import { pathToFileURL } from 'node:url';
import { resolve } from 'node:path';

const { default: createKq71wb } = await import(pathToFileURL(resolve(process.argv[2])).href);
const kq71wb = await createKq71wb();
const { FieldKind } = kq71wb;
const session = new kq71wb.Session();
session.edit(FieldKind.Weight, 0, '600');
const deleted = new kq71wb.Session();
deleted.delete();

// The sparse arrays cost no memory until written: 2 GiB is more than the
// module addresses, 2 GiB less a byte more than its memory grows to.
const refusals = [
  ['a field kind the core lacks', () => session.edit(7, 1, '170'), 'There is no field kind 7.'],
  ['a negative field kind', () => session.focus(-1, 2), 'There is no field kind -1.'],
  ['a name of a field kind the core lacks', () => kq71wb.fieldName(4, 2), 'There is no field kind 4.'],
  ['a row past the sheet', () => session.edit(FieldKind.Weight, 8, '170'), 'There is no row 8 (rows are 0 to 7).'],
  ['no row where a field is needed', () => session.toggleSign(FieldKind.Arm, -1, 0, 0), 'There is no row -1 (rows are 0 to 7).'],
  ['a loading past the four', () => session.pressLoading(4), 'There is no loading 4 (loadings are 0 to 3).'],
  ['a row that is no whole number', () => session.edit(FieldKind.Weight, 1.5, '170'), '1.5 is not a field kind, row or loading.'],
  ['a row that 32 bits would wrap to 1', () => session.focus(FieldKind.Arm, 2 ** 32 + 1), '4294967297 is not a field kind, row or loading.'],
  ['no field kind at all', () => session.toggleSign(undefined, 1, 0, 0), 'undefined is not a field kind, row or loading.'],
  ['a text past what the module addresses', () => session.problemReport([0, 0], new Uint8Array(2 ** 31)),
   'Not enough memory for a text of 2147483648 bytes.'],
  ['a text its memory cannot grow to hold', () => session.useLoadings('', new Uint8Array(2 ** 31 - 1), [0, 0], '', 0),
   'Not enough memory for a text of 2147483647 bytes.'],
  // A deleted session is no phantom: every later call is refused, another delete too.
  ['a deleted session', () => deleted.edit(FieldKind.Weight, 1, '170'), 'The session was deleted.'],
  ['a deleted session deleted again', () => deleted.delete(), 'The session was deleted.'],
];
for (const [name, call, message] of refusals)
  assert.throws(call, { message }, name);
assert.equal(JSON.parse(session.view()).grossWeight, '600', 'the session goes on after every refusal');

console.log('The module refused every call its core does not have, each with an error that says why.');
