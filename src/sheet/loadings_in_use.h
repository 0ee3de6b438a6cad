#pragma once

// The four loadings a sheet offers, and all that is said of them: the file
// they came from and which weighing it is, the buttons and why one cannot
// be pressed, what of the file was not read as it looks, and the cockpit
// placards. A Session keeps one, and answers from it what a front end shows
// of the loadings file.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "load_sheet.h"
#include "loadings.h"

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

class LoadingsInUse {
public:
    // No loadings. `whereToPut` ends what a button without a loading says:
    // "put kq71wb.dat in ~/.config/kq71wb/".
    explicit LoadingsInUse(std::string whereToPut = {});

    // The four loadings as read, from `file`; what was said of an earlier
    // file goes.
    void use(const Loadings& loadings, std::string file);
    // A file's bytes. Bytes that give no loading at all (an empty file, a
    // picture chosen by mistake) are refused, and the loadings stay. Answers
    // what the note says: why they were refused, or what of the bytes was not
    // read as loadings (the line the cut at 64 KiB falls in, lines that do
    // not split into three fields), the gliders beyond the buttons and the
    // figures not read as they look. The load sheet names which weighing they
    // are: the file's modification time and the first 12 hex digits of the
    // SHA-256 of the whole file.
    std::string use(std::string_view fileBytes, LoadingsSource source);
    // The same for the file found as the program starts, or none (no name):
    // the note names it, or says where to put one for the buttons.
    std::string useAtStart(std::string_view fileBytes, LoadingsSource source);
    // No loadings, as the file found cannot be used (`file` as said, and
    // its `problem`: "it is a folder, not a file"): each button and the note
    // say why, "~/.config/kq71wb/kq71wb.dat cannot be used, as it is a folder, not a file".
    std::string useNone(std::string_view file, std::string_view problem);
    bool refused() const { return m_refused; }  // the last bytes given: they gave no loading

    // The loadings file as it is on disk now: the SHA-256 of its bytes, or
    // empty when it can no longer be read. While it is not the file read,
    // changed() says so, for the load sheet and every note.
    void lookAgain(std::string_view sha256Now);
    const std::string& changed() const { return m_changed; }

    const std::array<LoadingButtonView, kLoadingCount>& buttons() const { return m_buttons; }
    const std::string& name(std::size_t loading) const { return m_names[loading]; }
    const std::string& emptyWeight(std::size_t loading) const { return this->*kStoredWeight[loading]; }
    const std::string& emptyArm(std::size_t loading) const { return this->*kStoredArm[loading]; }
    const std::string& file() const { return m_file; }
    const std::string& weighing() const { return m_weighing; }  // ", modified 2026-11-30 09:12 +01:00, SHA-256 3f9a0c1d2e4b"

    // What is said of the file under its name on the load sheet, and in the
    // note when it is read: the gliders beyond the buttons, and each figure
    // of a glider with a button that is not read as it looks.
    std::vector<std::string> notes() const;

    // The load sheet's cockpit placard: each glider that can be pressed,
    // once, with the pilots it allows at `pilotArm` (as the sheet reads the
    // pilot's arm, or none) and nothing else aboard.
    std::vector<std::string> placard(const std::optional<std::string>& pilotArm) const;
    // The one of a loading, as F8 says it: "Cockpit placard for N271KQ, pilot
    // at -20 in and nothing else aboard: 130 to 229 lb (59 to 104 kg)."
    std::string placardOf(std::size_t loading, const std::optional<std::string>& pilotArm) const;

private:
    // Takes the loadings the bytes give, or refuses bytes that give none;
    // answers what the note says after whether they were taken.
    std::string take(std::string_view fileBytes, LoadingsSource source);
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
    LoadingButtonView buttonOf(std::size_t loading) const;
    void makeButtons();

    std::array<std::string, kLoadingCount> m_names;
    std::array<LoadingButtonView, kLoadingCount> m_buttons;  // as the loadings read make them
    std::string m_whereToPut;
    std::string m_whyNone;  // in its place, when a file was found and could not be read
    bool m_refused = false;
    std::string m_file;
    std::string m_weighing;
    std::string m_sha256;   // of the file read, whole
    std::string m_changed;  // that the file on disk is no longer the one read
    std::size_t m_gliderCount = 0;  // the records the file holds, when read from its bytes
    bool m_cut = false;             // the file goes on past the part read

    // The empty weight (1) and arm (2) of loadings 0 to 3 (A to D), as read.
    std::string strA1, strA2, strB1, strB2, strC1, strC2, strD1, strD2;
    using StoredText = std::string LoadingsInUse::*;
    static constexpr StoredText kStoredWeight[kLoadingCount] = {&LoadingsInUse::strA1, &LoadingsInUse::strB1,
                                                                &LoadingsInUse::strC1, &LoadingsInUse::strD1};
    static constexpr StoredText kStoredArm[kLoadingCount] = {&LoadingsInUse::strA2, &LoadingsInUse::strB2,
                                                             &LoadingsInUse::strC2, &LoadingsInUse::strD2};
};

}  // namespace kq71wb
