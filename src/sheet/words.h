#pragma once

// What the sheet says in words: the verdict its colours give, the state that
// stands in its place, the warnings about fields that may not be read as they
// look, and what a screen reader hears of each figure. Every front end shows
// these words as they come, in the order and at the moments given here, so
// that the window, the printed page and any other front end say the same.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversions.h"
#include "sheet.h"
#include "text_encoding.h"  // nextCharacter, for the texts that words quote and cut

namespace kq71wb {

// What a field is called, for people and screen readers: "Weight, Aircraft
// Empty", "Arm, Pilot", "Arm, item 3", "Moment, item 3", "Description, item 3".
enum class FieldKind { Weight, Arm, Moment, Description };
std::string fieldName(FieldKind kind, int row);
// The kinds as the web page's script names them, in the enum's order
// (FieldKind.Weight is 0): its module numbers them from this table, and a
// test holds the page's declaration, web/kq71wb.d.ts, to it.
inline constexpr std::string_view kFieldKinds[] = {"Weight", "Arm", "Moment", "Description"};
inline constexpr int kFieldKindCount = static_cast<int>(std::size(kFieldKinds));
static_assert(kFieldKindCount == static_cast<int>(FieldKind::Description) + 1, "a name for each field kind");

// What the window says of a fault, in words that say which figures are stale.
std::string describeFault(const CalcFault& fault);

// The limit verdicts in words, for pilots who cannot tell red from green:
// "Within limits.", or what is out, weight first ("Gross weight over 900 lb.
// CG aft of the 16.00 in limit."). A CG whose caption shows the limit it lies
// beyond is given to the digits that show why: "CG forward of the 11.70 in
// limit (11.699 in)." Empty before anything is coloured.
std::string verdictWords(const Sheet& sheet);

// Whether the gross weight, gross moment and CG on display follow the rows:
// no fault before the scale, and a gross weight above zero.
bool totalsCurrent(const Sheet& sheet, const std::optional<CalcFault>& fault);

// Which results on display the last pass wrote: a front end greys the
// others, an earlier pass's, so that they cannot pass for current ones. The
// gross weight and moment, unless the pass stopped in the rows or for a gross
// weight of zero or less; the CG as the totals are; the scale's pointer only
// after a whole pass. What no pass has shown yet is none of them.
struct ResultsCurrent {
    bool gross = true;
    bool flyCg = true;
    bool scale = true;
    bool operator==(const ResultsCurrent&) const = default;
};
ResultsCurrent resultsCurrent(const Sheet& sheet, const std::optional<CalcFault>& fault);

// What stands for the results in words: the fault of the last pass, that the
// totals on display are not current, or else the verdict (with a CG off the
// scale, the verdict and then that the scale was not moved).
std::string stateWords(const Sheet& sheet, const std::optional<CalcFault>& fault);

// A field whose figure may not be what the pilot means, in words:
//   Arm, item 3: "14,5" is read as 14.
//   Weight, Pilot: "80 kg" is read as 80 lb; the sheet is in pounds (80 kg = 176.4 lb).
//   Weight, item 3 is below zero: -100 lb is taken away.
//   Arm, item 3 is blank: its 15 lb are counted at the datum.
// A quoted text is cut to 16 characters and set apart from the sentence, so
// that no text typed or read from a file can turn the sentence around.
struct Warning {
    enum class Kind { Misread, BelowZero, BlankArm };
    FieldKind field;
    int row;
    Kind kind;
    std::string words;

    // The same warning about the same field, whatever its text now.
    bool sameAs(const Warning& other) const
    {
        return field == other.field && row == other.row && kind == other.kind;
    }
    bool operator==(const Warning&) const = default;
};
// Every warning, field by field in Tab order.
std::vector<Warning> warningsOf(const Sheet& sheet);

// A figure that is not read as it looks, named as a warning names it; empty
// when it is read as it looks. The loadings file's figures are named so too:
//   "Empty weight, N7", "278kg", Pounds
//     -> Empty weight, N7: "278kg" is read as 278 lb; the sheet is in pounds (278 kg = 612.9 lb).
std::string misreadWords(const std::string& name, std::string_view text, FieldUnit unit);

// The lines beneath the sheet, top to bottom. The verdict (or what stands in
// its place) is always there once the results carry a colour; warnings, the
// read-outs and a note stand beside it, never in its place.
struct LinesBeneath {
    std::string verdict;
    std::vector<Warning> warnings;
    std::string readouts;
    std::string note;  // what became of the last print or copy, until the next pass

    // Every warning, a line each: the window and the page show them all.
    std::string warningText() const;
    bool operator==(const LinesBeneath&) const = default;
};

// `itemRow`: the item a pilot is typing in, whose weights the read-outs name.
// `kept`: the session's ranges worked out before (see readoutWords).
struct KeptRanges;
LinesBeneath linesBeneath(const Sheet& sheet, const std::optional<CalcFault>& fault, std::string note, int itemRow = -1,
                          KeptRanges* kept = nullptr);

// Which lines a screen reader speaks unasked after a change: the verdict when
// its words change, and not again when a warning goes under the same words;
// the warnings when a field comes to be warned of, never as a warned text
// grows letter by letter. A note is spoken whenever one is set.
struct Announcements {
    bool verdict = false;
    bool warnings = false;
    bool note = false;
    bool operator==(const Announcements&) const = default;
};
Announcements announcementsFor(const LinesBeneath& before, const LinesBeneath& after);

// Beside the verdict, where a small screen always shows it, that warnings
// stand below: "1 number to check", "3 numbers to check"; empty for none.
std::string checkWords(std::size_t warnings);

// Said when a field was given more than kMaxFieldCharacters:
// "Weight, item 3 keeps at most 4,096 characters; the rest was cut."
std::string cutWords(FieldKind field, int row);

// The limits as every word and caption states them, from the sheet's own
// constants: "900" lb, "11.70" and "16.00" in.
std::string maxGrossWeightText();
std::string forwardCgLimitText();
std::string aftCgLimitText();
// The captions that state them beside the sheet, in the window and on the
// page alike: "Maximum Gross Weight : 900 pounds", "Forward CG Limit : 11.70
// inches", "Aft CG Limit : 16.00 inches".
enum class LimitCaption { None = -1, MaxGrossWeight, ForwardCg, AftCg };
inline constexpr int kLimitCaptionCount = 3;
std::string limitCaption(LimitCaption limit);

// Said when the load sheet has been put on the clipboard.
inline constexpr std::string_view kCopiedNote = "Load sheet copied.";

// What a screen reader hears of a result beside its figure: "within limits",
// "out of limits, forward of the 11.70 in limit", with ", not updated" when
// the last pass did not reach it; empty before it has a colour.
std::string grossWeightWords(const Sheet& sheet, const std::optional<CalcFault>& fault);
std::string flyCgWords(const Sheet& sheet, const std::optional<CalcFault>& fault);

// The scale in words: "CG 6.49 in, forward of the scale", "CG 14.00 in";
// "No CG yet" before the first one; ", not updated" after them while the
// pointer is an earlier pass's.
std::string scaleWords(const Sheet& sheet, const std::optional<CalcFault>& fault);

// The whole result in a few sentences, for a pilot who cannot see where to
// look: "Gross weight 770 lb, within limits. CG 6.49 in, out of limits,
// forward of the 11.70 in limit. Pilot weight for this loading: 0 to 43 lb (0 to 19 kg).
// Room to 900 lb: 130 lb (58.9 kg)."
std::string resultSummary(const Sheet& sheet, const std::optional<CalcFault>& fault);

// A figure as it is read, in the sheet's own form, so that no text typed
// with it reaches the words: "35cm" -> "35", " -20,5" -> "-20", "abc" -> "0";
// a text too large to read is quoted short and set apart: "1E400" -> "1E400".
std::string figureAsRead(std::string_view text);

// A figure with the article it takes as it is spoken: "an" before eight,
// eleven, eighteen, eighty-something and eight hundred-something, of any
// thousand too; "a" before the rest, a minus, and a figure below one.
//   "80" -> "an 80"      "85.5" -> "an 85.5"    "11" -> "an 11"     "8" -> "an 8"
//   "18000" -> "an 18000"   "820000" -> "an 820000"   "8E+20" -> "an 8E+20"
//   "170" -> "a 170"     "1100" -> "a 1100"     "0.8" -> "a 0.8"    "-80" -> "a -80"
// `capital` begins a sentence with it: "An 80".
std::string withArticle(std::string_view figure, bool capital = false);

// Whether a field's text holds nothing but blanks, tabs and line feeds, which are read as no number.
bool isBlank(std::string_view text);

// A caption without its blanks, as it is read aloud or quoted: "  6.49" -> "6.49".
std::string withoutBlanks(std::string text);

// A text set apart from the sentence around it, so that right-to-left or
// override characters in it stay inside it: direction controls show as
// U+FFFD, and a text that holds right-to-left letters is wrapped in a
// first-strong isolate. Other text stays plain, as a plain-text logbook
// shows isolates as stray marks: "N271KQ" -> "N271KQ", "דאון" -> "\u2068דאון\u2069".
std::string isolated(std::string_view text);

// A name or description so long that it would crowd out what stands beside
// it, shortened visibly after 60 characters (or so many), never inside one: "Parachute"
// stays, a 4,096-character name shows its first 60 and "…".
std::string shortened(std::string_view text, std::size_t characters = 60);

}  // namespace kq71wb
