#include "words.h"

#include <gtest/gtest.h>

#include "sheet_of.h"

namespace kq71wb {
namespace {

// A text as a warning quotes it.
std::string q(const std::string& text) { return '"' + text + '"'; }

std::string joined(const std::vector<Warning>& warnings)
{
    std::string all;
    for (const Warning& warning : warnings)
        all += (all.empty() ? "" : " | ") + warning.words;
    return all;
}

// A kind the core lacks, as a number cast to one, is named all the same,
// never read from past the table of names.
TEST(FieldName, EveryKindAndRow)
{
    const std::tuple<FieldKind, int, std::string> cases[] = {
        {FieldKind::Weight, 0, "Weight, Aircraft Empty"}, {FieldKind::Arm, 1, "Arm, Pilot"},
        {FieldKind::Arm, 2, "Arm, item 3"}, {FieldKind::Moment, 2, "Moment, item 3"},
        {FieldKind::Description, 2, "Description, item 3"}, {static_cast<FieldKind>(4), 7, "Field, item 8"},
        {static_cast<FieldKind>(-1), 0, "Field, Aircraft Empty"}, {static_cast<FieldKind>(1 << 30), 2, "Field, item 3"}};
    for (const auto& [kind, row, name] : cases)
        EXPECT_EQ(fieldName(kind, row), name) << static_cast<int>(kind) << ' ' << row;
}

TEST(Warnings, NameEveryFieldThatMayMislead)
{
    const std::pair<Rows, std::string> cases[] = {
        {{{"600", "14"}, {"80 kg", "-20"}},
         "Weight, Pilot: " + q("80 kg") + " is read as 80 lb; the sheet is in pounds (80 kg = 176.4 lb)."},
        {{{"600", "350 mm"}}, "Arm, Aircraft Empty: " + q("350 mm") + " is read as 350 in; the sheet is in inches (350 mm = 13.78 in)."},
        {{{"600", "35cm"}}, "Arm, Aircraft Empty: " + q("35cm") + " is read as 35 in; the sheet is in inches (35 cm = 13.78 in)."},
        {{{"600", ".35 m"}}, "Arm, Aircraft Empty: " + q(".35 m") + " is read as 0.35 in; the sheet is in inches (0.35 m = 13.78 in)."},
        {{{}, {"8\n5\n", "-20"}}, "Weight, Pilot: " + q("8 5 ") + " is read as 85."},
        {{{"600", "14"}, {}, {"15", ""}}, "Arm, item 3 is blank: its 15 lb are counted at the datum."},
        {{{"600", "14"}, {}, {"-100", "10"}}, "Weight, item 3 is below zero: -100 lb is taken away."},
        {{{"1,55555555555555", "14"}}, "Weight, Aircraft Empty: " + q("1,55555555555555") + " is read as 1."},
        // Cut at 16 characters, not bytes: it showed "12 élève élè…".
        {{{"12 élève élève élève", "14"}}, "Weight, Aircraft Empty: " + q("12 élève élève é\u2026") + " is read as 12."},
        // A character that shows nothing of itself is shown by its code.
        {{{"\u202E006", "14"}}, "Weight, Aircraft Empty: " + q("\u2039U+202E\u203A006") + " is read as 0."},
        {{{}, {std::string("17\0" "0", 4), "-20"}}, "Weight, Pilot: " + q("17\u2039U+0000\u203A0") + " is read as 17."},
        {{{}, {"17\U000E0030", "-20"}}, "Weight, Pilot: " + q("17\u2039U+E0030\u203A") + " is read as 17."},
        // Only right-to-left text is isolated: a logbook shows isolates as stray marks.
        {{{"\u0666\u0660\u0660", "14"}}, "Weight, Aircraft Empty: " + q("\u2068\u0666\u0660\u0660\u2069") + " is read as 0."},
        {{{"-5 kg", " "}},
         "Weight, Aircraft Empty: " + q("-5 kg") + " is read as -5 lb; the sheet is in pounds (-5 kg = -11 lb)." +
             " | Weight, Aircraft Empty is below zero: -5 lb is taken away. | Arm, Aircraft Empty is blank: its -5 lb are counted at the datum."},
        {{{"600", "14"}, {"", "-20"}, {"0", ""}, {"1E400", ""}}, ""},
    };
    for (const auto& [rows, expected] : cases)
        EXPECT_EQ(joined(warningsOf(sheetOf(rows))), expected) << rows[0].first;
}

// The worked examples above withArticle, line for line: "A 80 lb pilot" was said.
TEST(WithArticle, FollowsTheNumberAsSpoken)
{
    const std::pair<const char*, const char*> cases[] = {
        {"80", "an 80"},       {"85.5", "an 85.5"},       {"11", "an 11"},         {"8", "an 8"},
        {"18000", "an 18000"}, {"820000", "an 820000"},   {"8E+20", "an 8E+20"},
        {"170", "a 170"},      {"1100", "a 1100"},        {"0.8", "a 0.8"},        {"-80", "a -80"},
    };
    for (const auto& [figure, words] : cases)
        EXPECT_EQ(withArticle(figure), words);
    EXPECT_EQ(withArticle("18", true), "An 18");
}

// What a screen reader hears beside each result, and the whole result at once.
TEST(ResultWords, SayTheVerdictOfEachFigure)
{
    // Totals from 600 lb at 14 in and a 170 lb pilot, kept when a pilot of
    // -700 lb leaves no weight: the range is said, the room is not.
    Sheet stale = passed({{"600", "14"}, {"170", "-20"}});
    stale.weight[kPilotRow] = "-700";
    Calc(stale);
    const struct {
        const char* name;
        Sheet sheet;
        std::optional<CalcFault> fault;
        std::string gross, cg, scale, summary;
    } cases[] = {
        {"nothing yet", Sheet{}, {}, "", "", "No CG yet", "No weight entered yet."},
        {"within weight, CG forward of the scale", passed({{"600", "14"}, {"170", "-20"}}), {}, "within limits",
         "out of limits, forward of the 11.70 in limit", "CG 6.49 in, forward of the scale",
         "Gross weight 770 lb, within limits. CG 6.49 in, out of limits, forward of the 11.70 in limit. "
         "Pilot weight for this loading: 0 to 43 lb (0 to 19 kg). Room to 900 lb: 130 lb (58.9 kg)."},
        {"over and aft, on the scale", passed({{"950", "17"}}), {}, "out of limits, over 900 lb",
         "out of limits, aft of the 16.00 in limit", "CG 17.00 in", ""},
        {"aft of the scale", passed({{"10", "50"}}), {}, "within limits", "out of limits, aft of the 16.00 in limit",
         "CG 50.00 in, aft of the scale", ""},
        {"a fault in the rows", passed({{"100", "14"}}), CalcFault{FaultStep::RowSum, 1}, "within limits, not updated",
         "within limits, not updated", "CG 14.00 in, not updated", ""},
        {"totals kept from an earlier pass: the range, but no room", stale, {}, "within limits, not updated",
         "out of limits, forward of the 11.70 in limit, not updated", "CG 6.49 in, forward of the scale, not updated",
         "Totals not updated: the gross weight is zero or less. Gross weight 770 lb, within limits, not updated. "
         "CG 6.49 in, out of limits, forward of the 11.70 in limit, not updated. Pilot weight for this loading: 0 to 43 lb (0 to 19 kg)."},
        {"a fault at the scale: the CG and its colour are new all the same", passed({{"100", "14"}}),
         CalcFault{FaultStep::Scale, -1}, "within limits", "within limits", "CG 14.00 in, not updated", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(grossWeightWords(c.sheet, c.fault), c.gross) << c.name;
        EXPECT_EQ(flyCgWords(c.sheet, c.fault), c.cg) << c.name;
        EXPECT_EQ(scaleWords(c.sheet, c.fault), c.scale) << c.name;
        if (!c.summary.empty()) {
            EXPECT_EQ(resultSummary(c.sheet, c.fault), c.summary) << c.name;
        }
    }
}

}  // namespace
}  // namespace kq71wb
