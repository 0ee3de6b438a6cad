#include "readouts.h"

#include <gtest/gtest.h>

#include "load_sheet.h"
#include "sheet_of.h"
#include "words.h"

namespace kq71wb {

void PrintTo(const PilotWeights& weights, std::ostream* out) { *out << weights.low << " to " << weights.high << " lb"; }

namespace {

TEST(PilotWeights, Cases)
{
    const struct {
        const char* name;
        Rows rows;
        std::optional<PilotWeights> expected;
    } cases[] = {
        {"empty aircraft forward", {{"600", "14"}, {"", "-20"}}, PilotWeights{0, 43}},
        {"empty aircraft aft", {{"610", "23.65"}, {"", "-20"}}, PilotWeights{130, 229}},
        {"aft of the limit up to 900 lb", {{"610", "40"}, {"", "-20"}}, PilotWeights{}},
        {"no loading but the pilot", {{}, {"", "-20"}}, std::nullopt},
        {"a loading that weighs nothing", {{"100", "10"}, {"", "-20"}, {"-100", "30"}}, std::nullopt},
        {"a loading that overflows", {{"600", "14"}, {"", "-20"}, {"1E200", "1E200"}}, std::nullopt},
        {"a pilot's arm that overflows", {{"600", "14"}, {"", "1E400"}}, std::nullopt},
        {"pilot at the forward limit", {{"600", "14"}, {"", "11.7"}}, PilotWeights{0, 300}},
        {"pilot at the aft limit, loading at the forward one", {{"600", "11.7"}, {"", "16"}}, PilotWeights{0, 300}},
        {"too heavy for any pilot", {{"900.5", "14"}, {"", "-20"}}, PilotWeights{}},
        {"with nose ballast", {{"600", "20"}, {"", "-20"}, {"30", "-5"}}, PilotWeights{50, 141}},
        {"the light end a whole pound", {{"662.40", "24.75"}, {"", "-20"}}, PilotWeights{161, 237}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pilotWeights(sheetOf(c.rows)), c.expected) << c.name;
}

// The room agrees with the gross weight as shown, to its last decimal; it is
// left out while the totals are not current.
TEST(ReadoutWords, SayWhatThisLoadingAllows)
{
    const struct {
        Rows rows;
        bool current;
        const char* words;
    } cases[] = {
        {{{}, {"170", "-20"}}, true, ""},
        {{{"0.5", "14"}}, true, "Pilot weight for this loading: 0 to 0 lb. Room to 900 lb: 899.5 lb."},
        {{{"610", "23.65"}, {"", "-20"}}, true, "Pilot weight for this loading: 130 to 229 lb. Room to 900 lb: 290 lb."},
        {{{"610", "23.65"}, {"", "-20"}}, false, "Pilot weight for this loading: 130 to 229 lb."},
        {{{"600", "14"}, {"", "-20"}, {"43.5", "15"}}, true, "Pilot weight for this loading: 0 to 48 lb. Room to 900 lb: 256.5 lb."},
        {{{"899.7", "14"}}, true, "Pilot weight for this loading: 0 to 0 lb. Room to 900 lb: 0.3 lb."},
        {{{"899.99", "14"}}, true, "Pilot weight for this loading: 0 to 0 lb. Room to 900 lb: 0.01 lb."},
        {{{"900", "14"}}, true, "Pilot weight for this loading: 0 to 0 lb. Room to 900 lb: 0 lb."},
        {{{"408.1", "14"}, {}, {"410.3", "14"}, {"81.6", "14"}}, true, "Pilot weight for this loading: 0 to 0 lb. Room to 900 lb: 0 lb."},
        {{{"900.01", "14"}}, true, "No pilot weight keeps this loading within limits. Over 900 lb by 0.01 lb."},
        {{{"900.3", "14"}}, true, "No pilot weight keeps this loading within limits. Over 900 lb by 0.3 lb."},
        {{{"899.123456789", "14"}}, true, "Pilot weight for this loading: 0 to 0 lb. Room to 900 lb: 0.876543211 lb."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readoutWords(passed(c.rows), c.current), c.words) << c.rows[0].first;
}

TEST(LoadSheetText, EveryRowFigureAndWarning)
{
    Sheet sheet = sheetOf({{"612.5", "14.37"}, {"170", "-20"}, {"18", ""}, {"12", "14,5"}});
    sheet.description[2] = "Parachute";
    std::optional<CalcFault> fault = Calc(sheet);
    EXPECT_EQ(loadSheetText(sheet, fault, {"2026-12-07 14:03", "KQ71WB 1.00", "N271KQ", "~/.config/kq71wb/kq71wb.dat"}).lines(),
              (std::vector<std::string>{
                  "KQ 71 weight and balance", "Made 2026-12-07 14:03 with KQ71WB 1.00", "Loading: N271KQ",
                  "Loadings file: ~/.config/kq71wb/kq71wb.dat", "",
                  "Aircraft empty: 612.5 lb at 14.37 in, moment 8801.625 lb-in.", "Pilot: 170 lb at -20 in, moment -3400 lb-in.",
                  "Item 3: 18 lb at 0 in, moment 0 lb-in (Parachute).", "Item 4: 12 lb at 14 in, moment 168 lb-in.",
                  "Gross weight 812.5 lb, gross moment 5569.625 lb-in, CG 6.85 in.", "Verdict: CG forward of the 11.70 in limit.",
                  "Pilot weight for this loading: 0 to 45 lb. Room to 900 lb: 87.5 lb.",
                  "Check: Arm, item 3 is blank: its 18 lb are counted at the datum.",
                  "Check: Arm, item 4: \"14,5\" is read as 14.", "",
                  "Pilot in command: ________________________________________",
                  "Signature: ______________________________   Date: ______________"}));

    // Figures that are not current are left out, and the verdict says why.
    const std::pair<Rows, std::string> notCurrent[] = {
        {{{"", "14"}, {"", "-20"}}, "Verdict: Totals not updated: the gross weight is zero or less."},
        {{{"1E200", "1E200"}, {"", "-20"}}, "Verdict: Overflow: a number is too large; the totals were not updated."},
    };
    for (const auto& [rows, verdict] : notCurrent) {
        sheet.weight = {}, sheet.arm = {};
        std::tie(sheet.weight[0], sheet.arm[0]) = rows[0];
        fault = Calc(sheet);
        const LoadSheetText text = loadSheetText(sheet, fault, {"2026-12-07 14:03", "KQ71WB 1.00", "", ""});
        EXPECT_EQ(text.above.size(), 2u);
        EXPECT_EQ(text.below[1], verdict);
        EXPECT_EQ(text.below[2], "") << verdict;  // no read-outs from figures that are not current
    }
    EXPECT_EQ(loadSheetText(Sheet{}, std::nullopt, {}).below[0], "Verdict: no weight entered yet.");

    // A stale row moment was printed as current: a pass that stops at the
    // aircraft empty reaches no row after it.
    sheet = passed({{"", ""}, {"170", "-20"}});
    std::tie(sheet.weight[0], sheet.arm[0], sheet.weight[1]) = std::tuple("1E200", "1E200", "200");
    fault = Calc(sheet);
    const LoadSheetText text = loadSheetText(sheet, fault, {});
    EXPECT_EQ(std::vector(text.below.begin(), text.below.begin() + 2),
              (std::vector<std::string>{"Aircraft empty: 1E+200 lb at 1E+200 in, moment not updated.",
                                        "Pilot: 200 lb at -20 in, moment not updated."}));
}

}  // namespace
}  // namespace kq71wb
