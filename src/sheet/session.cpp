#include "session.h"

#include <utility>

#include "conversions.h"
#include "load_sheet.h"
#include "readouts.h"

namespace kq71wb {
namespace {

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

Session::Session(std::string whereToPutLoadings) : m_loadings(std::move(whereToPutLoadings))
{
    m_sheet.arm[kPilotRow] = kPilotArmAtStart;
    recalculate();
    refreshLines();
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
    if (index < 0 || index >= static_cast<int>(kLoadingCount) || !m_loadings.buttons()[static_cast<std::size_t>(index)].canPress)
        return view();
    const auto k = static_cast<std::size_t>(index);
    // Each text is a change of its own, as when a pilot types them; only the
    // final figures are shown and spoken.
    m_marked = -1;
    m_note.clear();
    m_sheet.weight[0] = m_loadings.emptyWeight(k);
    recalculate();
    m_sheet.arm[0] = m_loadings.emptyArm(k);
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
    m_loadings.use(loadings, std::move(file));
    m_marked = -1;
    return view();
}

View Session::useLoadings(std::string_view fileBytes, LoadingsSource source)
{
    return loadingsRead(m_loadings.use(fileBytes, std::move(source)));
}

View Session::startWithLoadings(std::string_view fileBytes, LoadingsSource source)
{
    return loadingsRead(m_loadings.useAtStart(fileBytes, std::move(source)));
}

// Loadings refused leave the mark where it was, with the loadings.
View Session::loadingsRead(std::string note)
{
    if (!m_loadings.refused())
        m_marked = -1;
    View read = setNote(std::move(note));
    read.taken = !m_loadings.refused();
    return read;
}

View Session::useNoLoadings(std::string_view file, std::string_view problem)
{
    std::string note = m_loadings.useNone(file, problem);
    m_marked = -1;
    return setNote(std::move(note));
}

View Session::setNote(std::string note)
{
    m_note = std::move(note);
    // A file that changed under the sheet is said with every note, as the
    // note is what a pilot reads, and hears, after printing or copying.
    if (!m_note.empty() && !m_loadings.changed().empty())
        m_note += ' ' + m_loadings.changed();
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
        summary += ' ' + m_loadings.placardOf(static_cast<std::size_t>(m_marked), placardArm());
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

LoadSheetText Session::loadSheet(const LocalTime& madeAt, std::string program) const
{
    std::string loading = m_marked < 0 ? "" : m_loadings.name(static_cast<std::size_t>(m_marked));
    LoadSheetText text = loadSheetText(m_sheet, m_fault,
                                       {timeText(madeAt), std::move(program), std::move(loading), m_loadings.file(),
                                        m_loadings.weighing(), m_loadings.placard(placardArm()), m_loadings.notes(),
                                        m_loadings.changed()});
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
            resultsCurrent(m_sheet, m_fault), m_lines, announce, m_loadings.buttons(), m_fault, m_marked, std::nullopt,
            std::nullopt};
}

bool Session::rowHoldsLoading(int index) const
{
    const auto k = static_cast<std::size_t>(index);
    return m_sheet.weight[0] == m_loadings.emptyWeight(k) && m_sheet.arm[0] == m_loadings.emptyArm(k);
}

}  // namespace kq71wb
