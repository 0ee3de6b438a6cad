#include "session.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "conversions.h"
#include "load_sheet.h"
#include "readouts.h"
#include "sha256.h"

namespace kq71wb {
namespace {

// What the load sheet sets before a figure to check.
constexpr std::string_view kCheck = "Check: ";

// Said in place of the cockpit placard while the pilot's arm holds no number.
constexpr std::string_view kNoPlacardArm = "type the pilot's arm for the placard";

std::string placardAboard(const std::string& pilotArm) { return "pilot at " + pilotArm + " in and nothing else aboard"; }

// Blanks of every width, and the characters that only steer the text around
// them (zero-width, joiners, direction marks, the byte-order mark): a name of
// nothing else shows nothing.
bool showsNothing(char32_t c)
{
    return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0xA0 || c == 0xAD || c == 0x61C || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200F) || (c >= 0x2028 && c <= 0x202F) || (c >= 0x205F && c <= 0x206F) ||
           c == 0x3000 || c == 0xFEFF;
}

bool showsSomething(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();)
        if (!showsNothing(nextCharacter(text, at)))
            return true;
    return false;
}

// Cuts a text after so many characters, never inside one; true when it did.
bool cutToCharacters(std::string& text, std::size_t characters)
{
    if (text.size() <= characters)  // no more characters than bytes
        return false;
    std::size_t at = 0;
    for (std::size_t n = 0; n < characters && at < text.size(); ++n)
        nextCharacter(text, at);
    if (at >= text.size())
        return false;
    text.resize(at);
    return true;
}

}  // namespace

Session::Session(std::string whereToPutLoadings) : m_whereToPutLoadings(std::move(whereToPutLoadings))
{
    m_sheet.arm[kPilotRow] = kPilotArmAtStart;
    recalculate();
    refreshLines();
    useLoadings(Loadings{});
}

View Session::edit(FieldKind field, int row, std::string text)
{
    if (row < 0 || row >= Sheet::kRowCount || field == FieldKind::Moment)
        return view();
    const auto index = static_cast<std::size_t>(row);
    const bool cut = cutToCharacters(text, kMaxFieldCharacters);
    if (field == FieldKind::Description) {
        m_sheet.description[index] = std::move(text);
        refreshLines();  // the read-outs quote descriptions
        return cut ? setNote(cutWords(field, row)) : view();
    }
    std::string& target = field == FieldKind::Weight ? m_sheet.weight[index] : m_sheet.arm[index];
    if (target == text)
        return cut ? setNote(cutWords(field, row)) : view();
    target = std::move(text);
    m_note = cut ? cutWords(field, row) : "";
    recalculate();
    const LinesBeneath before = std::exchange(m_lines, {});
    refreshLines();
    Announcements announce = announcementsFor(before, m_lines);
    announce.note = cut;
    return viewAnnouncing(announce);
}

View Session::focus(FieldKind field, int row)
{
    const bool item = (field == FieldKind::Weight || field == FieldKind::Arm) && row >= kFirstDescribedRow &&
                      row < Sheet::kRowCount;
    if (const int itemRow = item ? row : -1; itemRow != m_itemRow) {
        m_itemRow = itemRow;
        m_lines.readouts = readoutWords(m_sheet, totalsCurrent(m_sheet, m_fault), m_itemRow, &m_kept);
    }
    return view();
}

View Session::pressLoading(int index)
{
    if (index < 0 || index >= static_cast<int>(kLoadingCount) || !m_buttons[static_cast<std::size_t>(index)].canPress)
        return view();
    const auto k = static_cast<std::size_t>(index);
    // Each text is a change of its own, as when a pilot types them; only the
    // final figures are shown and spoken.
    m_marked = -1;
    m_note.clear();
    m_sheet.weight[0] = this->*kStoredWeight[k];
    recalculate();
    m_sheet.arm[0] = this->*kStoredArm[k];
    recalculate();
    m_marked = index;
    m_itemRow = -1;  // the caret goes to the pilot's weight, which is no item
    const LinesBeneath before = std::exchange(m_lines, {});
    refreshLines();
    // New figures under the same words are said again: the pilot pressed for them.
    Announcements announce = announcementsFor(before, m_lines);
    announce.verdict = !m_lines.verdict.empty();
    View pressed = viewAnnouncing(announce);
    pressed.caretTo = Caret{FieldKind::Weight, kPilotRow};
    return pressed;
}

View Session::useLoadings(const Loadings& loadings, std::string file)
{
    m_loadingsRefused = false;
    m_loadingsFile = std::move(file);
    m_loadingsWeighing.clear();
    m_gliderCount = 0;
    m_loadingsCut = false;
    m_loadingsSha256.clear();
    m_loadingsRemarks.clear();
    m_loadingsChanged.clear();
    m_whyNoLoadings.clear();
    for (std::size_t k = 0; k < kLoadingCount; ++k) {
        m_names[k] = loadings[k].name;
        this->*kStoredWeight[k] = loadings[k].weight;
        this->*kStoredArm[k] = loadings[k].arm;
    }
    for (int i = 0; i < static_cast<int>(kLoadingCount); ++i)
        m_buttons[static_cast<std::size_t>(i)] = buttonOf(i);
    m_marked = -1;
    return view();
}

namespace {

// A record gives a loading when it has a name and an empty weight and arm
// that read as numbers as they stand.
bool givesALoading(const Loading& loading)
{
    const auto reads = [](const std::string& text, FieldUnit unit) {
        return !isBlank(text) && misreadingOf(text, unit) == Misreading::None;
    };
    return showsSomething(loading.name) && reads(loading.weight, FieldUnit::Pounds) && reads(loading.arm, FieldUnit::Inches);
}

// What of a file's lines was not read as loadings, in a sentence or two: the
// line the cut at 64 KiB falls in, said once, and the lines that do not split
// into three fields (curly quotes split "Club, two"), which are used all the
// same, as the desktop reads them.
std::string remarksOn(std::string_view fileBytes, bool more, std::string_view file)
{
    std::string remarks;
    if (more || fileBytes.size() > kMaxFileBytes) {
        const std::string_view name = file.substr(file.rfind('/') == std::string_view::npos ? 0 : file.rfind('/') + 1);
        remarks = "Only the first " + std::to_string(kMaxFileBytes / 1024) + " KiB of " + isolated(shortened(name)) + " were read";
        const std::optional<int> cut = cutLine(fileBytes, more);
        remarks += cut ? ": line " + std::to_string(*cut) + ", cut there, is left out." : ".";
    }
    const std::vector<int> misshapen = misshapenLines(fileBytes, more);
    if (misshapen.empty())
        return remarks;
    std::string lines = std::to_string(misshapen.front());
    for (std::size_t i = 1; i < misshapen.size() && i < 3; ++i)
        lines += (i + 1 == std::min<std::size_t>(misshapen.size(), 3) ? " and " : ", ") + std::to_string(misshapen[i]);
    return remarks + (remarks.empty() ? "" : " ") + (misshapen.size() == 1 ? "Line " : "Lines ") + lines +
           (misshapen.size() > 3 ? " and more" : "") + " of the loadings file " + (misshapen.size() == 1 ? "does" : "do") +
           " not split into a name, an empty weight and an empty arm: check the quotes and commas.";
}

}  // namespace

bool givesAnyLoading(const Loadings& loadings) { return std::any_of(loadings.begin(), loadings.end(), givesALoading); }

View Session::useLoadings(std::string_view fileBytes, LoadingsSource source)
{
    const bool more = source.size > fileBytes.size();
    const Loadings loadings = parseLoadings(fileBytes, more);
    std::string remarks = remarksOn(fileBytes, more, source.file);
    if (!givesAnyLoading(loadings)) {
        m_loadingsRefused = true;
        m_loadingsRemarks = std::move(remarks);
        return setNote("That file gives no loading (a line of a name in quotes, an empty weight and an empty arm); "
                       "the loadings you had stay." + (m_loadingsRemarks.empty() ? "" : ' ' + m_loadingsRemarks));
    }
    useLoadings(loadings, std::move(source.file));
    // Which weighing report a signed sheet rests on, for an inspector: the
    // digest of the whole file, as sha256sum gives it, not of the part read.
    m_loadingsSha256 = source.sha256.empty() ? sha256Hex(fileBytes) : std::move(source.sha256);
    m_loadingsWeighing = (source.modified ? ", modified " + timeText(*source.modified) : "") + ", SHA-256 " +
                         m_loadingsSha256.substr(0, 12);
    m_loadingsRemarks = std::move(remarks);
    // Gliders beyond the buttons, and figures not read as they look, are
    // said at once, as a typed figure is.
    m_gliderCount = recordCount(fileBytes, more);
    m_loadingsCut = more || fileBytes.size() > kMaxFileBytes;
    std::string note = m_loadingsRemarks;
    for (const std::string& words : loadingsNotes())
        note += (note.empty() ? "" : " ") + (words.starts_with(kCheck) ? words.substr(kCheck.size()) : words);
    return setNote(std::move(note));
}

View Session::useNoLoadings(std::string why)
{
    useLoadings(Loadings{});
    m_whyNoLoadings = std::move(why);
    for (int i = 0; i < static_cast<int>(kLoadingCount); ++i)
        m_buttons[static_cast<std::size_t>(i)] = buttonOf(i);
    return view();
}

void Session::lookAgainAtLoadings(std::string_view sha256Now)
{
    if (m_loadingsSha256.empty() || sha256Now == m_loadingsSha256) {
        m_loadingsChanged.clear();
        return;
    }
    m_loadingsChanged = "The loadings file on disk has changed since it was read (" +
                        (sha256Now.empty() ? std::string("it cannot be read now")
                                           : "its SHA-256 is now " + std::string(sha256Now.substr(0, 12))) +
                        "): the buttons and this sheet keep what was read.";
}

View Session::setNote(std::string note)
{
    m_note = std::move(note);
    // A file that changed under the sheet is said with every note, as the
    // note is what a pilot reads, and hears, after printing or copying.
    if (!m_note.empty() && !m_loadingsChanged.empty())
        m_note += ' ' + m_loadingsChanged;
    m_lines.note = m_note;
    Announcements announce;
    announce.note = !m_note.empty();
    return viewAnnouncing(announce);
}

View Session::view() const { return viewAnnouncing({}); }

std::string Session::summary() const
{
    std::string summary = resultSummary(m_sheet, m_fault);
    for (const Warning& warning : m_lines.warnings)
        summary += ' ' + warning.words;
    if (m_marked >= 0) {
        const std::string name = gliderName(static_cast<std::size_t>(m_marked));
        const std::optional<std::string> arm = placardArm();
        summary += " Cockpit placard for " + name +
                   (arm ? ", " + placardAboard(*arm) + ": " + placardLine(static_cast<std::size_t>(m_marked), *arm)
                        : ": " + std::string(kNoPlacardArm)) + '.';
    }
    return summary;
}

// The pilot's arm as read, in the sheet's own form: "-20 in" and "-20,5" as
// -20, the number the sheet works with. None when the field holds no number
// (blank, or a minus sign that is not a hyphen-minus), which would put the
// pilot at the datum on every placard.
std::optional<std::string> Session::placardArm() const
{
    const std::string& arm = m_sheet.arm[static_cast<std::size_t>(kPilotRow)];
    const std::optional<double> value = beginsWithNumber(arm) ? ValueOfText(arm) : std::nullopt;
    return value ? std::optional(TextOfDouble(*value)) : std::nullopt;
}

// The pilot weights that keep a glider of the file within limits with the
// pilot at the pilot's arm as read and nothing else aboard, as its cockpit
// placard states them; none for a glider whose figures in the file are not
// read as they look, as its placard would rest on figures it does not have.
std::string Session::placardLine(std::size_t loading, const std::string& pilotArm) const
{
    const bool weightMisread = misreadingOf(this->*kStoredWeight[loading], FieldUnit::Pounds) != Misreading::None;
    const bool armMisread = misreadingOf(this->*kStoredArm[loading], FieldUnit::Inches) != Misreading::None;
    if (weightMisread || armMisread)
        return std::string("none: its empty ") +
               (weightMisread && armMisread ? "weight and arm are" : weightMisread ? "weight is" : "arm is") +
               " not read as written in the loadings file";
    Sheet alone;
    alone.weight[0] = this->*kStoredWeight[loading];
    alone.arm[0] = this->*kStoredArm[loading];
    alone.arm[static_cast<std::size_t>(kPilotRow)] = pilotArm;
    const std::optional<WeightRange> range = pilotWeights(alone);
    if (!range)
        return "no pilot weight can be worked out";
    return range->any() ? rangeWords(*range) : "no pilot weight keeps it within limits";
}

LoadSheetText Session::loadSheet(const LocalTime& madeAt, std::string program) const
{
    std::string loading = m_marked < 0 ? "" : m_names[static_cast<std::size_t>(m_marked)];
    std::vector<std::string> placard;
    const std::optional<std::string> arm = placardArm();
    for (std::size_t k = 0; k < kLoadingCount && arm; ++k)
        if (m_buttons[k].canPress && !repeated(k))
            placard.push_back(gliderName(k) + ": " + placardLine(k, *arm) + '.');
    if (!placard.empty())
        placard.insert(placard.begin(), "Cockpit placard, " + placardAboard(*arm) + ':');
    else if (!arm && std::any_of(m_buttons.begin(), m_buttons.end(), [](const auto& b) { return b.canPress; }))
        placard.push_back("Cockpit placard: " + std::string(kNoPlacardArm) + '.');
    LoadSheetText text = loadSheetText(m_sheet, m_fault,
                                       {timeText(madeAt), std::move(program), std::move(loading), m_loadingsFile,
                                        m_loadingsWeighing, std::move(placard), loadingsNotes(), m_loadingsChanged});
    text.envelope = envelopeOf(m_sheet, totalsCurrent(m_sheet, m_fault));
    return text;
}

void Session::recalculate()
{
    m_fault = Calc(m_sheet);
    // A loading stays marked only while the aircraft-empty row holds its
    // texts, so that no page names a glider whose figures were changed.
    if (m_marked >= 0 && !rowHoldsLoading(m_marked))
        m_marked = -1;
}

void Session::refreshLines() { m_lines = linesBeneath(m_sheet, m_fault, m_note, m_itemRow, &m_kept); }

View Session::viewAnnouncing(Announcements announce) const
{
    return {m_sheet, grossWeightWords(m_sheet, m_fault), flyCgWords(m_sheet, m_fault), scaleWords(m_sheet, m_fault),
            resultsCurrent(m_sheet, m_fault), m_lines, announce, m_buttons, m_fault, m_marked, std::nullopt};
}

// A button that would put a blank name on the load sheet, or nothing into
// the aircraft-empty row, cannot be pressed; it says why instead.
LoadingButtonView Session::buttonOf(int index) const
{
    const auto k = static_cast<std::size_t>(index);
    const std::string& name = m_names[k];
    const bool named = showsSomething(name);
    const bool weighed = !isBlank(this->*kStoredWeight[k]);
    const bool armed = !isBlank(this->*kStoredArm[k]);
    LoadingButtonView button{named ? captionOf(k) : "Loading " + std::to_string(index + 1), named && weighed && armed, {}, {}};
    if (button.canPress) {
        // The whole name of a name cut short, a namesake's figures that tell
        // the two apart, and each misread figure.
        std::vector<std::string> about = misreadFigures(k);
        if (const std::string shown = gliderName(k); shown != button.caption)
            about.insert(about.begin(), shown + '.');
        if (!m_loadingsFile.empty())
            about.push_back("From " + isolated(shortenedPath(m_loadingsFile)) + ".");
        for (const std::string& words : about)
            button.from += (button.from.empty() ? "" : " ") + words;
    }
    const std::string& why = m_whyNoLoadings.empty() ? m_whereToPutLoadings : m_whyNoLoadings;
    if (!named && !weighed && !armed)
        button.whyNot = why.empty() ? "No loading." : "No loading: " + why + '.';
    else if (!named)
        button.whyNot = button.caption + " has no name in the loadings file.";
    else if (!weighed || !armed)
        button.whyNot = isolated(shortened(name)) + " has no empty " +
                        (!weighed && !armed ? "weight or arm" : !weighed ? "weight" : "arm") + " in the loadings file.";
    return button;
}

bool Session::pressable(std::size_t k) const
{
    return showsSomething(m_names[k]) && !isBlank(this->*kStoredWeight[k]) && !isBlank(this->*kStoredArm[k]);
}

bool Session::sameGlider(std::size_t a, std::size_t b) const
{
    return m_names[a] == m_names[b] && this->*kStoredWeight[a] == this->*kStoredWeight[b] &&
           this->*kStoredArm[a] == this->*kStoredArm[b];
}

// A file of fewer than four gliders repeats its last: each glider is said once.
bool Session::repeated(std::size_t k) const
{
    for (std::size_t earlier = 0; earlier < k; ++earlier)
        if (sameGlider(earlier, k))
            return true;
    return false;
}

// A button holds about 20 characters of a name, and the window cuts the rest
// at the end; a longer name is cut here instead, where the cut can keep what
// tells it apart: one that begins as another does shows its start, "…", and
// the characters where it differs ("N271KQ…north field one").
std::string Session::captionOf(std::size_t k) const
{
    constexpr std::size_t kShown = 20, kHead = 6, kTail = 12;
    const std::string& name = m_names[k];
    std::vector<std::size_t> at;  // where each character starts, and the end
    for (std::size_t i = 0; i < name.size(); nextCharacter(name, i))
        at.push_back(i);
    at.push_back(name.size());
    const std::size_t length = at.size() - 1;
    if (length <= kShown)
        return name;
    const auto characters = [&](std::size_t from, std::size_t count) {
        return name.substr(at[from], at[std::min(from + count, length)] - at[from]);
    };
    // The first character that tells it from every other name that begins
    // as it does for as long as a button shows.
    std::size_t differs = 0;
    for (std::size_t other = 0; other < kLoadingCount; ++other) {
        const std::string& otherName = m_names[other];
        if (other == k || !pressable(other) || otherName == name)
            continue;
        std::size_t common = 0;
        for (std::size_t i = 0, j = 0; i < name.size() && j < otherName.size(); ++common)
            if (nextCharacter(name, i) != nextCharacter(otherName, j))
                break;
        if (common >= kShown - 1)
            differs = std::max(differs, common);
    }
    if (differs == 0)
        return characters(0, kShown - 1) + "\u2026";
    // A character or two before the difference, or the end when it is near.
    const std::size_t from = std::min(differs - 2, length - kTail);
    const bool toTheEnd = length - from <= kTail + 1;
    return characters(0, kHead) + "\u2026" + characters(from, toTheEnd ? kTail + 1 : kTail) + (toTheEnd ? "" : "\u2026");
}

std::string Session::gliderName(std::size_t k) const
{
    const std::string name = isolated(shortened(m_names[k]));
    for (std::size_t other = 0; other < kLoadingCount; ++other)
        if (other != k && pressable(other) && shortened(m_names[other]) == shortened(m_names[k]) && !sameGlider(other, k))
            return name + " (empty " + figureAsRead(this->*kStoredWeight[k]) + " lb at " +
                   figureAsRead(this->*kStoredArm[k]) + " in)";
    return name;
}

std::vector<std::string> Session::misreadFigures(std::size_t k) const
{
    std::vector<std::string> words;
    for (const auto& [what, text, unit] : {std::tuple{"Empty weight, ", kStoredWeight[k], FieldUnit::Pounds},
                                           std::tuple{"Empty arm, ", kStoredArm[k], FieldUnit::Inches}})
        if (std::string misread = misreadWords(what + gliderName(k), this->*text, unit); !misread.empty())
            words.push_back(std::move(misread));
    return words;
}

std::vector<std::string> Session::loadingsNotes() const
{
    std::vector<std::string> notes;
    if (m_gliderCount > kLoadingCount) {
        std::string names;
        for (std::size_t k = 0; k < kLoadingCount; ++k)
            names += (k == 0 ? "" : k + 1 == kLoadingCount ? " and " : ", ") +
                     (showsSomething(m_names[k]) ? isolated(shortened(m_names[k])) : m_buttons[k].caption);
        // Of a file cut at 64 KiB, only the gliders read are counted.
        notes.push_back((m_loadingsCut ? "The part of the loadings file read holds " : "The loadings file holds ") +
                        std::to_string(m_gliderCount) + " gliders; only the first " +
                        std::to_string(kLoadingCount) + " have buttons: " + names + '.');
    }
    for (std::size_t k = 0; k < kLoadingCount; ++k)
        if (pressable(k) && !repeated(k))
            for (const std::string& misread : misreadFigures(k))
                notes.push_back(std::string(kCheck) + misread);
    return notes;
}

bool Session::rowHoldsLoading(int index) const
{
    const auto k = static_cast<std::size_t>(index);
    return m_sheet.weight[0] == this->*kStoredWeight[k] && m_sheet.arm[0] == this->*kStoredArm[k];
}

}  // namespace kq71wb
