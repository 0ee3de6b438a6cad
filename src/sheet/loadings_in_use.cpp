#include "loadings_in_use.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "conversions.h"
#include "readouts.h"
#include "sha256.h"
#include "sheet.h"
#include "words.h"

namespace kq71wb {
namespace {

// What the load sheet sets before a figure to check.
constexpr std::string_view kCheck = "Check: ";

// What a file that gives no loading lacks, after its name.
constexpr std::string_view kGivesNoLoading =
    " gives no loading (a line of a name in quotes, an empty weight and an empty arm)";

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

// Two texts, one after the other, with a blank between them when both say something.
std::string joined(std::string text, const std::string& more)
{
    return text.empty() ? more : more.empty() ? text : text + ' ' + more;
}

}  // namespace

bool givesAnyLoading(const Loadings& loadings) { return std::any_of(loadings.begin(), loadings.end(), givesALoading); }

LoadingsInUse::LoadingsInUse(std::string whereToPut) : m_whereToPut(std::move(whereToPut)) { use(Loadings{}, {}); }

void LoadingsInUse::use(const Loadings& loadings, std::string file)
{
    m_refused = false;
    m_file = std::move(file);
    m_weighing.clear();
    m_gliderCount = 0;
    m_cut = false;
    m_sha256.clear();
    m_changed.clear();
    m_whyNone.clear();
    for (std::size_t k = 0; k < kLoadingCount; ++k) {
        m_names[k] = loadings[k].name;
        this->*kStoredWeight[k] = loadings[k].weight;
        this->*kStoredArm[k] = loadings[k].arm;
    }
    makeButtons();
}

std::string LoadingsInUse::use(std::string_view fileBytes, LoadingsSource source)
{
    const std::string said = take(fileBytes, std::move(source));
    return m_refused ? joined("That file" + std::string(kGivesNoLoading) + "; the loadings you had stay.", said) : said;
}

// Which file the buttons came from is said at once, as it is looked for in
// more than one place; so is a file that gives no loading.
std::string LoadingsInUse::useAtStart(std::string_view fileBytes, LoadingsSource source)
{
    const std::string file = source.file;
    const std::string said = take(fileBytes, std::move(source));
    if (file.empty())
        return "No loadings file: for the loading buttons, " + m_whereToPut + '.';
    return joined(m_refused ? file + std::string(kGivesNoLoading) + ": for the loading buttons, " + m_whereToPut + '.'
                            : "Loadings from " + file + '.',
                  said);
}

std::string LoadingsInUse::take(std::string_view fileBytes, LoadingsSource source)
{
    const bool more = source.size > fileBytes.size();
    const Loadings loadings = parseLoadings(fileBytes, more);
    std::string said = remarksOn(fileBytes, more, source.file);
    if (!givesAnyLoading(loadings)) {
        m_refused = true;
        return said;
    }
    use(loadings, std::move(source.file));
    // Which weighing report a signed sheet rests on, for an inspector: the
    // digest of the whole file, as sha256sum gives it, not of the part read.
    m_sha256 = source.sha256.empty() ? sha256Hex(fileBytes) : std::move(source.sha256);
    m_weighing = (source.modified ? ", modified " + timeText(*source.modified) : "") + ", SHA-256 " +
                 m_sha256.substr(0, 12);
    m_gliderCount = recordCount(fileBytes, more);
    m_cut = more || fileBytes.size() > kMaxFileBytes;
    // Gliders beyond the buttons, and figures not read as they look, are
    // said at once, as a typed figure is.
    for (const std::string& words : notes())
        said = joined(std::move(said), words.starts_with(kCheck) ? words.substr(kCheck.size()) : words);
    return said;
}

std::string LoadingsInUse::useNone(std::string_view file, std::string_view problem)
{
    use(Loadings{}, {});
    m_whyNone = std::string(file) + " cannot be used, as " + std::string(problem);
    makeButtons();
    return "No loadings: " + m_whyNone + '.';
}

void LoadingsInUse::lookAgain(std::string_view sha256Now)
{
    if (m_sha256.empty() || sha256Now == m_sha256) {
        m_changed.clear();
        return;
    }
    m_changed = "The loadings file on disk has changed since it was read (" +
                (sha256Now.empty() ? std::string("it cannot be read now")
                                   : "its SHA-256 is now " + std::string(sha256Now.substr(0, 12))) +
                "): the buttons and this sheet keep what was read.";
}

std::vector<std::string> LoadingsInUse::placard(const std::optional<std::string>& pilotArm) const
{
    std::vector<std::string> placard;
    for (std::size_t k = 0; k < kLoadingCount && pilotArm; ++k)
        if (m_buttons[k].canPress && !repeated(k))
            placard.push_back(gliderName(k) + ": " + placardLine(k, *pilotArm) + '.');
    if (!placard.empty())
        placard.insert(placard.begin(), "Cockpit placard, " + placardAboard(*pilotArm) + ':');
    else if (!pilotArm && std::any_of(m_buttons.begin(), m_buttons.end(), [](const auto& b) { return b.canPress; }))
        placard.push_back("Cockpit placard: " + std::string(kNoPlacardArm) + '.');
    return placard;
}

std::string LoadingsInUse::placardOf(std::size_t k, const std::optional<std::string>& pilotArm) const
{
    return "Cockpit placard for " + gliderName(k) +
           (pilotArm ? ", " + placardAboard(*pilotArm) + ": " + placardLine(k, *pilotArm)
                     : ": " + std::string(kNoPlacardArm)) + '.';
}

// The pilot weights that keep a glider of the file within limits with the
// pilot at the pilot's arm as read and nothing else aboard, as its cockpit
// placard states them; none for a glider whose figures in the file are not
// read as they look, as its placard would rest on figures it does not have.
std::string LoadingsInUse::placardLine(std::size_t k, const std::string& pilotArm) const
{
    const bool weightMisread = misreadingOf(emptyWeight(k), FieldUnit::Pounds) != Misreading::None;
    const bool armMisread = misreadingOf(emptyArm(k), FieldUnit::Inches) != Misreading::None;
    if (weightMisread || armMisread)
        return std::string("none: its empty ") +
               (weightMisread && armMisread ? "weight and arm are" : weightMisread ? "weight is" : "arm is") +
               " not read as written in the loadings file";
    Sheet alone;
    alone.weight[0] = emptyWeight(k);
    alone.arm[0] = emptyArm(k);
    alone.arm[static_cast<std::size_t>(kPilotRow)] = pilotArm;
    const std::optional<WeightRange> range = pilotWeights(alone);
    if (!range)
        return "no pilot weight can be worked out";
    return range->any() ? rangeWords(*range) : "no pilot weight keeps it within limits";
}

void LoadingsInUse::makeButtons()
{
    for (std::size_t k = 0; k < kLoadingCount; ++k)
        m_buttons[k] = buttonOf(k);
}

// A button that would put a blank name on the load sheet, or nothing into
// the aircraft-empty row, cannot be pressed; it says why instead.
LoadingButtonView LoadingsInUse::buttonOf(std::size_t k) const
{
    const std::string& name = m_names[k];
    const bool named = showsSomething(name);
    const bool weighed = !isBlank(emptyWeight(k));
    const bool armed = !isBlank(emptyArm(k));
    LoadingButtonView button{named ? captionOf(k) : "Loading " + std::to_string(k + 1), named && weighed && armed, {}, {}};
    if (button.canPress) {
        // The whole name of a name cut short, a namesake's figures that tell
        // the two apart, and each misread figure.
        std::vector<std::string> about = misreadFigures(k);
        if (const std::string shown = gliderName(k); shown != button.caption)
            about.insert(about.begin(), shown + '.');
        if (!m_file.empty())
            about.push_back("From " + isolated(shortenedPath(m_file)) + ".");
        for (const std::string& words : about)
            button.from = joined(std::move(button.from), words);
    }
    const std::string& why = m_whyNone.empty() ? m_whereToPut : m_whyNone;
    if (!named && !weighed && !armed)
        button.whyNot = why.empty() ? "No loading." : "No loading: " + why + '.';
    else if (!named)
        button.whyNot = button.caption + " has no name in the loadings file.";
    else if (!weighed || !armed)
        button.whyNot = isolated(shortened(name)) + " has no empty " +
                        (!weighed && !armed ? "weight or arm" : !weighed ? "weight" : "arm") + " in the loadings file.";
    return button;
}

bool LoadingsInUse::pressable(std::size_t k) const
{
    return showsSomething(m_names[k]) && !isBlank(emptyWeight(k)) && !isBlank(emptyArm(k));
}

bool LoadingsInUse::sameGlider(std::size_t a, std::size_t b) const
{
    return m_names[a] == m_names[b] && emptyWeight(a) == emptyWeight(b) && emptyArm(a) == emptyArm(b);
}

// A file of fewer than four gliders repeats its last: each glider is said once.
bool LoadingsInUse::repeated(std::size_t k) const
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
std::string LoadingsInUse::captionOf(std::size_t k) const
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

std::string LoadingsInUse::gliderName(std::size_t k) const
{
    const std::string name = isolated(shortened(m_names[k]));
    for (std::size_t other = 0; other < kLoadingCount; ++other)
        if (other != k && pressable(other) && shortened(m_names[other]) == shortened(m_names[k]) && !sameGlider(other, k))
            return name + " (empty " + figureAsRead(emptyWeight(k)) + " lb at " + figureAsRead(emptyArm(k)) + " in)";
    return name;
}

std::vector<std::string> LoadingsInUse::misreadFigures(std::size_t k) const
{
    std::vector<std::string> words;
    for (const auto& [what, text, unit] : {std::tuple{"Empty weight, ", kStoredWeight[k], FieldUnit::Pounds},
                                           std::tuple{"Empty arm, ", kStoredArm[k], FieldUnit::Inches}})
        if (std::string misread = misreadWords(what + gliderName(k), this->*text, unit); !misread.empty())
            words.push_back(std::move(misread));
    return words;
}

std::vector<std::string> LoadingsInUse::notes() const
{
    std::vector<std::string> notes;
    if (m_gliderCount > kLoadingCount) {
        std::string names;
        for (std::size_t k = 0; k < kLoadingCount; ++k)
            names += (k == 0 ? "" : k + 1 == kLoadingCount ? " and " : ", ") +
                     (showsSomething(m_names[k]) ? isolated(shortened(m_names[k])) : m_buttons[k].caption);
        // Of a file cut at 64 KiB, only the gliders read are counted.
        notes.push_back((m_cut ? "The part of the loadings file read holds " : "The loadings file holds ") +
                        std::to_string(m_gliderCount) + " gliders; only the first " + std::to_string(kLoadingCount) +
                        " have buttons: " + names + '.');
    }
    for (std::size_t k = 0; k < kLoadingCount; ++k)
        if (pressable(k) && !repeated(k))
            for (const std::string& misread : misreadFigures(k))
                notes.push_back(std::string(kCheck) + misread);
    return notes;
}

}  // namespace kq71wb
