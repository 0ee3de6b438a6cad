#include "session.h"

#include <gtest/gtest.h>

#include <functional>

namespace kq71wb {
namespace {

// What a front end shows of a view, in one line: the totals, the verdict,
// the warnings, the note, what is spoken now (Verdict, Warnings, Note), the
// marked loading and the buttons (a button that cannot be pressed in brackets).
std::string shown(const View& view)
{
    const Sheet& s = view.sheet;
    std::string said = std::string(view.announce.verdict ? "V" : "") + (view.announce.warnings ? "W" : "") +
                       (view.announce.note ? "N" : "");
    std::string buttons;
    for (const LoadingButtonView& button : view.loadings)
        buttons += (buttons.empty() ? "" : ", ") + (button.canPress ? button.caption : "[" + button.caption + "]");
    return s.weight[0] + " at " + s.arm[0] + ": " + s.grossWeight + " lb, CG" + s.flyCg + " | " + view.lines.verdict +
           " | " + std::to_string(view.lines.warnings.size()) + " warnings | note \"" + view.lines.note + "\" | said " +
           (said.empty() ? "-" : said) + " | marked " + std::to_string(view.marked) + " | " + buttons;
}

struct Step {
    const char* what;
    std::function<View(Session&)> event;
    std::string expected;
};

const std::string kButtons = "N271KQ, [Loading 2], [Loading 3], [Spare]";

// One session through a pilot's steps, each event and the view that comes of it.
TEST(Session, EachEventGivesOneView)
{
    const std::string file = "\"N271KQ\",612.5,23.6\n\"\",612.5,23.6\n,600,14\n\"Spare\",,\n";
    const Step steps[] = {
        {"loadings read", [&](Session& s) { return s.useLoadings(file); },
         " at :  lb, CG |  | 0 warnings | note \"\" | said - | marked -1 | " + kButtons},
        {"the pilot's weight", [](Session& s) { return s.edit(FieldKind::Weight, 1, "170"); },
         " at : 170 lb, CG-  20.00 | CG forward of the 11.70 in limit. | 0 warnings | note \"\" | said V | marked -1 | " + kButtons},
        {"a loading pressed: one view, spoken once from the final figures",
         [](Session& s) { return s.pressLoading(0); },
         "612.5 at 23.6: 782.5 lb, CG  14.13 | Within limits. | 0 warnings | note \"\" | said V | marked 0 | " + kButtons},
        {"pressed again: the same words are said again", [](Session& s) { return s.pressLoading(0); },
         "612.5 at 23.6: 782.5 lb, CG  14.13 | Within limits. | 0 warnings | note \"\" | said V | marked 0 | " + kButtons},
        {"the next keystroke says nothing new", [](Session& s) { return s.edit(FieldKind::Weight, 1, "171"); },
         "612.5 at 23.6: 783.5 lb, CG  14.08 | Within limits. | 0 warnings | note \"\" | said - | marked 0 | " + kButtons},
        {"a loading without a name cannot be pressed", [](Session& s) { return s.pressLoading(1); },
         "612.5 at 23.6: 783.5 lb, CG  14.08 | Within limits. | 0 warnings | note \"\" | said - | marked 0 | " + kButtons},
        {"nor one without figures", [](Session& s) { return s.pressLoading(3); },
         "612.5 at 23.6: 783.5 lb, CG  14.08 | Within limits. | 0 warnings | note \"\" | said - | marked 0 | " + kButtons},
        {"a note", [](Session& s) { return s.setNote("Printed on Club office."); },
         "612.5 at 23.6: 783.5 lb, CG  14.08 | Within limits. | 0 warnings | note \"Printed on Club office.\" | said N | marked 0 | " + kButtons},
        {"a description changes no figure, and the note stays",
         [](Session& s) { return s.edit(FieldKind::Description, 2, "Parachute"); },
         "612.5 at 23.6: 783.5 lb, CG  14.08 | Within limits. | 0 warnings | note \"Printed on Club office.\" | said - | marked 0 | " + kButtons},
        {"nor does the same text again", [](Session& s) { return s.edit(FieldKind::Weight, 1, "171"); },
         "612.5 at 23.6: 783.5 lb, CG  14.08 | Within limits. | 0 warnings | note \"Printed on Club office.\" | said - | marked 0 | " + kButtons},
        {"the aircraft-empty row changed: no longer that glider's, and the note goes",
         [](Session& s) { return s.edit(FieldKind::Weight, 0, "612"); },
         "612 at 23.6: 783 lb, CG  14.08 | Within limits. | 0 warnings | note \"\" | said - | marked -1 | " + kButtons},
        {"a misread and a blank arm are said as they start", [](Session& s) { return s.edit(FieldKind::Weight, 2, "8 kg"); },
         "612 at 23.6: 791 lb, CG  13.94 | Within limits. | 2 warnings | note \"\" | said W | marked -1 | " + kButtons},
        {"a field given more than it keeps says so",
         [](Session& s) { return s.edit(FieldKind::Description, 3, std::string(5000, 'x')); },
         "612 at 23.6: 791 lb, CG  13.94 | Within limits. | 2 warnings | note \"Description, item 4 keeps at most 4,096 "
         "characters; the rest was cut.\" | said N | marked -1 | " + kButtons},
        {"the warnings go under the same verdict: it is not said again",
         [](Session& s) { return s.edit(FieldKind::Weight, 2, ""); },
         "612 at 23.6: 783 lb, CG  14.08 | Within limits. | 0 warnings | note \"\" | said - | marked -1 | " + kButtons},
    };
    Session session;
    for (const Step& step : steps)
        EXPECT_EQ(shown(step.event(session)), step.expected) << step.what;
    EXPECT_EQ(session.sheet().description[3].size(), kMaxFieldCharacters);
}

// The load sheet's cockpit placard names each glider once, with the pilots
// its weighing allows at the pilot's arm and nothing else aboard (the ranges
// the read-outs' random test tries on every pound); F8 says the marked
// glider's. A move of the caret is never spoken.
TEST(Session, PlacardOfEachGlider)
{
    Session session;
    session.useLoadings(std::string_view("\"N271KQ\",610,23.65\n\"Heavy\",610,40\n"));
    session.pressLoading(1);
    EXPECT_EQ(session.focus(FieldKind::Weight, 2).announce, Announcements{});
    const LoadSheetText text = session.loadSheet("", "");
    EXPECT_EQ(std::vector(text.below.end() - 6, text.below.end() - 3),
              (std::vector<std::string>{"Cockpit placard, pilot at -20 in and nothing else aboard:",
                                        "N271KQ: 130 to 229 lb (59 to 103 kg).",
                                        "Heavy: no pilot weight keeps it within limits."}));
    EXPECT_TRUE(session.summary().ends_with(
        " Cockpit placard for Heavy, pilot at -20 in and nothing else aboard: no pilot weight keeps it within limits."));
}

// A button says why it cannot be pressed; a name of nothing but blanks,
// zero-width or direction characters is no name.
TEST(Session, LoadingButtonsSayWhyTheyCannotBePressed)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "No loading: put kq71wb.dat in ~/.config/kq71wb/."},
        {"\"\",612.5,23.6", "Loading 1 has no name in the loadings file."},
        {"\"\u200B\u202E\u00A0\",612.5,23.6", "Loading 1 has no name in the loadings file."},
        {",600,14", "Loading 1 has no name in the loadings file."},
        {"\"Spare\",,", "Spare has no empty weight or arm in the loadings file."},
        {"\"Spare\",600,", "Spare has no empty arm in the loadings file."},
        {"\"Spare\", ,14", "Spare has no empty weight in the loadings file."},
        {"\"\u00E9\",600,14", ""},
        {"\"" + std::string(200, 'N') + "\",,", std::string(60, 'N') + "\u2026 has no empty weight or arm in the loadings file."},
    };
    for (const auto& [file, whyNot] : cases) {
        Session session("put kq71wb.dat in ~/.config/kq71wb/");
        const LoadingButtonView button = session.useLoadings(parseLoadings(file)).loadings[0];
        EXPECT_EQ(button.whyNot, whyNot) << file;
        EXPECT_EQ(button.canPress, whyNot.empty()) << file;
        EXPECT_EQ(session.pressLoading(0).sheet.weight[0], whyNot.empty() ? "600" : "") << file;
    }
}

// A picture or an empty file chosen by mistake replaced the loadings kept:
// a file that gives no loading is refused, and the loadings stay.
TEST(Session, AFileThatGivesNoLoadingIsRefused)
{
    Session session;
    session.useLoadings(std::string_view("\"N271KQ\",612.5,23.6\n"));
    const std::pair<std::string, bool> files[] = {
        {std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\x01", 20), true}, {"", true}, {"\"Spare\",,\n,600,14", true},
        {"\"N371KQ\",598,23.9", false}};
    for (const auto& [file, refused] : files) {
        const View view = session.useLoadings(std::string_view(file), "club.dat", "2026-11-30 09:12");
        EXPECT_EQ(session.loadingsRefused(), refused) << file;
        EXPECT_EQ(view.loadings[0].caption, refused ? "N271KQ" : "N371KQ") << file;
        EXPECT_EQ(view.announce.note, refused) << file;
    }
    // The file taken is named beside its buttons, and on the load sheet with
    // which weighing it is: its time and the start of its SHA-256 (sha256sum).
    EXPECT_EQ(session.view().loadings[0].from, "From club.dat.");
    EXPECT_EQ(session.loadSheet("", "").above.back(), "Loadings file: club.dat, modified 2026-11-30 09:12, SHA-256 7ab532d7fec4");
}

// Smart quotes typed on a phone, "“Club, two”,598,23.9", made buttons of
// "“Club", "23.9" and "23.9" without a word: a line that does not split into
// three fields is named.
TEST(Session, AMisshapenLoadingsLineIsNamed)
{
    const std::pair<std::string, std::string> files[] = {
        {"\"N271KQ\",612.5,23.6\r\n\r\n\"Club, two\",598,23.9\n", ""},
        {"\"N271KQ\",612.5,23.6\n\u201CClub, two\u201D,598,23.9\n", "Line 2 of the loadings file does not split into a name, an "
                                                                  "empty weight and an empty arm: check the quotes and commas."},
        {"A,1\nB,2,3,4\nC,5,6\nD\nE,7,8,9\n", "Lines 1, 2 and 4 and more of the loadings file do not split into a name, an "
                                             "empty weight and an empty arm: check the quotes and commas."},
    };
    for (const auto& [file, note] : files) {
        Session session;
        EXPECT_EQ(session.useLoadings(std::string_view(file)).lines.note, note) << file;
    }
}

// The window shows every warning, as the page does; F8 says them all too.
TEST(Session, SummarySaysEveryWarning)
{
    Session session;
    for (const char* text : {"a", "b", "c"})
        session.edit(FieldKind::Weight, 2 + (text[0] - 'a'), text);
    EXPECT_EQ(session.summary(), "No weight entered yet. Weight, item 3: \"a\" is read as 0. Weight, item 4: "
                                 "\"b\" is read as 0. Weight, item 5: \"c\" is read as 0.");
}

}  // namespace
}  // namespace kq71wb
