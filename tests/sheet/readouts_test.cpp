#include "readouts.h"

#include <gtest/gtest.h>

#include "load_sheet.h"
#include "sheet_of.h"

namespace kq71wb {

void PrintTo(const WeightRange& weights, std::ostream* out)
{
    *out << weights.low << " to " << weights.high << " lb, " << weights.lowKg << " to " << weights.highKg << " kg";
}

namespace {

TEST(RowWeights, Cases)
{
    const struct {
        const char* name;
        Rows rows;
        std::optional<WeightRange> expected;
        int row = kPilotRow;
    } cases[] = {
        {"aft of the limit up to 900 lb", {{"610", "40"}, {"", "-20"}}, WeightRange{}},
        {"no loading but the pilot", {{}, {"", "-20"}}, std::nullopt},
        {"a loading that weighs nothing", {{"100", "10"}, {"", "-20"}, {"-100", "30"}}, std::nullopt},
        {"a loading that overflows", {{"600", "14"}, {"", "-20"}, {"1E200", "1E200"}}, std::nullopt},
        {"a pilot's arm that overflows", {{"600", "14"}, {"", "1E400"}}, std::nullopt},
        {"pilot at the forward limit", {{"600", "14"}, {"", "11.7"}}, WeightRange{0, 300, 0, 136}},
        {"pilot at the aft limit, loading at the forward one", {{"600", "11.7"}, {"", "16"}}, WeightRange{0, 300, 0, 136}},
        {"too heavy for any pilot", {{"900.5", "14"}, {"", "-20"}}, WeightRange{}},
        {"with nose ballast", {{"600", "20"}, {"", "-20"}, {"30", "-5"}}, WeightRange{50, 141, 23, 64}},
        {"the light end a whole pound", {{"662.40", "24.75"}, {"", "-20"}}, WeightRange{161, 237, 74, 107}},
        // Pilot 278, an item at 200 in: 9 lb is green, and 4 kg (8.82 lb); 5 kg
        // (11.02 lb) was offered, over the gross weight.
        {"a kilogram over the gross weight", {{"612.5", "23.6"}, {"278", "-20"}, {"", "200"}}, WeightRange{9, 9, 4, 4}, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rowWeights(sheetOf(c.rows), c.row), c.expected) << c.name;
}

// The room agrees with the gross weight as shown, to its last decimal; it is
// left out while the totals are not current.
TEST(ReadoutWords, SayWhatThisLoadingAllows)
{
    const struct {
        Rows rows;
        bool current;
        std::string words;
        int itemRow = -1;
    } cases[] = {
        {{{}, {"170", "-20"}}, true, ""},
        // 104 kg is 229.28 lb, within limits though 230 lb is not.
        {{{"610", "23.65"}, {"", "-20"}}, true, "Pilot weight for this loading: 130 to 229 lb (59 to 104 kg). Room to 900 lb: 290 lb (131.5 kg)."},
        {{{"610", "23.65"}, {"", "-20"}}, false, "Pilot weight for this loading: 130 to 229 lb (59 to 104 kg)."},
        {{{"899.7", "14"}}, true, "Pilot weight for this loading: 0 to 0 lb (0 to 0 kg). Room to 900 lb: 0.3 lb (0.1 kg)."},
        {{{"900", "14"}}, true, "Pilot weight for this loading: 0 to 0 lb (0 to 0 kg). Room to 900 lb: 0 lb (0 kg)."},
        {{{"408.1", "14"}, {}, {"410.3", "14"}, {"81.6", "14"}}, true, "Pilot weight for this loading: 0 to 0 lb (0 to 0 kg). Room to 900 lb: 0 lb (0 kg)."},
        {{{"900.01", "14"}}, true, "No pilot weight keeps this loading within limits. Over 900 lb by 0.01 lb (0.1 kg)."},
        // Too large a figure to say in kilograms goes without them.
        {{{"1E+200", "14"}}, true, "No pilot weight keeps this loading within limits. Over 900 lb by 1E+200 lb."},
        // A kilogram figure that, loaded, turned the sheet red was offered. A
        // 264 lb pilot in N271KQ (the sample loadings) with tail ballast at 60
        // in: 23 lb is green; 10 kg (22.05 lb) puts the CG forward, 11 kg
        // (24.25 lb) the gross weight over.
        {{{"612.5", "23.6"}, {"264", "-20"}, {"", "60"}}, true,
         "Item 3 (60 in): 23 to 23 lb (no whole kg) keeps the sheet within limits. Pilot weight for this loading: 130 to "
         "229 lb (59 to 104 kg). A 264 lb pilot needs at least 23 lb (no whole kg) at item 3 (60 in). Room to 900 lb: "
         "23.5 lb (10.6 kg).", 2},
        {{{"612.5", "23.6"}, {"264", "-20"}, {"30", "60"}}, true,
         "Pilot weight for this loading: 166 to 257 lb (76 to 116 kg). A 264 lb pilot needs at most 23 lb (no whole kg) "
         "at item 3 (60 in). Over 900 lb by 6.5 lb (3 kg)."},
        {{{"612.5", "23.6"}, {"278", "-20"}, {"", "200"}}, true,
         "Pilot weight for this loading: 130 to 229 lb (59 to 104 kg). A 278 lb pilot needs at least 9 lb (4 kg) "
         "at item 3 (200 in). Room to 900 lb: 9.5 lb (4.3 kg)."},
        // An arm is said as read, never as typed: no unit, direction mark or
        // pasted page of text reaches the words.
        {{{"610", "23.65"}, {"85.5", "-20"}, {"", "35cm"}, {"", "0.5m"}, {"", "-30in"},
          {"", "-30\u202E" + std::string(3000, 'x')}}, true,
         "Item 6 (-30 in): 35 to 109 lb (16 to 49 kg) keeps the sheet within limits. Pilot weight for this loading: 130 to "
         "229 lb (59 to 104 kg). An 85.5 lb pilot needs at least 103 lb (47 kg) at item 4 (0.5 in). An 85.5 lb pilot needs "
         "at least 35 lb (16 kg) at item 5 (-30 in). An 85.5 lb pilot needs at least 35 lb (16 kg) at item 6 (-30 in). "
         "Room to 900 lb: 204.5 lb (92.7 kg).", 5},
        {{{"610", "23.65"}, {"80", "-20"}, {"", "16"}}, true,
         "Pilot weight for this loading: 130 to 229 lb (59 to 104 kg). No weight at the item arms typed makes an 80 lb "
         "pilot legal. Room to 900 lb: 210 lb (95.2 kg)."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readoutWords(passed(c.rows), c.current, c.itemRow), c.words) << c.rows[0].first;
}

// The worked examples above timeText and shortenedPath, and the edges of the
// calendar: a leap day, a time before 1970.
TEST(LoadSheetText, TimesAndPathsAsTheCommentsSay)
{
    const std::pair<LocalTime, std::string> times[] = {
        {{1796702940, -25200}, "2026-12-07 21:09 \u221207:00"}, {{1796702940, 19800}, "2026-12-08 09:39 +05:30"},
        {{1796702940, 0}, "2026-12-08 04:09 +00:00"}, {{1709251140, 0}, "2024-02-29 23:59 +00:00"},
        {{-3600, 3600}, "1970-01-01 00:00 +01:00"}, {{-3600, -1800}, "1969-12-31 22:30 \u221200:30"}};
    for (const auto& [time, text] : times)
        EXPECT_EQ(timeText(time), text) << time.seconds << ' ' << time.utcOffset;
    const std::pair<std::string, std::string> paths[] = {
        {"~/.config/kq71wb/kq71wb.dat", "~/.config/kq71wb/kq71wb.dat"},
        {"~/gliding-club-north-field/shared-configuration/aircraft/kq71wb.dat",
         "~/gliding-club-north-field/shared-configuration/\u2026/kq71wb.dat"},
        {"/" + std::string(80, 'n') + ".dat", "/\u2026/" + std::string(60, 'n') + "\u2026"},
        {std::string(80, 'n'), std::string(60, 'n') + "\u2026"}};
    for (const auto& [path, shown] : paths)
        EXPECT_EQ(shortenedPath(path), shown) << path;
}

TEST(LoadSheetText, EveryRowFigureAndWarning)
{
    Sheet sheet = sheetOf({{"612.5", "14.37"}, {"170", "-20"}, {"18", ""}, {"12", "14,5"}});
    sheet.description[2] = "Parachute";
    std::optional<CalcFault> fault = Calc(sheet);
    EXPECT_EQ(loadSheetText(sheet, fault, {"2026-12-07 14:03", "KQ71WB 1.00", "N271KQ", "~/.config/kq71wb/kq71wb.dat",
                                          ", modified 2026-11-30 09:12, SHA-256 3f9a0c1d2e4b", {"Cockpit placard, pilot at -20 in and nothing else aboard:", "N271KQ: ..."},
                                          {"Check: Empty arm, N7: ..."}, {}})
                  .lines(),
              (std::vector<std::string>{
                  "KQ 71 weight and balance", "Made 2026-12-07 14:03 with KQ71WB 1.00", "Loading: N271KQ",
                  "Loadings file: ~/.config/kq71wb/kq71wb.dat, modified 2026-11-30 09:12, SHA-256 3f9a0c1d2e4b",
                  "Check: Empty arm, N7: ...", "",
                  "Aircraft empty: 612.5 lb at 14.37 in, moment 8801.625 lb-in.", "Pilot: 170 lb at -20 in, moment -3400 lb-in.",
                  "Item 3: 18 lb at 0 in, moment 0 lb-in (Parachute).", "Item 4: 12 lb at 14 in, moment 168 lb-in.",
                  "Gross weight 812.5 lb, gross moment 5569.625 lb-in, CG 6.85 in.", "Verdict: CG forward of the 11.70 in limit.",
                  "Pilot weight for this loading: 0 to 45 lb (0 to 20 kg). No weight at the item arms typed makes a 170 lb "
                  "pilot legal. Room to 900 lb: 87.5 lb (39.6 kg).",
                  "Check: Arm, item 3 is blank: its 18 lb are counted at the datum.",
                  "Check: Arm, item 4: \"14,5\" is read as 14.", "",
                  "Cockpit placard, pilot at -20 in and nothing else aboard:", "N271KQ: ...", "",
                  "Pilot in command: ________________________________________",
                  "Signature: ______________________________   Date: ______________"}));

    EXPECT_EQ(loadSheetText(Sheet{}, std::nullopt, {}).below[0], "Verdict: no weight entered yet.");

    // A stale row moment was printed as current: a pass that stops at the
    // aircraft empty reaches no row after it. Totals and read-outs that are
    // not current are left out, and the verdict says why.
    sheet = passed({{"", ""}, {"170", "-20"}});
    std::tie(sheet.weight[0], sheet.arm[0], sheet.weight[1]) = std::tuple("1E200", "1E200", "200");
    fault = Calc(sheet);
    const LoadSheetText text = loadSheetText(sheet, fault, {});
    EXPECT_EQ(std::vector(text.below.begin(), text.below.begin() + 4),
              (std::vector<std::string>{"Aircraft empty: 1E+200 lb at 1E+200 in, moment not updated.",
                                        "Pilot: 200 lb at -20 in, moment not updated.",
                                        "Verdict: Overflow: a number is too large; the totals were not updated.", ""}));
}

}  // namespace
}  // namespace kq71wb
