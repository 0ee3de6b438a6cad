#include "words.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "conversions.h"
#include "readouts.h"
#include "text_encoding.h"

namespace kq71wb {

std::string fieldName(FieldKind kind, int row)
{
    static constexpr std::string_view kKinds[] = {"Weight, ", "Arm, ", "Moment, ", "Description, "};
    // A number cast to a kind the core lacks gets a name, never a read past the table.
    const auto index = static_cast<std::size_t>(kind);
    std::string name(index < std::size(kKinds) ? kKinds[index] : "Field, ");
    if (row == 0)
        return name + "Aircraft Empty";
    if (row == kPilotRow)
        return name + "Pilot";
    return name + "item " + std::to_string(row + 1);
}

std::string describeFault(const CalcFault& fault)
{
    switch (fault.step) {
    case FaultStep::CentreOfGravity:
        return "Overflow: a number is too large; the centre of gravity was not updated.";
    case FaultStep::Scale:
        return "Overflow: the CG is off the scale; the scale was not updated.";
    case FaultStep::RowMoment:
    case FaultStep::RowSum:
        break;
    }
    return "Overflow: a number is too large; the totals were not updated.";
}

namespace {

// "forward of the 11.70 in limit", with the CG's own digits when its caption
// reads as the limit it lies beyond.
std::string cgLimitPhrase(const Sheet& sheet)
{
    const bool forward = sheet.flyCgVerdict == CgVerdict::Forward;
    const std::string limit = forward ? forwardCgLimitText() : aftCgLimitText();
    std::string phrase = (forward ? "forward of the " : "aft of the ") + limit + " in limit";
    if (withoutBlanks(sheet.flyCg) == limit)
        phrase += " (" + sheet.flyCgDigits + " in)";
    return phrase;
}

// A character's code in at least four hex digits: "200B".
std::string hexDigits(char32_t c)
{
    std::string digits;
    for (int shift = c > 0xFFFFF ? 20 : c > 0xFFFF ? 16 : 12; shift >= 0; shift -= 4)
        digits += "0123456789ABCDEF"[(c >> shift) & 0xFu];
    return digits;
}

// A field's text as a warning quotes it: cut short without splitting a
// character, line breaks and tabs shown as blanks, and every other control
// or format character by its code, as it shows nothing of itself: "17\u200B0"
// would look like the 170 it is not read as, and shows "17‹U+200B›0". (The
// marks are in every font the program may draw with; ⟨ ⟩ are not.)
std::string quoted(std::string_view text)
{
    const std::string cut = shortened(text, 16);
    std::string shown;
    for (std::size_t at = 0; at < cut.size();) {
        const std::size_t start = at;
        const char32_t c = nextCharacter(cut, at);
        if (c == '\n' || c == '\t' || c == '\r')
            shown += ' ';
        else if (isControlOrFormatCharacter(c))
            shown += "\u2039U+" + hexDigits(c) + "\u203A";
        else
            shown += cut.substr(start, at - start);
    }
    return '"' + isolated(shown) + '"';
}

// A figure rounded to so many decimals, as a conversion is quoted.
std::string rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double scaled = std::round(value * scale) / scale;
    return TextOfDouble(std::isfinite(scaled) ? scaled : value);
}

}  // namespace

std::string misreadWords(const std::string& name, std::string_view text, FieldUnit unit)
{
    const Misreading misreading = misreadingOf(text, unit);
    if (misreading == Misreading::None)
        return {};
    const std::string read = TextOfDouble(ValueOfText(text).value_or(0.0));
    std::string words = name + ": " + quoted(text) + " is read as " + read;
    struct Conversion {
        Misreading misreading;
        std::string_view unit, sheetUnit, sheetUnitName;
        double factor;  // sheet units to one unit
        int decimals;
    };
    static constexpr Conversion kConversions[] = {
        {Misreading::Kilograms, "kg", "lb", "pounds", 1 / 0.45359237, 1},
        {Misreading::Millimetres, "mm", "in", "inches", 1 / 25.4, 2},
        {Misreading::Centimetres, "cm", "in", "inches", 1 / 2.54, 2},
        {Misreading::Metres, "m", "in", "inches", 1 / 0.0254, 2},
    };
    for (const Conversion& c : kConversions) {
        if (c.misreading != misreading)
            continue;
        const double value = ValueOfText(text).value_or(0.0);
        return words + ' ' + std::string(c.sheetUnit) + "; the sheet is in " + std::string(c.sheetUnitName) + " (" +
               read + ' ' + std::string(c.unit) + " = " + rounded(value * c.factor, c.decimals) + ' ' +
               std::string(c.sheetUnit) + ").";
    }
    return words + '.';
}

std::string verdictWords(const Sheet& sheet)
{
    if (!sheet.grossWeightVerdict && !sheet.flyCgVerdict)
        return {};
    std::string words;
    if (sheet.grossWeightVerdict == WeightVerdict::Over)
        words = "Gross weight over " + maxGrossWeightText() + " lb.";
    if (sheet.flyCgVerdict && sheet.flyCgVerdict != CgVerdict::Within)
        words += (words.empty() ? "CG " : " CG ") + cgLimitPhrase(sheet) + '.';
    return words.empty() ? "Within limits." : words;
}

bool totalsCurrent(const Sheet& sheet, const std::optional<CalcFault>& fault)
{
    return !sheet.totalsStale && (!fault || fault->step == FaultStep::Scale);
}

ResultsCurrent resultsCurrent(const Sheet& sheet, const std::optional<CalcFault>& fault)
{
    // Nothing shown yet is nothing stale: the results keep their first colours.
    const bool rowsDone = !fault || (fault->step != FaultStep::RowMoment && fault->step != FaultStep::RowSum);
    return {!sheet.grossWeightVerdict || (!sheet.totalsStale && rowsDone), !sheet.flyCgVerdict || totalsCurrent(sheet, fault),
            !sheet.sliderValue || (!sheet.totalsStale && !fault)};
}

std::string stateWords(const Sheet& sheet, const std::optional<CalcFault>& fault)
{
    if (fault && fault->step == FaultStep::Scale)
        return verdictWords(sheet) + ' ' + describeFault(*fault);
    if (fault)
        return describeFault(*fault);
    if (sheet.totalsStale && sheet.grossWeightVerdict)
        return "Totals not updated: the gross weight is zero or less.";
    return verdictWords(sheet);
}

std::vector<Warning> warningsOf(const Sheet& sheet)
{
    std::vector<Warning> warnings;
    for (int row = 0; row < Sheet::kRowCount; ++row) {
        const auto index = static_cast<std::size_t>(row);
        const std::optional<double> weight = ValueOfText(sheet.weight[index]);
        const struct {
            FieldKind field;
            const std::string* text;
            FieldUnit unit;
        } fields[] = {{FieldKind::Weight, &sheet.weight[index], FieldUnit::Pounds},
                      {FieldKind::Arm, &sheet.arm[index], FieldUnit::Inches}};
        for (const auto& [field, text, unit] : fields) {
            if (std::string misread = misreadWords(fieldName(field, row), *text, unit); !misread.empty())
                warnings.push_back({field, row, Warning::Kind::Misread, std::move(misread)});
            if (field == FieldKind::Weight && weight && *weight < 0)
                warnings.push_back({field, row, Warning::Kind::BelowZero,
                                    fieldName(field, row) + " is below zero: " + TextOfDouble(*weight) + " lb is taken away."});
            if (field == FieldKind::Arm && weight && *weight != 0 && isBlank(*text))
                warnings.push_back({field, row, Warning::Kind::BlankArm,
                                    fieldName(field, row) + " is blank: its " + TextOfDouble(*weight) +
                                        " lb are counted at the datum."});
        }
    }
    return warnings;
}

std::string LinesBeneath::warningText() const
{
    std::string text;
    for (const Warning& warning : warnings)
        text += (text.empty() ? "" : "\n") + warning.words;
    return text;
}

LinesBeneath linesBeneath(const Sheet& sheet, const std::optional<CalcFault>& fault, std::string note, int itemRow,
                          KeptRanges* kept)
{
    return {stateWords(sheet, fault), warningsOf(sheet), readoutWords(sheet, totalsCurrent(sheet, fault), itemRow, kept),
            std::move(note)};
}

Announcements announcementsFor(const LinesBeneath& before, const LinesBeneath& after)
{
    const bool warnedFieldsChanged =
        !std::equal(before.warnings.begin(), before.warnings.end(), after.warnings.begin(), after.warnings.end(),
                    [](const Warning& a, const Warning& b) { return a.sameAs(b); });
    Announcements spoken;
    spoken.warnings = warnedFieldsChanged && !after.warnings.empty();
    spoken.verdict = !after.verdict.empty() && after.verdict != before.verdict;
    return spoken;
}

std::string grossWeightWords(const Sheet& sheet, const std::optional<CalcFault>& fault)
{
    if (!sheet.grossWeightVerdict)
        return {};
    std::string words = sheet.grossWeightVerdict == WeightVerdict::Within ? "within limits"
                                                                                : "out of limits, over " + maxGrossWeightText() + " lb";
    return words + (resultsCurrent(sheet, fault).gross ? "" : ", not updated");
}

std::string flyCgWords(const Sheet& sheet, const std::optional<CalcFault>& fault)
{
    if (!sheet.flyCgVerdict)
        return {};
    std::string words = sheet.flyCgVerdict == CgVerdict::Within ? "within limits" : "out of limits, " + cgLimitPhrase(sheet);
    return words + (resultsCurrent(sheet, fault).flyCg ? "" : ", not updated");
}

std::string scaleWords(const Sheet& sheet, const std::optional<CalcFault>& fault)
{
    if (!sheet.sliderValue)
        return "No CG yet";
    std::string words = "CG " + withoutBlanks(sheet.flyCg) + " in";
    if (*sheet.sliderValue < kScaleMinimum)
        words += ", forward of the scale";
    else if (*sheet.sliderValue > kScaleMaximum)
        words += ", aft of the scale";
    return words + (resultsCurrent(sheet, fault).scale ? "" : ", not updated");
}

std::string resultSummary(const Sheet& sheet, const std::optional<CalcFault>& fault)
{
    if (!sheet.grossWeightVerdict)
        return fault ? describeFault(*fault) : "No weight entered yet.";
    std::string summary;
    if (!totalsCurrent(sheet, fault))
        summary = stateWords(sheet, fault) + ' ';
    summary += "Gross weight " + sheet.grossWeight + " lb, " + grossWeightWords(sheet, fault) + '.';
    if (sheet.flyCgVerdict)
        summary += " CG " + withoutBlanks(sheet.flyCg) + " in, " + flyCgWords(sheet, fault) + '.';
    if (const std::string readouts = readoutWords(sheet, totalsCurrent(sheet, fault)); !readouts.empty())
        summary += ' ' + readouts;
    return summary;
}

std::string checkWords(std::size_t warnings)
{
    if (warnings == 0)
        return {};
    return std::to_string(warnings) + (warnings == 1 ? " number to check" : " numbers to check");
}

std::string cutWords(FieldKind field, int row)
{
    std::string most = std::to_string(kMaxFieldCharacters);
    for (auto at = static_cast<std::ptrdiff_t>(most.size()) - 3; at > 0; at -= 3)
        most.insert(static_cast<std::size_t>(at), 1, ',');  // a character: see kilogramsOf on GCC 12
    return fieldName(field, row) + " keeps at most " + most + " characters; the rest was cut.";
}

std::string maxGrossWeightText() { return TextOfDouble(kMaxGrossWeight); }
std::string forwardCgLimitText() { return withoutBlanks(FormatCg(kForwardCgLimit)); }
std::string aftCgLimitText() { return withoutBlanks(FormatCg(kAftCgLimit)); }

std::string limitCaption(LimitCaption limit)
{
    switch (limit) {
    case LimitCaption::MaxGrossWeight:
        return "Maximum Gross Weight : " + maxGrossWeightText() + " pounds";
    case LimitCaption::ForwardCg:
        return "Forward CG Limit : " + forwardCgLimitText() + " inches";
    case LimitCaption::AftCg:
        return "Aft CG Limit : " + aftCgLimitText() + " inches";
    case LimitCaption::None:
        break;
    }
    return {};
}

std::string figureAsRead(std::string_view text)
{
    const std::optional<double> value = ValueOfText(text);
    return value ? TextOfDouble(*value) : isolated(shortened(text));
}

std::string withArticle(std::string_view figure, bool capital)
{
    // The whole part, spoken a group of three digits at a time from the left.
    const std::string_view whole = figure.substr(0, figure.find_first_of(".E"));
    const bool digits = !whole.empty() && std::all_of(whole.begin(), whole.end(), [](char c) { return c >= '0' && c <= '9'; });
    const std::size_t lead = whole.size() % 3 == 0 ? 3 : whole.size() % 3;
    const int first = digits && whole[0] != '0' ? std::stoi(std::string(whole.substr(0, lead))) : 0;
    const bool vowel = first == 8 || first == 11 || first == 18 || first / 10 == 8 || first / 100 == 8;
    return std::string(vowel ? (capital ? "An " : "an ") : (capital ? "A " : "a ")) + std::string(figure);
}

bool isBlank(std::string_view text) { return text.find_first_not_of(" \t\n") == std::string_view::npos; }

std::string withoutBlanks(std::string text)
{
    std::erase(text, ' ');
    return text;
}

std::string shortened(std::string_view text, std::size_t characters)
{
    std::size_t at = 0;
    for (std::size_t n = 0; n < characters && at < text.size(); ++n)
        nextCharacter(text, at);
    return at >= text.size() ? std::string(text) : std::string(text.substr(0, at)) + "\u2026";
}

std::string isolated(std::string_view text)
{
    // Marks that change the direction of what follows would escape or break
    // the isolation; they show as replacement characters instead.
    static constexpr std::string_view kDirectionMarks[] = {
        "\u061C", "\u200E", "\u200F", "\u202A", "\u202B", "\u202C", "\u202D",
        "\u202E", "\u2066", "\u2067", "\u2068", "\u2069"};
    std::string inside(text);
    for (const std::string_view mark : kDirectionMarks)
        for (std::size_t at = inside.find(mark); at != std::string::npos; at = inside.find(mark, at))
            inside.replace(at, mark.size(), "\uFFFD");
    // Hebrew, Arabic, Syriac, Thaana, N'Ko and their kin, their presentation
    // forms, and the right-to-left scripts beyond the first plane.
    const auto rightToLeft = [](char32_t c) {
        return (c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFE) ||
               (c >= 0x10800 && c <= 0x10FFF) || (c >= 0x1E800 && c <= 0x1EFFF);
    };
    for (std::size_t at = 0; at < inside.size();)
        if (rightToLeft(nextCharacter(inside, at)))
            return "\u2068" + inside + "\u2069";
    return inside;
}

}  // namespace kq71wb
