// The module that web/binding.cpp and web/session.js make of the C++ core,
// for the page's code. Every event of a session answers with the whole view,
// as JSON. The tests hold this to the native build's answers
// (tests/web/declaration.mjs): the field kinds to the core's numbers, and the
// members of every JSON answer, nested ones included.

export type Json<T> = string; // the JSON text of a T

export interface LoadingButton { caption: string; canPress: boolean; whyNot: string; from: string }

// Words of the envelope chart, each line where it stands, in the chart's units.
export interface ChartText { x: number; lines: [string, number][]; anchor: 'start' | 'middle' | 'end'; limit: boolean }

export interface View {
  weight: string[]; arm: string[]; description: string[]; // the fields' texts as they now stand
  moment: string[]; grossWeight: string; grossMoment: string; flyCg: string; // the captions
  grossWeightVerdict: '' | 'within' | 'over'; // '': no colour yet
  flyCgVerdict: '' | 'within' | 'forward' | 'aft';
  grossWeightWords: string; flyCgWords: string; scaleWords: string; // what each result says
  scaleAt: number | null; // 0 at 10 in, 1 at 18 in
  verdict: string; warnings: string[]; readouts: string; note: string; // the lines beneath the sheet
  checks: string; // "2 numbers to check" beside the verdict, or ''
  checksAt: [FieldKindValue, number] | null; // the field the first warning names
  announce: { verdict: boolean; warnings: boolean; note: boolean }; // which lines to speak now
  loadings: [LoadingButton, LoadingButton, LoadingButton, LoadingButton]; marked: number; // -1: none marked
  caretTo: [FieldKindValue, number] | null; // where the caret goes, its text selected: after a loading press, the pilot's weight
  envelope: { // what of the envelope chart follows the sheet, in the units of the chart as last laid out (layoutChart)
    point: [number, number] | null; label: ChartText | null; within: boolean; // the loading, when its totals are current
    pilotLine: [number, number][]; // where the point would lie for every pilot weight the limits allow
    words: string; // the whole picture in words
  };
  loadingsFrom: string; // where the loadings in use came from: "Loadings from the club's kq71wb.dat, modified …, SHA-256 …."
  club: 'none' | 'used' | 'offered'; // the club's kq71wb.dat beside the page: none, in use, or there while the pilot's own are
  caret?: [number, number]; // after toggleSign only
  taken?: boolean; // after useLoadings and offerClubLoadings only: whether the page keeps the file
}

// The envelope chart's frame, the same for every sheet, in the units it was laid out in.
export interface ChartFrame {
  size: [number, number]; textSize: number; plot: [number, number, number, number]; // left, top, width, height
  lines: [number, number, number, number][]; // the grid, each line from x1, y1 to x2, y2
  texts: ChartText[]; area: [number, number][]; // the area within limits
}

export interface LoadSheet { above: string[]; below: string[] }

export interface FieldKinds { Weight: 0; Arm: 1; Moment: 2; Description: 3 }
export type FieldKindValue = FieldKinds[keyof FieldKinds];
// A moment as the device's clock gives it: seconds since 1970 (NaN for unknown), and the time zone's offset then, in seconds east of UTC.
export type Moment = [number, number];

export interface Session {
  edit(field: FieldKindValue, row: number, text: string): Json<View>;
  // A weight or arm made negative, or positive again; the caret or selection given is answered as "caret": [start, end], beside the same digits.
  toggleSign(field: FieldKindValue, row: number, start: number, end: number): Json<View>;
  focus(field: FieldKindValue, row: number): Json<View>; // the caret in a field, or in none (Moment, -1)
  pressLoading(index: number): Json<View>;
  // The first bytes of a file, and the SHA-256 and size of the whole ('' and the bytes' length when they are the whole);
  // "taken": false when the file gave no loading
  useLoadings(bytes: Uint8Array | string, fileName: string, modified: Moment, sha256: string, size: number): Json<View>;
  // The club's kq71wb.dat beside the page, just fetched or as kept from the last fetch, as useLoadings takes a file;
  // empty bytes: none there. "taken": keep it.
  offerClubLoadings(bytes: Uint8Array | string, modified: Moment, sha256: string, size: number, fetched: boolean): Json<View>;
  clearLoadings(): Json<View>; // the pilot's own loadings gone: the club's, or none
  // The envelope chart laid out for a picture `width` units (pixels) wide with words `textSize` tall, or for paper;
  // views after give the envelope in its units.
  layoutChart(width: number, textSize: number): Json<ChartFrame>;
  layoutChartForPaper(): Json<ChartFrame>;
  view(): Json<View>;
  summary(): string;
  sayResult(): Json<View>; // the summary as the note, to be spoken (the desktop's F8)
  loadSheet(madeAt: Moment): Json<LoadSheet>;
  problemReport(madeAt: Moment, platform: string): string; // plain text: where to send it, the platform, the load sheet
  reported(copied: boolean): Json<View>; // its note saying where the report is and where it goes
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
  scaleLimits(): [number, number]; // the forward and aft CG limits along the scale, 0 at its left end, 1 at its right
  program(): string;
  loadingsFileLimit(): number; // bytes of a loadings file the parser reads
  build: string; // this build of the page, as its index.html and app.js name it
}

export default function createKq71wb(): Promise<Kq71wb>;
