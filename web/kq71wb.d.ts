// The module that web/binding.cpp and web/session.js make of the C++ core,
// for the page's code. Every event of a session answers with the whole view,
// as JSON.

export interface LoadingButton { caption: string; canPress: boolean; whyNot: string; from: string }

export interface View {
  weight: string[]; arm: string[]; description: string[];
  moment: string[]; grossWeight: string; grossMoment: string; flyCg: string;
  grossWeightVerdict: '' | 'within' | 'over';
  flyCgVerdict: '' | 'within' | 'forward' | 'aft';
  grossWeightWords: string; flyCgWords: string; scaleWords: string;
  scaleAt: number | null; // 0 at 10 in, 1 at 18 in
  verdict: string; warnings: string[]; checks: string; readouts: string; note: string;
  announce: { verdict: boolean; warnings: boolean; note: boolean };
  loadings: [LoadingButton, LoadingButton, LoadingButton, LoadingButton]; marked: number;
}

export type FieldKindValue = 0 | 1 | 2 | 3;
export interface FieldKinds { Weight: FieldKindValue; Arm: FieldKindValue; Moment: FieldKindValue; Description: FieldKindValue }

export interface Session {
  edit(field: FieldKindValue, row: number, text: string): string; // JSON of a View
  toggleSign(field: FieldKindValue, row: number): string; // a weight or arm made negative, or positive again
  focus(field: FieldKindValue, row: number): string; // the caret in a field, or in none (Moment, -1)
  pressLoading(index: number): string;
  useLoadings(bytes: Uint8Array | string, fileName: string, modified: string): string; // JSON of a View and "taken": false when the file gave no loading
  clearLoadings(): string;
  chartFrame(): string; // JSON of the envelope chart's frame: size, plot, lowest, highest, ticks, area
  view(): string;
  summary(): string;
  sayResult(): string; // JSON of a View: the summary as the note, to be spoken (the desktop's F8)
  loadSheet(madeAt: string): string; // JSON of { above: string[], below: string[] }
  delete(): void; // frees the session in the module's memory
}

export interface Kq71wb {
  Session: { new (): Session };
  FieldKind: FieldKinds;
  fieldName(kind: FieldKindValue, row: number): string;
  program(): string;
  loadingsFileLimit(): number; // bytes of a loadings file the parser reads
}

export default function createKq71wb(): Promise<Kq71wb>;
