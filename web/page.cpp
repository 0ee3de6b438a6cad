#include "page.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "conversions.h"
#include "envelope.h"
#include "version.h"

namespace kq71wb::web {
namespace {

template <class Texts, class Text>
std::string list(const Texts& texts, Text textOf)
{
    std::string json = "[";
    for (const auto& item : texts)
        json += (json.size() > 1 ? "," : "") + textOf(item);
    return json + ']';
}
template <class Texts>
std::string list(const Texts& texts)
{
    return list(texts, [](const std::string& text) { return jsonText(text); });
}

std::string flag(bool on) { return on ? "true" : "false"; }

// Names of the verdicts, for the page's style sheet to colour.
std::string verdictName(const std::optional<WeightVerdict>& verdict)
{
    return !verdict ? "" : *verdict == WeightVerdict::Within ? "within" : "over";
}
std::string verdictName(const std::optional<CgVerdict>& verdict)
{
    return !verdict ? "" : *verdict == CgVerdict::Within ? "within" : *verdict == CgVerdict::Forward ? "forward" : "aft";
}

std::string scaleAt(const Sheet& sheet) { return sheet.sliderValue ? TextOfDouble(alongScale(*sheet.sliderValue)) : "null"; }

// A field as [kind, row], or null.
std::string fieldJson(std::optional<Caret> field)
{
    return field ? '[' + std::to_string(static_cast<int>(field->field)) + ',' + std::to_string(field->row) + ']'
                 : "null";
}

// The field the first warning names, where "1 number to check" takes the pilot.
std::string checksAt(const LinesBeneath& lines)
{
    if (lines.warnings.empty())
        return "null";
    return fieldJson(Caret{lines.warnings.front().field, lines.warnings.front().row});
}

std::string buttonJson(const LoadingButtonView& button)
{
    return "{\"caption\":" + jsonText(button.caption) + ",\"canPress\":" + flag(button.canPress) +
           ",\"whyNot\":" + jsonText(button.whyNot) + ",\"from\":" + jsonText(button.from) + '}';
}

// How the page names loadings typed on it, and the club's file beside it, on
// the buttons and the load sheet.
constexpr std::string_view kTypedLoadings = "loadings typed on this page";
constexpr std::string_view kClubLoadings = "the club's kq71wb.dat";

// A view as it answers the club's file: whether the page keeps it for
// offline; or none, where the page has no file to keep.
View taking(View view, std::optional<bool> taken)
{
    view.taken = taken;
    return view;
}

}  // namespace

std::string PageSession::edit(FieldKind field, int row, std::string text)
{
    return viewJson(editNumber(field, row, std::move(text)));
}

View PageSession::editNumber(FieldKind field, int row, std::string text)
{
    if (field == FieldKind::Weight || field == FieldKind::Arm)
        std::replace(text.begin(), text.end(), ',', '.');
    return m_session.edit(field, row, std::move(text));
}

std::string PageSession::toggleSign(FieldKind field, int row, int start, int end)
{
    if ((field != FieldKind::Weight && field != FieldKind::Arm) || row < 0 || row >= Sheet::kRowCount)
        return view();
    const Sheet& sheet = m_session.sheet();
    std::string text = (field == FieldKind::Weight ? sheet.weight : sheet.arm)[static_cast<std::size_t>(row)];
    const std::size_t first = text.find_first_not_of(' ');
    const int at = static_cast<int>(first == std::string::npos ? text.size() : first);
    const bool negative = first != std::string::npos && text[first] == '-';
    if (negative)
        text.erase(first, 1);
    else
        text.insert(static_cast<std::size_t>(at), "-");
    // A place past the sign's moves with the digits after it; a place at it
    // stays before the digits: after the sign when it comes in.
    const auto moved = [&](int place) {
        place = std::max(place, 0);
        return negative ? (place > at ? place - 1 : place) : (place >= at ? place + 1 : place);
    };
    return viewJson(editNumber(field, row, std::move(text)), std::pair(moved(start), moved(end)));
}

std::string PageSession::focus(FieldKind field, int row) { return viewJson(m_session.focus(field, row)); }
std::string PageSession::pressLoading(int index) { return viewJson(m_session.pressLoading(index)); }
namespace {

// A moment from the page's clock: whole seconds, as the script's milliseconds
// may carry a fraction; nothing for NaN or a time no calendar holds.
std::optional<LocalTime> momentOf(double seconds, int utcOffset)
{
    if (!std::isfinite(seconds) || std::abs(seconds) > 1e15)
        return std::nullopt;
    return LocalTime{static_cast<std::int64_t>(std::floor(seconds)), utcOffset};
}

// Where a file's bytes came from, as the page gives it: `sha256` and `size`
// of the whole file, which may go on past the bytes given.
LoadingsSource sourceOf(std::string file, double modified, int utcOffset, const std::string& sha256, double size)
{
    return {std::move(file), momentOf(modified, utcOffset), sha256,
            std::isfinite(size) && size > 0 && size < 1e18 ? static_cast<std::uint64_t>(size) : 0};
}

}  // namespace

std::string PageSession::useLoadings(const std::string& bytes, const std::string& fileName, double modified, int utcOffset,
                                     const std::string& sha256, double size)
{
    const View view = m_session.useLoadings(
        bytes, sourceOf(fileName.empty() ? std::string(kTypedLoadings) : fileName, modified, utcOffset, sha256, size));
    m_own = m_own || view.taken.value_or(false);
    return viewJson(view);
}

std::string PageSession::clearLoadings()
{
    m_own = false;
    return viewJson(m_club ? taking(m_session.useLoadings(m_clubBytes, m_clubSource), std::nullopt)
                           : m_session.useLoadings(Loadings{}));
}

std::string PageSession::offerClubLoadings(const std::string& bytes, double modified, int utcOffset, const std::string& sha256,
                                           double size, bool fetched)
{
    const bool used = m_club && !m_own;
    if (bytes.empty()) {
        m_club = false;
        m_clubBytes.clear();
        m_clubSource = {};
        return viewJson(taking(used ? m_session.useLoadings(Loadings{}) : m_session.view(), false));
    }
    LoadingsSource source = sourceOf(std::string(kClubLoadings), modified, utcOffset, sha256, size);
    const bool same = m_club && bytes == m_clubBytes && source.sha256 == m_clubSource.sha256;
    if (same && source.modified == m_clubSource.modified)
        return viewJson(taking(m_session.view(), true));
    // A file that gives no loading leaves the loadings as they were, and
    // says why when the club's would have been used.
    if (!givesAnyLoading(parseLoadings(bytes, source.size > bytes.size())))
        return viewJson(taking(m_own ? m_session.view() : m_session.useLoadings(bytes, source), false));
    const bool changed = m_club && fetched && !same;
    m_club = true;
    m_clubBytes = bytes;
    m_clubSource = source;
    if (m_own)
        return viewJson(taking(m_session.view(), true));
    const View use = m_session.useLoadings(bytes, std::move(source));
    if (!changed)
        return viewJson(use);
    std::string note = "The club's kq71wb.dat has changed on the server: these are its new loadings" +
                       (m_clubSource.modified ? " (modified " + timeText(*m_clubSource.modified) + ")" : std::string()) + '.';
    if (!m_session.lines().note.empty())
        note += ' ' + m_session.lines().note;
    return viewJson(taking(m_session.setNote(std::move(note)), true));
}

std::string PageSession::view() const { return viewJson(m_session.view()); }
std::string PageSession::summary() const { return m_session.summary(); }
std::string PageSession::sayResult() { return viewJson(m_session.setNote(m_session.summary())); }

std::string PageSession::loadSheet(double madeAt, int utcOffset) const
{
    const LoadSheetText text = m_session.loadSheet(momentOf(madeAt, utcOffset).value_or(LocalTime{}), "KQ71WB " KQ71WB_VERSION);
    return "{\"above\":" + list(text.above) + ",\"below\":" + list(text.below) + '}';
}

std::string PageSession::problemReport(double madeAt, int utcOffset, const std::string& platform) const
{
    return kq71wb::problemReport(m_session.loadSheet(momentOf(madeAt, utcOffset).value_or(LocalTime{}), "KQ71WB " KQ71WB_VERSION),
                                 platform);
}

std::string PageSession::reported(bool copied) { return viewJson(m_session.setNote(reportNote(copied))); }

namespace {

// A number of the picture to a hundredth, far finer than a pixel, written
// from whole hundredths: every keystroke sends a line of them.
std::string unitsJson(double value)
{
    const long long hundredths = std::llround(std::isfinite(value) ? std::clamp(value, -1e9, 1e9) * 100 : 0.0);
    std::string digits = std::to_string(hundredths < 0 ? -hundredths : hundredths);
    digits.insert(0, digits.size() < 3 ? 3 - digits.size() : 0, '0');
    digits.insert(digits.size() - 2, ".");
    return (hundredths < 0 ? "-" : "") + digits;
}

std::string pointJson(const PicturePoint& point) { return '[' + unitsJson(point.x) + ',' + unitsJson(point.y) + ']'; }
std::string lineJson(const PicturePoint& from, const PicturePoint& to)
{
    return '[' + unitsJson(from.x) + ',' + unitsJson(from.y) + ',' + unitsJson(to.x) + ',' + unitsJson(to.y) + ']';
}

// {"x", "lines": [[text, y], ...], "anchor", "limit"}: each line where it stands.
std::string textJson(const ChartText& text, double textSize)
{
    static constexpr const char* kAnchors[] = {"start", "middle", "end"};
    std::string lines = "[";
    for (std::size_t k = 0; k < text.lines.size(); ++k)
        lines += (k ? ",[" : "[") + jsonText(text.lines[k]) + ',' +
                 unitsJson(text.y + static_cast<double>(k) * kChartLineHeight * textSize) + ']';
    return "{\"x\":" + unitsJson(text.x) + ",\"lines\":" + lines + "],\"anchor\":\"" +
           kAnchors[static_cast<int>(text.anchor)] + "\",\"limit\":" + flag(text.limit) + '}';
}

// The chart on paper: 480 units wide, its words 22, some 7 points on A5.
constexpr double kPaperWidth = 480, kPaperTextSize = 22;

}  // namespace

PageSession::PageSession()
    : m_session("choose or type a loadings file under \u201cLoadings on this device\u201d"),
      m_chart(layOutChart(kPaperWidth, kPaperTextSize))
{
}

// What of the chart changes with the sheet, in the picture's units.
std::string PageSession::envelopeJson(const Envelope& envelope) const
{
    std::string json = "{\"point\":";
    if (envelope.point) {
        const PicturePoint at = m_chart.within(*envelope.point);
        json += pointJson(at) + ",\"label\":" + textJson(m_chart.labelAt(at, envelope.pointLabel), m_chart.textSize);
    } else {
        json += "null,\"label\":null";
    }
    const auto placed = [this](const ChartPoint& point) { return pointJson(m_chart.at(point)); };
    return json + ",\"within\":" + flag(envelope.pointWithin) + ",\"pilotLine\":" + list(envelope.pilotLine, placed) +
           ",\"words\":" + jsonText(envelope.words) + '}';
}

std::string PageSession::layoutChart(double width, double textSize)
{
    width = std::isfinite(width) ? std::clamp(width, 120.0, 4000.0) : kPaperWidth;
    textSize = std::isfinite(textSize) ? std::clamp(textSize, 6.0, width / 7) : kPaperTextSize;
    m_chart = layOutChart(width, textSize);
    const Envelope frame = envelopeOf(Sheet{}, false);
    std::vector<std::string> lines;  // the grid: up at every inch figure and limit, across every 100 lb
    const ChartPoint& low = Envelope::kLowest;
    const ChartPoint& high = Envelope::kHighest;
    for (const ChartTick& tick : frame.cgTicks)
        lines.push_back(lineJson(m_chart.at({tick.at, high.weight}), m_chart.at({tick.at, low.weight})));
    for (const ChartTick& tick : frame.weightTicks)
        lines.push_back(lineJson(m_chart.at({low.cg, tick.at}), m_chart.at({high.cg, tick.at})));
    const auto text = [this](const ChartText& words) { return textJson(words, m_chart.textSize); };
    const auto placed = [this](const ChartPoint& point) { return pointJson(m_chart.at(point)); };
    return "{\"size\":[" + unitsJson(m_chart.width) + ',' + unitsJson(m_chart.height) +
           "],\"textSize\":" + unitsJson(m_chart.textSize) + ",\"plot\":[" + unitsJson(m_chart.plotLeft) + ',' +
           unitsJson(m_chart.plotTop) + ',' + unitsJson(m_chart.plotWidth) + ',' + unitsJson(m_chart.plotHeight) +
           "],\"lines\":" + list(lines, [](const std::string& line) { return line; }) +
           ",\"texts\":" + list(m_chart.texts, text) +
           ",\"area\":" + list(frame.area, placed) + '}';
}

std::string PageSession::layoutChartForPaper() { return layoutChart(kPaperWidth, kPaperTextSize); }

std::string PageSession::viewJson(const View& view, std::optional<std::pair<int, int>> caret) const
{
    const Sheet& s = view.sheet;
    const LinesBeneath& lines = view.lines;
    return "{\"weight\":" + list(s.weight) + ",\"arm\":" + list(s.arm) + ",\"description\":" + list(s.description) +
           ",\"moment\":" + list(s.moment) + ",\"grossWeight\":" + jsonText(s.grossWeight) +
           ",\"grossMoment\":" + jsonText(s.grossMoment) + ",\"flyCg\":" + jsonText(s.flyCg) +
           ",\"grossWeightVerdict\":" + jsonText(verdictName(s.grossWeightVerdict)) +
           ",\"flyCgVerdict\":" + jsonText(verdictName(s.flyCgVerdict)) +
           ",\"grossWeightWords\":" + jsonText(view.grossWeightWords) + ",\"flyCgWords\":" + jsonText(view.flyCgWords) +
           ",\"scaleWords\":" + jsonText(view.scaleWords) + ",\"scaleAt\":" + scaleAt(s) +
           ",\"verdict\":" + jsonText(lines.verdict) +
           ",\"warnings\":" + list(lines.warnings, [](const Warning& warning) { return jsonText(warning.words); }) +
           ",\"checks\":" + jsonText(checkWords(lines.warnings.size())) + ",\"checksAt\":" + checksAt(lines) +
           ",\"readouts\":" + jsonText(lines.readouts) + ",\"note\":" + jsonText(lines.note) +
           ",\"announce\":{\"verdict\":" + flag(view.announce.verdict) + ",\"warnings\":" + flag(view.announce.warnings) +
           ",\"note\":" + flag(view.announce.note) + "},\"loadings\":" + list(view.loadings, buttonJson) +
           ",\"marked\":" + std::to_string(view.marked) + ",\"caretTo\":" + fieldJson(view.caretTo) +
           ",\"envelope\":" + envelopeJson(envelopeOf(s, totalsCurrent(s, view.fault))) +
           ",\"loadingsFrom\":" + jsonText(loadingsFrom()) +
           ",\"club\":\"" + (!m_club ? "none" : m_own ? "offered" : "used") + '"' +
           (view.taken ? ",\"taken\":" + flag(*view.taken) : "") +
           (caret ? ",\"caret\":[" + std::to_string(caret->first) + ',' + std::to_string(caret->second) + ']' : "") +
           '}';
}

// Where the loadings in use came from, as the load sheet names them:
// "Loadings from the club's kq71wb.dat, modified 2026-11-30 09:12, SHA-256 3f9a0c1d2e4b."
std::string PageSession::loadingsFrom() const
{
    const std::string& file = m_session.loadings().file();
    if (file.empty())
        return {};
    return (file == kTypedLoadings ? "Loadings typed on this page" : "Loadings from " + isolated(shortened(file))) +
           m_session.loadings().weighing() + '.';
}

double alongScale(double tenths)
{
    return std::clamp((tenths - kScaleMinimum) / (kScaleMaximum - kScaleMinimum), 0.0, 1.0);
}

std::string scaleLimits()
{
    return '[' + TextOfDouble(alongScale(kForwardCgLimit * 10)) + ',' + TextOfDouble(alongScale(kAftCgLimit * 10)) + ']';
}

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

}  // namespace kq71wb::web
