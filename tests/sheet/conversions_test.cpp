#include "conversions.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace kq71wb {
namespace {

constexpr double kOverflow = std::numeric_limits<double>::infinity();  // stands for nullopt in tables

struct TextCase {
    std::string text;
    double expected;
};

void ExpectValues(const std::vector<TextCase>& cases)
{
    for (const TextCase& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        const std::optional<double> value = ValueOfText(c.text);
        if (c.expected == kOverflow) {
            EXPECT_FALSE(value.has_value());
        } else {
            ASSERT_TRUE(value.has_value());
            EXPECT_EQ(*value, c.expected);
            EXPECT_EQ(std::signbit(*value), std::signbit(c.expected));
        }
    }
}

// The worked examples above the declarations, line for line.
TEST(ConversionComments, ValueOfTextExamples)
{
    ExpectValues({{"", 0}, {"abc", 0}, {"170", 170}, {" 170 lb", 170}, {"-20", -20}, {"1 2", 12},
                  {"12.5.3", 12.5}, {"2E3", 2000}, {"1d2", 100}, {"1,5", 1}, {"+.5", 0.5},
                  {"&H10", 16}, {"&o17", 15}, {"&H", 0}, {"1E-400", 0}, {"1E400", kOverflow},
                  {"&H20000000000000", kOverflow}});
}

TEST(ConversionComments, TextOfDoubleExamples)
{
    EXPECT_EQ(TextOfDouble(0), "0");
    EXPECT_EQ(TextOfDouble(-0.0), "0");
    EXPECT_EQ(TextOfDouble(-3400), "-3400");
    EXPECT_EQ(TextOfDouble(1020.5), "1020.5");
    EXPECT_EQ(TextOfDouble(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(TextOfDouble(1.5E20), "1.5E+20");
    EXPECT_EQ(TextOfDouble(0.00001), "1E-05");
    EXPECT_EQ(TextOfDouble(0.0001), "0.0001");
    EXPECT_EQ(TextOfDouble(999999999999999.9), "1E+15");
}

TEST(ConversionComments, FormatCgExamples)
{
    EXPECT_EQ(FormatCg(13.456), "  13.46");
    EXPECT_EQ(FormatCg(13.999), "  14.00");
    EXPECT_EQ(FormatCg(0), "  .00");
    EXPECT_EQ(FormatCg(0.5), "  .50");
    EXPECT_EQ(FormatCg(123.4), "  123.40");
    EXPECT_EQ(FormatCg(-20), "-  20.00");
    EXPECT_EQ(FormatCg(2.345), "  2.35");
    EXPECT_EQ(FormatCg(-0.001), "-  .00");
    EXPECT_EQ(FormatCg(-0.0), "  .00");
}

TEST(ConversionComments, NearestIntegerExamples)
{
    EXPECT_EQ(NearestInteger(117.0), 117);
    EXPECT_EQ(NearestInteger(160.49), 160);
    EXPECT_EQ(NearestInteger(160.5), 160);
    EXPECT_EQ(NearestInteger(161.5), 162);
    EXPECT_EQ(NearestInteger(2147483647.5), std::nullopt);
    EXPECT_EQ(NearestInteger(-2147483648.5), std::numeric_limits<std::int32_t>::min());
}

TEST(ValueOfText, BlanksAndJunk)
{
    ExpectValues({{"\t1\n2", 12}, {"- 5", -5}, {"1 2 . 5", 12.5}, {"1\r2", 1}, {".", 0}, {"-", 0},
                  {"-.", 0}, {".5", 0.5}, {"5.", 5}, {"e5", 0}, {"0x10", 0}, {"1.5e-3x", 0.0015},
                  {"--5", 0}, {"+-5", 0}, {"-0", -0.0}, {"lb 170", 0}, {std::string("1\0" "2", 3), 1}});
}

TEST(ValueOfText, Exponents)
{
    ExpectValues({{"2E", 2}, {"2E-", 2}, {"2E+1", 20}, {"2e-1", 0.2}, {"2D-2", 0.02}, {"2 E 3", 2000},
                  {"1E0000000000000000000000000005", 1e5}, {"2EE3", 2}, {".E5", 0}});
}

TEST(ValueOfText, RangeEnds)
{
    ExpectValues({{"1E308", 1e308},
                  {"1.7976931348623157E308", DBL_MAX},
                  {"4.9E-324", std::numeric_limits<double>::denorm_min()},
                  {"-1E-400", -0.0},
                  {"0.0000000001E-400", 0},
                  {"1.8E308", kOverflow},
                  {"-1E400", kOverflow},
                  {"0.5E309", kOverflow},
                  {"1E99999999999999999999", kOverflow},
                  {"1E-99999999999999999999", 0},
                  {"1" + std::string(400, '0'), kOverflow},
                  {"0." + std::string(100, '0') + "1", 1e-101},
                  {"1" + std::string(99, '0'), 1e99}});
}

TEST(ValueOfText, PrefixedIntegers)
{
    ExpectValues({{"&hff", 255}, {"&HfF", 255}, {"&O8", 0}, {"&o78", 7}, {"&H1G", 1}, {"&x1", 0},
                  {"&", 0}, {"& H 1 0", 16}, {"-&H10", 0}, {"&H1FFFFFFFFFFFFF", 9007199254740991.0},
                  {"&O377777777777777777", 9007199254740991.0}, {"&O400000000000000000", kOverflow},
                  {"&H" + std::string(40, '0') + "1", 1}, {"&H" + std::string(40, 'F'), kOverflow}});
}

TEST(TextOfDouble, Forms)
{
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {855, "855"},
        {855.5, "855.5"},
        {-1.0 / 3, "-0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {0.1 + 0.2, "0.3"},
        {0.00012345, "0.00012345"},
        {9.99999999999999e-5, "9.99999999999999E-05"},
        {9.999999999999999e-5, "0.0001"},
        {999999999999999, "999999999999999"},
        {1e14, "100000000000000"},
        {1e15, "1E+15"},
        {-1e15, "-1E+15"},
        {123456789012345678.0, "1.23456789012346E+17"},
        {1e100, "1E+100"},
        {1e-100, "1E-100"},
        {DBL_MAX, "1.79769313486232E+308"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        {kOverflow, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(TextOfDouble(c.value), c.expected);
    }
}

// What ValueOfText reads back from TextOfDouble is the value rounded to 15
// significant digits, across the whole double range.
TEST(TextOfDouble, ReadsBackAsFifteenDigits)
{
    std::mt19937_64 random(20261206);
    std::uniform_real_distribution<double> typical(-2000.0, 2000.0);
    for (int i = 0; i < 200000; ++i) {
        double x;
        if (i % 2 == 0) {
            x = typical(random);
        } else {
            const std::uint64_t bits = random();
            std::memcpy(&x, &bits, sizeof x);
            if (!std::isfinite(x))
                continue;
        }
        char printed[40];
        std::snprintf(printed, sizeof printed, "%.14e", x);
        const double expected = std::strtod(printed, nullptr);
        const std::string text = TextOfDouble(x);
        const std::optional<double> back = ValueOfText(text);
        ASSERT_TRUE(back.has_value()) << text;
        ASSERT_EQ(*back, expected == 0 ? 0.0 : expected) << x << " written " << text;
    }
}

TEST(FormatCg, RoundingTiesAndCarries)
{
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {0.285, "  .29"},    {-0.285, "-  .29"},   {2.675, "  2.68"},   {-2.675, "-  2.68"},
        {1.005, "  1.01"},   {-1.005, "-  1.01"},  {9.995, "  10.00"},  {99.995, "  100.00"},
        {0.005, "  .01"},    {-0.005, "-  .01"},   {0.00499, "  .00"},  {0.001, "  .00"},
        {11.7, "  11.70"},   {11.699, "  11.70"},  {16.004, "  16.00"}, {5000.0 / 770, "  6.49"},
        {-1e-300, "-  .00"}, {1e-300, "  .00"},    {1e20, "  100000000000000000000.00"},
        {123456789012345678.0, "  123456789012346000.00"},
        {kOverflow, "  .00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(FormatCg(c.value), c.expected);
    }
}

TEST(NearestInteger, TiesAndRange)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const struct {
        double value;
        std::optional<std::int32_t> expected;
    } cases[] = {
        {122.5, 122},          {123.5, 124},           {-0.5, 0},
        {-1.5, -2},            {-2.5, -2},             {0.49999999999999994, 0},
        {64.93506493506493, 65}, {2147483647.0, kMax}, {2147483647.4, kMax},
        {-2147483648.6, std::nullopt}, {-2147483649.0, std::nullopt}, {1e300, std::nullopt},
        {kOverflow, std::nullopt}, {std::nan(""), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(NearestInteger(c.value), c.expected);
    }
    EXPECT_EQ(NearestInteger(-2147483648.0), kMin);
}

}  // namespace
}  // namespace kq71wb
