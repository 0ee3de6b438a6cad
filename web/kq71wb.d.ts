// The module that web/binding.cpp makes of the C++ core, for the page's code.
// Every call that changes the sheet answers with the whole view, as JSON.

/** Field kinds for edit(): 0 weight, 1 arm, 2 description; fieldName() also takes 2 for a moment, 3 for a description. */
export interface View {
  weight: string[]; arm: string[]; description: string[];
  moment: string[]; grossWeight: string; grossMoment: string; flyCg: string;
  grossWeightVerdict: '' | 'within' | 'over';
  flyCgVerdict: '' | 'within' | 'forward' | 'aft';
  grossWeightWords: string; flyCgWords: string; scaleWords: string;
  scaleAt: number | null; // 0 at 10 in, 1 at 18 in
  verdict: string; warnings: string[]; readouts: string;
  announce: { verdict: boolean; warnings: boolean };
  summary: string;
  loadings: [string, string, string, string]; marked: number;
}

export interface Kq71wb {
  reset(): string;
  edit(field: 0 | 1 | 2, row: number, text: string): string; // JSON of a View
  view(): string;
  useLoadings(bytes: Uint8Array | string): string;
  pressLoading(index: number): string;
  loadSheet(madeAt: string): string; // JSON of { above: string[], below: string[] }
  fieldName(kind: 0 | 1 | 2 | 3, row: number): string;
  program(): string;
  loadingsFileLimit(): number; // bytes of a loadings file the parser reads
}

export default function createKq71wb(): Promise<Kq71wb>;
