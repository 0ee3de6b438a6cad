#include "load_sheet.h"

#include "conversions.h"
#include "readouts.h"
#include "version.h"
#include "words.h"

namespace kq71wb {
namespace {

// A row in words, its figures as they are read, its description last: "Item
// 3: 18 lb at 5 in, moment 90 lb-in (Parachute)." A description in a script
// no installed font draws would take the figures after it into its run of
// missing-glyph boxes, so nothing follows it but its closing mark.
std::string rowLine(const Sheet& sheet, std::size_t row)
{
    const std::string name = row == 0 ? "Aircraft empty" : row == kPilotRow ? "Pilot" : "Item " + std::to_string(row + 1);
    // A moment an earlier pass wrote is not printed as this sheet's.
    const std::string moment = sheet.momentStale[row] ? "moment not updated" : "moment " + sheet.moment[row] + " lb-in";
    std::string line = name + ": " + figureAsRead(sheet.weight[row]) + " lb at " + figureAsRead(sheet.arm[row]) + " in, " + moment;
    if (!sheet.description[row].empty())
        line += " (" + isolated(shortened(sheet.description[row])) + ")";
    return line + '.';
}

// Whoever gave the pilot the program hears of its faults first; a build for
// a club or a distribution names them.
std::string reportRecipient()
{
    constexpr std::string_view recipient = KQ71WB_REPORT_TO;
    return recipient.empty() ? "whoever gave you KQ71WB (your club, or where you got the program)"
                             : std::string(recipient);
}

}  // namespace

std::vector<std::string> LoadSheetText::lines() const
{
    std::vector<std::string> all = above;
    all.emplace_back();
    all.insert(all.end(), below.begin(), below.end());
    return all;
}

LoadSheetText loadSheetText(const Sheet& sheet, const std::optional<CalcFault>& fault, const LoadSheetHeading& heading)
{
    LoadSheetText text;
    text.above = {"KQ 71 weight and balance", "Made " + heading.madeAt + " with " + heading.program};
    if (!heading.loading.empty())
        text.above.push_back("Loading: " + isolated(shortened(heading.loading)));
    // Which weighing the figures rest on, for an inspector.
    if (!heading.loadingsFile.empty())
        text.above.push_back("Loadings file: " + isolated(shortened(heading.loadingsFile)) + heading.loadingsWeighing);
    text.above.insert(text.above.end(), heading.loadingsNotes.begin(), heading.loadingsNotes.end());

    for (std::size_t row = 0; row < Sheet::kRowCount; ++row)
        if (!isBlank(sheet.weight[row]) || !isBlank(sheet.arm[row]))
            text.below.push_back(rowLine(sheet, row));
    const bool current = totalsCurrent(sheet, fault);
    if (current && sheet.grossWeightVerdict)
        text.below.push_back("Gross weight " + sheet.grossWeight + " lb, gross moment " + sheet.grossMoment +
                             " lb-in, CG " + withoutBlanks(sheet.flyCg) + " in.");
    const std::string verdict = stateWords(sheet, fault);
    text.below.push_back("Verdict: " + (verdict.empty() ? "no weight entered yet." : verdict));
    if (std::string readouts = readoutWords(sheet, current); !readouts.empty())
        text.below.push_back(std::move(readouts));
    for (const Warning& warning : warningsOf(sheet))
        text.below.push_back("Check: " + warning.words);
    if (!heading.placard.empty()) {
        text.below.emplace_back();
        text.below.insert(text.below.end(), heading.placard.begin(), heading.placard.end());
    }
    text.below.insert(text.below.end(), {"", "Pilot in command: ________________________________________",
                                         "Signature: ______________________________   Date: ______________"});
    return text;
}

std::string problemReport(const LoadSheetText& sheet, std::string_view platform)
{
    std::string report = "KQ71WB problem report, for " + reportRecipient() + ".\nPlatform: " + std::string(platform) +
                         "\n\nWhat I did, what I expected, and what the program showed instead:\n\n\n"
                         "The load sheet as it stood:\n";
    for (const std::string& line : sheet.lines())
        report += line + '\n';
    return report;
}

std::string reportNote(bool copied)
{
    return (copied ? "A problem report is on the clipboard, with the load sheet: add what you expected, and send it to "
                   : "The problem report is below, with the load sheet: copy it, add what you expected, and send it to ") +
           reportRecipient() + '.';
}

}  // namespace kq71wb
