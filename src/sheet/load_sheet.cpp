#include "load_sheet.h"

#include "readouts.h"

namespace kq71wb {

LoadSheetText loadSheetText(const Sheet& sheet, const std::optional<CalcFault>& fault, const LoadSheetHeading& heading)
{
    LoadSheetText text;
    text.above = {"KQ 71 weight and balance", "Printed " + heading.printedAt + " by " + heading.program};
    if (!heading.loading.empty())
        text.above.push_back("Loading: " + heading.loading);

    const std::string verdict = fault ? describeFault(*fault) : totalsWords(sheet);
    text.below.push_back("Verdict: " + (verdict.empty() ? "no weight entered yet." : verdict));
    if (!sheet.grossWeight.empty())
        text.below.push_back("Gross weight " + sheet.grossWeight + " lb, gross moment " + sheet.grossMoment +
                             " lb-in, CG " + withoutBlanks(sheet.flyCg) + " in.");
    if (std::string readouts = readoutWords(sheet, !fault && !sheet.totalsStale); !readouts.empty())
        text.below.push_back(std::move(readouts));
    if (std::string misread = misreadWords(sheet); !misread.empty())
        text.below.push_back("Check: " + misread);
    text.below.insert(text.below.end(), {"", "Pilot in command: ________________________________________",
                                         "Signature: ______________________________   Date: ______________"});
    return text;
}

}  // namespace kq71wb
