#pragma once

// The words of a load sheet, printed around the image of the window or copied
// as text for a logbook or an e-mail: the same lines either way. The words
// carry every row, the figures and the verdict, so that a black-and-white
// printer or a plain-text e-mail loses nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "envelope.h"
#include "sheet.h"

namespace kq71wb {

// A moment as a front end's clock gives it: seconds since 1970-01-01 00:00
// UTC, and the offset from UTC of the user's time zone at that moment, in
// seconds, east positive (-25200 in Denver in winter).
struct LocalTime {
    std::int64_t seconds = 0;
    int utcOffset = 0;
    bool operator==(const LocalTime&) const = default;
};

// A moment as every sheet writes it: local time, to the minute, with its
// offset from UTC, so that no one reading the sheet in another zone, or after
// a change of the clocks, is an hour out. Both front ends write it here.
//   {1796702940, -25200} -> "2026-12-07 21:09 −07:00"   (the minus is U+2212)
//   {1796702940, 19800}  -> "2026-12-08 09:39 +05:30"
//   {1796702940, 0}      -> "2026-12-08 04:09 +00:00"
std::string timeText(const LocalTime& time);

// A file's path shortened in its middle to 60 characters, its name kept
// whole, so that a long folder never hides which file it was:
//   "~/gliding-club-north-field/shared-configuration/aircraft/kq71wb.dat"
//   -> "~/gliding-club-north-field/shared-configuration/…/kq71wb.dat"
// A name itself too long is shortened at its end, as any text is.
std::string shortenedPath(std::string_view path);

struct LoadSheetHeading {
    std::string madeAt;   // "2026-12-07 14:03 −07:00"
    std::string program;  // "KQ71WB 1.00"
    std::string loading;  // the marked loading's name, or empty
    std::string loadingsFile;  // where the loadings came from, or empty
    std::string loadingsWeighing;  // after its name: ", modified 2026-11-30 09:12 +01:00, SHA-256 3f9a0c1d2e4b"
    // "Cockpit placard, pilot at -20 in and nothing else aboard:", then a
    // line for each loading: "N271KQ: 130 to 229 lb (59 to 103 kg)."
    std::vector<std::string> placard;
    // Beneath the loadings file's line: how many gliders it holds when some
    // have no button, and "Check: Empty weight, N7: ..." for each of its
    // figures that is not read as it looks.
    std::vector<std::string> loadingsNotes;
    std::string loadingsChanged;  // that the file on disk is no longer the one read, or empty
};

// What stands above the image of the window, and what below it:
//   KQ 71 weight and balance
//   Made 2026-12-07 14:03 −07:00 with KQ71WB 1.00
//   Loading: N271KQ
//   Loadings file: ~/.config/kq71wb/kq71wb.dat, modified 2026-11-30 09:12 −07:00, SHA-256 3f9a0c1d2e4b
//   (a line saying that the file on disk has changed since, when it has)
//   ---- (the image, on paper) ----
//   Aircraft empty: 612.5 lb at 14.37 in, moment 8801.625 lb-in.
//   Pilot: 170 lb at -20 in, moment -3400 lb-in.
//   Gross weight 782.5 lb, gross moment 5401.625 lb-in, CG 6.90 in.
//   Verdict: CG forward of the 11.70 in limit.
//   Pilot weight for this loading: 0 to 75 lb (0 to 34 kg). Room to 900 lb: 117.5 lb (53.2 kg).
//   (a line "Check: ..." for each warning, the cockpit placard of each
//   loading, then lines to sign)
// While a fault stands or the totals are not current, the figures are left
// out and the verdict says so.
struct LoadSheetText {
    std::vector<std::string> above;
    std::vector<std::string> below;
    // The envelope chart, drawn between the image of the window and the
    // lines below; its words are on the lines.
    std::optional<Envelope> envelope;

    // Both parts, a blank line between them, as the copied text has them.
    std::vector<std::string> lines() const;
};

LoadSheetText loadSheetText(const Sheet& sheet, const std::optional<CalcFault>& fault, const LoadSheetHeading& heading);

// What a pilot sends when a figure looks wrong: where to send it, the
// platform the front end runs on ("Debian GNU/Linux 12 (bookworm), Qt 6.4.2,
// xcb"), room to say what was expected, and the load sheet as it stands,
// which names the program's version and the loadings file with its digest.
// Where it goes is whoever distributes the program (KQ71WB_REPORT_TO at
// build time): the sources name no address of their own.
std::string problemReport(const LoadSheetText& sheet, std::string_view platform);

// Said once the report is on the clipboard, or, where the front end could
// not put it there, once it is shown for the pilot to copy.
std::string reportNote(bool copied);

}  // namespace kq71wb
