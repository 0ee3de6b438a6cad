#include "readouts.h"

#include "load_sheet.h"

#include <gtest/gtest.h>

#include <random>

#include "conversions.h"

namespace kq71wb {

void PrintTo(const PilotWeights& weights, std::ostream* out) { *out << weights.low << " to " << weights.high << " lb"; }

namespace {

// The aircraft-empty row and, optionally, more rows; the pilot sits at -20 in.
Sheet loadingOf(const std::vector<std::pair<std::string, std::string>>& rows, std::string pilotArm = "-20")
{
    Sheet sheet;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::size_t row = i == 0 ? 0 : i + 1;  // the pilot's row stays for the pilot
        sheet.weight[row] = rows[i].first;
        sheet.arm[row] = rows[i].second;
    }
    sheet.arm[1] = std::move(pilotArm);
    return sheet;
}

bool greenWithPilot(Sheet sheet, long pounds)
{
    sheet.weight[1] = std::to_string(pounds);
    return !Calc(sheet) && verdictWords(sheet) == "Within limits.";
}

TEST(ReadoutComments, PilotWeightsExamples)
{
    EXPECT_EQ(pilotWeights(loadingOf({{"600", "14"}})), (PilotWeights{0, 43}));
    EXPECT_EQ(pilotWeights(loadingOf({{"610", "23.65"}})), (PilotWeights{130, 229}));
    EXPECT_EQ(pilotWeights(loadingOf({{"610", "40"}})), PilotWeights{});
}

TEST(PilotWeights, Cases)
{
    const struct {
        const char* name;
        Sheet sheet;
        std::optional<PilotWeights> expected;
    } cases[] = {
        {"no loading but the pilot", loadingOf({}), std::nullopt},
        {"a loading that weighs nothing", loadingOf({{"100", "10"}, {"-100", "30"}}), std::nullopt},
        {"a loading that overflows", loadingOf({{"600", "14"}, {"1E200", "1E200"}}), std::nullopt},
        {"a pilot's arm that overflows", loadingOf({{"600", "14"}}, "1E400"), std::nullopt},
        {"pilot at the forward limit", loadingOf({{"600", "14"}}, "11.7"), PilotWeights{0, 300}},
        {"pilot at the aft limit, loading at the forward one", loadingOf({{"600", "11.7"}}, "16"), PilotWeights{0, 300}},
        {"too heavy for any pilot", loadingOf({{"900.5", "14"}}), PilotWeights{}},
        {"with nose ballast", loadingOf({{"600", "20"}, {"30", "-5"}}), PilotWeights{50, 141}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pilotWeights(c.sheet), c.expected) << c.name;
}

// Whatever the loading, the range agrees with the colours: both ends give
// green, one pound beyond either gives red; with no range, no weight is green.
TEST(PilotWeights, AgreeWithCalc)
{
    std::mt19937 random(20261207);
    const auto decimal = [&random](int low, int high, double scale) {
        return std::to_string(std::uniform_int_distribution<int>(low, high)(random) / scale);
    };
    for (int trial = 0; trial < 400; ++trial) {
        std::vector<std::pair<std::string, std::string>> rows = {{decimal(40000, 70000, 100), decimal(100, 300, 10)}};
        for (int extra = trial % 4; extra > 0; --extra)
            rows.push_back({decimal(-2000, 5000, 100), decimal(-300, 600, 10)});
        const Sheet sheet = loadingOf(rows, decimal(-400, 400, 10));
        const std::optional<PilotWeights> weights = pilotWeights(sheet);
        ASSERT_TRUE(weights.has_value()) << "trial " << trial;
        if (!weights->any()) {
            for (long pounds = 0; pounds <= 900; ++pounds)
                ASSERT_FALSE(greenWithPilot(sheet, pounds)) << "trial " << trial << ": " << pounds << " lb";
            continue;
        }
        EXPECT_TRUE(greenWithPilot(sheet, weights->low) && greenWithPilot(sheet, weights->high)) << trial;
        EXPECT_TRUE(weights->low == 0 || !greenWithPilot(sheet, weights->low - 1)) << trial;
        EXPECT_FALSE(greenWithPilot(sheet, weights->high + 1)) << trial;
    }
}

TEST(ReadoutWords, SayWhatThisLoadingAllows)
{
    const struct {
        Sheet sheet;
        const char* words;
    } cases[] = {
        {loadingOf({}), ""},
        {loadingOf({{"610", "23.65"}}), "Pilot weight for this loading: 130 to 229 lb. Room to 900 lb: 290 lb."},
        {loadingOf({{"600", "14"}, {"43.5", "15"}}), "Pilot weight for this loading: 0 to 48 lb. Room to 900 lb: 256.5 lb."},
        {loadingOf({{"900", "14"}, {"12.5", "14"}}), "No pilot weight keeps this loading within limits. Over 900 lb by 12.5 lb."},
        {loadingOf({{"856.3", "14"}}), "Pilot weight for this loading: 0 to 43 lb. Room to 900 lb: 43.7 lb."},
    };
    for (auto c : cases) {
        Calc(c.sheet);
        EXPECT_EQ(readoutWords(c.sheet, true), c.words);
    }
    EXPECT_EQ(readoutWords(loadingOf({{"610", "23.65"}}), false), "Pilot weight for this loading: 130 to 229 lb.");
}

TEST(MisreadWords, NameTheFirstMisreadField)
{
    const auto withTexts = [](std::vector<std::pair<std::string, std::string>> rows) {
        Sheet sheet;
        for (std::size_t i = 0; i < rows.size(); ++i)
            std::tie(sheet.weight[i], sheet.arm[i]) = rows[i];
        return sheet;
    };
    EXPECT_EQ(misreadWords(withTexts({{"600", "14"}, {"170 lb", "-20"}, {"20", "14,5"}})),
              "Arm, item 3: \"14,5\" is read as 14.");
    EXPECT_EQ(misreadWords(withTexts({{"6,00", "l4"}, {"12.5.3", "-20"}})), "Weight, Aircraft Empty: \"6,00\" is read as 6 (and 2 more).");
    EXPECT_EQ(misreadWords(withTexts({{"", "1 2"}, {"l70", ""}})), "Weight, Pilot: \"l70\" is read as 0.");
    EXPECT_EQ(misreadWords(withTexts({{"1" + std::string(20, ' ') + "x9", ""}})),
              "Weight, Aircraft Empty: \"1               \u2026\" is read as 1.");
    Sheet stale = withTexts({{"", ""}, {"l70", ""}});
    stale.totalsStale = true;
    stale.grossWeightVerdict = WeightVerdict::Within;
    EXPECT_EQ(statusWords(stale), "Weight, Pilot: \"l70\" is read as 0.");
}

TEST(LoadSheetText, StandsOnItsOwn)
{
    Sheet sheet = loadingOf({{"610", "23.65"}, {"12", "14,5"}});
    sheet.weight[1] = "170";
    const std::optional<CalcFault> fault = Calc(sheet);
    LoadSheetText text = loadSheetText(sheet, fault, {"2026-12-07 14:03", "KQ71WB 1.00", "N271KQ"});
    EXPECT_EQ(text.above, (std::vector<std::string>{"KQ 71 weight and balance", "Printed 2026-12-07 14:03 by KQ71WB 1.00",
                                                    "Loading: N271KQ"}));
    EXPECT_EQ(std::vector(text.below.begin(), text.below.begin() + 4),
              (std::vector<std::string>{"Verdict: Within limits.", "Gross weight 792 lb, gross moment 11194.5 lb-in, CG 14.13 in.",
                                        "Pilot weight for this loading: 129 to 230 lb. Room to 900 lb: 108 lb.",
                                        "Check: Arm, item 3: \"14,5\" is read as 14."}));
    EXPECT_EQ(text.below.back().substr(0, 10), "Signature:");

    sheet.weight[0] = "1E400";
    text = loadSheetText(sheet, Calc(sheet), {"2026-12-07 14:03", "KQ71WB 1.00", ""});
    EXPECT_EQ(text.above.size(), 2u);
    EXPECT_EQ(text.below.front(), "Verdict: Overflow: a number is too large; the totals were not updated.");
    EXPECT_EQ(text.below[2].substr(0, 5), "Check");  // no read-out from numbers that overflow
}

}  // namespace
}  // namespace kq71wb
