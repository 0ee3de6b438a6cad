// The module that web/binding.cpp makes of the C++ core, for the page's code.
// Verdicts, fault steps and colours are the core's own enum values and
// OleColor (0x00BBGGRR); -1 stands for none.

export type Rows = [string, string, string, string, string, string, string, string];

export interface SheetState {
  weight: Rows;
  arm: Rows;
  moment: Rows;
  grossWeight: string;
  grossMoment: string;
  flyCg: string;
  grossWeightVerdict: number; // WeightVerdict: 0 within, 1 over
  flyCgVerdict: number; // CgVerdict: 0 within, 1 forward, 2 aft
  hasSliderValue: boolean;
  sliderValue: number; // the CG in tenths of an inch
  totalsStale: boolean;
}

export interface PilotRange {
  known: boolean;
  low: number;
  high: number; // below low: no pilot weight keeps the loading within limits
}

export interface Pass {
  sheet: SheetState;
  faultStep: number; // FaultStep: 0 row moment, 1 row sum, 2 centre of gravity, 3 scale
  faultRow: number;
  faultWords: string;
  statusWords: string;
  totalsWords: string;
  verdictWords: string;
  misreadWords: string;
  readoutWords: string;
  scaleWords: string;
  grossWeightWords: string;
  flyCgWords: string;
  grossWeightColor: number;
  flyCgColor: number;
  pilotWeights: PilotRange;
}

export interface LoadSheetHeading {
  printedAt: string;
  program: string;
  loading: string;
}

// A vector held in the module's memory: read it, then delete() it.
export interface StringList {
  size(): number;
  get(index: number): string;
  delete(): void;
}

export interface LoadSheetLines {
  above: StringList;
  below: StringList;
}

export interface Loading {
  name: string;
  weight: string;
  arm: string;
}

export interface Kq71wb {
  calc(sheet: SheetState): Pass;
  loadSheet(sheet: SheetState, faultStep: number, faultRow: number, heading: LoadSheetHeading): LoadSheetLines;
  parseLoadings(bytes: Uint8Array): [Loading, Loading, Loading, Loading];
  fieldName(kind: number, row: number): string; // kind: 0 weight, 1 arm, 2 moment, 3 description
  program(): string;
  valueOfText(text: string): { overflow: boolean; value: number };
  isMisread(text: string): boolean;
  textOfDouble(value: number): string;
  formatCg(value: number): string;
  nearestInteger(value: number): { fits: boolean; value: number };
  roundTo15Digits(value: number): number;
}

export default function createKq71wb(): Promise<Kq71wb>;
