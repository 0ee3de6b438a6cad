#include "page.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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

std::string scaleAt(const Sheet& sheet)
{
    if (!sheet.sliderValue)
        return "null";
    const double at = static_cast<double>(*sheet.sliderValue - kScaleMinimum) / (kScaleMaximum - kScaleMinimum);
    return TextOfDouble(std::clamp(at, 0.0, 1.0));
}

std::string buttonJson(const LoadingButtonView& button)
{
    return "{\"caption\":" + jsonText(button.caption) + ",\"canPress\":" + flag(button.canPress) +
           ",\"whyNot\":" + jsonText(button.whyNot) + ",\"from\":" + jsonText(button.from) + '}';
}

}  // namespace

PageSession::PageSession() : m_session("choose or type a loadings file under \u201cLoadings on this device\u201d") {}

std::string PageSession::edit(FieldKind field, int row, std::string text)
{
    if (field == FieldKind::Weight || field == FieldKind::Arm)
        std::replace(text.begin(), text.end(), ',', '.');
    return viewJson(m_session.edit(field, row, std::move(text)));
}

std::string PageSession::toggleSign(FieldKind field, int row)
{
    if ((field != FieldKind::Weight && field != FieldKind::Arm) || row < 0 || row >= Sheet::kRowCount)
        return view();
    const Sheet& sheet = m_session.sheet();
    std::string text = (field == FieldKind::Weight ? sheet.weight : sheet.arm)[static_cast<std::size_t>(row)];
    const std::size_t first = text.find_first_not_of(' ');
    if (first != std::string::npos && text[first] == '-')
        text.erase(first, 1);
    else
        text.insert(first == std::string::npos ? text.size() : first, "-");
    return edit(field, row, std::move(text));
}

std::string PageSession::focus(FieldKind field, int row) { return viewJson(m_session.focus(field, row)); }
std::string PageSession::pressLoading(int index) { return viewJson(m_session.pressLoading(index)); }
std::string PageSession::useLoadings(const std::string& bytes, const std::string& fileName, const std::string& modified)
{
    std::string json =
        viewJson(m_session.useLoadings(bytes, fileName.empty() ? "loadings typed on this page" : fileName, modified));
    json.insert(json.size() - 1, std::string(",\"taken\":") + flag(!m_session.loadingsRefused()));
    return json;
}

std::string PageSession::clearLoadings() { return viewJson(m_session.useLoadings(Loadings{})); }
std::string PageSession::view() const { return viewJson(m_session.view()); }
std::string PageSession::summary() const { return m_session.summary(); }
std::string PageSession::sayResult() { return viewJson(m_session.setNote(m_session.summary())); }

std::string PageSession::loadSheet(const std::string& madeAt) const
{
    const LoadSheetText text = m_session.loadSheet(madeAt, "KQ71WB " KQ71WB_VERSION);
    return "{\"above\":" + list(text.above) + ",\"below\":" + list(text.below) + '}';
}

namespace {

// A point of the chart to a hundredth, far finer than a pixel, written
// from whole hundredths: every keystroke sends a line of them.
std::string pointJson(const ChartPoint& point)
{
    std::string json = "[";
    for (const double value : {point.cg, point.weight}) {
        const long long hundredths = std::llround(std::isfinite(value) ? std::clamp(value, -1e9, 1e9) * 100 : 0.0);
        std::string digits = std::to_string(hundredths < 0 ? -hundredths : hundredths);
        digits.insert(0, digits.size() < 3 ? 3 - digits.size() : 0, '0');
        digits.insert(digits.size() - 2, ".");
        json += (json.size() > 1 ? "," : "") + std::string(hundredths < 0 ? "-" : "") + digits;
    }
    return json + ']';
}

std::string tickJson(const ChartTick& tick)
{
    return "{\"at\":" + TextOfDouble(tick.at) + ",\"label\":" + jsonText(tick.label) + ",\"limit\":" + flag(tick.limit) + '}';
}

// What of the chart changes with the sheet: "point": [cg, weight] or null,
// "within", "label", "pilotLine": [[cg, weight], ...], "words".
std::string envelopeJson(const Envelope& envelope)
{
    return "{\"point\":" + (envelope.point ? pointJson(*envelope.point) : "null") +
           ",\"within\":" + flag(envelope.pointWithin) + ",\"label\":" + jsonText(envelope.pointLabel) +
           ",\"pilotLine\":" + list(envelope.pilotLine, pointJson) + ",\"words\":" + jsonText(envelope.words) + '}';
}

}  // namespace

std::string PageSession::chartFrame() const
{
    const Envelope frame = envelopeOf(Sheet{}, false);
    return "{\"size\":[" + TextOfDouble(Envelope::kWidth) + ',' + TextOfDouble(Envelope::kHeight) + "],\"plot\":[" +
           TextOfDouble(Envelope::kPlotLeft) + ',' + TextOfDouble(Envelope::kPlotTop) + ',' +
           TextOfDouble(Envelope::kPlotWidth) + ',' + TextOfDouble(Envelope::kPlotHeight) + "],\"lowest\":" +
           pointJson(Envelope::kLowest) + ",\"highest\":" + pointJson(Envelope::kHighest) +
           ",\"cgTicks\":" + list(frame.cgTicks, tickJson) + ",\"weightTicks\":" + list(frame.weightTicks, tickJson) +
           ",\"area\":" + list(frame.area, pointJson) + '}';
}

std::string viewJson(const View& view)
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
           ",\"checks\":" + jsonText(checkWords(lines.warnings.size())) + ",\"readouts\":" + jsonText(lines.readouts) + ",\"note\":" + jsonText(lines.note) +
           ",\"announce\":{\"verdict\":" + flag(view.announce.verdict) + ",\"warnings\":" + flag(view.announce.warnings) +
           ",\"note\":" + flag(view.announce.note) + "},\"loadings\":" + list(view.loadings, buttonJson) +
           ",\"marked\":" + std::to_string(view.marked) +
           ",\"envelope\":" + envelopeJson(envelopeOf(s, totalsCurrent(s, view.fault))) + '}';
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
