#pragma once

// The loading in its envelope, as a picture described in numbers and words:
// gross weight up the side, CG across, the limits as the area within, the
// loaded point, and the pilot line. Each front end only paints it (the
// printed page with Qt's painter, the web page as SVG), so the two cannot
// draw different charts, and the words are the picture's text alternative.

#include <optional>
#include <string>
#include <vector>

#include "sheet.h"

namespace kq71wb {

struct ChartPoint {
    double cg = 0;      // inches, across
    double weight = 0;  // pounds, up
    bool operator==(const ChartPoint&) const = default;
};

struct ChartTick {
    double at = 0;
    std::string label;  // "400", "11.70"
    bool limit = false;  // a CG limit's, drawn apart from the inches
};

struct Envelope {
    // The chart's extent: every glider loading a pilot may fly lies well within.
    static constexpr ChartPoint kLowest{8.0, 400.0};
    static constexpr ChartPoint kHighest{20.0, 1000.0};
    // The picture's own units, as both front ends draw it: the whole, and the
    // plot within it, with room for the figures around.
    static constexpr double kWidth = 480, kHeight = 316;
    static constexpr double kPlotLeft = 48, kPlotTop = 24, kPlotWidth = 422, kPlotHeight = 252;
    std::vector<ChartTick> cgTicks;      // every 2 in, and the two limits
    std::vector<ChartTick> weightTicks;  // every 100 lb
    // The area within limits, corner by corner, on the chart.
    std::vector<ChartPoint> area;
    // The loading as the sheet shows it, when its totals are current; a point
    // off the chart is drawn at its edge.
    std::optional<ChartPoint> point;
    bool pointWithin = false;
    std::string pointLabel;  // "782.5 lb, CG 14.13 in"
    // Where the point would lie for every pilot weight from none to the
    // heaviest the limits allow (or up to 900 lb when none does).
    std::vector<ChartPoint> pilotLine;
    std::string words;  // the whole picture in words
};

Envelope envelopeOf(const Sheet& sheet, bool totalsCurrent);

}  // namespace kq71wb
