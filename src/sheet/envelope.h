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
    // The loading as the sheet shows it, when its totals are current (else
    // the words say it is not drawn); a point off the chart is drawn at its edge.
    std::optional<ChartPoint> point;
    bool pointWithin = false;
    std::string pointLabel;  // "782.5 lb, CG 14.13 in"
    // Where the point would lie for every pilot weight from none to the
    // heaviest the limits allow (or up to 900 lb when none does); none while
    // the totals are not current.
    std::vector<ChartPoint> pilotLine;
    std::string words;  // the whole picture in words
};

Envelope envelopeOf(const Sheet& sheet, bool totalsCurrent);

// Where a chart point stands in the picture, in its units: x across, y down.
struct PicturePoint {
    double x = 0;
    double y = 0;
    bool operator==(const PicturePoint&) const = default;
};

// Words of the chart: each line's baseline starts, centres or ends at x; the
// first line's baseline is at y, and each next one kChartLineHeight text
// sizes lower.
inline constexpr double kChartLineHeight = 1.25;
struct ChartText {
    enum class Anchor { Start, Middle, End };
    double x = 0;
    double y = 0;
    std::vector<std::string> lines;
    Anchor anchor = Anchor::Middle;
    bool limit = false;  // a CG limit's figure, drawn bold
};

// The chart laid out for a picture `width` units wide whose words are
// `textSize` units tall: the plot leaves room for its figures at that size,
// and where the inches along the bottom would crowd each other only every
// second (or third) is written, never a smaller one. So the words can be as
// large as the text beside the chart, on a phone at any text size: 16 in a
// picture 300 wide, 32 at twice the text size.
struct ChartLayout {
    double width = 0, height = 0, textSize = 0;
    double plotLeft = 0, plotTop = 0, plotWidth = 0, plotHeight = 0;
    std::vector<ChartText> texts;  // the figures on both sides, the limits', "lb" and "CG (in)"

    PicturePoint at(const ChartPoint& point) const;
    // A point off the chart at the chart's edge.
    PicturePoint within(const ChartPoint& point) const;
    // A label beside the point at `point` (as within() places it), inside the
    // picture: above it where there is room, else below; in two lines, split
    // after its comma, when one is wider than the picture.
    ChartText labelAt(const PicturePoint& point, const std::string& label) const;
};
ChartLayout layOutChart(double width, double textSize);

}  // namespace kq71wb
