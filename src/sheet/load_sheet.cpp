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

// Two digits of a part of a date or time: 7 -> "07".
std::string twoDigits(std::int64_t n) { return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10); }

}  // namespace

std::string timeText(const LocalTime& time)
{
    // Days since 1970 to a date of the Gregorian calendar, counted in eras of
    // 400 years from 1 March, so that the leap day ends a year.
    const std::int64_t local = time.seconds + time.utcOffset;
    const std::int64_t days = (local >= 0 ? local : local - 86399) / 86400;
    const std::int64_t minutes = (local - days * 86400) / 60;
    const std::int64_t shifted = days + 719468;
    const std::int64_t era = (shifted >= 0 ? shifted : shifted - 146096) / 146097;
    const std::int64_t dayOfEra = shifted - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
    const std::int64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2);
    const int offset = (time.utcOffset < 0 ? -time.utcOffset : time.utcOffset) / 60;
    return std::to_string(year) + '-' + twoDigits(month) + '-' + twoDigits(day) + ' ' + twoDigits(minutes / 60) + ':' +
           twoDigits(minutes % 60) + (time.utcOffset < 0 ? " \u2212" : " +") + twoDigits(offset / 60) + ':' +
           twoDigits(offset % 60);
}

std::string shortenedPath(std::string_view path)
{
    constexpr std::size_t kShown = 60;
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::string_view folder = path.substr(0, path.size() - name.size());
    std::size_t characters = 0;
    for (std::size_t at = 0; at < path.size(); ++characters)
        nextCharacter(path, at);
    if (characters <= kShown || name.size() == path.size())
        return shortened(path);
    // The folder's first characters, as many as leave room for the name.
    std::size_t nameCharacters = 0;
    for (std::size_t at = 0; at < name.size(); ++nameCharacters)
        nextCharacter(name, at);
    const std::size_t folderShown = kShown > nameCharacters + 2 ? kShown - nameCharacters - 2 : 1;
    std::size_t at = 0;
    for (std::size_t n = 0; n < folderShown && at < folder.size(); ++n)
        nextCharacter(folder, at);
    return std::string(folder.substr(0, at)) + "\u2026/" + shortened(name);
}

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
        text.above.push_back("Loadings file: " + isolated(shortenedPath(heading.loadingsFile)) + heading.loadingsWeighing);
    if (!heading.loadingsChanged.empty())
        text.above.push_back(heading.loadingsChanged);
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
