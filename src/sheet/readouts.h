#pragma once

// What the sheet tells a pilot beyond its verdict: the pilot weights this
// loading allows, and the weight left to the 900 lb limit.

#include <optional>
#include <string>

#include "sheet.h"

namespace kq71wb {

// Whole pounds: the lightest and heaviest pilot who keep the sheet within
// every limit, or none.
struct PilotWeights {
    int low = 0;
    int high = -1;
    bool any() const { return low <= high; }
    bool operator==(const PilotWeights&) const = default;
};

// The pilot weights that keep this loading within limits. "This loading" is
// every row but the pilot's, read exactly as Calc reads it (each moment as its
// caption), with the pilot at the arm in the pilot's arm field. The bounds are
// solved in closed form, then each end is judged by Calc itself, so that the
// range can never disagree with the colours: entering either end gives green,
// one pound beyond either end (when not below zero) gives red.
//   600 lb at 14 in, pilot at -20 in      -> 0 to 43 lb (any more puts the CG forward)
//   610 lb at 23.65 in, pilot at -20 in   -> 130 to 229 lb
//   610 lb at 40 in, pilot at -20 in      -> none (aft of the limit up to 900 lb)
// Nothing when there is nothing to tell: the loading weighs zero or less, or
// its numbers overflow.
std::optional<PilotWeights> pilotWeights(const Sheet& sheet);

// The line of read-outs beneath the sheet, for example
//   "Pilot weight for this loading: 152 to 228 lb. Room to 900 lb: 43.5 lb."
//   "No pilot weight keeps this loading within limits. Over 900 lb by 12.5 lb."
// The room is the decimal difference from the gross weight as shown (899.7 lb
// leaves 0.3 lb, not 0.30000000000006821), so the two agree; it is left out
// while the totals are not current. Empty until the
// loading (every row but the pilot's) weighs more than zero.
std::string readoutWords(const Sheet& sheet, bool totalsCurrent);

}  // namespace kq71wb
