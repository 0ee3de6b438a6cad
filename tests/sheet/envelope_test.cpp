#include "envelope.h"

#include <gtest/gtest.h>

#include "conversions.h"
#include "sheet_of.h"
#include "words.h"

namespace kq71wb {
namespace {

// The chart of a loading: its point and label as the sheet shows them, and a
// pilot line from no pilot to the heaviest the range allows.
TEST(Envelope, DrawsTheLoadingItsLimitsAndThePilotLine)
{
    const struct {
        Rows rows;
        std::string label;
        bool within;
        std::string words;  // after the chart's own
    } cases[] = {
        {{{"610", "23.65"}, {"170", "-20"}}, "780 lb, CG 14.14 in", true,
         " This loading: 780 lb, CG 14.14 in, within limits. Pilot line: 610 lb at CG 23.65 in with no pilot, to 839 lb "
         "at CG 11.74 in with a 229 lb pilot."},
        // No pilot keeps it within: the line runs to 900 lb; the point lies off the chart.
        {{{"610", "40"}, {"170", "-20"}}, "780 lb, CG 26.92 in", false,
         " This loading: 780 lb, CG 26.92 in, out of limits, off the chart. Pilot line: 610 lb at CG 40.00 in with no "
         "pilot, to 900 lb at CG 20.67 in with a 290 lb pilot."},
    };
    for (const auto& c : cases) {
        const Sheet sheet = passed(c.rows);
        const Envelope envelope = envelopeOf(sheet, true);
        EXPECT_EQ(envelope.pointLabel, c.label);
        EXPECT_EQ(envelope.pointWithin, c.within) << c.label;
        ASSERT_TRUE(envelope.point);
        EXPECT_EQ(*envelope.point, (ChartPoint{ValueOfText(withoutBlanks(sheet.flyCg)).value(), ValueOfText(sheet.grossWeight).value()}));
        EXPECT_EQ(envelope.words.substr(envelope.words.find(" This loading")), c.words);
    }
    // The limits as the area, and their figures apart from the inches.
    const Envelope empty = envelopeOf(passed({{}, {"", "-20"}}), true);
    EXPECT_EQ(empty.area, (std::vector<ChartPoint>{{11.7, 400}, {11.7, 900}, {16, 900}, {16, 400}}));
    EXPECT_EQ(empty.words, "Envelope chart: gross weight up the side from 400 lb to 1000 lb, CG across from 8 to 20 in. "
                           "Within limits: CG 11.70 to 16.00 in, up to 900 lb.");
    EXPECT_TRUE(!empty.point && empty.pilotLine.empty());
    // A faulted sheet (totals not updated) drew a pilot line from the rows Calc could read.
    Sheet faulted = passed({{"610", "23.65"}, {"170", "-20"}});
    faulted.weight[2] = "1E400";
    const Envelope stale = envelopeOf(faulted, totalsCurrent(faulted, Calc(faulted)));
    EXPECT_EQ(stale.words.substr(empty.words.size()), " This loading is not drawn: its totals are not updated.");
}

}  // namespace
}  // namespace kq71wb
