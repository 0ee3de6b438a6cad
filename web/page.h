#pragma once

// The web page's sheet: the texts of its fields, kept here between edits as
// the window keeps them in its fields, and everything the page shows of them,
// as JSON for the page's script to put where it belongs. Plain C++: the same
// code answers natively in the differential test and in WebAssembly on the
// page, and every figure, word and verdict comes from the core unchanged.

#include <string>
#include <string_view>

namespace kq71wb::web {

enum class Field { Weight, Arm, Description };

// Starts a new sheet, as the window opens: every field empty but the pilot's
// arm, no loadings. Returns view().
std::string reset();

// A field's new text, as typed; a weight or arm recalculates the sheet. A
// comma typed in a weight or an arm becomes a period, as phones often offer
// only a comma on their decimal keypad. Returns view().
std::string edit(int field, int row, const std::string& text);

// Everything the page shows, as one JSON object:
//   "weight", "arm", "description": the fields' texts as they now stand
//   "moment", "grossWeight", "grossMoment", "flyCg": the captions
//   "grossWeightVerdict": "within" | "over" | ""   (empty: no colour yet)
//   "flyCgVerdict": "within" | "forward" | "aft" | ""
//   "grossWeightWords", "flyCgWords", "scaleWords": what each result says
//   "scaleAt": where the CG stands on the scale, 0 (10 in) to 1 (18 in), or null
//   "verdict", "warnings" (a list), "readouts": the lines beneath the sheet
//   "announce": the lines to speak now, of "verdict" and "warnings"; after a
//               loading is pressed, the verdict even when its words stay
//   "summary": the whole result in a few sentences
//   "loadings": the four buttons' names; "marked": the marked one, or -1
std::string view();

// The bytes of a loadings file, in any encoding the desktop reads, become the
// four loading buttons. Returns view().
std::string useLoadings(const std::string& bytes);

// A loading button pressed: its empty weight and arm into the aircraft-empty
// row, the button marked. A button without a loading does nothing.
std::string pressLoading(int index);

// The load sheet's lines, {"above": [...], "below": [...]}, made at the given
// local time ("2026-12-07 14:03").
std::string loadSheet(const std::string& madeAt);

// A text as a JSON string, quotes and all.
std::string jsonText(std::string_view text);

}  // namespace kq71wb::web
