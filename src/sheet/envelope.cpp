#include "envelope.h"

#include <algorithm>
#include <cmath>
#include <string_view>

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
    } else if (!totalsCurrent && sheet.grossWeightVerdict) {
        envelope.words += " This loading is not drawn: its totals are not updated.";
    }

    // The pilot line: every row but the pilot's, summed as Calc sums them,
    // with a pilot of p pounds at the pilot's arm, for p from none to the
    // heaviest the limits allow. None while the totals are not current: a
    // row Calc could not read ("1E400") is no row of nothing.
    RowSums others;
    std::string moment;
    bool sound = totalsCurrent;
    for (std::size_t row = 0; row < Sheet::kRowCount && sound; ++row)
        sound = row == static_cast<std::size_t>(kPilotRow) || !others.add(sheet.weight[row], sheet.arm[row], moment);
    const double weight = others.weight;
    const double arm = ValueOfText(sheet.arm[static_cast<std::size_t>(kPilotRow)]).value_or(0);
    const std::optional<WeightRange> range = pilotWeights(sheet);
    const double heaviest = range && range->any() ? range->high : kMaxGrossWeight - weight;
    if (sound && weight > 0 && heaviest > 0 && weight <= 2 * kMaxGrossWeight) {
        for (int i = 0; i < kPilotLinePoints; ++i) {
            const double pilot = heaviest * i / (kPilotLinePoints - 1);
            envelope.pilotLine.push_back({(others.moment + pilot * arm) / (weight + pilot), weight + pilot});
        }
        const ChartPoint& first = envelope.pilotLine.front();
        const ChartPoint& last = envelope.pilotLine.back();
        envelope.words += " Pilot line: " + pounds(first.weight) + " at " + cgInches(first.cg) + " with no pilot, to " +
                          pounds(last.weight) + " at " + cgInches(last.cg) + " with a " + TextOfDouble(heaviest) +
                          " lb pilot.";
    }
    return envelope;
}

namespace {

// How wide a text may be at a size, on the wide side: the sans-serif fonts a
// device may have draw a figure or letter in 0.55 to 0.7 of the size.
double textWidth(std::string_view text, double size)
{
    double ems = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ems += std::string_view(" .,:;()il").find(c) != std::string_view::npos ? 0.4 : 0.7;
    return ems * size;
}

struct Span {
    double left = 0, right = 0;
    bool meets(const Span& other) const { return left < other.right && other.left < right; }
};

Span spanOf(const ChartText& text, double size)
{
    double widest = 0;
    for (const std::string& line : text.lines)
        widest = std::max(widest, textWidth(line, size));
    const double left = text.anchor == ChartText::Anchor::Start ? text.x
                        : text.anchor == ChartText::Anchor::Middle ? text.x - widest / 2
                                                                   : text.x - widest;
    return {left, left + widest};
}

// A text's x moved so that it lies within [0, width].
void keepWithin(ChartText& text, double width, double size)
{
    const Span span = spanOf(text, size);
    text.x += std::max(0.0, -span.left) - std::max(0.0, span.right - width);
}

}  // namespace

PicturePoint ChartLayout::at(const ChartPoint& point) const
{
    const ChartPoint& low = Envelope::kLowest;
    const ChartPoint& high = Envelope::kHighest;
    return {plotLeft + (point.cg - low.cg) / (high.cg - low.cg) * plotWidth,
            plotTop + plotHeight - (point.weight - low.weight) / (high.weight - low.weight) * plotHeight};
}

PicturePoint ChartLayout::within(const ChartPoint& point) const
{
    const PicturePoint p = at(point);
    return {std::clamp(p.x, plotLeft, plotLeft + plotWidth), std::clamp(p.y, plotTop, plotTop + plotHeight)};
}

ChartText ChartLayout::labelAt(const PicturePoint& point, const std::string& label) const
{
    constexpr double kMarker = 9;  // past the point's dot or cross
    ChartText text{point.x, 0, {label}, ChartText::Anchor::Start, false};
    if (const std::size_t comma = label.find(", "); textWidth(label, textSize) > width && comma != std::string::npos)
        text.lines = {label.substr(0, comma + 1), label.substr(comma + 2)};
    const Span span = spanOf(text, textSize);
    if (point.x + (span.right - span.left) > width)
        text.anchor = point.x - (span.right - span.left) >= 0 ? ChartText::Anchor::End : ChartText::Anchor::Middle;
    keepWithin(text, width, textSize);
    const double lines = static_cast<double>(text.lines.size() - 1) * kChartLineHeight * textSize;
    const double above = point.y - kMarker - lines;
    text.y = above - 0.9 * textSize >= 0 ? above : point.y + kMarker + 0.9 * textSize;
    return text;
}

ChartLayout layOutChart(double width, double textSize)
{
    const double f = textSize, gap = 0.4 * f, row = kChartLineHeight * f;
    ChartLayout chart;
    chart.width = width;
    chart.textSize = f;
    const Envelope frame = envelopeOf(Sheet{}, false);
    chart.plotLeft = textWidth("1000", f) + gap;
    const double right = textWidth("20", f) / 2 + 0.2 * f;
    chart.plotWidth = std::max(width - chart.plotLeft - right, f);
    chart.plotHeight = std::max(0.6 * chart.plotWidth, 6 * row);  // a line of text between 100 lb and the next

    // Above the plot: the limits' figures over their lines, drawn apart
    // (outward) when they would meet, and "lb" over the weights; a text that
    // still meets another goes a row higher.
    std::vector<std::pair<ChartText, int>> above;
    std::vector<ChartText> overPlot;
    for (const ChartTick& tick : frame.cgTicks)
        if (tick.limit)
            overPlot.push_back({chart.at({tick.at, 0}).x, 0, {tick.label}, ChartText::Anchor::Middle, true});
    if (overPlot.size() == 2 && spanOf(overPlot[0], f).right + gap > spanOf(overPlot[1], f).left) {
        overPlot[0].anchor = ChartText::Anchor::End;
        overPlot[1].anchor = ChartText::Anchor::Start;
    }
    overPlot.push_back({chart.plotLeft - gap, 0, {"lb"}, ChartText::Anchor::End, false});
    for (ChartText& text : overPlot) {
        keepWithin(text, width, f);
        const Span room{spanOf(text, f).left - gap, spanOf(text, f).right + gap};
        const auto taken = [&](int placed) {
            return std::any_of(above.begin(), above.end(), [&](const auto& other) {
                return other.second == placed && spanOf(other.first, f).meets(room);
            });
        };
        int placed = 0;
        while (taken(placed))
            ++placed;
        above.emplace_back(text, placed);
    }
    int rows = 1;
    for (const auto& [text, placed] : above)
        rows = std::max(rows, placed + 1);
    // A line of text is some 0.9 of its size above its baseline and 0.2 below:
    // "lb" stands a line above "1000", whose middle is on its line.
    chart.plotTop = 0.85 * f + 0.95 * f + (rows - 1) * row;
    for (auto& [text, placed] : above) {
        text.y = chart.plotTop - 0.85 * f - placed * row;
        chart.texts.push_back(text);
    }

    const auto write = [&chart](double x, double y, const std::string& words, ChartText::Anchor anchor) {
        chart.texts.push_back({x, y, {words}, anchor, false});
    };
    // Up the side every 100 lb, centred on its line.
    for (const ChartTick& tick : frame.weightTicks)
        write(chart.plotLeft - gap, chart.at({0, tick.at}).y + 0.35 * f, tick.label, ChartText::Anchor::End);
    // Along the bottom the inches, as many as have room, and the title below them.
    const double bottom = chart.plotTop + chart.plotHeight;
    double step = 2;
    for (const double wider : {4.0, 6.0, 12.0})
        if ((Envelope::kHighest.cg - Envelope::kLowest.cg) / step * (textWidth("20", f) + gap) > chart.plotWidth)
            step = wider;
    for (const ChartTick& tick : frame.cgTicks)
        if (!tick.limit && std::fmod(tick.at - Envelope::kLowest.cg, step) == 0)
            write(chart.at({tick.at, 0}).x, bottom + gap + 0.75 * f, tick.label, ChartText::Anchor::Middle);
    write(chart.plotLeft + chart.plotWidth / 2, bottom + gap + 0.75 * f + row, "CG (in)", ChartText::Anchor::Middle);
    chart.height = bottom + gap + 0.75 * f + row + 0.3 * f;
    return chart;
}

}  // namespace kq71wb
