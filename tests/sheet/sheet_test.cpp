#include "sheet.h"

#include "conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace kq71wb {
namespace {

struct Row {
    std::string weight;
    std::string arm;
};

Sheet sheetOf(const std::vector<Row>& rows)
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
Sheet staleSheetOf(const std::vector<Row>& rows)
{
    Sheet sheet = sheetOf(rows);
    for (std::size_t i = 0; i < Sheet::kRowCount; ++i)
        sheet.moment[i] = "stale " + std::to_string(i);
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
    std::string grossWeight, grossMoment, flyCg;
    std::optional<WeightVerdict> weightVerdict;
    std::optional<CgVerdict> cgVerdict;
    std::optional<std::int32_t> slider;
};

void expectSheet(const Sheet& sheet, const Expected& expected)
{
    for (std::size_t i = 0; i < Sheet::kRowCount; ++i)
        EXPECT_EQ(sheet.moment[i], i < expected.moments.size() ? expected.moments[i] : "0") << "row " << i;
    EXPECT_EQ(sheet.grossWeight, expected.grossWeight);
    EXPECT_EQ(sheet.grossMoment, expected.grossMoment);
    EXPECT_EQ(sheet.flyCg, expected.flyCg);
    EXPECT_EQ(sheet.grossWeightVerdict, expected.weightVerdict);
    EXPECT_EQ(sheet.flyCgVerdict, expected.cgVerdict);
    EXPECT_EQ(sheet.sliderValue, expected.slider);
}

using W = WeightVerdict;
using C = CgVerdict;

TEST(Calc, CompletedPasses)
{
    const struct {
        const char* name;
        std::vector<Row> rows;
        Expected expected;
    } cases[] = {
        {"empty aircraft and pilot", {{"600", "14"}, {"170", "-20"}},
         {{"8400", "-3400"}, "770", "5000", "  6.49", W::Within, C::Forward, 65}},
        {"gross weight exactly at the limit", {{"900", "14"}}, {{"12600"}, "900", "12600", "  14.00", W::Within, C::Within, 140}},
        {"gross weight just over", {{"900.01", "14"}}, {{"12600.14"}, "900.01", "12600.14", "  14.00", W::Over, C::Within, 140}},
        {"CG exactly at the forward limit", {{"100", "11.7"}}, {{"1170"}, "100", "1170", "  11.70", W::Within, C::Within, 117}},
        {"CG exactly at the aft limit", {{"100", "16"}}, {{"1600"}, "100", "1600", "  16.00", W::Within, C::Within, 160}},
        {"CG shows the forward limit but lies ahead of it", {{"100", "11.699"}},
         {{"1169.9"}, "100", "1169.9", "  11.70", W::Within, C::Forward, 117}},
        {"CG shows the aft limit but lies behind it", {{"100", "16.004"}},
         {{"1600.4"}, "100", "1600.4", "  16.00", W::Within, C::Aft, 160}},
        {"totals summed from the captions as shown",
         {{"1", "0.33333333333333333"}, {"1", "0.33333333333333333"}, {"1", "0.33333333333333333"}},
         {{"0.333333333333333", "0.333333333333333", "0.333333333333333"}, "3", "0.999999999999999", "  .33",
          W::Within, C::Forward, 3}},
        {"weight without an arm", {{"100", ""}}, {{"0"}, "100", "0", "  .00", W::Within, C::Forward, 0}},
        {"negative weight lowers the total", {{"600", "14"}, {"-100", "10"}},
         {{"8400", "-1000"}, "500", "7400", "  14.80", W::Within, C::Within, 148}},
        {"last row counts like the first", {{}, {}, {}, {}, {}, {}, {}, {"100", "15"}},
         {{"0", "0", "0", "0", "0", "0", "0", "1500"}, "100", "1500", "  15.00", W::Within, C::Within, 150}},
        {"scale ties go to the even tenth", {{"100", "12.25"}}, {{"1225"}, "100", "1225", "  12.25", W::Within, C::Within, 122}},
        {"CG off the end of the scale is still passed on", {{"10", "50"}}, {{"500"}, "10", "500", "  50.00", W::Within, C::Aft, 500}},
        {"underflowing product is zero and no fault", {{"600", "14"}, {"1E-200", "1E-200"}},
         {{"8400", "0"}, "600", "8400", "  14.00", W::Within, C::Within, 140}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Sheet sheet = sheetOf(c.rows);
        EXPECT_EQ(Calc(sheet), std::nullopt);
        expectSheet(sheet, c.expected);
    }
}

// A decimal number of units of 10^-places, as a pilot would type it.
std::string decimal(long units, int places)
{
    const long scale = places == 2 ? 100 : 10;
    std::string fraction = std::to_string(std::labs(units) % scale);
    fraction.insert(0, static_cast<std::size_t>(places) - fraction.size(), '0');
    return (units < 0 ? "-" : "") + std::to_string(std::labs(units) / scale) + "." + fraction;
}

// Loadings that land exactly on a limit in decimal are within it, however the
// binary sums fall; one hundredth of a pound or an inch beyond is out.
TEST(Calc, LoadingsExactlyOnALimitAreWithinIt)
{
    for (const auto& rows : {std::vector<Row>{{"408.1", "14"}, {"410.3", "14"}, {"81.6", "14"}},
                             std::vector<Row>{{"613.2", "11.7"}, {"147.7", "11.7"}},
                             std::vector<Row>{{"634.8", "16.5"}, {"138", "13.7"}}}) {
        Sheet sheet = sheetOf(rows);
        Calc(sheet);
        EXPECT_EQ(verdictWords(sheet), "Within limits.") << sheet.grossWeight << " lb at" << sheet.flyCg;
    }

    std::mt19937 random(20261207);
    const auto between = [&random](long low, long high) { return std::uniform_int_distribution<long>(low, high)(random); };
    for (int trial = 0; trial < 3000; ++trial) {
        // Weights in hundredths of a pound that add up to 900 lb.
        std::vector<Row> rows(static_cast<std::size_t>(between(2, 8)));
        long left = 90000;
        for (Row& row : rows) {
            const long cents = &row == &rows.back() ? left : between(1, left / 2);
            left -= cents;
            row = {decimal(cents, 2), decimal(between(-300, 400), 1)};
        }
        Sheet sheet = sheetOf(rows);
        Calc(sheet);
        ASSERT_EQ(sheet.grossWeightVerdict, W::Within) << rows[0].weight << " + ... = " << sheet.grossWeight;
        rows[0].weight = decimal(std::lround(*ValueOfText(rows[0].weight) * 100) + 1, 2);
        sheet = sheetOf(rows);
        Calc(sheet);
        ASSERT_EQ(sheet.grossWeightVerdict, W::Over) << sheet.grossWeight;

        // Pairs of items balanced about a CG limit: w at L + 2d and 2w at L - d.
        const long limitTenths = trial % 2 ? 117 : 160;
        rows.clear();
        for (long pairs = between(1, 3); pairs > 0; --pairs) {
            const long grams = between(1, 20000), offset = between(1, 80);
            rows.push_back({decimal(grams, 2), decimal(limitTenths + 2 * offset, 1)});
            rows.push_back({decimal(2 * grams, 2), decimal(limitTenths - offset, 1)});
        }
        rows.push_back({decimal(between(0, 99999), 1), decimal(limitTenths, 1)});
        sheet = sheetOf(rows);
        Calc(sheet);
        ASSERT_EQ(sheet.flyCgVerdict, C::Within) << rows[0].weight << " at " << rows[0].arm << ": CG" << sheet.flyCg;
        for (Row& row : rows)
            row.arm = decimal(std::lround(*ValueOfText(row.arm) * 100) + (limitTenths == 117 ? -1 : 1), 2);
        sheet = sheetOf(rows);
        Calc(sheet);
        ASSERT_EQ(sheet.flyCgVerdict, limitTenths == 117 ? C::Forward : C::Aft) << "CG" << sheet.flyCg;
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
        Sheet stale = staleSheetOf(c.rows);
        EXPECT_EQ(Calc(stale), std::nullopt);
        expectSheet(stale, {c.moments, "stale weight", "stale moment", "stale cg", W::Over, C::Aft, 999});

        // Before any pass with a weight, nothing is coloured and the scale is unset.
        Sheet fresh = sheetOf(c.rows);
        EXPECT_EQ(Calc(fresh), std::nullopt);
        expectSheet(fresh, {c.moments, "", "", "", std::nullopt, std::nullopt, std::nullopt});
    }
}

TEST(Calc, FaultsEndThePassWhereTheyHappen)
{
    const std::vector<Row> good = {{"600", "14"}, {"170", "-20"}, {"20", "30"}};
    const auto withRow = [&](std::size_t index, Row row) {
        std::vector<Row> rows = good;
        rows.resize(index + 1);
        rows[index] = row;
        return rows;
    };
    const struct {
        const char* name;
        std::vector<Row> rows;
        CalcFault fault;
        std::size_t freshMoments;  // rows whose moment caption this pass wrote
    } cases[] = {
        {"product too large in row 3", withRow(3, {"1E200", "1E200"}), {FaultStep::RowMoment, 3}, 3},
        {"weight text beyond a double in row 5", withRow(5, {"1E400", "1"}), {FaultStep::RowMoment, 5}, 5},
        {"arm text beyond a double in row 0", {{"1", "-1E400"}}, {FaultStep::RowMoment, 0}, 0},
        {"gross weight too large", {{"1.5E308", "0"}, {"1.5E308", "0"}}, {FaultStep::RowSum, 1}, 2},
        {"gross moment too large", {{"1", "1E308"}, {"1", "1E308"}}, {FaultStep::RowSum, 1}, 2},
        {"moment caption rounds beyond a double", {{"1.7976931348623157E308", "1"}}, {FaultStep::RowSum, 0}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Sheet sheet = staleSheetOf(c.rows);
        const Sheet before = sheet;
        Sheet reference = sheetOf(c.rows);
        Calc(reference);  // the moments a pass writes up to the fault

        const std::optional<CalcFault> fault = Calc(sheet);
        EXPECT_EQ(fault, c.fault);
        EXPECT_EQ(describeFault(c.fault), "Overflow: a number is too large; the totals were not updated.");
        for (std::size_t i = 0; i < Sheet::kRowCount; ++i)
            EXPECT_EQ(sheet.moment[i], i < c.freshMoments ? reference.moment[i] : before.moment[i]) << "row " << i;
        expectSheet(sheet, {{sheet.moment.begin(), sheet.moment.end()}, "stale weight", "stale moment", "stale cg",
                            W::Over, C::Aft, 999});
    }
}

TEST(Calc, CentreOfGravityTooLarge)
{
    // The weights cancel but for a sliver, so the CG divides a huge moment by it.
    Sheet sheet = staleSheetOf({{"1E200", "1E100"}, {"-1E200", "0"}, {"1E-300", "0"}});
    const std::optional<CalcFault> fault = Calc(sheet);
    ASSERT_EQ(fault, (CalcFault{FaultStep::CentreOfGravity, -1}));
    EXPECT_EQ(describeFault(*fault), "Overflow: a number is too large; the centre of gravity was not updated.");
    expectSheet(sheet, {{"1E+300", "0", "0"}, "1E-300", "1E+300", "stale cg", W::Within, C::Aft, 999});
}

TEST(Calc, CentreOfGravityOffTheScale)
{
    Sheet sheet = staleSheetOf({{"1", "3E8"}});
    const std::optional<CalcFault> fault = Calc(sheet);
    ASSERT_EQ(fault, (CalcFault{FaultStep::Scale, -1}));
    EXPECT_EQ(describeFault(*fault), "Overflow: the CG is off the scale; the scale and the CG colour were not updated.");
    expectSheet(sheet, {{"300000000"}, "1", "300000000", "  300000000.00", W::Within, C::Aft, 999});
}

TEST(VerdictWords, FollowTheVerdictsShown)
{
    const struct {
        std::optional<W> weight;
        std::optional<C> cg;
        const char* words;
    } cases[] = {
        {std::nullopt, std::nullopt, ""},
        {W::Within, C::Within, "Within limits."},
        {W::Over, C::Aft, "Gross weight over 900 lb. CG aft of the 16.00 in limit."},
        {W::Within, C::Forward, "CG forward of the 11.70 in limit."},
        {W::Over, std::nullopt, "Gross weight over 900 lb."},
    };
    for (const auto& c : cases) {
        Sheet sheet;
        sheet.grossWeightVerdict = c.weight;
        sheet.flyCgVerdict = c.cg;
        EXPECT_EQ(verdictWords(sheet), c.words);
    }
}

}  // namespace
}  // namespace kq71wb
