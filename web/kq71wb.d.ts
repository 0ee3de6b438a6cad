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
  checksAt: [FieldKindValue, number] | null; // the field the first warning names
  announce: { verdict: boolean; warnings: boolean; note: boolean };
  loadings: [LoadingButton, LoadingButton, LoadingButton, LoadingButton]; marked: number;
  caretTo: [FieldKindValue, number] | null; // where the caret goes, its text selected: after a loading press, the pilot's weight
  loadingsFrom: string; // where the loadings in use came from: "Loadings from the club's kq71wb.dat, modified …, SHA-256 …."
  club: 'none' | 'used' | 'offered'; // the club's kq71wb.dat beside the page: none, in use, or there while the pilot's own are
  caret?: [number, number]; // after toggleSign only
}

export interface FieldKinds { Weight: 0; Arm: 1; Moment: 2; Description: 3 }
export type FieldKindValue = FieldKinds[keyof FieldKinds];
// A moment as the device's clock gives it: seconds since 1970 (NaN for unknown), and the time zone's offset then, in seconds east of UTC.
export type Moment = [number, number];

export interface Session {
  edit(field: FieldKindValue, row: number, text: string): string; // JSON of a View
  // A weight or arm made negative, or positive again; the caret or selection given is answered as "caret": [start, end], beside the same digits.
  toggleSign(field: FieldKindValue, row: number, start: number, end: number): string;
  focus(field: FieldKindValue, row: number): string; // the caret in a field, or in none (Moment, -1)
  pressLoading(index: number): string;
  // The first bytes of a file, and the SHA-256 and size of the whole ('' and the bytes' length when they are the whole);
  // JSON of a View and "taken": false when the file gave no loading
  useLoadings(bytes: Uint8Array | string, fileName: string, modified: Moment, sha256: string, size: number): string;
  // The club's kq71wb.dat beside the page, just fetched or as kept from the last fetch, as useLoadings takes a file;
  // empty bytes: none there. "taken": keep it.
  offerClubLoadings(bytes: Uint8Array | string, modified: Moment, sha256: string, size: number, fetched: boolean): string;
  clearLoadings(): string; // the pilot's own loadings gone: the club's, or none
  // The envelope chart laid out for a picture `width` units (pixels) wide with words `textSize` tall, or for paper;
  // JSON of its frame: size, textSize, plot, lines, texts, area. Views after give the envelope in its units.
  layoutChart(width: number, textSize: number): string;
  layoutChartForPaper(): string;
  view(): string;
  summary(): string;
  sayResult(): string; // JSON of a View: the summary as the note, to be spoken (the desktop's F8)
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
  limitCaptions(): string[]; // "Maximum Gross Weight : 900 pounds", then the forward and aft CG limits
  program(): string;
  loadingsFileLimit(): number; // bytes of a loadings file the parser reads
  build: string; // this build of the page, as its index.html and app.js name it
}

export default function createKq71wb(): Promise<Kq71wb>;
