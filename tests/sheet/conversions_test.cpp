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
#include <tuple>

namespace kq71wb {
namespace {

constexpr double kOverflow = std::numeric_limits<double>::infinity();  // stands for nullopt in tables

// Each table opens with the worked examples above the declaration, line for
// line; the cases after them are the edges those examples do not reach.
TEST(ValueOfText, ReadsWhatATextBeginsWith)
{
    for (const auto& [text, expected] : std::vector<std::pair<std::string, double>>{
             {"", 0}, {"abc", 0}, {"170", 170}, {" 170 lb", 170}, {"-20", -20}, {"1 2", 12},
             {"12.5.3", 12.5}, {"2E3", 2000}, {"1d2", 100}, {"1,5", 1}, {"+.5", 0.5},
             {"&H10", 16}, {"&o17", 15}, {"&H", 0}, {"1E-400", 0}, {"1E400", kOverflow},
             {"&H20000000000000", kOverflow},
             // blanks, junk and exponents
             {"\t1\n2", 12}, {"- 5", -5}, {"1 2 . 5", 12.5}, {"1\r2", 1}, {".", 0}, {"-.", 0}, {"5.", 5},
             {"e5", 0}, {"0x10", 0}, {"--5", 0}, {"-0", -0.0}, {"lb 170", 0}, {std::string("1\0" "2", 3), 1},
             {"2E", 2}, {"2E-", 2}, {"2e-1", 0.2}, {"2D-2", 0.02}, {"2 E 3", 2000}, {"2EE3", 2}, {".E5", 0},
             {"1E0000000000000000000000000005", 1e5},
             // the ends of the double range
             {"1.7976931348623157E308", DBL_MAX}, {"4.9E-324", std::numeric_limits<double>::denorm_min()},
             {"-1E-400", -0.0}, {"0.0000000001E-400", 0}, {"1.8E308", kOverflow}, {"0.5E309", kOverflow},
             {"1E99999999999999999999", kOverflow}, {"1E-99999999999999999999", 0},
             {"1" + std::string(400, '0'), kOverflow}, {"0." + std::string(100, '0') + "1", 1e-101},
             // hexadecimal and octal integers
             {"&hfF", 255}, {"&O8", 0}, {"&o78", 7}, {"&H1G", 1}, {"&x1", 0}, {"& H 1 0", 16}, {"-&H10", 0},
             {"&H1FFFFFFFFFFFFF", 9007199254740991.0}, {"&O400000000000000000", kOverflow},
             {"&H" + std::string(40, '0') + "1", 1}, {"&H" + std::string(40, 'F'), kOverflow}}) {
        // A negative zero is read as one; kOverflow stands for none.
        const std::optional<double> value = ValueOfText(text);
        EXPECT_EQ(value, expected == kOverflow ? std::nullopt : std::optional(expected)) << '"' << text << '"';
        EXPECT_EQ(std::signbit(value.value_or(0.0)), std::signbit(expected)) << '"' << text << '"';
    }
}

TEST(MisreadingOf, UnitsAndStrayCharacters)
{
    using enum Misreading;
    constexpr FieldUnit lb = FieldUnit::Pounds, in = FieldUnit::Inches;
    const std::tuple<std::string, FieldUnit, Misreading> cases[] = {
        {"170", lb, None}, {"170 lb", lb, None}, {"170LBS", lb, None}, {" 170 # ", lb, None},
        {"14", in, None}, {"14 in", in, None}, {"14inches", in, None}, {"14\"", in, None},
        {"", lb, None}, {"1E400", lb, None}, {"14,5", in, Text}, {"8 5", lb, Text}, {"l70", lb, Text},
        {"170Parachute", lb, Text}, {"2E", lb, Text}, {"80 kg", lb, Kilograms}, {"80 in", lb, Text},
        {"350mm", in, Millimetres}, {"35 cm", in, Centimetres}, {".35 M", in, Metres},
        // blanks around a number, between its digits, and units of each kind
        {"- 5", lb, None}, {"12\n", lb, None}, {"\t", in, None}, {"1 2 . 5", lb, Text}, {"8\n5\n", lb, Text},
        {"2 E3", lb, Text}, {"lb", lb, Text}, {"&H1G", lb, Text}, {"80 pounds", lb, None},
        {"80 Pound", lb, None}, {"80KGS", lb, Kilograms}, {"80 kilos", lb, Kilograms}, {"80 kilograms", lb, Kilograms},
        {"14 inch", in, None}, {"14 lb", in, Text}, {"14 kg", in, Text}, {"14 mm", lb, Text}, {"14 m m", in, Millimetres},
        // hexadecimal, octal and D exponents are read, but few mean them: "&HAA" read as 170 without a word
        {"&HAA", lb, Text}, {"&o17", in, Text}, {"1D1", lb, Text}, {"1d-2", in, Text}, {"1E1", lb, None},
        // invisible and direction characters are no blanks
        {"\u202E006", lb, Text}, {"600\u200B", lb, Text}};
    for (const auto& [text, unit, expected] : cases)
        EXPECT_EQ(misreadingOf(text, unit), expected) << '"' << text << '"';
}

TEST(TextOfDouble, ShortestFormTo15Digits)
{
    for (const auto& [value, text] : std::vector<std::pair<double, std::string>>{
             {0, "0"}, {-0.0, "0"}, {-3400, "-3400"}, {1020.5, "1020.5"}, {1.0 / 3, "0.333333333333333"},
             {1.5E20, "1.5E+20"}, {0.00001, "1E-05"}, {0.0001, "0.0001"}, {999999999999999.9, "1E+15"},
             // either side of the exponent form's thresholds, and the ends of the range
             {9.99999999999999e-5, "9.99999999999999E-05"}, {9.999999999999999e-5, "0.0001"},
             {999999999999999, "999999999999999"}, {-1e15, "-1E+15"}, {DBL_MAX, "1.79769313486232E+308"},
             {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"}, {kOverflow, "0"},
             // a 16th digit of exactly 5 rounds to the even neighbour
             {1000000000000005.0, "1E+15"}, {1000000000000015.0, "1.00000000000002E+15"},
             {-1000000000000025.0, "-1.00000000000002E+15"}})
        EXPECT_EQ(TextOfDouble(value), text) << value;
}

// What ValueOfText reads back from TextOfDouble is the value rounded to 15
// significant digits, across the whole double range, and a few units in the
// last place either side of the half-way points between two 15-digit
// decimals, where rounding the shortest form would go wrong.
TEST(TextOfDouble, ReadsBackAsFifteenDigits)
{
    std::mt19937_64 random(20261206);
    std::uniform_real_distribution<double> typical(-2000.0, 2000.0);
    double halfway = 0.0;
    for (int i = 0; i < 300000; ++i) {
        double x = typical(random);
        if (i % 3 == 1) {
            const std::uint64_t bits = random();
            std::memcpy(&x, &bits, sizeof x);
            if (!std::isfinite(x))
                continue;
        } else if (i % 3 == 2) {
            if (i % 60 == 2) {
                char digits[40];
                std::snprintf(digits, sizeof digits, "%llu5e%d",
                              static_cast<unsigned long long>(100000000000000 + random() % 900000000000000),
                              static_cast<int>(random() % 600) - 320);
                halfway = std::strtod(digits, nullptr);
            }
            x = halfway;
            for (int step = i % 60 / 3 - 10; step != 0; step += step < 0 ? 1 : -1)
                x = std::nextafter(x, step < 0 ? 0.0 : kOverflow);
        }
        char printed[40];
        std::snprintf(printed, sizeof printed, "%.14e", x);
        const double expected = std::strtod(printed, nullptr);
        const std::string text = TextOfDouble(x);
        ASSERT_EQ(ValueOfText(text), expected == 0 ? 0.0 : expected) << x << " written " << text;
        ASSERT_EQ(roundTo15Digits(x), expected) << x;
    }
}

TEST(FormatCg, RoundingTiesAndCarries)
{
    for (const auto& [value, text] : std::vector<std::pair<double, std::string>>{
             {13.456, "  13.46"}, {13.999, "  14.00"}, {0, "  .00"}, {0.5, "  .50"}, {123.4, "  123.40"},
             {-20, "-  20.00"}, {2.345, "  2.35"}, {-0.001, "-  .00"}, {-0.0, "  .00"},
             {0.285, "  .29"}, {-0.285, "-  .29"}, {2.675, "  2.68"}, {-2.675, "-  2.68"}, {1.005, "  1.01"},
             {-1.005, "-  1.01"}, {9.995, "  10.00"}, {99.995, "  100.00"}, {0.005, "  .01"}, {0.00499, "  .00"},
             {11.699, "  11.70"}, {16.004, "  16.00"}, {5000.0 / 770, "  6.49"}, {-1e-300, "-  .00"},
             {1e20, "  100000000000000000000.00"}, {123456789012345678.0, "  123456789012346000.00"},
             {kOverflow, "  .00"}}) {
        EXPECT_EQ(FormatCg(value), text) << value;
        EXPECT_EQ(FormatCgOfText(TextOfDouble(value)), text) << value;
    }
}

TEST(DecimalDifference, WorkedInDecimal)
{
    for (const auto& [limit, shown, difference] : std::vector<std::tuple<double, std::string, double>>{
             {900, "899.7", 0.3}, {900, "900", 0}, {900, "900.01", -0.01}, {900, "1.5E+20", -1.5E+20},
             {900, "1E-05", 899.99999}, {900, "7E+22", -69999999999999999999100.0},
             // many decimals, signs, and figures in other forms
             {900, "8.95378322270011", 891.04621677729989}, {900, "-0.5", 900.5}, {-5, "-5", 0}, {11.7, "11.699", 0.001},
             {900, " 1 2", 888}, {900, "1.2.3", 898.8}, {900, "4.94065645841247E-324", 900}})
        EXPECT_EQ(decimalDifference(limit, shown), difference) << limit << " less " << shown;
}

TEST(KilogramsOf, RoundedAsTheFigureNeeds)
{
    using enum Rounding;
    for (const auto& [pounds, decimals, rounding, kilograms] :
         std::vector<std::tuple<std::string, int, Rounding, std::optional<std::string>>>{
             {"130", 0, Up, "59"}, {"229", 0, Down, "103"}, {"290", 1, Down, "131.5"}, {"0.3", 1, Up, "0.2"},
             {"1E-05", 1, Down, "0"}, {"1.5E+20", 0, Down, "68038855500000000000"},
             // none for a negative or unread text, or one too large to say
             {"-5", 0, Down, std::nullopt}, {"", 0, Down, std::nullopt}, {"12a", 0, Down, std::nullopt},
             {"1E+300", 0, Down, std::nullopt}, {"0", 2, Up, "0"}, {"0.001", 2, Up, "0.01"}, {"100", 3, Down, "45.359"}})
        EXPECT_EQ(kilogramsOf(pounds, decimals, rounding), kilograms) << pounds << ' ' << decimals;
}

}  // namespace
}  // namespace kq71wb
