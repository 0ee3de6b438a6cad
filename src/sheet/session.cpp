#include "session.h"

#include <algorithm>
#include <utility>

#include "conversions.h"
#include "readouts.h"
#include "sha256.h"

namespace kq71wb {
namespace {

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
        m_lines.readouts = readoutWords(m_sheet, totalsCurrent(m_sheet, m_fault), m_itemRow);
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
    const LinesBeneath before = std::exchange(m_lines, {});
    refreshLines();
    // New figures under the same words are said again: the pilot pressed for them.
    Announcements announce = announcementsFor(before, m_lines);
    announce.verdict = !m_lines.verdict.empty();
    return viewAnnouncing(announce);
}

View Session::useLoadings(const Loadings& loadings, std::string file)
{
    m_loadingsRefused = false;
    m_loadingsFile = std::move(file);
    m_loadingsWeighing.clear();
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

}  // namespace

bool givesAnyLoading(const Loadings& loadings) { return std::any_of(loadings.begin(), loadings.end(), givesALoading); }

View Session::useLoadings(std::string_view fileBytes, std::string file, std::string modified)
{
    const Loadings loadings = parseLoadings(fileBytes);
    m_loadingsRefused = !givesAnyLoading(loadings);
    if (m_loadingsRefused)
        return setNote("That file gives no loading (a line of a name in quotes, an empty weight and an empty arm); "
                       "the loadings you had stay.");
    useLoadings(loadings, std::move(file));
    // Which weighing report a signed sheet rests on, for an inspector.
    m_loadingsWeighing = (modified.empty() ? "" : ", modified " + modified) + ", SHA-256 " + sha256Hex(fileBytes).substr(0, 12);
    // A line that splits into other than three fields is used all the same,
    // as the desktop reads it, but named: curly quotes split "Club, two".
    const std::vector<int> misshapen = misshapenLines(fileBytes);
    if (misshapen.empty())
        return setNote({});
    std::string lines = std::to_string(misshapen.front());
    for (std::size_t i = 1; i < misshapen.size() && i < 3; ++i)
        lines += (i + 1 == std::min<std::size_t>(misshapen.size(), 3) ? " and " : ", ") + std::to_string(misshapen[i]);
    return setNote((misshapen.size() == 1 ? "Line " : "Lines ") + lines + (misshapen.size() > 3 ? " and more" : "") +
                   " of the loadings file " + (misshapen.size() == 1 ? "does" : "do") +
                   " not split into a name, an empty weight and an empty arm: check the quotes and commas.");
}

View Session::setNote(std::string note)
{
    m_note = std::move(note);
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
    if (m_marked >= 0)
        summary += " Cockpit placard for " + isolated(shortened(m_names[static_cast<std::size_t>(m_marked)])) + ", " +
                   placardAboard() + ": " + placardWeights(static_cast<std::size_t>(m_marked)) + '.';
    return summary;
}

std::string Session::placardAboard() const
{
    const std::string& arm = m_sheet.arm[static_cast<std::size_t>(kPilotRow)];
    return "pilot at " + (isBlank(arm) ? std::string("0") : withoutBlanks(arm)) + " in and nothing else aboard";
}

// The pilot weights that keep a glider of the file within limits with the
// pilot at the pilot's arm as typed and nothing else aboard, as its cockpit
// placard states them.
std::string Session::placardWeights(std::size_t loading) const
{
    Sheet alone;
    alone.weight[0] = this->*kStoredWeight[loading];
    alone.arm[0] = this->*kStoredArm[loading];
    alone.arm[static_cast<std::size_t>(kPilotRow)] = m_sheet.arm[static_cast<std::size_t>(kPilotRow)];
    const std::optional<WeightRange> range = pilotWeights(alone);
    if (!range)
        return "no pilot weight can be worked out";
    return range->any() ? rangeWords(*range) : "no pilot weight keeps it within limits";
}

LoadSheetText Session::loadSheet(std::string madeAt, std::string program) const
{
    std::string loading = m_marked < 0 ? "" : m_names[static_cast<std::size_t>(m_marked)];
    std::vector<std::string> placard;
    // A file of fewer than four gliders repeats its last: each glider once.
    const auto sameGlider = [this](std::size_t a, std::size_t b) {
        return m_names[a] == m_names[b] && this->*kStoredWeight[a] == this->*kStoredWeight[b] &&
               this->*kStoredArm[a] == this->*kStoredArm[b];
    };
    for (std::size_t k = 0; k < kLoadingCount; ++k) {
        bool repeated = false;
        for (std::size_t earlier = 0; earlier < k; ++earlier)
            repeated = repeated || sameGlider(earlier, k);
        if (m_buttons[k].canPress && !repeated)
            placard.push_back(isolated(shortened(m_names[k])) + ": " + placardWeights(k) + '.');
    }
    if (!placard.empty())
        placard.insert(placard.begin(), "Cockpit placard, " + placardAboard() + ':');
    LoadSheetText text = loadSheetText(m_sheet, m_fault,
                                       {std::move(madeAt), std::move(program), std::move(loading), m_loadingsFile,
                                        m_loadingsWeighing, std::move(placard)});
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

void Session::refreshLines() { m_lines = linesBeneath(m_sheet, m_fault, m_note, m_itemRow); }

View Session::viewAnnouncing(Announcements announce) const
{
    return {m_sheet, grossWeightWords(m_sheet, m_fault), flyCgWords(m_sheet, m_fault), scaleWords(m_sheet),
            m_lines, announce, m_buttons, m_fault, m_marked};
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
    // A long name would make the button as tall as the page.
    LoadingButtonView button{named ? shortened(name) : "Loading " + std::to_string(index + 1), named && weighed && armed, {}, {}};
    if (button.canPress && !m_loadingsFile.empty())
        button.from = "From " + isolated(shortened(m_loadingsFile)) + ".";
    if (!named && !weighed && !armed)
        button.whyNot = m_whereToPutLoadings.empty() ? "No loading." : "No loading: " + m_whereToPutLoadings + '.';
    else if (!named)
        button.whyNot = button.caption + " has no name in the loadings file.";
    else if (!weighed || !armed)
        button.whyNot = isolated(shortened(name)) + " has no empty " +
                        (!weighed && !armed ? "weight or arm" : !weighed ? "weight" : "arm") + " in the loadings file.";
    return button;
}

bool Session::rowHoldsLoading(int index) const
{
    const auto k = static_cast<std::size_t>(index);
    return m_sheet.weight[0] == this->*kStoredWeight[k] && m_sheet.arm[0] == this->*kStoredArm[k];
}

}  // namespace kq71wb
