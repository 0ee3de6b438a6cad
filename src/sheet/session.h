#pragma once

// One sheet as a front end shows it: the texts of every field, the last
// fault, the four loadings and the marked one, a note, and the lines a screen
// reader last heard. The window and the web page each keep one Session and
// only show what it answers: an event goes in (a field's new text, a loading
// pressed, loadings read, a note), one view comes out, so that both front
// ends follow the very same rules.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "load_sheet.h"
#include "loadings.h"
#include "readouts.h"
#include "sheet.h"
#include "words.h"

namespace kq71wb {

// A loading button as it shows: the glider's name, or "Loading 2" when the
// file gives it none; whether it can be pressed, and why not.
struct LoadingButtonView {
    std::string caption;
    bool canPress = false;
    std::string whyNot;  // empty when it can be pressed
    std::string from;    // the loadings file it came from, as said: "From ~/.config/kq71wb/kq71wb.dat."

    bool operator==(const LoadingButtonView&) const = default;
};

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
};

// Where the bytes of a loadings file came from, for the load sheet to name.
struct LoadingsSource {
    std::string file;  // as the load sheet and the buttons say it: "~/.config/kq71wb/kq71wb.dat"
    std::optional<LocalTime> modified;
    std::string sha256;      // of the whole file; empty when the bytes given are the whole
    std::uint64_t size = 0;  // of the whole file, when the bytes given are only its start
};

// Whether loadings read give at least one a pilot can press: a name, and an
// empty weight and arm that read as numbers as they stand. Bytes that give
// none (an empty file, a picture) are no loadings file.
bool givesAnyLoading(const Loadings& loadings);

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

    // The four loadings: as read from a file, or from a file's bytes. The
    // mark goes. Bytes that give no loading at all (an empty file, a picture
    // chosen by mistake) are refused: the loadings stay, and the note says
    // why; loadingsRefused() tells the front end not to keep such a file.
    // `file` names where they came from, as the load sheet and the buttons
    // say it: "~/.config/kq71wb/kq71wb.dat".
    View useLoadings(const Loadings& loadings, std::string file = {});
    // With bytes, the load sheet also names which weighing they are: the
    // file's modification time and the first 12 hex digits of the SHA-256 of
    // the whole file. The note names what of the bytes was not read as
    // loadings: the line the cut at 64 KiB falls in, lines that do not split
    // into three fields.
    View useLoadings(std::string_view fileBytes, LoadingsSource source = {});
    // No loadings, and why, for each button to say: "~/.config/kq71wb/kq71wb.dat
    // cannot be read (it is a folder, not a file)".
    View useNoLoadings(std::string why);
    const std::string& loadingsFile() const { return m_loadingsFile; }
    const std::string& loadingsWeighing() const { return m_loadingsWeighing; }
    bool loadingsRefused() const { return m_loadingsRefused; }
    // What the note said of the last bytes' lines, or empty.
    const std::string& loadingsRemarks() const { return m_loadingsRemarks; }

    // The loadings file as it is on disk now, looked at again when a sheet
    // is printed or copied: the SHA-256 of its bytes, or empty when it can no
    // longer be read. While it is not the file read, the load sheet says so,
    // and so does every note.
    void lookAgainAtLoadings(std::string_view sha256Now);

    // What became of a print or a copy, or a summary asked for: stands
    // beneath the sheet until the next figure changes, and is spoken.
    View setNote(std::string note);

    // The view as it stands, announcing nothing.
    View view() const;

    const Sheet& sheet() const { return m_sheet; }
    const std::optional<CalcFault>& fault() const { return m_fault; }
    const LinesBeneath& lines() const { return m_lines; }
    int marked() const { return m_marked; }

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
    std::optional<std::string> placardArm() const;
    std::string placardLine(std::size_t loading, const std::string& pilotArm) const;
    bool pressable(std::size_t loading) const;
    bool sameGlider(std::size_t a, std::size_t b) const;
    bool repeated(std::size_t loading) const;
    std::string captionOf(std::size_t loading) const;
    // A loading as the placard and the tooltip name it: "N271KQ", with its
    // figures as read when another glider of the file shows the same name:
    // "N271KQ (empty 612.5 lb at 23.6 in)".
    std::string gliderName(std::size_t loading) const;
    // Each of the loading's figures in the file that is not read as it
    // looks, named as a typed one is: "Empty weight, N7: \"278kg\" is read as 278 lb; ...".
    std::vector<std::string> misreadFigures(std::size_t loading) const;
    // What is said of the file under its name on the load sheet, and in the
    // note when it is read: the gliders beyond the buttons, and each figure
    // of a glider with a button that is not read as it looks.
    std::vector<std::string> loadingsNotes() const;
    LoadingButtonView buttonOf(int index) const;
    std::array<LoadingButtonView, kLoadingCount> m_buttons;  // as the loadings read make them
    bool rowHoldsLoading(int index) const;

    Sheet m_sheet;
    std::optional<CalcFault> m_fault;  // of the last pass, until one completes
    std::array<std::string, kLoadingCount> m_names;
    int m_marked = -1;
    std::string m_note;
    int m_itemRow = -1;  // the item whose weights the read-outs name
    LinesBeneath m_lines;  // the lines as shown, and as a screen reader last heard them
    KeptRanges m_kept;     // the read-outs' ranges, worked out again only when a text they rest on changes
    std::string m_whereToPutLoadings;
    std::string m_whyNoLoadings;  // in its place, when a file was found and could not be read
    bool m_loadingsRefused = false;
    std::string m_loadingsFile;
    std::string m_loadingsWeighing;  // ", modified 2026-11-30 09:12 +01:00, SHA-256 3f9a0c1d2e4b"
    std::string m_loadingsSha256;    // of the file read, whole
    std::string m_loadingsRemarks;   // what of its lines was not read as loadings
    std::string m_loadingsChanged;   // that the file on disk is no longer the one read
    std::size_t m_gliderCount = 0;   // the records the file holds, when read from its bytes
    bool m_loadingsCut = false;      // the file goes on past the part read

    // The empty weight (1) and arm (2) of loadings 0 to 3 (A to D), as read.
    std::string strA1, strA2, strB1, strB2, strC1, strC2, strD1, strD2;
    using StoredText = std::string Session::*;
    static constexpr StoredText kStoredWeight[kLoadingCount] = {&Session::strA1, &Session::strB1, &Session::strC1,
                                                                &Session::strD1};
    static constexpr StoredText kStoredArm[kLoadingCount] = {&Session::strA2, &Session::strB2, &Session::strC2,
                                                             &Session::strD2};
};

}  // namespace kq71wb
