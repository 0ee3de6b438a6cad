#include "sheet.h"

#include <cmath>

#include "conversions.h"

namespace kq71wb {
namespace {

// Results are checked one by one rather than through the floating-point status
// flags, which an optimising compiler is free to move or drop. A result that
// is too small for a double simply becomes zero or denormal and is no fault.
// Finite operands never give a NaN here: the only division is by a gross
// weight above zero.
bool overflows(double result) { return !std::isfinite(result); }

}  // namespace

OleColor colorOf(WeightVerdict verdict)
{
    return verdict == WeightVerdict::Within ? kWithinLimitsColor : kOutOfLimitsColor;
}

OleColor colorOf(CgVerdict verdict)
{
    return verdict == CgVerdict::Within ? kWithinLimitsColor : kOutOfLimitsColor;
}

std::string describeFault(const CalcFault& fault)
{
    switch (fault.step) {
    case FaultStep::CentreOfGravity:
        return "Overflow: a number is too large; the centre of gravity was not updated.";
    case FaultStep::Scale:
        return "Overflow: the CG is off the scale; the scale and the CG colour were not updated.";
    case FaultStep::RowMoment:
    case FaultStep::RowSum:
        break;
    }
    return "Overflow: a number is too large; the totals were not updated.";
}

std::string verdictWords(const Sheet& sheet)
{
    if (!sheet.grossWeightVerdict && !sheet.flyCgVerdict)
        return {};
    std::string words;
    if (sheet.grossWeightVerdict == WeightVerdict::Over)
        words = "Gross weight over 900 lb.";
    const auto add = [&words](std::string_view sentence) {
        if (!words.empty())
            words += ' ';
        words += sentence;
    };
    if (sheet.flyCgVerdict == CgVerdict::Forward)
        add("CG forward of the 11.70 in limit.");
    else if (sheet.flyCgVerdict == CgVerdict::Aft)
        add("CG aft of the 16.00 in limit.");
    return words.empty() ? "Within limits." : words;
}

std::string fieldName(FieldKind kind, int row)
{
    static constexpr std::string_view kKinds[] = {"Weight, ", "Arm, ", "Moment, ", "Description, "};
    std::string name(kKinds[static_cast<int>(kind)]);
    if (row == 0)
        return name + "Aircraft Empty";
    if (row == 1)
        return name + "Pilot";
    return name + "item " + std::to_string(row + 1);
}

namespace {

// A field's text as quoted in a message: cut short, without splitting a
// character, so that the message still fits its line.
std::string quoted(std::string_view text)
{
    constexpr std::size_t kShown = 16;
    std::string shown(text.substr(0, kShown));
    if (text.size() > kShown) {
        while (!shown.empty() && (static_cast<unsigned char>(text[shown.size()]) & 0xC0u) == 0x80u)
            shown.pop_back();
        shown += "\u2026";
    }
    return '"' + shown + '"';
}

}  // namespace

std::string misreadWords(const Sheet& sheet)
{
    std::string first;
    int more = 0;
    for (int row = 0; row < Sheet::kRowCount; ++row) {
        const auto index = static_cast<std::size_t>(row);
        for (const auto& [kind, text] : {std::pair{FieldKind::Weight, &sheet.weight[index]},
                                         std::pair{FieldKind::Arm, &sheet.arm[index]}}) {
            if (!isMisread(*text))
                continue;
            if (!first.empty()) {
                ++more;
                continue;
            }
            first = fieldName(kind, row) + ": " + quoted(*text) + " is read as " +
                    TextOfDouble(ValueOfText(*text).value_or(0.0));
        }
    }
    if (first.empty())
        return first;
    return first + (more > 0 ? " (and " + std::to_string(more) + " more)." : ".");
}

std::string totalsWords(const Sheet& sheet)
{
    if (sheet.totalsStale && sheet.grossWeightVerdict)
        return "Totals not updated: the gross weight is zero or less.";
    return verdictWords(sheet);
}

std::string statusWords(const Sheet& sheet)
{
    std::string misread = misreadWords(sheet);
    return misread.empty() ? totalsWords(sheet) : misread;
}

std::string colourWords(WeightVerdict verdict)
{
    return verdict == WeightVerdict::Within ? "within limits" : "out of limits, over 900 lb";
}

std::string colourWords(CgVerdict verdict)
{
    switch (verdict) {
    case CgVerdict::Forward:
        return "out of limits, forward of the 11.70 in limit";
    case CgVerdict::Aft:
        return "out of limits, aft of the 16.00 in limit";
    case CgVerdict::Within:
        break;
    }
    return "within limits";
}

std::string withoutBlanks(std::string text)
{
    std::erase(text, ' ');
    return text;
}

std::string scaleWords(const Sheet& sheet)
{
    if (!sheet.sliderValue)
        return "No CG yet";
    std::string words = "CG " + withoutBlanks(sheet.flyCg) + " in";
    if (*sheet.sliderValue < 100)
        words += ", forward of the scale";
    else if (*sheet.sliderValue > 180)
        words += ", aft of the scale";
    return words;
}

std::optional<CalcFault> Calc(Sheet& sheet)
{
    double grossWeight = 0.0;
    double grossMoment = 0.0;

    for (int row = 0; row < Sheet::kRowCount; ++row) {
        const auto index = static_cast<std::size_t>(row);

        const std::optional<double> arm = ValueOfText(sheet.arm[index]);
        const std::optional<double> weight = ValueOfText(sheet.weight[index]);
        if (!arm || !weight)
            return CalcFault{FaultStep::RowMoment, row};
        const double moment = *weight * *arm;
        if (overflows(moment))
            return CalcFault{FaultStep::RowMoment, row};
        sheet.moment[index] = TextOfDouble(moment);

        grossWeight += *weight;
        if (overflows(grossWeight))
            return CalcFault{FaultStep::RowSum, row};
        // The caption as written, not the product: 1/3 enters as 0.333333333333333.
        const std::optional<double> shownMoment = ValueOfText(sheet.moment[index]);
        if (!shownMoment)
            return CalcFault{FaultStep::RowSum, row};
        grossMoment += *shownMoment;
        if (overflows(grossMoment))
            return CalcFault{FaultStep::RowSum, row};
    }

    sheet.totalsStale = !(grossWeight > 0.0);
    if (sheet.totalsStale)
        return std::nullopt;

    sheet.grossWeight = TextOfDouble(grossWeight);
    sheet.grossMoment = TextOfDouble(grossMoment);
    // The limits are judged on the figures as written, to 15 digits: binary
    // sums such as 408.1 + 410.3 + 81.6 land a hair off a limit that the
    // decimal loading meets exactly.
    sheet.grossWeightVerdict = roundTo15Digits(grossWeight) > kMaxGrossWeight ? WeightVerdict::Over
                                                                               : WeightVerdict::Within;

    const double cg = grossMoment / grossWeight;
    if (overflows(cg))
        return CalcFault{FaultStep::CentreOfGravity, -1};
    sheet.flyCg = FormatCg(cg);

    const double tenths = cg * 10.0;
    const std::optional<std::int32_t> slider = overflows(tenths) ? std::nullopt : NearestInteger(tenths);
    if (!slider)
        return CalcFault{FaultStep::Scale, -1};
    sheet.sliderValue = *slider;

    // The CG is judged to 15 digits too, never on its two shown decimals:
    // 11.699 shows as 11.70 but is forward of the limit.
    const double judgedCg = roundTo15Digits(cg);
    if (judgedCg < kForwardCgLimit)
        sheet.flyCgVerdict = CgVerdict::Forward;
    else if (judgedCg > kAftCgLimit)
        sheet.flyCgVerdict = CgVerdict::Aft;
    else
        sheet.flyCgVerdict = CgVerdict::Within;
    return std::nullopt;
}

}  // namespace kq71wb
