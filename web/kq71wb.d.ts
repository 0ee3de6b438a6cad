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
// A moment as the device's clock gives it: seconds since 1970 (NaN for unknown), and the time zone's offset then, in seconds east of UTC.
export type Moment = [number, number];
export interface FieldKinds { Weight: FieldKindValue; Arm: FieldKindValue; Moment: FieldKindValue; Description: FieldKindValue }

export interface Session {
  edit(field: FieldKindValue, row: number, text: string): string; // JSON of a View
  toggleSign(field: FieldKindValue, row: number): string; // a weight or arm made negative, or positive again
  focus(field: FieldKindValue, row: number): string; // the caret in a field, or in none (Moment, -1)
  pressLoading(index: number): string;
  // The first bytes of a file, and the SHA-256 and size of the whole ('' and the bytes' length when they are the whole);
  // JSON of a View and "taken": false when the file gave no loading
  useLoadings(bytes: Uint8Array | string, fileName: string, modified: Moment, sha256: string, size: number): string;
  clearLoadings(): string;
  chartFrame(): string; // JSON of the envelope chart's frame: size, plot, lowest, highest, ticks, area
  view(): string;
  summary(): string;
  loadSheet(madeAt: Moment): string; // JSON of { above: string[], below: string[] }
  problemReport(madeAt: Moment, platform: string): string; // plain text: where to send it, the platform, the load sheet
  reported(copied: boolean): string; // JSON of a View, its note saying where the report is and where it goes
  delete(): void; // frees the session in the module's memory
}

// The digest of a file given a piece at a time.
export interface Sha256 { add(bytes: Uint8Array): void; hex(): string; delete(): void }

export interface Kq71wb {
  Session: { new (): Session };
  Sha256: { new (): Sha256 };
  FieldKind: FieldKinds;
  fieldName(kind: FieldKindValue, row: number): string;
  program(): string;
  loadingsFileLimit(): number; // bytes of a loadings file the parser reads
}

export default function createKq71wb(): Promise<Kq71wb>;
