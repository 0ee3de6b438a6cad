#include "sheet.h"

#include <gtest/gtest.h>

#include <vector>

namespace kq71wb {
namespace {

struct Row {
    std::string weight;
    std::string arm;
};

Sheet SheetOf(const std::vector<Row>& rows)
{
    Sheet sheet;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        sheet.weight[i] = rows[i].weight;
        sheet.arm[i] = rows[i].arm;
    }
    return sheet;
}

// A sheet whose every output already shows something, so that a pass that
// leaves an output alone can be told from one that rewrites it.
Sheet StaleSheetOf(const std::vector<Row>& rows)
{
    Sheet sheet = SheetOf(rows);
    for (int i = 0; i < Sheet::kRowCount; ++i)
        sheet.moment[static_cast<std::size_t>(i)] = "stale " + std::to_string(i);
    sheet.grossWeight = "stale weight";
    sheet.grossMoment = "stale moment";
    sheet.flyCg = "stale cg";
    sheet.grossWeightVerdict = WeightVerdict::Over;
    sheet.flyCgVerdict = CgVerdict::Aft;
    sheet.sliderValue = 999;
    return sheet;
}

struct Expected {
    std::vector<std::string> moments;  // rows not listed show "0"
    std::string grossWeight;
    std::string grossMoment;
    std::string flyCg;
    std::optional<WeightVerdict> weightVerdict;
    std::optional<CgVerdict> cgVerdict;
    std::optional<std::int32_t> slider;
};

struct CalcCase {
    const char* name;
    std::vector<Row> rows;
    Expected expected;
};

void ExpectSheet(const Sheet& sheet, const Expected& expected)
{
    for (std::size_t i = 0; i < Sheet::kRowCount; ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_EQ(sheet.moment[i], i < expected.moments.size() ? expected.moments[i] : "0");
    }
    EXPECT_EQ(sheet.grossWeight, expected.grossWeight);
    EXPECT_EQ(sheet.grossMoment, expected.grossMoment);
    EXPECT_EQ(sheet.flyCg, expected.flyCg);
    EXPECT_EQ(sheet.grossWeightVerdict, expected.weightVerdict);
    EXPECT_EQ(sheet.flyCgVerdict, expected.cgVerdict);
    EXPECT_EQ(sheet.sliderValue, expected.slider);
}

TEST(Calc, CompletedPasses)
{
    using W = WeightVerdict;
    using C = CgVerdict;
    const CalcCase cases[] = {
        {"empty aircraft and pilot", {{"600", "14"}, {"170", "-20"}},
         {{"8400", "-3400"}, "770", "5000", "  6.49", W::Within, C::Forward, 65}},
        {"gross weight exactly at the limit", {{"900", "14"}},
         {{"12600"}, "900", "12600", "  14.00", W::Within, C::Within, 140}},
        {"gross weight just over", {{"900.01", "14"}},
         {{"12600.14"}, "900.01", "12600.14", "  14.00", W::Over, C::Within, 140}},
        {"gross weight shown unrounded", {{"900.4", "14"}},
         {{"12605.6"}, "900.4", "12605.6", "  14.00", W::Over, C::Within, 140}},
        {"CG exactly at the forward limit", {{"100", "11.7"}},
         {{"1170"}, "100", "1170", "  11.70", W::Within, C::Within, 117}},
        {"CG exactly at the aft limit", {{"100", "16"}},
         {{"1600"}, "100", "1600", "  16.00", W::Within, C::Within, 160}},
        {"CG rounds to the forward limit but lies ahead of it", {{"100", "11.699"}},
         {{"1169.9"}, "100", "1169.9", "  11.70", W::Within, C::Forward, 117}},
        {"CG rounds to the aft limit but lies behind it", {{"100", "16.004"}},
         {{"1600.4"}, "100", "1600.4", "  16.00", W::Within, C::Aft, 160}},
        {"totals summed from the captions as shown",
         {{"1", "0.33333333333333333"}, {"1", "0.33333333333333333"}, {"1", "0.33333333333333333"}},
         {{"0.333333333333333", "0.333333333333333", "0.333333333333333"},
          "3", "0.999999999999999", "  .33", W::Within, C::Forward, 3}},
        {"weight without an arm", {{"100", ""}},
         {{"0"}, "100", "0", "  .00", W::Within, C::Forward, 0}},
        {"negative weight lowers the total", {{"600", "14"}, {"-100", "10"}},
         {{"8400", "-1000"}, "500", "7400", "  14.80", W::Within, C::Within, 148}},
        {"last row counts like the first", {{}, {}, {}, {}, {}, {}, {}, {"100", "15"}},
         {{"0", "0", "0", "0", "0", "0", "0", "1500"}, "100", "1500", "  15.00", W::Within, C::Within, 150}},
        {"scale tie goes to the even tenth", {{"100", "12.25"}},
         {{"1225"}, "100", "1225", "  12.25", W::Within, C::Within, 122}},
        {"scale tie upwards to the even tenth", {{"100", "12.75"}},
         {{"1275"}, "100", "1275", "  12.75", W::Within, C::Within, 128}},
        {"CG off the end of the scale is still passed on", {{"10", "50"}},
         {{"500"}, "10", "500", "  50.00", W::Within, C::Aft, 500}},
        {"negative CG", {{"100", "-20"}},
         {{"-2000"}, "100", "-2000", "-  20.00", W::Within, C::Forward, -200}},
        {"underflowing product is zero and no fault", {{"600", "14"}, {"1E-200", "1E-200"}},
         {{"8400", "0"}, "600", "8400", "  14.00", W::Within, C::Within, 140}},
    };
    for (const CalcCase& c : cases) {
        SCOPED_TRACE(c.name);
        Sheet sheet = SheetOf(c.rows);
        EXPECT_EQ(Calc(sheet), std::nullopt);
        ExpectSheet(sheet, c.expected);
    }
}

TEST(Calc, NoGrossWeightLeavesTotalsAlone)
{
    const struct {
        const char* name;
        std::vector<Row> rows;
        std::vector<std::string> moments;
    } cases[] = {
        {"every text empty, pilot arm -20 (a negative zero moment)", {{}, {"", "-20"}}, {}},
        {"weights cancel out", {{"100", "10"}, {"-100", "10"}}, {"1000", "-1000"}},
        {"junk texts", {{"abc", "xyz"}, {"lb", "12"}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Sheet stale = StaleSheetOf(c.rows);
        EXPECT_EQ(Calc(stale), std::nullopt);
        ExpectSheet(stale, {c.moments, "stale weight", "stale moment", "stale cg", WeightVerdict::Over,
                            CgVerdict::Aft, 999});

        // Before any pass with a weight, nothing is coloured and the scale is unset.
        Sheet fresh = SheetOf(c.rows);
        EXPECT_EQ(Calc(fresh), std::nullopt);
        ExpectSheet(fresh, {c.moments, "", "", "", std::nullopt, std::nullopt, std::nullopt});
    }
}

TEST(Calc, ClearingWeightsKeepsTheLastTotals)
{
    Sheet sheet = SheetOf({{"600", "14"}, {"170", "-20"}});
    ASSERT_EQ(Calc(sheet), std::nullopt);
    sheet.weight[0].clear();
    sheet.weight[1].clear();
    EXPECT_EQ(Calc(sheet), std::nullopt);
    ExpectSheet(sheet, {{"0", "0"}, "770", "5000", "  6.49", WeightVerdict::Within, CgVerdict::Forward, 65});
}

TEST(Calc, FaultsEndThePassWhereTheyHappen)
{
    const std::vector<Row> goodRows = {{"600", "14"}, {"170", "-20"}, {"20", "30"}};
    const auto withRow = [&](std::size_t index, Row row) {
        std::vector<Row> rows = goodRows;
        rows.resize(index + 1);
        rows[index] = row;
        return rows;
    };
    const std::string rowsFaultText = "Overflow: a number is too large; the totals were not updated.";
    const struct {
        const char* name;
        std::vector<Row> rows;
        CalcFault fault;
        int freshMoments;  // rows whose moment caption this pass wrote
    } cases[] = {
        {"product too large in row 3", withRow(3, {"1E200", "1E200"}),
         {ArithmeticFault::Overflow, FaultStep::RowMoment, 3}, 3},
        {"weight text beyond a double in row 5", withRow(5, {"1E400", "1"}),
         {ArithmeticFault::Overflow, FaultStep::RowMoment, 5}, 5},
        {"arm text beyond a double in row 0", {{"1", "-1E400"}},
         {ArithmeticFault::Overflow, FaultStep::RowMoment, 0}, 0},
        {"gross weight too large", {{"1.5E308", "0"}, {"1.5E308", "0"}},
         {ArithmeticFault::Overflow, FaultStep::RowSum, 1}, 2},
        {"gross moment too large", {{"1", "1E308"}, {"1", "1E308"}},
         {ArithmeticFault::Overflow, FaultStep::RowSum, 1}, 2},
        {"moment caption rounds beyond a double", {{"1.7976931348623157E308", "1"}},
         {ArithmeticFault::Overflow, FaultStep::RowSum, 0}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Sheet sheet = StaleSheetOf(c.rows);
        const Sheet before = sheet;
        Sheet reference = SheetOf(c.rows);
        Calc(reference);  // the moments a pass writes up to the fault

        const std::optional<CalcFault> fault = Calc(sheet);
        ASSERT_TRUE(fault.has_value());
        EXPECT_EQ(fault->kind, c.fault.kind);
        EXPECT_EQ(fault->step, c.fault.step);
        EXPECT_EQ(fault->row, c.fault.row);
        EXPECT_EQ(DescribeFault(*fault), rowsFaultText);
        for (std::size_t i = 0; i < Sheet::kRowCount; ++i) {
            SCOPED_TRACE("row " + std::to_string(i));
            const bool fresh = static_cast<int>(i) < c.freshMoments;
            EXPECT_EQ(sheet.moment[i], fresh ? reference.moment[i] : before.moment[i]);
            EXPECT_NE(sheet.moment[i].rfind("stale", 0) == 0, fresh);
        }
        ExpectSheet(sheet, {{sheet.moment.begin(), sheet.moment.end()}, "stale weight", "stale moment",
                            "stale cg", WeightVerdict::Over, CgVerdict::Aft, 999});
    }
}

TEST(Calc, CentreOfGravityTooLarge)
{
    // The weights cancel but for a sliver, so the CG divides a huge moment by it.
    Sheet sheet = StaleSheetOf({{"1E200", "1E100"}, {"-1E200", "0"}, {"1E-300", "0"}});
    const std::optional<CalcFault> fault = Calc(sheet);
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->step, FaultStep::CentreOfGravity);
    EXPECT_EQ(DescribeFault(*fault), "Overflow: a number is too large; the centre of gravity was not updated.");
    ExpectSheet(sheet, {{"1E+300", "0", "0"},
                        "1E-300", "1E+300", "stale cg", WeightVerdict::Within, CgVerdict::Aft, 999});
}

TEST(Calc, CentreOfGravityOffTheScale)
{
    Sheet sheet = StaleSheetOf({{"1", "3E8"}});
    const std::optional<CalcFault> fault = Calc(sheet);
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->step, FaultStep::Scale);
    ExpectSheet(sheet, {{"300000000"}, "1", "300000000", "  300000000.00", WeightVerdict::Within,
                        CgVerdict::Aft, 999});
}

TEST(VerdictWords, FollowTheVerdictsShown)
{
    using W = WeightVerdict;
    using C = CgVerdict;
    const struct {
        std::optional<W> weight;
        std::optional<C> cg;
        const char* words;
    } cases[] = {
        {std::nullopt, std::nullopt, ""},
        {W::Within, C::Within, "Within limits."},
        {W::Over, C::Within, "Gross weight over 900 lb."},
        {W::Within, C::Forward, "CG forward of the 11.70 in limit."},
        {W::Within, C::Aft, "CG aft of the 16.00 in limit."},
        {W::Over, C::Aft, "Gross weight over 900 lb. CG aft of the 16.00 in limit."},
        {W::Over, std::nullopt, "Gross weight over 900 lb."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words);
        Sheet sheet;
        sheet.grossWeightVerdict = c.weight;
        sheet.flyCgVerdict = c.cg;
        EXPECT_EQ(VerdictWords(sheet), c.words);
    }
}

}  // namespace
}  // namespace kq71wb
