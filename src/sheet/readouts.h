#pragma once

// What the sheet tells a pilot beyond its verdict: the weights a row may
// carry, the pilot weights this loading allows, the ballast a light pilot
// needs, and the weight left to the 900 lb limit, each in pounds with
// kilograms beside them.

#include <array>
#include <optional>
#include <string>

#include "sheet.h"

namespace kq71wb {

// Whole pounds: the lightest and heaviest weight that keeps the sheet within
// every limit, or none; and the same in whole kilograms, each judged as the
// pounds a pilot would type for it (poundsOfKilograms), so that no kilogram
// figure offered turns the sheet red. A range of pounds may hold no whole
// kilogram: 23 lb is green where 10 kg (22.05 lb) and 11 kg (24.25 lb) are not.
struct WeightRange {
    int low = 0;
    int high = -1;
    int lowKg = 0;
    int highKg = -1;
    bool any() const { return low <= high; }
    bool anyKg() const { return lowKg <= highKg; }
    bool operator==(const WeightRange&) const = default;
};

// The last range worked out for each row, with every text of the sheet but
// the row's weight, which is all it depends on: typing a row's own weight
// (the pilot's is the field typed most) works out no range again. A session
// keeps one for its sheet, so that no answer rests on what was asked before.
struct KeptRange {
    std::array<std::string, 2 * Sheet::kRowCount - 1> texts;
    bool loaded = false;  // the other rows weigh more than zero
    std::optional<WeightRange> weights;
};
struct KeptRanges {
    std::array<std::optional<KeptRange>, Sheet::kRowCount> rows;
};

// The weights of one row, at the arm typed in it, that keep the sheet within
// limits, every other row as typed and read exactly as Calc reads it (each
// moment as its caption). The bounds are solved in closed form, then each end
// is judged by Calc's own sums and verdicts, so that the range can never disagree with the
// colours: entering either end gives green, one pound beyond either end (when
// not below zero) gives red; so with the kilograms. For the pilot's row:
//   600 lb at 14 in, pilot at -20 in      -> 0 to 43 lb, 0 to 19 kg (any more puts the CG forward)
//   610 lb at 23.65 in, pilot at -20 in   -> 130 to 229 lb, 59 to 103 kg
//   610 lb at 40 in, pilot at -20 in      -> none (aft of the limit up to 900 lb)
// Nothing when there is nothing to tell: the other rows weigh zero or less,
// or their numbers overflow.
std::optional<WeightRange> rowWeights(const Sheet& sheet, int row);
inline std::optional<WeightRange> pilotWeights(const Sheet& sheet) { return rowWeights(sheet, kPilotRow); }

// The line of read-outs beneath the sheet, for example
//   "Pilot weight for this loading: 152 to 228 lb (69 to 103 kg). Room to 900 lb: 43.5 lb (19.7 kg)."
//   "No pilot weight keeps this loading within limits. Over 900 lb by 12.5 lb (5.7 kg)."
// With `itemRow`, the row of items 3 to 8 a pilot is typing in, first what
// that item may weigh at its arm:
//   "Item 3 (Nose ballast, -30 in): 14 to 85 lb (7 to 38 kg) keeps the sheet within limits."
// A pilot whose weight is outside the range is told the least (or most)
// weight at each item arm typed that makes the sheet legal:
//   "A 110 lb pilot needs at least 14 lb (7 kg) at item 3 (-30 in)."
//   "A 264 lb pilot needs at least 23 lb (no whole kg) at item 3 (60 in)."
// An item's arm is said as read, in the sheet's own form ("35cm" as 35): no
// text typed there reaches the words. Every kilogram figure, loaded, keeps
// the sheet within limits (see WeightRange).
// The room is the decimal difference from the gross weight as shown (899.7 lb
// leaves 0.3 lb, not 0.30000000000006821), so the two agree; it and the
// ballast are left out while the totals are not current. Empty until the
// loading (every row but the pilot's) weighs more than zero.
// `kept`, when given, keeps each row's range with the texts it came from, to
// be used again while they stay (see KeptRanges).
std::string readoutWords(const Sheet& sheet, bool totalsCurrent, int itemRow = -1, KeptRanges* kept = nullptr);

// A whole-pound range with its kilograms: "130 to 229 lb (59 to 103 kg)";
// "23 to 23 lb (no whole kg)", as a range may hold no whole kilogram.
std::string rangeWords(const WeightRange& range);

}  // namespace kq71wb
