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
    // The bytes of a loadings file, in any encoding the desktop reads; the
    // view says "taken": false when the file gave no loading and the
    // loadings stay, so that the page does not keep it.
    // `fileName` is the chosen file's name, or empty for typed loadings;
    // `modified` when it was last changed ("2026-11-30 09:12"), or empty.
    std::string useLoadings(const std::string& bytes, const std::string& fileName, const std::string& modified);
    std::string clearLoadings();
    std::string view() const;
    // The envelope chart's frame, the same for every sheet: {"size": [width,
    // height], "plot": [left, top, width, height], "lowest", "highest":
    // [cg, weight], "cgTicks", "weightTicks": [{"at", "label", "limit"}],
    // "area": [[cg, weight], ...]}, in the picture's own units.
    std::string chartFrame() const;
    // The whole result in a few sentences, every warning included.
    std::string summary() const;
    // The whole result asked for (the desktop's F8): the summary as the note,
    // shown beneath the sheet and spoken.
    std::string sayResult();
    // The load sheet's lines, {"above": [...], "below": [...]}, made at the
    // given local time ("2026-12-07 14:03").
    std::string loadSheet(const std::string& madeAt) const;

private:
    Session m_session;
};

std::string viewJson(const View& view);

// A text as a JSON string, quotes and all.
std::string jsonText(std::string_view text);

}  // namespace kq71wb::web
