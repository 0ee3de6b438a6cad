#include "session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "sha256.h"

namespace kq71wb {
namespace {

// What a front end shows of a view, in one line: the totals, the verdict,
// the warnings, the note, what is spoken now (Verdict, Warnings, Note), the
// marked loading and the buttons (a button that cannot be pressed in brackets);
// where the caret goes, when the event sends it; with `readouts`, the read-outs last.
std::string shown(const View& view, bool readouts)
{
    const Sheet& s = view.sheet;
    std::string said = std::string(view.announce.verdict ? "V" : "") + (view.announce.warnings ? "W" : "") +
                       (view.announce.note ? "N" : "");
    std::string buttons;
    for (const LoadingButtonView& button : view.loadings)
        buttons += (buttons.empty() ? "" : ", ") + (button.canPress ? button.caption : "[" + button.caption + "]");
    return s.weight[0] + " at " + s.arm[0] + ": " + s.grossWeight + " lb, CG" + s.flyCg + " | " + view.lines.verdict +
           " | " + std::to_string(view.lines.warnings.size()) + " warnings | note \"" + view.lines.note + "\" | said " +
           (said.empty() ? "-" : said) + " | marked " + std::to_string(view.marked) + " | " + buttons +
           (view.caretTo ? " | caret to " + fieldName(view.caretTo->field, view.caretTo->row) : "") + (readouts ? " | " + view.lines.readouts : "");
}

struct Step {
    const char* what;
    std::function<View(Session&)> event;
    std::string expected;
    bool readouts = false;
};

const std::string kButtons = "N271KQ, [Loading 2], [Loading 3], [Spare]";
const std::string kPilot = "Pilot weight for this loading: 130 to 229 lb (59 to 104 kg). Room to 900 lb: 117.5 lb (53.2 kg).";

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
         "612.5 at 23.6: 782.5 lb, CG  14.13 | Within limits. | 0 warnings | note \"\" | said V | marked 0 | " + kButtons +
             " | caret to Weight, Pilot"},
        {"the caret in item 8's weight: the read-outs say what it may weigh at its arm",
         [](Session& s) { return s.edit(FieldKind::Arm, 7, "60"), s.focus(FieldKind::Weight, 7); },
         "612.5 at 23.6: 782.5 lb, CG  14.13 | Within limits. | 0 warnings | note \"\" | said - | marked 0 | " + kButtons +
             " | Item 8 (60 in): up to 33 lb (15 kg) keeps the sheet within limits. " + kPilot, true},
        {"the caret in item 8's description: the read-outs name no item", [](Session& s) { return s.focus(FieldKind::Description, 7); }, "612.5 at 23.6: 782.5 lb, CG  14.13 | Within limits. | 0 warnings | note \"\" | said - | marked 0 | " + kButtons + " | " + kPilot, true},
        {"pressed again: the same words said again, the caret sent on with the pilot's read-outs",
         [](Session& s) { return s.pressLoading(0); },
         "612.5 at 23.6: 782.5 lb, CG  14.13 | Within limits. | 0 warnings | note \"\" | said V | marked 0 | " + kButtons +
             " | caret to Weight, Pilot | " + kPilot, true},
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
        {"an item's description, quoted by the read-outs: ballast for a light pilot at item 3",
         [](Session& s) { s.edit(FieldKind::Arm, 2, "-30"), s.edit(FieldKind::Weight, 1, "100");
                          return s.edit(FieldKind::Description, 2, "Tail ballast"); },
         "612 at 23.6: 712 lb, CG  17.48 | CG aft of the 16.00 in limit. | 0 warnings | note \"\" | said - | marked -1 | " + kButtons +
             " | Pilot weight for this loading: 130 to 229 lb (59 to 104 kg). A 100 lb pilot needs at least 23 lb (11 kg) at "
             "item 3 (Tail ballast, -30 in). Room to 900 lb: 188 lb (85.2 kg).", true},
        {"a file that gives no loading: the loadings and the mark stay, and the note says why",
         [](Session& s) { return s.pressLoading(0), s.useLoadings(std::string_view("\"Spare\",,\n")); },
         "612.5 at 23.6: 712.5 lb, CG  17.48 | CG aft of the 16.00 in limit. | 0 warnings | note \"That file gives no loading (a "
         "line of a name in quotes, an empty weight and an empty arm); the loadings you had stay.\" | said N | marked 0 | " + kButtons},
        {"loadings taken: the mark goes", [&](Session& s) { return s.useLoadings(file); },
         "612.5 at 23.6: 712.5 lb, CG  17.48 | CG aft of the 16.00 in limit. | 0 warnings | note \"\" | said - | marked -1 | " + kButtons},
        {"there is no fifth loading to press", [](Session& s) { return s.pressLoading(4); }, "612.5 at 23.6: 712.5 lb, CG  17.48 | CG aft of the 16.00 in limit. | 0 warnings | note \"\" | said - | marked -1 | " + kButtons},
        {"nor a row past the sheet to type in", [](Session& s) { return s.edit(FieldKind::Weight, Sheet::kRowCount, "5"); }, "612.5 at 23.6: 712.5 lb, CG  17.48 | CG aft of the 16.00 in limit. | 0 warnings | note \"\" | said - | marked -1 | " + kButtons},
        {"records given in place of the file: the mark goes", [&](Session& s) { return s.pressLoading(0), s.useLoadings(parseLoadings(file)); }, "612.5 at 23.6: 712.5 lb, CG  17.48 | CG aft of the 16.00 in limit. | 0 warnings | note \"\" | said - | marked -1 | " + kButtons},
    };
    Session session;
    for (const Step& step : steps)
        EXPECT_EQ(shown(step.event(session), step.readouts), step.expected) << step.what;
    EXPECT_EQ(session.sheet().description[3].size(), kMaxFieldCharacters);
}

// The load sheet's cockpit placard names each glider once, with the pilots
// its weighing allows at the pilot's arm and nothing else aboard (the ranges
// the read-outs' random test tries on every pound); F8 says the marked
// glider's. A move of the caret is never spoken.
// The placard is worked at the pilot's arm as read, and headed with it; a
// pilot's arm of no number (blank, a Unicode minus) is asked for, where the
// placard was worked at 0 in.
TEST(Session, PlacardOfEachGlider)
{
    const std::vector<std::string> atMinus20 = {"Cockpit placard, pilot at -20 in and nothing else aboard:",
                                                "N271KQ: 130 to 229 lb (59 to 104 kg).",
                                                "Heavy: no pilot weight keeps it within limits."};
    const std::string heavyAtMinus20 =
        " Cockpit placard for Heavy, pilot at -20 in and nothing else aboard: no pilot weight keeps it within limits.";
    const std::vector<std::string> noArm = {"Cockpit placard: type the pilot's arm for the placard."};
    const std::string heavyWithoutArm = " Cockpit placard for Heavy: type the pilot's arm for the placard.";
    const struct {
        std::string pilotArm;
        std::vector<std::string> placard;
        std::string f8;
    } cases[] = {
        {"-20", atMinus20, heavyAtMinus20},
        {"-20 in", atMinus20, heavyAtMinus20},
        {"-20,5", atMinus20, heavyAtMinus20},
        {"", noArm, heavyWithoutArm},
        {"\u221220", noArm, heavyWithoutArm},
        {"arm", noArm, heavyWithoutArm},
    };
    for (const auto& c : cases) {
        Session session;
        session.useLoadings(std::string_view("\"N271KQ\",610,23.65\n\"Heavy\",610,40\n"));
        session.pressLoading(1);
        session.edit(FieldKind::Arm, kPilotRow, c.pilotArm);
        EXPECT_EQ(session.focus(FieldKind::Weight, 2).announce, Announcements{});
        const LoadSheetText text = session.loadSheet({}, "");
        const auto placard = std::find(text.below.begin(), text.below.end(), c.placard.front());
        EXPECT_EQ(std::vector(placard, std::min(placard + static_cast<std::ptrdiff_t>(c.placard.size()), text.below.end())),
                  c.placard) << c.pilotArm;
        EXPECT_TRUE(session.summary().ends_with(c.f8)) << session.summary();
    }
}

// A button says why it cannot be pressed; a name of nothing but blanks,
// zero-width or direction characters is no name.
TEST(Session, LoadingButtonsSayWhyTheyCannotBePressed)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "No loading: put kq71wb.dat in ~/.config/kq71wb/."},
        {"\"\",612.5,23.6", "Loading 1 has no name in the loadings file."},
        {"\"\u200B\u202E\u00A0\",612.5,23.6", "Loading 1 has no name in the loadings file."},
        {"\"\u00AE\",600,14", ""},
        {"\"\u2070\",600,14", ""},
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

// As the program starts, the note says which file the buttons came from, as
// it is looked for in more than one place; or why there are none, and where
// to put one.
TEST(Session, WhatTheNoteSaysOfTheLoadingsFileAtStart)
{
    const std::string file = "~/.config/kq71wb/kq71wb.dat", where = "put kq71wb.dat in ~/.config/kq71wb/";
    const std::string noLoading = "No loading: " + where + '.', folder = file + " cannot be used, as it is a folder, not a file";
    const std::string refused = " gives no loading (a line of a name in quotes, an empty weight and an empty arm): for the "
                                "loading buttons, ";
    const std::string curly = "\u201CClub, two\u201D,598,23.9\n", misread = " Empty weight, \u201CClub: \"two\u201D\" is read as 0.";
    const std::string notSplit = " of the loadings file does not split into a name, an empty weight and an empty arm: check "
                                 "the quotes and commas.";
    const struct {
        std::string file, bytes, problem, note, whyNot;
    } cases[] = {
        {"", "", "", "No loadings file: for the loading buttons, " + where + '.', noLoading},
        {file, "", "it is a folder, not a file", "No loadings: " + folder + '.', "No loading: " + folder + '.'},
        {file, curly, "", file + refused + where + ". Line 1" + notSplit, noLoading},
        {file, "\"N271KQ\",612.5,23.6\n", "", "Loadings from " + file + '.', ""},
        {file, "\"N271KQ\",612.5,23.6\n" + curly, "", "Loadings from " + file + ". Line 2" + notSplit + misread, ""},
    };
    for (const auto& c : cases) {
        Session session(where);
        const View view = c.problem.empty() ? session.startWithLoadings(c.bytes, {c.file, {}, {}, 0})
                                            : session.useNoLoadings(c.file, c.problem);
        EXPECT_EQ(view.lines.note, c.note) << c.bytes;
        EXPECT_TRUE(view.announce.note) << c.bytes;
        EXPECT_EQ(view.loadings[0].whyNot, c.whyNot) << c.bytes;
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
        const View view = session.useLoadings(file, {"club.dat", LocalTime{1796026320, 3600}, {}, 0});
        EXPECT_EQ(view.taken, !refused) << file;
        EXPECT_EQ(view.loadings[0].caption, refused ? "N271KQ" : "N371KQ") << file;
        EXPECT_EQ(view.announce.note, refused) << file;
    }
    // The file taken is named beside its buttons, and on the load sheet with
    // which weighing it is: its time with its zone, and the start of its
    // SHA-256 (sha256sum).
    EXPECT_EQ(session.view().loadings[0].from, "From club.dat.");
    EXPECT_EQ(session.loadSheet({}, "").above.back(), "Loadings file: club.dat, modified 2026-11-30 09:12 +01:00, SHA-256 7ab532d7fec4");
    // A file changed on disk after it was read kept its old time and digest
    // without a word: once it is seen to differ, the sheet and every note say so.
    const std::string changed = "The loadings file on disk has changed since it was read (its SHA-256 is now 0123456789ab): "
                                "the buttons and this sheet keep what was read.";
    session.lookAgainAtLoadings("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef");
    EXPECT_EQ(session.loadSheet({}, "").above.back(), changed);
    EXPECT_EQ(session.setNote("Load sheet copied.").lines.note, "Load sheet copied. " + changed);
    session.lookAgainAtLoadings("");
    EXPECT_EQ(session.setNote("Printed.").lines.note, "Printed. The loadings file on disk has changed since it was read "
                                                      "(it cannot be read now): the buttons and this sheet keep what was read.");
    session.lookAgainAtLoadings("c8b53ec1e9a7c2b0e1a9f4f57c9d0e77e4f47cd1d8fd6cc67e4b5d4b7ab532d7");
    session.lookAgainAtLoadings(sha256Hex("\"N371KQ\",598,23.9"));
    EXPECT_EQ(session.setNote("Printed.").lines.note, "Printed.");
}

// What is said of a loadings file as it is read, in the note (which the
// window's start-up note ends with), the first button's tooltip and the load
// sheet's lines beneath the file's name and its placard:
// - smart quotes typed on a phone, "“Club, two”,598,23.9", made buttons of
//   "“Club", "23.9" and "23.9" without a word: a line that does not split
//   into three fields is named;
// - "278kg" gave a button and a placard worked at 278 lb without a word: a
//   figure not read as it looks is named as a typed one is, and no placard
//   rests on it;
// - a file of 12 gliders dropped eight without a word;
// - two records named N271KQ gave buttons and placard lines alike: their
//   figures tell them apart.
// A placard says why it holds no range: figures not read as written, or a
// glider of no weight, for which none can be worked out.
TEST(Session, WhatIsSaidOfALoadingsFile)
{
    const std::string misread = "Empty weight, N7 kg typo: \"278kg\" is read as 278 lb; the sheet is in pounds (278 kg = 612.9 lb).";
    const std::string kg = "Empty weight, N7: \"278kg\" is read as 278 lb; the sheet is in pounds (278 kg = 612.9 lb).",
                      cm = "Empty arm, N7: \"60cm\" is read as 60 in; the sheet is in inches (60 cm = 23.62 in).";
    std::string twelve;
    for (int glider = 1; glider <= 12; ++glider)  // the second without a name
        twelve += (glider == 2 ? "\"\"" : "\"G" + std::to_string(glider) + '"') + ",612.5,23.6\n";
    const struct {
        std::string file, note, tooltip;
        std::vector<std::string> notes, placard;
        std::string buttons = {};  // when they are not the names themselves
    } cases[] = {
        {"\"N271KQ\",612.5,23.6\r\n\r\n\"Club, two\",598,23.9\n", "", "From club.dat.", {},
         {"N271KQ: 130 to 229 lb (59 to 104 kg).", "Club, two: 132 to 230 lb (60 to 104 kg)."}},
        {"\"N271KQ\",612.5,23.6\n\u201CClub, two\u201D,598,23.9\n",
         "Line 2 of the loadings file does not split into a name, an empty weight and an empty arm: check the quotes and "
         "commas. Empty weight, \u201CClub: \"two\u201D\" is read as 0.", "From club.dat.",
         {"Check: Empty weight, \u201CClub: \"two\u201D\" is read as 0."},
         {"N271KQ: 130 to 229 lb (59 to 104 kg).", "\u201CClub: none: its empty weight is not read as written in the loadings file."}},
        {"A,1\nB,2,3,4\nC,5,6\nD\nE,7,8,9\n",
         "Lines 1, 2 and 4 and more of the loadings file do not split into a name, an empty weight and an empty arm: check "
         "the quotes and commas. The loadings file holds 5 gliders; only the first 4 have buttons: A, 2, C and D. Empty arm, "
         "A: \"B\" is read as 0. Empty weight, D: \"E\" is read as 0.",
         "Empty arm, A: \"B\" is read as 0. From club.dat.",
         {"The loadings file holds 5 gliders; only the first 4 have buttons: A, 2, C and D.",
          "Check: Empty arm, A: \"B\" is read as 0.", "Check: Empty weight, D: \"E\" is read as 0."},
         {"A: none: its empty arm is not read as written in the loadings file.", "2: no pilot weight keeps it within limits.",
          "C: no pilot weight keeps it within limits.", "D: none: its empty weight is not read as written in the loadings file."}},
        {"\"N7 kg typo\",278kg,23.6\n\"N271KQ\",612.5,23.6\n", misread, misread + " From club.dat.", {"Check: " + misread},
         {"N7 kg typo: none: its empty weight is not read as written in the loadings file.",
          "N271KQ: 130 to 229 lb (59 to 104 kg)."}},
        {twelve, "The loadings file holds 12 gliders; only the first 4 have buttons: G1, Loading 2, G3 and G4.", "From club.dat.",
         {"The loadings file holds 12 gliders; only the first 4 have buttons: G1, Loading 2, G3 and G4."},
         {"G1: 130 to 229 lb (59 to 104 kg).", "G3: 130 to 229 lb (59 to 104 kg).", "G4: 130 to 229 lb (59 to 104 kg)."}},
        {"\"N271KQ\",612.5,23.6\n\"N271KQ\",598,23.9\n", "", "N271KQ (empty 612.5 lb at 23.6 in). From club.dat.", {},
         {"N271KQ (empty 612.5 lb at 23.6 in): 130 to 229 lb (59 to 104 kg).",
          "N271KQ (empty 598 lb at 23.9 in): 132 to 230 lb (60 to 104 kg)."}},
        {"\"N7\",278kg,60cm\n\"N271KQ\",612.5,23.6\n", kg + ' ' + cm, kg + ' ' + cm + " From club.dat.", {"Check: " + kg, "Check: " + cm},
         {"N7: none: its empty weight and arm are not read as written in the loadings file.", "N271KQ: 130 to 229 lb (59 to 104 kg)."}},
        {"\"Zero\",0,23.6\n", "", "From club.dat.", {}, {"Zero: no pilot weight can be worked out."}},
        {"\"N7\",278kg,23.6\n\"N7\",278kg,23.6\n\"N271KQ\",612.5,23.6\n", kg, kg + " From club.dat.", {"Check: " + kg},
         {"N7: none: its empty weight is not read as written in the loadings file.", "N271KQ: 130 to 229 lb (59 to 104 kg)."}},
        // A button shows about 20 characters: names that differ after them
        // show where they differ, the whole name in the tooltip.
        {"\"N271KQ Club glider, north field one\",612.5,23.6\n\"N271KQ Club glider, north field two\",598,23.9\n"
         "\"N271KQ Club glider, south field\",598,23.9\n\"N271KQ Club glider\",598,23.9\n", "",
         "N271KQ Club glider, north field one. From club.dat.", {},
         {"N271KQ Club glider, north field one: 130 to 229 lb (59 to 104 kg).",
          "N271KQ Club glider, north field two: 132 to 230 lb (60 to 104 kg).",
          "N271KQ Club glider, south field: 132 to 230 lb (60 to 104 kg).", "N271KQ Club glider: 132 to 230 lb (60 to 104 kg)."},
         "N271KQ\u2026th field one, N271KQ\u2026th field two, N271KQ\u2026, south field, N271KQ Club glider"},
    };
    for (const auto& c : cases) {
        Session session;
        const View view = session.useLoadings(c.file, {"club.dat", {}, {}, 0});
        EXPECT_EQ(view.lines.note, c.note) << c.file;
        EXPECT_EQ(view.loadings[0].from, c.tooltip) << c.file;
        std::string buttons;
        for (const LoadingButtonView& button : view.loadings)
            buttons += (buttons.empty() ? "" : ", ") + button.caption;
        EXPECT_TRUE(c.buttons.empty() || buttons == c.buttons) << buttons;
        const LoadSheetText sheet = session.loadSheet({}, "");
        EXPECT_EQ(std::vector(sheet.above.begin() + 3, sheet.above.end()), c.notes) << c.file;
        const auto placard = std::find_if(sheet.below.begin(), sheet.below.end(),
                                          [](const std::string& line) { return line.starts_with("Cockpit placard"); });
        EXPECT_EQ(std::vector(placard + 1, std::find(placard, sheet.below.end(), "")), c.placard) << c.file;
    }
}

// What is not read of a file is named: the first line of a file refused,
// and the line the cut at 64 KiB falls in. A file longer than the 64 KiB
// read said "Line 1641 ... does not split" of the line the cut fell in, and a
// record cut there was used: 612.5 lb at 2 in.
TEST(Session, WhatIsNotReadOfAFileIsNamed)
{
    const std::string notSplit = " of the loadings file does not split into a name, an empty weight and an empty arm: check "
                                 "the quotes and commas.";
    const std::string refused = "That file gives no loading (a line of a name in quotes, an empty weight and an empty arm); "
                                "the loadings you had stay.";
    // Four gliders, then older weighings, 120,093 bytes in all; the cut falls in line 1988.
    std::string weighings = "\"N271KQ\",612.5,23.6\n\"N371KQ\",598,23.9\n\"N471KQ\",621.25,23.4\n\"N571KQ\",605.5,23.7\n";
    for (int year = 0; weighings.size() < 120093; ++year)
        weighings += "\"N271KQ weighed " + std::to_string(1990 + year % 30) + "\",612.5,23.6\n";
    weighings.resize(120093);
    const struct {
        std::string bytes;
        std::uint64_t size;  // of the whole file; 0 when the bytes are the whole
        std::string note;
        std::string firstButton;
    } files[] = {
        {"\u201CClub, two\u201D,598,23.9\n", 0, refused + " Line 1" + notSplit, "Loading 1"},
        {"\"N271KQ\",612.5,23.6\nA\n600\n14\n", 0, "Lines 2, 3 and 4 of the loadings file do not split into a name, an empty weight and an empty arm: check the quotes and commas.", "N271KQ"},
        {std::string(65520, ' ') + "\"N271KQ\",612.5,23.6", 65539,
         refused + " Only the first 64 KiB of kq71wb.dat were read: line 1, cut there, is left out.", "Loading 1"},
        {weighings.substr(0, kMaxFileBytes), weighings.size(),
         "Only the first 64 KiB of kq71wb.dat were read: line 1988, cut there, is left out. The part of the loadings file "
         "read holds 1987 gliders; only the first 4 have buttons: N271KQ, N371KQ, N471KQ and N571KQ.", "N271KQ"},
        {"\"N271KQ\",612.5,23.6\n" + std::string(kMaxFileBytes, '\n'), 0, "Only the first 64 KiB of kq71wb.dat were read.",
         "N271KQ"},
    };
    for (const auto& [bytes, size, note, firstButton] : files) {
        Session session;
        const View view = session.useLoadings(bytes, {"~/.config/kq71wb/kq71wb.dat", {}, {}, size});
        EXPECT_EQ(view.lines.note, note) << bytes.substr(0, 60);
        EXPECT_EQ(view.loadings[0].caption, firstButton) << bytes.substr(0, 60);
    }
}

// Loadings dropped for none, as the page's Clear drops them, kept the count
// of the file before: the load sheet went on saying it held 5 gliders.
TEST(Session, DroppedLoadingsLeaveNoGliderCount)
{
    Session session;
    session.useLoadings(std::string_view("A,1\nB,2,3,4\nC,5,6\nD\nE,7,8,9\n"));
    session.useLoadings(Loadings{});
    EXPECT_EQ(session.loadSheet({}, "").above, Session().loadSheet({}, "").above);
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
