#pragma once

// The web page's session: the sheet's own Session, with each view as JSON
// for the page's script to put where it belongs. Plain C++: the same code
// answers natively in the differential test and in WebAssembly on the page.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "envelope.h"
#include "session.h"

namespace kq71wb::web {

// Every view is one JSON object, as web/kq71wb.d.ts declares it (View), and
// so is the chart's frame (ChartFrame) and the load sheet (LoadSheet): a test
// holds every answer of the differential cases to that declaration.
class PageSession {
public:
    PageSession();

    // A comma typed in a weight or an arm becomes a period, as phones often
    // offer only a comma on their decimal keypad; the page puts the text back.
    std::string edit(FieldKind field, int row, std::string text);
    // A weight or an arm made negative, or positive again: phones' decimal
    // keypads often have no minus key. `start` and `end` are the caret (or
    // the selection) as the field shows it; the view adds "caret": [start,
    // end] where it is once the sign is in or out, beside the same digits,
    // so that what is typed next goes where it went before: "30|" -> "-30|",
    // "|" -> "-|", "3|0" -> "-3|0", "[30]" -> "-[30]", "-|30" -> "|30".
    // The sign goes after leading blanks only, so a caret counted in UTF-16
    // units, as a browser counts it, moves by the same one place.
    std::string toggleSign(FieldKind field, int row, int start, int end);
    // The caret in a field, or in none (Moment, -1): the read-outs follow it.
    std::string focus(FieldKind field, int row);
    std::string pressLoading(int index);
    // The first bytes of a loadings file, as many as the parser reads, in
    // any encoding the desktop reads; the view says "taken": false when the
    // file gave no loading and the loadings stay, so that the page does not
    // keep it. `fileName` is the chosen file's name, or empty for typed
    // loadings; `modified` when it was last changed, as the device's clock
    // gives it (seconds since 1970, NaN for unknown, and the time zone's
    // offset then); `sha256` and `size` are of the whole file, which may go
    // on past the bytes given (an empty digest: the bytes are the whole).
    std::string useLoadings(const std::string& bytes, const std::string& fileName, double modified, int utcOffset,
                            const std::string& sha256, double size);
    // The club's kq71wb.dat, beside the page on its server, as useLoadings
    // takes a file (`modified` from the server's Last-Modified): used while
    // the pilot has none of their own on this device, and named on the
    // buttons and the load sheet as "the club's kq71wb.dat". `fetched`: just
    // fetched from the server; otherwise the copy this device kept of the
    // last one. No bytes: there is none beside the page. The view says
    // "taken": true when these are the club's loadings now, for the page to
    // keep for use offline.
    std::string offerClubLoadings(const std::string& bytes, double modified, int utcOffset, const std::string& sha256,
                                  double size, bool fetched);
    // The pilot's own loadings gone: the club's, when there are any, or none.
    std::string clearLoadings();
    std::string view() const;
    // The envelope chart laid out for a picture `width` units wide whose
    // words are `textSize` units tall (layOutChart): the page gives the
    // chart's width in pixels and the size of the text beside it, and draws
    // the picture a unit a pixel. Answers the chart's frame, the same for
    // every sheet; every view after gives the envelope in the same units.
    std::string layoutChart(double width, double textSize);
    // The same for the printed page, where the chart is a fixed picture.
    std::string layoutChartForPaper();
    // The whole result in a few sentences, every warning included.
    std::string summary() const;
    // The whole result asked for (the desktop's F8): the summary as the note,
    // shown beneath the sheet and spoken.
    std::string sayResult();
    // The load sheet's lines, above and below the figures, made at the
    // given moment (seconds since 1970 and the time zone's offset then).
    std::string loadSheet(double madeAt, int utcOffset) const;
    // What a pilot sends when a figure looks wrong (kq71wb::problemReport),
    // as plain text; then the view once the page copied it, or, where the
    // browser would not, showed it for the pilot to copy.
    std::string problemReport(double madeAt, int utcOffset, const std::string& platform) const;
    std::string reported(bool copied);

private:
    // With a caret, the view says where it goes in the field just edited:
    // "caret": [start, end].
    std::string viewJson(const View& view, std::optional<std::pair<int, int>> caret = std::nullopt) const;
    // A field's new text, a comma in a number read as the point a phone's
    // keypad may not have.
    View editNumber(FieldKind field, int row, std::string text);
    std::string envelopeJson(const Envelope& envelope) const;
    std::string loadingsFrom() const;

    Session m_session;
    bool m_own = false;   // the pilot's own loadings in use, chosen or typed
    bool m_club = false;  // a club's file beside the page
    std::string m_clubBytes;
    LoadingsSource m_clubSource;
    ChartLayout m_chart;
};

// Where a CG in tenths of an inch stands along the scale: 0 at its left end
// (10 in), 1 at its right (18 in), a CG beyond either at that end.
double alongScale(double tenths);
// The forward and aft CG limits along the scale, as a JSON list: where the
// page's bands change colour.
std::string scaleLimits();

// A text as a JSON string, quotes and all.
std::string jsonText(std::string_view text);

}  // namespace kq71wb::web
