#include "envelope.h"

#include <algorithm>
#include <cmath>

#include "conversions.h"
#include "readouts.h"
#include "words.h"

namespace kq71wb {
namespace {

constexpr int kPilotLinePoints = 25;

// A figure of the chart's words: pounds to a tenth, a CG as the sheet shows one.
std::string pounds(double weight) { return TextOfDouble(std::round(weight * 10) / 10) + " lb"; }
std::string cgInches(double cg) { return "CG " + withoutBlanks(FormatCg(cg)) + " in"; }

bool onChart(const ChartPoint& point)
{
    return point.cg >= Envelope::kLowest.cg && point.cg <= Envelope::kHighest.cg &&
           point.weight >= Envelope::kLowest.weight && point.weight <= Envelope::kHighest.weight;
}

}  // namespace

Envelope envelopeOf(const Sheet& sheet, bool totalsCurrent)
{
    Envelope envelope;
    for (int inches = 8; inches <= 20; inches += 2)
        envelope.cgTicks.push_back({static_cast<double>(inches), std::to_string(inches)});
    envelope.cgTicks.push_back({kForwardCgLimit, forwardCgLimitText(), true});
    envelope.cgTicks.push_back({kAftCgLimit, aftCgLimitText(), true});
    for (int weight = 400; weight <= 1000; weight += 100)
        envelope.weightTicks.push_back({static_cast<double>(weight), std::to_string(weight)});
    envelope.area = {{kForwardCgLimit, Envelope::kLowest.weight}, {kForwardCgLimit, kMaxGrossWeight},
                     {kAftCgLimit, kMaxGrossWeight}, {kAftCgLimit, Envelope::kLowest.weight}};
    envelope.words = "Envelope chart: gross weight up the side from " + pounds(Envelope::kLowest.weight) + " to " +
                     pounds(Envelope::kHighest.weight) + ", CG across from " + TextOfDouble(Envelope::kLowest.cg) +
                     " to " + TextOfDouble(Envelope::kHighest.cg) + " in. Within limits: CG " + forwardCgLimitText() +
                     " to " + aftCgLimitText() + " in, up to " + maxGrossWeightText() + " lb.";

    if (totalsCurrent && sheet.grossWeightVerdict && sheet.flyCgVerdict) {
        const ChartPoint point{ValueOfText(withoutBlanks(sheet.flyCg)).value_or(0),
                               ValueOfText(sheet.grossWeight).value_or(0)};
        envelope.point = point;
        envelope.pointWithin = withinLimits(sheet);
        envelope.pointLabel = sheet.grossWeight + " lb, CG " + withoutBlanks(sheet.flyCg) + " in";
        envelope.words += " This loading: " + envelope.pointLabel + ", " +
                          (envelope.pointWithin ? "within limits" : "out of limits") +
                          (onChart(point) ? "." : ", off the chart.");
    }

    // The pilot line: every row but the pilot's, with a pilot of p pounds at
    // the pilot's arm, for p from none to the heaviest the limits allow.
    double weight = 0, moment = 0;
    for (std::size_t row = 0; row < Sheet::kRowCount; ++row) {
        if (row == static_cast<std::size_t>(kPilotRow))
            continue;
        const double w = ValueOfText(sheet.weight[row]).value_or(0);
        weight += w;
        moment += w * ValueOfText(sheet.arm[row]).value_or(0);
    }
    const double arm = ValueOfText(sheet.arm[static_cast<std::size_t>(kPilotRow)]).value_or(0);
    const std::optional<WeightRange> range = pilotWeights(sheet);
    const double heaviest = range && range->any() ? range->high : kMaxGrossWeight - weight;
    if (weight > 0 && heaviest > 0 && std::isfinite(moment) && weight <= 2 * kMaxGrossWeight) {
        for (int i = 0; i < kPilotLinePoints; ++i) {
            const double pilot = heaviest * i / (kPilotLinePoints - 1);
            envelope.pilotLine.push_back({(moment + pilot * arm) / (weight + pilot), weight + pilot});
        }
        const ChartPoint& first = envelope.pilotLine.front();
        const ChartPoint& last = envelope.pilotLine.back();
        envelope.words += " Pilot line: " + pounds(first.weight) + " at " + cgInches(first.cg) + " with no pilot, to " +
                          pounds(last.weight) + " at " + cgInches(last.cg) + " with a " + TextOfDouble(heaviest) +
                          " lb pilot.";
    }
    return envelope;
}

}  // namespace kq71wb
