#pragma once

// One sheet as a front end shows it: the texts of every field, the last
// fault, the four loadings and the marked one, a note, and the lines a screen
// reader last heard. The window and the web page each keep one Session and
// only show what it answers: an event goes in (a field's new text, a loading
// pressed, loadings read, a note), one view comes out, so that both front
// ends follow the very same rules.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "load_sheet.h"
#include "loadings_in_use.h"
#include "readouts.h"
#include "sheet.h"
#include "words.h"

namespace kq71wb {

// A field where the caret stands: the pilot's weight is {Weight, kPilotRow}.
struct Caret {
    FieldKind field = FieldKind::Moment;
    int row = -1;

    bool operator==(const Caret&) const = default;
};

// Everything a front end shows after an event. It refers to the session's
// own sheet, lines and buttons rather than copying them, so that a keystroke
// costs no copy of the sheet: show it at once, before the next event.
struct View {
    const Sheet& sheet;  // every field's text, every caption, the verdicts and the scale
    std::string grossWeightWords, flyCgWords, scaleWords;  // what a screen reader hears of each
    ResultsCurrent current;  // which of them the last pass wrote; the others are shown greyed
    const LinesBeneath& lines;  // the verdict, every warning, the read-outs, the note
    Announcements announce;     // which of the lines to speak now
    const std::array<LoadingButtonView, kLoadingCount>& loadings;
    const std::optional<CalcFault>& fault;  // of the last pass, until one completes
    int marked = -1;  // the marked loading, or -1
    // Where the event sends the caret, its text selected (a loading press:
    // the pilot's weight); the read-outs are already the ones for it.
    std::optional<Caret> caretTo;
    // After a loadings file's bytes: whether they are the loadings now, or
    // were refused (they gave none), so that a front end keeps only a file taken.
    std::optional<bool> taken;
};

class Session {
public:
    // A sheet as it opens: every field empty but the pilot's arm, no
    // loadings. `whereToPutLoadings` ends what a button without a loading
    // says: "put kq71wb.dat in ~/.config/kq71wb/".
    explicit Session(std::string whereToPutLoadings = {});

    // A field's new text. A weight or an arm recalculates the sheet, unmarks
    // a loading whose texts the aircraft-empty row no longer holds, and ends
    // the note; a description changes no figure, only the read-outs that
    // quote it. A text past kMaxFieldCharacters is cut there, and the note
    // says so. The same text again is no change.
    View edit(FieldKind field, int row, std::string text);

    // The caret moved into a field (or out of every field: Moment, -1). In
    // the weight or arm of items 3 to 8 the read-outs first say what that
    // item may weigh at its arm. Nothing is announced: the pilot asked for
    // nothing.
    View focus(FieldKind field, int row);

    // A loading button pressed: its empty weight and arm into the
    // aircraft-empty row, each a change of its own as when a pilot types
    // them, and the button marked. One view, spoken once from the final
    // figures. The caret goes on to the pilot's weight (caretTo), as the
    // pilot types theirs next. A button that cannot be pressed changes nothing.
    View pressLoading(int index);

    // The four loadings: as read from a file, or from a file's bytes, which
    // are refused when they give no loading at all (an empty file, a picture
    // chosen by mistake): the loadings stay. The mark goes with the loadings.
    // The note says what LoadingsInUse::use says of the bytes, and the view
    // whether they were taken. `file` names where they came from, as the load
    // sheet and the buttons say it: "~/.config/kq71wb/kq71wb.dat".
    View useLoadings(const Loadings& loadings, std::string file = {});
    View useLoadings(std::string_view fileBytes, LoadingsSource source = {});
    // The loadings file found as the program starts, or none (no name): the
    // note names it, or says where to put one.
    View startWithLoadings(std::string_view fileBytes, LoadingsSource source);
    // No loadings, as the file found cannot be used: each button and the
    // note say why (LoadingsInUse::useNone).
    View useNoLoadings(std::string_view file, std::string_view problem);
    // The loadings file as it is on disk now, looked at again when a sheet
    // is printed or copied: the SHA-256 of its bytes, or empty when it can no
    // longer be read. While it is not the file read, the load sheet says so,
    // and so does every note.
    void lookAgainAtLoadings(std::string_view sha256Now) { m_loadings.lookAgain(sha256Now); }

    // What became of a print or a copy, or a summary asked for: stands
    // beneath the sheet until the next figure changes, and is spoken.
    View setNote(std::string note);

    // The view as it stands, announcing nothing.
    View view() const;

    const Sheet& sheet() const { return m_sheet; }
    const std::optional<CalcFault>& fault() const { return m_fault; }
    const LinesBeneath& lines() const { return m_lines; }
    int marked() const { return m_marked; }
    const LoadingsInUse& loadings() const { return m_loadings; }

    // The whole result in a few sentences, every warning included, and the
    // cockpit placard of the marked loading (F8).
    std::string summary() const;

    // The load sheet's words, naming the marked loading, with the cockpit
    // placard of every loading that can be pressed.
    LoadSheetText loadSheet(const LocalTime& madeAt, std::string program) const;

private:
    void recalculate();
    void refreshLines();
    View viewAnnouncing(Announcements announce) const;
    View loadingsRead(std::string note);
    std::optional<std::string> placardArm() const;
    bool rowHoldsLoading(int index) const;

    Sheet m_sheet;
    std::optional<CalcFault> m_fault;  // of the last pass, until one completes
    LoadingsInUse m_loadings;
    int m_marked = -1;
    std::string m_note;
    int m_itemRow = -1;  // the item whose weights the read-outs name
    LinesBeneath m_lines;  // the lines as shown, and as a screen reader last heard them
    KeptRanges m_kept;     // the read-outs' ranges, worked out again only when a text they rest on changes
};

}  // namespace kq71wb
