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

// Colours as the window stores them: 0x00BBGGRR, or a system colour index
// when the high bit is set.
using OleColor = std::uint32_t;
inline constexpr OleColor kOutOfLimitsColor = 0x000000FF;  // red
inline constexpr OleColor kWithinLimitsColor = 0x0000FF00;  // green

inline constexpr double kMaxGrossWeight = 900.0;  // pounds
inline constexpr double kForwardCgLimit = 11.7;   // inches aft of the datum
inline constexpr double kAftCgLimit = 16.0;

enum class WeightVerdict { Within, Over };
enum class CgVerdict { Within, Forward, Aft };

OleColor colorOf(WeightVerdict verdict);
OleColor colorOf(CgVerdict verdict);

struct Sheet {
    static constexpr int kRowCount = 8;

    // Row 0 is the aircraft empty, row 1 the pilot, rows 2 to 7 further items.
    std::array<std::string, kRowCount> weight;  // typed, pounds
    std::array<std::string, kRowCount> arm;     // typed, inches from the datum
    std::array<std::string, kRowCount> moment;  // computed, pound-inches

    std::string grossWeight;
    std::string grossMoment;
    std::string flyCg;

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
    Scale,            // the CG x 10 does not fit the scale: the scale and CG colour are not new
};

// Every fault of a pass is an overflow: from finite texts, no operation of the
// pass can give anything but a finite number or an infinity.
struct CalcFault {
    FaultStep step;
    int row;  // the row being read, or -1 past the rows

    bool operator==(const CalcFault&) const = default;
};

// What the window tells the pilot about a fault, in words that say which
// figures are stale.
std::string describeFault(const CalcFault& fault);

// The limit colours in words, for pilots who cannot tell red from green:
// "Within limits.", or what is out ("Gross weight over 900 lb.", "CG forward
// of the 11.70 in limit.", "CG aft of the 16.00 in limit.", weight first).
// Empty before anything is coloured. It follows the verdicts on display, so
// words and colours always agree.
std::string verdictWords(const Sheet& sheet);

// What a field is called, for people and screen readers: "Weight, Aircraft
// Empty", "Arm, Pilot", "Arm, item 3", "Moment, item 3", "Description, item 3".
enum class FieldKind { Weight, Arm, Moment, Description };
std::string fieldName(FieldKind kind, int row);

// The first weight or arm, in Tab order, that is not read as the number it
// looks like, in words: `Arm, item 3: "14,5" is read as 14.`, with how many
// more there are; empty when every field reads as typed.
std::string misreadWords(const Sheet& sheet);

// That the totals on display no longer follow the rows, or else the verdict
// in words.
std::string totalsWords(const Sheet& sheet);

// The line beneath the sheet when no fault stands: a misread field first,
// else the totals' words.
std::string statusWords(const Sheet& sheet);

// A result's colour in words, for the result itself: "within limits", "out
// of limits, forward of the 11.70 in limit", ...
std::string colourWords(WeightVerdict verdict);
std::string colourWords(CgVerdict verdict);

// A caption without its blanks, as it is read aloud or quoted: "  6.49" -> "6.49".
std::string withoutBlanks(std::string text);

// The scale in words, for those who cannot see it: "CG 6.49 in, forward of
// the scale", "CG 14.00 in"; "No CG yet" before the first one.
std::string scaleWords(const Sheet& sheet);

// Recomputes every moment, the totals, the CG, the limit colours and the scale
// from the weight and arm texts. Each row's moment is written as text and read
// back from that text into the gross moment, so the figures on screen always
// add up. A gross weight of zero or less ends the pass after the moments,
// leaving the totals as they were. An arithmetic fault ends the pass where it
// happens: what was written before stays, nothing after is written, and the
// fault is returned.
std::optional<CalcFault> Calc(Sheet& sheet);

}  // namespace kq71wb
