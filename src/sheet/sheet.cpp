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

std::optional<FaultStep> RowSums::add(std::string_view weightText, std::string_view armText,
                                      std::string& momentCaption)
{
    const std::optional<double> arm = ValueOfText(armText);
    const std::optional<double> rowWeight = ValueOfText(weightText);
    if (!arm || !rowWeight)
        return FaultStep::RowMoment;
    const double product = *rowWeight * *arm;
    if (overflows(product))
        return FaultStep::RowMoment;
    writeTextOfDouble(product, momentCaption);
    // The caption as written, not the product: 1/3 enters as 0.333333333333333.
    const std::optional<double> shownMoment = ValueOfText(momentCaption);
    if (!shownMoment)
        return FaultStep::RowSum;
    return add(*rowWeight, *shownMoment);
}

std::optional<FaultStep> RowSums::add(double rowWeight, double shownMoment)
{
    weight += rowWeight;
    moment += shownMoment;
    if (overflows(weight) || overflows(moment))
        return FaultStep::RowSum;
    return std::nullopt;
}

std::optional<CalcFault> Calc(Sheet& sheet)
{
    RowSums sums;
    for (int row = 0; row < Sheet::kRowCount; ++row) {
        const auto index = static_cast<std::size_t>(row);
        if (const std::optional<FaultStep> step = sums.add(sheet.weight[index], sheet.arm[index], sheet.moment[index])) {
            // This row's caption was written only if its product was sound; later rows keep theirs.
            for (int later = row; later < Sheet::kRowCount; ++later)
                sheet.momentStale[static_cast<std::size_t>(later)] = later > row || *step == FaultStep::RowMoment;
            return CalcFault{*step, row};
        }
        sheet.momentStale[index] = false;
    }
    return CalcTotals(sheet, sums);
}

// The limits are judged on the figures as written, to 15 digits: binary sums
// such as 408.1 + 410.3 + 81.6 land a hair off a limit that the decimal
// loading meets exactly.
WeightVerdict weightVerdictOf(double grossWeight)
{
    return roundTo15Digits(grossWeight) > kMaxGrossWeight ? WeightVerdict::Over : WeightVerdict::Within;
}

// The CG is judged to 15 digits too, never on its two shown decimals: 11.699
// shows as 11.70 but is forward of the limit.
CgVerdict cgVerdictOf(double cg)
{
    const double judgedCg = roundTo15Digits(cg);
    if (judgedCg < kForwardCgLimit)
        return CgVerdict::Forward;
    if (judgedCg > kAftCgLimit)
        return CgVerdict::Aft;
    return CgVerdict::Within;
}

std::optional<CalcFault> CalcTotals(Sheet& sheet, const RowSums& sums)
{
    const double grossWeight = sums.weight;
    const double grossMoment = sums.moment;
    sheet.totalsStale = !(grossWeight > 0.0);
    if (sheet.totalsStale)
        return std::nullopt;

    writeTextOfDouble(grossWeight, sheet.grossWeight);
    writeTextOfDouble(grossMoment, sheet.grossMoment);
    sheet.grossWeightVerdict = weightVerdictOf(grossWeight);

    const double cg = grossMoment / grossWeight;
    if (overflows(cg))
        return CalcFault{FaultStep::CentreOfGravity, -1};
    writeTextOfDouble(cg, sheet.flyCgDigits);
    sheet.flyCg = FormatCgOfText(sheet.flyCgDigits);  // the digits written once
    sheet.flyCgVerdict = cgVerdictOf(cg);

    const double tenths = cg * 10.0;
    const std::optional<std::int32_t> slider = overflows(tenths) ? std::nullopt : NearestInteger(tenths);
    if (!slider)
        return CalcFault{FaultStep::Scale, -1};
    sheet.sliderValue = *slider;
    return std::nullopt;
}

}  // namespace kq71wb
