#pragma once

// The web page's session: the sheet's own Session, with each view as JSON
// for the page's script to put where it belongs. Plain C++: the same code
// answers natively in the differential test and in WebAssembly on the page.

#include <string>
#include <string_view>

#include "session.h"

namespace kq71wb::web {

// Every view is one JSON object:
//   "weight", "arm", "description": the fields' texts as they now stand
//   "moment", "grossWeight", "grossMoment", "flyCg": the captions
//   "grossWeightVerdict": "within" | "over" | ""   (empty: no colour yet)
//   "flyCgVerdict": "within" | "forward" | "aft" | ""
//   "grossWeightWords", "flyCgWords", "scaleWords": what each result says
//   "scaleAt": where the CG stands on the scale, 0 (10 in) to 1 (18 in), or null
//   "verdict", "warnings" (a list), "readouts", "note": the lines beneath the sheet
//   "announce": which of "verdict", "warnings" and "note" to speak now
//   "loadings": the four buttons, each {"caption", "canPress", "whyNot"}
//   "marked": the marked one, or -1
//   "envelope": what of the envelope chart follows the sheet: {"point", "within",
//     "label", "pilotLine", "words"} (see chartFrame for the rest)
class PageSession {
public:
    PageSession();

    // A comma typed in a weight or an arm becomes a period, as phones often
    // offer only a comma on their decimal keypad; the page puts the text back.
    std::string edit(FieldKind field, int row, std::string text);
    // A weight or an arm made negative, or positive again: phones' decimal
    // keypads often have no minus key.
    std::string toggleSign(FieldKind field, int row);
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
    std::string clearLoadings();
    std::string view() const;
    // The envelope chart's frame, the same for every sheet: {"size": [width,
    // height], "plot": [left, top, width, height], "lowest", "highest":
    // [cg, weight], "cgTicks", "weightTicks": [{"at", "label", "limit"}],
    // "area": [[cg, weight], ...]}, in the picture's own units.
    std::string chartFrame() const;
    // The whole result in a few sentences, every warning included.
    std::string summary() const;
    // The load sheet's lines, {"above": [...], "below": [...]}, made at the
    // given moment (seconds since 1970 and the time zone's offset then).
    std::string loadSheet(double madeAt, int utcOffset) const;
    // What a pilot sends when a figure looks wrong (kq71wb::problemReport),
    // as plain text; then the view once the page copied it, or, where the
    // browser would not, showed it for the pilot to copy.
    std::string problemReport(double madeAt, int utcOffset, const std::string& platform) const;
    std::string reported(bool copied);

private:
    Session m_session;
};

std::string viewJson(const View& view);

// A text as a JSON string, quotes and all.
std::string jsonText(std::string_view text);

}  // namespace kq71wb::web
