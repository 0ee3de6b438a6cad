#include "sheet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <new>
#include <random>
#include <vector>

#include "conversions.h"
#include "sheet_of.h"
#include "words.h"

// The heap allocations made while a test counts them.
static long* g_allocations = nullptr;

void* operator new(std::size_t size)
{
    if (g_allocations)
        ++*g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
// GCC takes the malloc and free inside them for a mismatch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace kq71wb {
namespace {

// Everything a sheet shows, in one line: its moments (a star on one the pass
// did not reach), then the gross weight, gross moment, CG caption, the two
// verdicts, the scale ("-" for none) and the words that stand for the results.
std::string shown(const Sheet& sheet, const std::optional<CalcFault>& fault)
{
    std::string line;
    for (std::size_t i = 0; i < Sheet::kRowCount; ++i)
        line += sheet.moment[i] + (sheet.momentStale[i] ? "* " : " ");
    line += "| " + sheet.grossWeight + ' ' + sheet.grossMoment + " [" + sheet.flyCg + "] ";
    line += !sheet.grossWeightVerdict ? "-" : sheet.grossWeightVerdict == WeightVerdict::Over ? "over" : "within";
    line += !sheet.flyCgVerdict ? " -" : sheet.flyCgVerdict == CgVerdict::Forward ? " forward" : sheet.flyCgVerdict == CgVerdict::Aft ? " aft" : " within";
    return line + ' ' + (sheet.sliderValue ? std::to_string(*sheet.sliderValue) : "-") + " | " + stateWords(sheet, fault);
}

// Each pass starts from a sheet that already shows something everywhere ("s"),
// so that a pass that leaves an output alone can be told from one that writes
// it: a completed pass writes every output, and one that ends early leaves
// everything after the step it ended at as it was, with words that say so: a
// gross weight of zero or less after the moments, a fault where it happens.
TEST(Calc, CompletedAndEarlyEndedPassesAllocateNothing)
{
    const std::string forward = "CG forward of the 11.70 in limit.";
    const std::string stale = " | s s [s] over aft 999 | Totals not updated: the gross weight is zero or less.";
    const std::string totals = " | s s [s] over aft 999 | Overflow: a number is too large; the totals were not updated.";
    const std::string third = ".33333333333333333";
    using S = FaultStep;
    const struct {
        const char* name;
        Rows rows;
        std::optional<CalcFault> fault;
        std::string shown;
    } passes[] = {
        {"empty aircraft and pilot", {{"600", "14"}, {"170", "-20"}}, {}, "8400 -3400 0 0 0 0 0 0 | 770 5000 [  6.49] within forward 65 | " + forward},
        {"gross weight just over", {{"900.01", "14"}}, {}, "12600.14 0 0 0 0 0 0 0 | 900.01 12600.14 [  14.00] over within 140 | Gross weight over 900 lb."},
        {"CG shows the forward limit but lies ahead of it", {{"100", "11.699"}}, {},
         "1169.9 0 0 0 0 0 0 0 | 100 1169.9 [  11.70] within forward 117 | CG forward of the 11.70 in limit (11.699 in)."},
        {"CG shows the aft limit but lies behind it", {{"100", "16.004"}}, {},
         "1600.4 0 0 0 0 0 0 0 | 100 1600.4 [  16.00] within aft 160 | CG aft of the 16.00 in limit (16.004 in)."},
        {"totals summed from the captions as shown", {{"1", third}, {"1", third}, {"1", third}}, {},
         "0.333333333333333 0.333333333333333 0.333333333333333 0 0 0 0 0 | 3 0.999999999999999 [  .33] within forward 3 | " + forward},
        {"CG off the end of the scale is still passed on", {{"10", "50"}}, {}, "500 0 0 0 0 0 0 0 | 10 500 [  50.00] within aft 500 | CG aft of the 16.00 in limit."},
        // Without a weight nothing is written past the moments: on a new sheet nothing is coloured, the scale unset.
        {"every text empty, pilot arm -20 (a negative zero)", {{}, {"", "-20"}}, {}, "0 0 0 0 0 0 0 0" + stale},
        {"weights cancel out", {{"100", "10"}, {"-100", "10"}}, {}, "1000 -1000 0 0 0 0 0 0" + stale},
        {"product too large in row 3", {{"600", "14"}, {"170", "-20"}, {"20", "30"}, {"1E200", "1E200"}}, CalcFault{S::RowMoment, 3}, "8400 -3400 600 s3* s4* s5* s6* s7*" + totals},
        {"weight text beyond a double in row 5", {{}, {}, {}, {}, {}, {"1E400", "1"}}, CalcFault{S::RowMoment, 5}, "0 0 0 0 0 s5* s6* s7*" + totals},
        {"arm text beyond a double in row 0", {{"1", "-1E400"}}, CalcFault{S::RowMoment, 0}, "s0* s1* s2* s3* s4* s5* s6* s7*" + totals},
        {"gross weight too large", {{"1.5E308", "0"}, {"1.5E308", "0"}}, CalcFault{S::RowSum, 1}, "0 0 s2* s3* s4* s5* s6* s7*" + totals},
        {"gross moment too large", {{"1", "1E308"}, {"1", "1E308"}}, CalcFault{S::RowSum, 1}, "1E+308 1E+308 s2* s3* s4* s5* s6* s7*" + totals},
        {"moment caption rounds beyond a double", {{"1.7976931348623157E308", "1"}}, CalcFault{S::RowSum, 0},
         "1.79769313486232E+308 s1* s2* s3* s4* s5* s6* s7*" + totals},
        // The weights cancel but for a sliver, so the CG divides a huge moment by it.
        {"CG too large", {{"1E200", "1E100"}, {"-1E200", "0"}, {"1E-300", "0"}}, CalcFault{S::CentreOfGravity, -1},
         "1E+300 0 0 0 0 0 0 0 | 1E-300 1E+300 [s] within aft 999 | Overflow: a number is too large; the centre of gravity was not updated."},
        {"CG off the scale: judged all the same", {{"1", "-3E8"}}, CalcFault{S::Scale, -1},
         "-300000000 0 0 0 0 0 0 0 | 1 -300000000 [-  300000000.00] within forward 999 | CG forward of the 11.70 in limit. "
         "Overflow: the CG is off the scale; the scale was not updated."},
    };
    for (const auto& pass : passes) {
        Sheet sheet = sheetOf(pass.rows);
        for (std::size_t i = 0; i < Sheet::kRowCount; ++i)
            sheet.moment[i] = "s" + std::to_string(i);
        std::tie(sheet.grossWeight, sheet.grossMoment, sheet.flyCg) = std::tuple("s", "s", "s");
        std::tie(sheet.grossWeightVerdict, sheet.flyCgVerdict, sheet.sliderValue) = std::tuple(WeightVerdict::Over, CgVerdict::Aft, 999);
        const std::optional<CalcFault> fault = Calc(sheet);
        EXPECT_EQ(fault, pass.fault) << pass.name;
        EXPECT_EQ(shown(sheet, fault), pass.shown) << pass.name;
        // A keystroke's pass writes its captions over the last pass's, so that
        // it allocates nothing, not even for captions too long to sit inside a string.
        long allocations = 0;
        g_allocations = &allocations;
        Calc(sheet);
        g_allocations = nullptr;
        EXPECT_EQ(allocations, 0) << pass.name;
    }
}

// Loadings that land exactly on a limit in decimal are within it, however the
// binary sums fall; one hundredth of a pound or an inch beyond is out.
TEST(Calc, LoadingsExactlyOnALimitAreWithinIt)
{
    for (const Rows& rows : {Rows{{"408.1", "14"}, {"410.3", "14"}, {"81.6", "14"}}, Rows{{"613.2", "11.7"}, {"147.7", "11.7"}},
                             Rows{{"634.8", "16.5"}, {"138", "13.7"}}})
        EXPECT_EQ(verdictWords(passed(rows)), "Within limits.") << rows[0].first;

    std::mt19937 random(20261207);
    const auto between = [&random](long low, long high) { return std::uniform_int_distribution<long>(low, high)(random); };
    // A number of hundredths or tenths as a pilot would type it: 61250, 100 -> "612.5".
    const auto decimal = [](long units, long scale) { return TextOfDouble(static_cast<double>(units) / static_cast<double>(scale)); };
    for (int trial = 0; trial < 3000; ++trial) {
        // Weights in hundredths of a pound that add up to 900 lb.
        Rows rows(static_cast<std::size_t>(between(2, 8)));
        long left = 90000;
        for (auto& row : rows) {
            const long cents = &row == &rows.back() ? left : between(1, left / 2);
            left -= cents;
            row = {decimal(cents, 100), decimal(between(-300, 400), 10)};
        }
        ASSERT_EQ(passed(rows).grossWeightVerdict, WeightVerdict::Within) << rows[0].first << " + ...";
        rows[0].first = decimal(std::lround(*ValueOfText(rows[0].first) * 100) + 1, 100);
        ASSERT_EQ(passed(rows).grossWeightVerdict, WeightVerdict::Over) << rows[0].first << " + ...";

        // Pairs of items balanced about a CG limit: w at L + 2d and 2w at L - d.
        const long limitTenths = trial % 2 ? 117 : 160;
        rows.clear();
        for (long pairs = between(1, 3); pairs > 0; --pairs) {
            const long weight = between(1, 20000), offset = between(1, 80);
            rows.push_back({decimal(weight, 100), decimal(limitTenths + 2 * offset, 10)});
            rows.push_back({decimal(2 * weight, 100), decimal(limitTenths - offset, 10)});
        }
        rows.push_back({decimal(between(0, 99999), 10), decimal(limitTenths, 10)});
        ASSERT_EQ(passed(rows).flyCgVerdict, CgVerdict::Within) << rows[0].first << " at " << rows[0].second << ", ...";
        for (auto& row : rows)
            row.second = decimal(std::lround(*ValueOfText(row.second) * 100) + (limitTenths == 117 ? -1 : 1), 100);
        ASSERT_EQ(passed(rows).flyCgVerdict, limitTenths == 117 ? CgVerdict::Forward : CgVerdict::Aft) << rows[0].second << ", ...";
    }
}

}  // namespace
}  // namespace kq71wb
