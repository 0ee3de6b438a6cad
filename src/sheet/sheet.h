#pragma once

// The loading sheet: the texts of the eight rows and everything computed from
// them. The window mirrors this object field for field, so the figures a pilot
// sees are exactly the ones computed here, with or without a window.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kq71wb {

inline constexpr double kMaxGrossWeight = 900.0;  // pounds
inline constexpr double kForwardCgLimit = 11.7;   // inches aft of the datum
inline constexpr double kAftCgLimit = 16.0;

// The scale shows the CG in tenths of an inch, from 10.0 to 18.0 in.
inline constexpr int kScaleMinimum = 100;
inline constexpr int kScaleMaximum = 180;

inline constexpr int kPilotRow = 1;
inline constexpr int kFirstDescribedRow = 2;  // rows 2 to 7 have a description
// What a field keeps, in characters: more than any figure needs, and little
// enough that a huge paste does not slow every keystroke.
inline constexpr std::size_t kMaxFieldCharacters = 4096;
// The pilot sits 20 inches forward of the datum until told otherwise.
inline constexpr std::string_view kPilotArmAtStart = "-20";

enum class WeightVerdict { Within, Over };
enum class CgVerdict { Within, Forward, Aft };

struct Sheet {
    static constexpr int kRowCount = 8;

    // Row 0 is the aircraft empty, row 1 the pilot, rows 2 to 7 further items.
    std::array<std::string, kRowCount> weight;       // typed, pounds
    std::array<std::string, kRowCount> arm;          // typed, inches from the datum
    std::array<std::string, kRowCount> moment;       // computed, pound-inches
    // A row whose moment the last pass did not reach: its caption is an
    // earlier pass's.
    std::array<bool, kRowCount> momentStale{};
    std::array<std::string, kRowCount> description;  // typed, rows 2 to 7 only

    std::string grossWeight;
    std::string grossMoment;
    std::string flyCg;
    // The CG to 15 significant digits, for words that must show why a CG
    // whose two decimals read as a limit lies beyond it.
    std::string flyCgDigits;

    // Empty until the first pass with a gross weight above zero: until then the
    // results keep the colours they were laid out with and the scale its
    // starting position.
    std::optional<WeightVerdict> grossWeightVerdict;
    std::optional<CgVerdict> flyCgVerdict;
    std::optional<std::int32_t> sliderValue;  // the CG in tenths of an inch

    // The last pass ended for a gross weight of zero or less: the totals on
    // display, if any, no longer follow the rows.
    bool totalsStale = false;
};

// Where a pass stopped; everything it would have written from there on is
// left as it was.
enum class FaultStep {
    RowMoment,        // reading a row or forming its moment: this row and later ones keep their captions
    RowSum,           // adding a row into the totals: its caption is new, later rows keep theirs
    CentreOfGravity,  // the division: the totals are new, the CG, scale and CG colour are not
    Scale,            // the CG x 10 does not fit the scale: the CG and its colour are new, the scale is not
};

// Every fault of a pass is an overflow: from finite texts, no operation of the
// pass can give anything but a finite number or an infinity.
struct CalcFault {
    FaultStep step;
    int row;  // the row being read, or -1 past the rows

    bool operator==(const CalcFault&) const = default;
};

// The running totals of a pass, row by row, as the sheet shows them: each
// row's moment is written as text and read back from that text, so the
// figures on screen always add up. Calc and the read-outs both sum through it.
struct RowSums {
    double weight = 0.0;
    double moment = 0.0;

    // Adds a row; its moment caption is written only once the product is
    // sound. A fault names the step it stopped at, with the sums part-made.
    std::optional<FaultStep> add(std::string_view weightText, std::string_view armText, std::string& momentCaption);
    // Adds a row already read: its weight and its moment as the caption shows it.
    std::optional<FaultStep> add(double rowWeight, double shownMoment);
};

// The steps of a pass after the rows: the totals, the CG, the verdicts and
// the scale, from the sums of every row.
std::optional<CalcFault> CalcTotals(Sheet& sheet, const RowSums& sums);

// The verdicts of CalcTotals, on a gross weight above zero and a finite CG:
// each judged on its 15-digit form, as the figure is written, so that the
// read-outs can try a weight without writing the figures.
WeightVerdict weightVerdictOf(double grossWeight);
CgVerdict cgVerdictOf(double cg);

// Recomputes every moment, the totals, the CG, the limit verdicts and the
// scale from the weight and arm texts. A CG is judged against the limits
// before the scale is set, so that its colour always follows the CG shown,
// one too far off to place on the scale included. A gross weight of zero or less ends the
// pass after the moments, leaving the totals as they were. An arithmetic fault
// ends the pass where it happens: what was written before stays, nothing after
// is written, and the fault is returned.
std::optional<CalcFault> Calc(Sheet& sheet);

// Both results green: the gross weight and the CG each within its limits.
inline bool withinLimits(const Sheet& sheet)
{
    return sheet.grossWeightVerdict == WeightVerdict::Within && sheet.flyCgVerdict == CgVerdict::Within;
}

}  // namespace kq71wb
