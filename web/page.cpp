#include "page.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <utility>

#include "conversions.h"
#include "load_sheet.h"
#include "loadings.h"
#include "sheet.h"
#include "version.h"
#include "words.h"

namespace kq71wb::web {
namespace {

struct Page {
    Sheet sheet;
    std::optional<CalcFault> fault;
    Loadings loadings{};
    int marked = -1;
    LinesBeneath spoken;  // the lines as a screen reader last heard them
    bool sayVerdictAgain = false;
};

// A sheet as the window opens: every field empty but the pilot's arm.
Page freshPage()
{
    Page fresh;
    fresh.sheet.arm[kPilotRow] = kPilotArmAtStart;
    fresh.fault = Calc(fresh.sheet);
    return fresh;
}

Page& page()
{
    static Page thePage = freshPage();
    return thePage;
}

template <class Texts>
std::string list(const Texts& texts)
{
    std::string json = "[";
    for (const auto& text : texts)
        json += (json.size() > 1 ? "," : "") + jsonText(text);
    return json + ']';
}

// Names of the verdicts, for the page's style sheet to colour.
std::string verdictName(const std::optional<WeightVerdict>& verdict)
{
    return !verdict ? "" : *verdict == WeightVerdict::Within ? "within" : "over";
}
std::string verdictName(const std::optional<CgVerdict>& verdict)
{
    return !verdict ? "" : *verdict == CgVerdict::Within ? "within" : *verdict == CgVerdict::Forward ? "forward" : "aft";
}

std::string scaleAt(const Sheet& sheet)
{
    if (!sheet.sliderValue)
        return "null";
    const double at = static_cast<double>(*sheet.sliderValue - kScaleMinimum) / (kScaleMaximum - kScaleMinimum);
    return TextOfDouble(std::clamp(at, 0.0, 1.0));
}

bool rowHoldsLoading(const Page& p, int index)
{
    const Loading& loading = p.loadings[static_cast<std::size_t>(index)];
    return p.sheet.weight[0] == loading.weight && p.sheet.arm[0] == loading.arm;
}

void recalc(Page& p)
{
    p.fault = Calc(p.sheet);
    // A loading stays marked only while the aircraft-empty row holds its texts.
    if (p.marked >= 0 && !rowHoldsLoading(p, p.marked))
        p.marked = -1;
}

}  // namespace

std::string jsonText(std::string_view text)
{
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += {'\\', c};
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + '"';
}

std::string reset()
{
    page() = freshPage();
    return view();
}

std::string edit(int field, int row, const std::string& text)
{
    Page& p = page();
    const auto index = static_cast<std::size_t>(std::clamp(row, 0, Sheet::kRowCount - 1));
    if (static_cast<Field>(field) == Field::Description) {
        p.sheet.description[index] = text;
        return view();
    }
    std::string& target = static_cast<Field>(field) == Field::Weight ? p.sheet.weight[index] : p.sheet.arm[index];
    target = text;
    std::replace(target.begin(), target.end(), ',', '.');
    recalc(p);
    return view();
}

std::string view()
{
    Page& p = page();
    const Sheet& s = p.sheet;
    const LinesBeneath lines = linesBeneath(s, p.fault, "");
    Announcements announce = announcementsFor(p.spoken, lines);
    announce.verdict = announce.verdict || (std::exchange(p.sayVerdictAgain, false) && !lines.verdict.empty());
    p.spoken = lines;
    std::vector<std::string> warnings;
    for (const Warning& warning : lines.warnings)
        warnings.push_back(warning.words);
    std::array<std::string, kLoadingCount> names;
    std::transform(p.loadings.begin(), p.loadings.end(), names.begin(), [](const Loading& l) { return l.name; });

    return "{\"weight\":" + list(s.weight) + ",\"arm\":" + list(s.arm) + ",\"description\":" + list(s.description) +
           ",\"moment\":" + list(s.moment) + ",\"grossWeight\":" + jsonText(s.grossWeight) +
           ",\"grossMoment\":" + jsonText(s.grossMoment) + ",\"flyCg\":" + jsonText(s.flyCg) +
           ",\"grossWeightVerdict\":" + jsonText(verdictName(s.grossWeightVerdict)) +
           ",\"flyCgVerdict\":" + jsonText(verdictName(s.flyCgVerdict)) +
           ",\"grossWeightWords\":" + jsonText(grossWeightWords(s, p.fault)) +
           ",\"flyCgWords\":" + jsonText(flyCgWords(s, p.fault)) + ",\"scaleWords\":" + jsonText(scaleWords(s)) +
           ",\"scaleAt\":" + scaleAt(s) + ",\"verdict\":" + jsonText(lines.verdict) + ",\"warnings\":" + list(warnings) +
           ",\"readouts\":" + jsonText(lines.readouts) + ",\"announce\":{\"verdict\":" +
           (announce.verdict ? "true" : "false") + ",\"warnings\":" + (announce.warnings ? "true" : "false") +
           "},\"summary\":" + jsonText(resultSummary(s, p.fault)) + ",\"loadings\":" + list(names) +
           ",\"marked\":" + std::to_string(p.marked) + '}';
}

std::string useLoadings(const std::string& bytes)
{
    page().loadings = parseLoadings(bytes);
    page().marked = -1;
    return view();
}

std::string pressLoading(int index)
{
    Page& p = page();
    if (index < 0 || index >= static_cast<int>(kLoadingCount) || p.loadings[static_cast<std::size_t>(index)] == Loading{})
        return view();
    // Each text is a change of its own, as when the window's fields are set.
    p.marked = -1;
    p.sheet.weight[0] = p.loadings[static_cast<std::size_t>(index)].weight;
    recalc(p);
    p.sheet.arm[0] = p.loadings[static_cast<std::size_t>(index)].arm;
    recalc(p);
    p.marked = index;
    // New figures under the same words are said again, as the window does;
    // new words are said once either way.
    p.sayVerdictAgain = true;
    return view();
}

std::string loadSheet(const std::string& madeAt)
{
    const Page& p = page();
    const std::string loading = p.marked < 0 ? "" : p.loadings[static_cast<std::size_t>(p.marked)].name;
    const LoadSheetText text = loadSheetText(p.sheet, p.fault, {madeAt, "KQ71WB " KQ71WB_VERSION, loading});
    return "{\"above\":" + list(text.above) + ",\"below\":" + list(text.below) + '}';
}

}  // namespace kq71wb::web
