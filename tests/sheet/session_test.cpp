#include "session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace kq71wb {
namespace {

using enum FieldKind;

// What a front end shows of a view, in one line: the aircraft-empty row, the
// totals and the verdict; then only what there is of the warnings, the note,
// what is spoken now (Verdict, Warnings, Note), the marked loading, whether a
// file's bytes were taken, and where the event sends the caret; with
// `readouts`, the read-outs last.
std::string shown(const View& view, bool readouts)
{
    const Sheet& s = view.sheet;
    std::string line = s.weight[0] + " at " + s.arm[0] + ": " + s.grossWeight + " lb, CG" + s.flyCg + " | " + view.lines.verdict;
    if (!view.lines.warnings.empty())
        line += " | " + std::to_string(view.lines.warnings.size()) + " warnings";
    if (!view.lines.note.empty())
        line += " | note \"" + view.lines.note + '"';
    if (view.announce != Announcements{})
        line += std::string(" | said ") + (view.announce.verdict ? "V" : "") + (view.announce.warnings ? "W" : "") +
                (view.announce.note ? "N" : "");
    if (view.marked >= 0)
        line += " | marked " + std::to_string(view.marked);
    if (view.taken)
        line += *view.taken ? " | taken" : " | refused";
    if (view.caretTo)
        line += " | caret to " + fieldName(view.caretTo->field, view.caretTo->row);
    return readouts ? line + " | " + view.lines.readouts : line;
}

// The buttons' captions, one that cannot be pressed in brackets.
std::string captions(const View& view)
{
    std::string buttons;
    for (const LoadingButtonView& button : view.loadings)
        buttons += (buttons.empty() ? "" : ", ") + (button.canPress ? button.caption : "[" + button.caption + "]");
    return buttons;
}

using Event = std::function<View(Session&)>;
Event edit(FieldKind field, int row, std::string text) { return [=](Session& s) { return s.edit(field, row, text); }; }
Event press(int index) { return [=](Session& s) { return s.pressLoading(index); }; }
Event read(std::string bytes) { return [=](Session& s) { return s.useLoadings(std::string_view(bytes)); }; }

struct Step {
    const char* what;
    Event event;
    std::string expected;
    bool readouts = false;
};

// One session through a pilot's steps, each event and the view that comes of it.
TEST(Session, EachEventGivesOneView)
{
    const std::string file = "\"N271KQ\",612.5,23.6\n\"\",612.5,23.6\n,600,14\n\"Spare\",,\n";
    const std::string within = "612.5 at 23.6: 782.5 lb, CG  14.13 | Within limits.", at171 = "612.5 at 23.6: 783.5 lb, CG  14.08 | Within limits.";
    const std::string at612 = "612 at 23.6: 783 lb, CG  14.08 | Within limits.", at8kg = "612 at 23.6: 791 lb, CG  13.94 | Within limits. | 2 warnings";
    const std::string aft = "612.5 at 23.6: 712.5 lb, CG  17.48 | CG aft of the 16.00 in limit.", printed = " | note \"Printed on Club office.\"";
    const std::string pilot = "Pilot weight for this loading: 130 to 229 lb (59 to 104 kg). Room to 900 lb: 117.5 lb (53.2 kg).";
    const std::string refused = " | note \"That file gives no loading (a line of a name in quotes, an empty weight and an empty arm); the "
                                "loadings you had stay.\" | said N | marked 0 | refused";
    const Step steps[] = {
        {"loadings read", read(file), " at :  lb, CG |  | taken"},
        {"the pilot's weight", edit(Weight, 1, "170"), " at : 170 lb, CG-  20.00 | CG forward of the 11.70 in limit. | said V"},
        {"a loading pressed: one view, spoken once from the final figures", press(0), within + " | said V | marked 0 | caret to Weight, Pilot"},
        {"the caret in item 8's weight: the read-outs say what it may weigh at its arm", [](Session& s) { return s.edit(Arm, 7, "60"), s.focus(Weight, 7); },
         within + " | marked 0 | Item 8 (60 in): up to 33 lb (15 kg) keeps the sheet within limits. " + pilot, true},
        {"the caret in item 8's description: the read-outs name no item", [](Session& s) { return s.focus(Description, 7); },
         within + " | marked 0 | " + pilot, true},
        {"pressed again: the same words said again, the caret sent on", press(0), within + " | said V | marked 0 | caret to Weight, Pilot | " + pilot, true},
        {"the next keystroke says nothing new", edit(Weight, 1, "171"), at171 + " | marked 0"},
        {"a loading without a name cannot be pressed", press(1), at171 + " | marked 0"},
        {"a note", [](Session& s) { return s.setNote("Printed on Club office."); }, at171 + printed + " | said N | marked 0"},
        {"a description changes no figure, and the note stays", edit(Description, 2, "Parachute"), at171 + printed + " | marked 0"},
        {"the aircraft-empty row changed: no longer that glider's, and the note goes", edit(Weight, 0, "612"), at612},
        {"a misread and a blank arm are said as they start", edit(Weight, 2, "8 kg"), at8kg + " | said W"},
        {"a field given more than it keeps says so", edit(Description, 3, std::string(5000, 'x')),
         at8kg + " | note \"Description, item 4 keeps at most 4,096 characters; the rest was cut.\" | said N"},
        {"the warnings go under the same verdict: it is not said again", edit(Weight, 2, ""), at612},
        {"an item's description, quoted by the read-outs: ballast for a light pilot at item 3",
         [](Session& s) { return s.edit(Arm, 2, "-30"), s.edit(Weight, 1, "100"), s.edit(Description, 2, "Tail ballast"); },
         "612 at 23.6: 712 lb, CG  17.48 | CG aft of the 16.00 in limit. | Pilot weight for this loading: 130 to 229 lb (59 to 104 kg). "
         "A 100 lb pilot needs at least 23 lb (11 kg) at item 3 (Tail ballast, -30 in). Room to 900 lb: 188 lb (85.2 kg).", true},
        // A picture or an empty file chosen by mistake replaced the loadings kept.
        {"a file that gives no loading: the loadings and the mark stay, and the note says why",
         [](Session& s) { return s.pressLoading(0), s.useLoadings(std::string_view("\"Spare\",,\n")); }, aft + refused},
        {"loadings taken: the mark goes", read(file), aft + " | taken"},
        {"there is no fifth loading to press", press(4), aft},
        {"nor a row past the sheet to type in", edit(Weight, Sheet::kRowCount, "5"), aft},
        {"records given in place of the file: the mark goes", [&](Session& s) { return s.pressLoading(0), s.useLoadings(parseLoadings(file)); }, aft},
    };
    Session session;
    for (const Step& step : steps) {
        const View view = step.event(session);
        EXPECT_EQ(shown(view, step.readouts), step.expected) << step.what;
        EXPECT_EQ(captions(view), "N271KQ, [Loading 2], [Loading 3], [Spare]") << step.what;
    }
    EXPECT_EQ(session.sheet().description[3].size(), kMaxFieldCharacters);
}

// The load sheet's cockpit placard names each glider once, with the pilots
// its weighing allows at the pilot's arm and nothing else aboard (the ranges
// the read-outs' random test tries on every pound); F8 says every warning, as
// the window and the page show them all, and the marked glider's placard. A
// move of the caret is never spoken.
// The placard is worked at the pilot's arm as read, and headed with it; a
// pilot's arm of no number (blank, a Unicode minus) is asked for, where the
// placard was worked at 0 in.
TEST(Session, PlacardOfEachGlider)
{
    const std::vector<std::string> atMinus20 = {"Cockpit placard, pilot at -20 in and nothing else aboard:",
                                                "N271KQ: 130 to 229 lb (59 to 104 kg).", "Heavy: no pilot weight keeps it within limits."};
    const std::vector<std::string> noArm = {"Cockpit placard: type the pilot's arm for the placard."};
    const std::string warnings = " Weight, item 3: \"a\" is read as 0. Weight, item 4: \"b\" is read as 0. Cockpit placard for Heavy";
    const std::pair<std::string, bool> arms[] = {{"-20 in", true}, {"-20,5", true}, {"", false}, {"\u221220", false}};
    for (const auto& [pilotArm, read] : arms) {
        Session session;
        session.useLoadings(std::string_view("\"N271KQ\",610,23.65\n\"Heavy\",610,40\n"));
        session.pressLoading(1);
        session.edit(Arm, kPilotRow, pilotArm);
        session.edit(Weight, 2, "a");
        session.edit(Weight, 3, "b");
        EXPECT_EQ(session.focus(Weight, 2).announce, Announcements{});
        const std::vector<std::string>& expected = read ? atMinus20 : noArm;
        const std::vector<std::string> below = session.loadSheet({}, "").below;
        EXPECT_NE(std::search(below.begin(), below.end(), expected.begin(), expected.end()), below.end()) << pilotArm;
        EXPECT_TRUE(session.summary().ends_with(warnings + (read ? ", pilot at -20 in and nothing else aboard: no pilot weight keeps it "
                                                                  "within limits." : ": type the pilot's arm for the placard.")))
            << session.summary();
    }
}

// What is said of loadings as they are read, in one line: the note
// (which the window's start-up note ends with), the buttons, the first one's
// tooltip or why it cannot be pressed, then the lines the load sheet sets
// beneath the file's name, and its placard.
std::string said(const Session& session, const View& view)
{
    const LoadingButtonView& first = view.loadings[0];
    std::string line = view.lines.note + " | " + captions(view) + " | " + (first.canPress ? first.from : first.whyNot);
    const LoadSheetText sheet = session.loadSheet({}, "");
    for (std::size_t i = 2; i < sheet.above.size(); ++i)  // after the title and when it was made
        line += sheet.above[i].starts_with("Loadings file: ") ? "" : " | " + sheet.above[i];
    const auto placard = std::find_if(sheet.below.begin(), sheet.below.end(),
                                      [](const std::string& text) { return text.starts_with("Cockpit placard"); });
    for (auto text = placard == sheet.below.end() ? placard : placard + 1; text != sheet.below.end() && !text->empty(); ++text)
        line += " / " + *text;
    return line;
}

// What is said of a loadings file, at start or once the program runs, and of
// loadings that cannot be pressed, each button saying why:
// - smart quotes typed on a phone, "“Club, two”,598,23.9", made buttons of
//   "“Club", "23.9" and "23.9" without a word: a line that does not split
//   into three fields is named;
// - "278kg" gave a button and a placard worked at 278 lb without a word: a
//   figure not read as it looks is named as a typed one is, and no placard
//   rests on it;
// - a file of 12 gliders dropped eight without a word;
// - two records named N271KQ gave buttons and placard lines alike: their
//   figures tell them apart;
// - a file longer than the 64 KiB read said "Line 1641 ... does not split" of
//   the line the cut fell in, and a record cut there was used: 612.5 lb at 2 in;
// - loadings dropped for none, as the page's Clear drops them, kept the count
//   of the file before: the load sheet went on saying it held 5 gliders.
// A placard says why it holds no range: figures not read as written, or a
// glider of no weight, for which none can be worked out.
TEST(Session, WhatIsSaidOfALoadingsFile)
{
    const std::string file = "club/kq71wb.dat", where = "put kq71wb.dat in ~/.config/kq71wb/", from = "From " + file + '.';
    const std::string none = "[Loading 1], [Loading 2], [Loading 3], [Loading 4] | No loading: ";
    const std::string notSplit = " of the loadings file does not split into a name, an empty weight and an empty arm: check the quotes and commas.";
    const std::string curly = "\u201CClub, two\u201D,598,23.9\n", club = "Empty weight, \u201CClub: \"two\u201D\" is read as 0.";
    const std::string kg = "Empty weight, N7: \"278kg\" is read as 278 lb; the sheet is in pounds (278 kg = 612.9 lb).",
                      cm = "Empty arm, N7: \"60cm\" is read as 60 in; the sheet is in inches (60 cm = 23.62 in).";
    const std::string pilots = ": 130 to 229 lb (59 to 104 kg).", n271kq = "\"N271KQ\",612.5,23.6\n";
    const std::string a = "Empty arm, A: \"B\" is read as 0.", d = "Empty weight, D: \"E\" is read as 0.", abcde = "A,1\nB,2,3,4\nC,5,6\nD\nE,7,8,9\n";
    const std::string lines = "Lines 1, 2 and 4 and more of the loadings file do not split into a name, an empty weight and an empty arm: check "
                              "the quotes and commas. ";
    const std::string five = " holds 5 gliders; only the first 4 have buttons: ", part = "The part of the loadings file read" + five + "A, 2, C and D.";
    const auto start = [&](std::string bytes) -> Event {
        return [=](Session& s) { return s.startWithLoadings(bytes, {file, {}, {}, 0}); };
    };
    const auto use = [&](std::string bytes, std::uint64_t size = 0) -> Event {
        return [=](Session& s) { return s.useLoadings(std::string_view(bytes), {file, {}, {}, size}); };
    };
    const auto records = [](std::string bytes) -> Event {
        return [=](Session& s) { return s.useLoadings(parseLoadings(bytes)); };
    };
    const std::string unnamed = "[Loading 1], [Loading 2], [Loading 3], [Loading 4] | Loading 1 has no name in the loadings file.";
    const std::pair<Event, std::string> cases[] = {
        // A button says why it cannot be pressed; a name of nothing but blanks,
        // zero-width or direction characters is no name.
        {records(""), " | " + none + where + '.'},
        {records("\"\",612.5,23.6"), " | " + unnamed},
        {records("\"\u200B\u202E\u00A0\",612.5,23.6"), " | " + unnamed},
        {records("\"\u00AE\",600,14"), " | \u00AE, \u00AE, \u00AE, \u00AE |  / \u00AE: 0 to 43 lb (0 to 19 kg)."},
        {records("\"\u2070\",600,14"), " | \u2070, \u2070, \u2070, \u2070 |  / \u2070: 0 to 43 lb (0 to 19 kg)."},
        {records("\"Spare\",,"), " | [Spare], [Spare], [Spare], [Spare] | Spare has no empty weight or arm in the loadings file."},
        {records("\"Spare\",600,"), " | [Spare], [Spare], [Spare], [Spare] | Spare has no empty arm in the loadings file."},
        {records("\"Spare\", ,14"), " | [Spare], [Spare], [Spare], [Spare] | Spare has no empty weight in the loadings file."},
        {records("\"" + std::string(200, 'N') + "\",,\nA,1,2"),
         " | [" + std::string(19, 'N') + "\u2026], A, A, A | " + std::string(60, 'N') + "\u2026 has no empty weight or arm in the loadings file. "
         "/ A: no pilot weight keeps it within limits."},
        {[](Session& s) { return s.startWithLoadings("", {}); }, "No loadings file: for the loading buttons, " + where + ". | " + none + where + '.'},
        {[&](Session& s) { return s.useNoLoadings(file, "it is a folder, not a file"); },
         "No loadings: " + file + " cannot be used, as it is a folder, not a file. | " + none + file + " cannot be used, as it is a folder, not a file."},
        {start(curly), file + " gives no loading (a line of a name in quotes, an empty weight and an empty arm): for the loading buttons, " +
                           where + ". Line 1" + notSplit + " | " + none + where + '.'},
        {start(n271kq + curly), "Loadings from " + file + ". Line 2" + notSplit + ' ' + club + " | N271KQ, \u201CClub, [23.9], [23.9] | " + from +
                                    " | Check: " + club + " / N271KQ" + pilots + " / \u201CClub: none: its empty weight is not read as written in the loadings file."},
        {use(abcde + "F,1", 100000), "Only the first 64 KiB of kq71wb.dat were read: line 6, cut there, is left out. " + lines + part + ' ' + a + ' ' +
                                         d + " | A, 2, C, D | " + a + ' ' + from + " | " + part + " | Check: " + a + " | Check: " + d +
                                         " / A: none: its empty arm is not read as written in the loadings file. / 2: no pilot weight keeps it within "
                                         "limits. / C: no pilot weight keeps it within limits. / D: none: its empty weight is not read as written in "
                                         "the loadings file."},
        {use("G1,612.5,23.6\n\"\",612.5,23.6\nG3,612.5,23.6\nG4,612.5,23.6\nG5,612.5,23.6\n"),
         "The loadings file" + five + "G1, Loading 2, G3 and G4. | G1, [Loading 2], G3, G4 | " + from + " | The loadings file" + five +
             "G1, Loading 2, G3 and G4. / G1" + pilots + " / G3" + pilots + " / G4" + pilots},
        // A glider listed twice is checked once; namesakes are told apart by their figures.
        {use("\"N7\",278kg,60cm\n\"N7\",278kg,60cm\n" + n271kq + "\"N271KQ\",598,23.9\n"),
         kg + ' ' + cm + " | N7, N7, N271KQ, N271KQ | " + kg + ' ' + cm + ' ' + from + " | Check: " + kg + " | Check: " + cm +
             " / N7: none: its empty weight and arm are not read as written in the loadings file. / N271KQ (empty 612.5 lb at 23.6 in)" + pilots +
             " / N271KQ (empty 598 lb at 23.9 in): 132 to 230 lb (60 to 104 kg)."},
        {use("\"Zero\",0,23.6\n\"N7\",278kg,23.6\n"), kg + " | Zero, N7, N7, N7 | " + from + " | Check: " + kg +
                                                   " / Zero: no pilot weight can be worked out. / N7: none: its empty weight is not read as written in the loadings file."},
        // A button shows about 20 characters: names that differ after them
        // show where they differ, the whole name in the tooltip.
        {use("\"N271KQ Club glider, north field one\",612.5,23.6\n\"N271KQ Club glider, north field two\",598,23.9\n"
             "\"N271KQ Club glider, south field\",598,23.9\n\"N271KQ Club glider\",598,23.9\n"),
         " | N271KQ\u2026th field one, N271KQ\u2026th field two, N271KQ\u2026, south field, N271KQ Club glider | N271KQ Club glider, north field "
         "one. " + from + " / N271KQ Club glider, north field one" + pilots + " / N271KQ Club glider, north field two: 132 to 230 lb (60 to 104 kg). "
         "/ N271KQ Club glider, south field: 132 to 230 lb (60 to 104 kg). / N271KQ Club glider: 132 to 230 lb (60 to 104 kg)."},
        // Exactly three lines that do not split take no "and more".
        {use(n271kq + "A\n600\n14\n"), "Lines 2, 3 and 4 of the loadings file do not split into a name, an empty weight and an empty arm: check "
                                       "the quotes and commas. | N271KQ, A, A, A | " + from + " / N271KQ" + pilots + " / A: 0 to 43 lb (0 to 19 kg)."},
        {use("\"N271KQ\",612.5,23", 100000), "That file gives no loading (a line of a name in quotes, an empty weight and an empty arm); the loadings "
                                             "you had stay. Only the first 64 KiB of kq71wb.dat were read: line 1, cut there, is left out. | " + none + where + '.'},
        {use(n271kq + std::string(kMaxFileBytes, '\n')), "Only the first 64 KiB of kq71wb.dat were read. | N271KQ, N271KQ, N271KQ, N271KQ | " +
                                                             from + " / N271KQ" + pilots},
        {[&](Session& s) { return s.useLoadings(std::string_view(abcde)), s.useLoadings(Loadings{}); },
         lines + "The loadings file" + five + "A, 2, C and D. " + a + ' ' + d + " | " + none + where + '.'},
    };
    for (const auto& [event, expected] : cases) {
        Session session(where);
        EXPECT_EQ(said(session, event(session)), expected);
    }
}

}  // namespace
}  // namespace kq71wb
