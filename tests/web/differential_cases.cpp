// The cases of the differential test, with what the native build answers: one
// JSON line per call of the web binding, {"call", "args", "result"}, in the
// shapes web/binding.cpp gives them. tests/web/differential.mjs makes the same
// calls of the WebAssembly module and requires the very same answers.
//   differential_cases [sequences] [seed]
// Doubles travel as their bits ({"f64": "3ff0000000000000"}) and file bytes in
// hexadecimal ({"bytes": "..."}), so that nothing is rounded on the way. The
// program fails when the random sheets miss a fault step, a verdict or an
// exact limit, so that the test cannot quietly stop reaching them.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "conversions.h"
#include "load_sheet.h"
#include "loadings.h"
#include "readouts.h"
#include "sheet.h"
#include "text_encoding.h"

namespace kq71wb {
namespace {

// A JSON value under construction.
class Json {
public:
    static Json text(std::string_view text)
    {
        if (!isValidUtf8(text)) {
            std::fprintf(stderr, "Not UTF-8, which the page cannot show as it is: %.*s\n", int(text.size()), text.data());
            std::exit(2);
        }
        Json json("\"");
        for (const char c : text) {
            if (c == '"' || c == '\\')
                json.m_text += {'\\', c};
            else if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                json.m_text += escaped;
            } else
                json.m_text += c;
        }
        json.m_text += '"';
        return json;
    }
    static Json number(long long value) { return Json(std::to_string(value)); }
    static Json boolean(bool value) { return Json(value ? "true" : "false"); }
    static Json f64(double value)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        char hex[24];
        std::snprintf(hex, sizeof hex, "%016" PRIx64, bits);
        return object({{"f64", text(hex)}});
    }
    static Json bytes(std::string_view bytes)
    {
        std::string hex;
        for (const char c : bytes) {
            char pair[3];
            std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(c));
            hex += pair;
        }
        return object({{"bytes", text(hex)}});
    }
    static Json array(const std::vector<Json>& items)
    {
        Json json("[");
        for (std::size_t i = 0; i < items.size(); ++i)
            json.m_text += (i ? "," : "") + items[i].m_text;
        json.m_text += ']';
        return json;
    }
    static Json object(const std::vector<std::pair<std::string, Json>>& fields)
    {
        Json json("{");
        for (std::size_t i = 0; i < fields.size(); ++i)
            json.m_text += (i ? ",\"" : "\"") + fields[i].first + "\":" + fields[i].second.m_text;
        json.m_text += '}';
        return json;
    }
    template <class Range>
    static Json texts(const Range& range)
    {
        std::vector<Json> items;
        for (const auto& item : range)
            items.push_back(text(item));
        return array(items);
    }
    const std::string& str() const { return m_text; }

private:
    explicit Json(std::string text) : m_text(std::move(text)) {}
    std::string m_text;
};

void emit(const char* call, const std::vector<Json>& args, const Json& result)
{
    std::printf("{\"call\":\"%s\",\"args\":%s,\"result\":%s}\n", call, Json::array(args).str().c_str(),
                result.str().c_str());
}

template <class Verdict>
long long indexOf(const std::optional<Verdict>& verdict)
{
    return verdict ? static_cast<long long>(*verdict) : -1;
}

Json stateOf(const Sheet& sheet)
{
    return Json::object({{"weight", Json::texts(sheet.weight)},
                         {"arm", Json::texts(sheet.arm)},
                         {"moment", Json::texts(sheet.moment)},
                         {"grossWeight", Json::text(sheet.grossWeight)},
                         {"grossMoment", Json::text(sheet.grossMoment)},
                         {"flyCg", Json::text(sheet.flyCg)},
                         {"grossWeightVerdict", Json::number(indexOf(sheet.grossWeightVerdict))},
                         {"flyCgVerdict", Json::number(indexOf(sheet.flyCgVerdict))},
                         {"hasSliderValue", Json::boolean(sheet.sliderValue.has_value())},
                         {"sliderValue", Json::number(sheet.sliderValue.value_or(0))},
                         {"totalsStale", Json::boolean(sheet.totalsStale)}});
}

// What the sheets reached, which the random sheets must cover.
std::map<std::string, int> g_reached;

void calcCase(Sheet& sheet, const LoadSheetHeading& heading)
{
    const Json before = stateOf(sheet);
    const std::optional<CalcFault> fault = Calc(sheet);
    const std::optional<PilotWeights> weights = pilotWeights(sheet);
    const auto verdictWordsOf = [](const auto& verdict) { return verdict ? colourWords(*verdict) : std::string(); };
    const auto colourOf = [](const auto& verdict) { return verdict ? static_cast<long long>(colorOf(*verdict)) : -1; };
    emit("calc", {before},
         Json::object({{"sheet", stateOf(sheet)},
                       {"faultStep", Json::number(fault ? static_cast<long long>(fault->step) : -1)},
                       {"faultRow", Json::number(fault ? fault->row : -1)},
                       {"faultWords", Json::text(fault ? describeFault(*fault) : "")},
                       {"statusWords", Json::text(statusWords(sheet))},
                       {"totalsWords", Json::text(totalsWords(sheet))},
                       {"verdictWords", Json::text(verdictWords(sheet))},
                       {"misreadWords", Json::text(misreadWords(sheet))},
                       {"readoutWords", Json::text(readoutWords(sheet, !fault && !sheet.totalsStale))},
                       {"scaleWords", Json::text(scaleWords(sheet))},
                       {"grossWeightWords", Json::text(verdictWordsOf(sheet.grossWeightVerdict))},
                       {"flyCgWords", Json::text(verdictWordsOf(sheet.flyCgVerdict))},
                       {"grossWeightColor", Json::number(colourOf(sheet.grossWeightVerdict))},
                       {"flyCgColor", Json::number(colourOf(sheet.flyCgVerdict))},
                       {"pilotWeights", Json::object({{"known", Json::boolean(weights.has_value())},
                                                      {"low", Json::number(weights ? weights->low : 0)},
                                                      {"high", Json::number(weights ? weights->high : -1)}})}}));

    const LoadSheetText text = loadSheetText(sheet, fault, heading);
    emit("loadSheet",
         {stateOf(sheet), Json::number(fault ? static_cast<long long>(fault->step) : -1),
          Json::number(fault ? fault->row : -1),
          Json::object({{"printedAt", Json::text(heading.printedAt)},
                        {"program", Json::text(heading.program)},
                        {"loading", Json::text(heading.loading)}})},
         Json::object({{"above", Json::texts(text.above)}, {"below", Json::texts(text.below)}}));

    static const char* const kSteps[] = {"fault at a row's moment", "fault at a row's sum", "fault at the CG",
                                         "fault at the scale"};
    if (fault)
        ++g_reached[kSteps[static_cast<int>(fault->step)]];
    else if (sheet.totalsStale)
        ++g_reached["totals not updated"];
    else
        ++g_reached["verdict " + verdictWords(sheet)];
    const std::optional<double> grossWeight = ValueOfText(sheet.grossWeight), grossMoment = ValueOfText(sheet.grossMoment);
    if (!fault && !sheet.totalsStale && grossWeight && grossMoment) {
        if (*grossWeight == kMaxGrossWeight)
            ++g_reached["gross weight exactly 900 lb"];
        const double cg = roundTo15Digits(*grossMoment / *grossWeight);
        if (cg == kForwardCgLimit || cg == kAftCgLimit)
            ++g_reached["CG exactly on a limit"];
    }
    if (!misreadWords(sheet).empty())
        ++g_reached["a misread field"];
    if (weights)
        ++g_reached[weights->any() ? "a pilot weight range" : "no pilot weight"];
}

void textCases(const std::string& text)
{
    const std::optional<double> value = ValueOfText(text);
    emit("valueOfText", {Json::text(text)},
         Json::object({{"overflow", Json::boolean(!value)}, {"value", Json::f64(value.value_or(0.0))}}));
    emit("isMisread", {Json::text(text)}, Json::boolean(isMisread(text)));
}

void numberCases(double value)
{
    emit("textOfDouble", {Json::f64(value)}, Json::text(TextOfDouble(value)));
    emit("formatCg", {Json::f64(value)}, Json::text(FormatCg(value)));
    emit("roundTo15Digits", {Json::f64(value)}, Json::f64(roundTo15Digits(value)));
    const std::optional<std::int32_t> rounded = NearestInteger(value);
    emit("nearestInteger", {Json::f64(value)},
         Json::object({{"fits", Json::boolean(rounded.has_value())}, {"value", Json::number(rounded.value_or(0))}}));
}

void loadingsCase(const std::string& bytes)
{
    std::vector<Json> loadings;
    for (const Loading& loading : parseLoadings(bytes))
        loadings.push_back(Json::object(
            {{"name", Json::text(loading.name)}, {"weight", Json::text(loading.weight)}, {"arm", Json::text(loading.arm)}}));
    emit("parseLoadings", {Json::bytes(bytes)}, Json::array(loadings));
}

class Random {
public:
    explicit Random(std::uint64_t seed) : m_engine(seed) {}
    int below(int n) { return static_cast<int>(m_engine() % static_cast<std::uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <class T, std::size_t N>
    const T& pick(const T (&items)[N])
    {
        return items[below(static_cast<int>(N))];
    }
    std::uint64_t bits() { return m_engine(); }

    // A decimal of so many places: 612.5, -20, 14.37.
    std::string decimal(int low, int high, int places)
    {
        std::string text = std::to_string(low + below(high - low + 1));
        if (places > 0 && chance(60)) {
            text += '.';
            for (int i = 0; i < places; ++i)
                text += static_cast<char>('0' + below(10));
        }
        return text;
    }

    // What a pilot might type, paste or get wrong, in a weight or an arm.
    std::string field(bool weight)
    {
        static const char* const kTyped[] = {
            "", "", "14,5", "l70", "170 lb", "1 2", " 170", "&H10", "&o17", "12.5.3", "abc", "-", "+.5", "2E3",
            "1d2", "2E", "2E-", "1E-400", "-0", "0", "\t1\n2", "\u00bd", "\uff11\uff12", "\u221220", "14.5\u00a0",
            "12345678901234567\u00e9", "123456789012345\u00e9\u00e9", "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9",
            "-.", "5.", ".E5", "1E0000000000000000000000000005", "0.0000000000000000000001", "99999999999999999999"};
        static const char* const kLarge[] = {
            "1E400", "1E200", "-1E200", "1.7E308", "-1.7E308", "1E308", "1.7976931348623157E308", "1E154", "1E-300",
            "&H20000000000000", "&H1FFFFFFFFFFFFF", "4.9E-324", "3E8", "-3E8", "214748364.7", "214748364.75"};
        switch (below(10)) {
        case 0:
            return pick(kTyped);
        case 1:
            return chance(30) ? pick(kLarge) : decimal(-99999, 99999, 3);
        case 2: {
            char text[40];
            std::snprintf(text, sizeof text, "%.*g", 1 + below(17), (chance(50) ? 1 : -1) * std::ldexp(1.0 + below(1000) / 1000.0, below(80) - 40));
            return text;
        }
        default:
            return weight ? decimal(0, 250, 2) : decimal(-50, 120, 2);
        }
    }

private:
    std::mt19937_64 m_engine;
};

// Rows that a sheet of this kind starts from: a glider, a pilot, a few items.
void loadedSheet(Random& random, Sheet& sheet)
{
    sheet.weight[0] = random.decimal(560, 640, 1);
    sheet.arm[0] = random.decimal(10, 30, 2);
    sheet.weight[1] = random.decimal(0, 250, 1);
    sheet.arm[1] = random.chance(70) ? "-20" : random.decimal(-25, -15, 1);
    for (std::size_t row = 2; row < Sheet::kRowCount; ++row) {
        sheet.weight[row] = random.chance(30) ? random.decimal(0, 40, 2) : "";
        sheet.arm[row] = random.chance(30) ? random.decimal(-50, 120, 1) : "";
    }
}

// Two rows that put the sheet exactly on a limit in decimal, or a tenth of an
// inch (or pound) past it: the CG at 11.70 or 16.00 in, or 900 lb.
void onALimit(Random& random, Sheet& sheet)
{
    sheet = Sheet{};
    const int past = random.below(3) - 1;
    if (random.chance(40)) {
        // 900 lb in tenths of a pound, shared among three rows.
        const int first = 3000 + random.below(3000), second = random.below(9000 - first);
        const int tenths[] = {first, second, 9000 - first - second + past};
        for (std::size_t row = 0; row < 3; ++row) {
            sheet.weight[row] = std::to_string(tenths[row] / 10) + "." + std::to_string(tenths[row] % 10);
            sheet.arm[row] = random.decimal(12, 15, 1);
        }
        return;
    }
    // w1 a1 + w2 a2 = L (w1 + w2), in tenths of an inch, with w1 a multiple of
    // ten and w2 = 10, so that a2 is a whole number of tenths.
    const long limit = random.chance(50) ? 117 : 160;
    const long w1 = 10 * (50 + random.below(40)), w2 = 10;
    const long a1 = 100 + random.below(150);
    const long a2 = (limit * (w1 + w2) - w1 * a1) / w2 + past;
    const auto inches = [](long tenths) {
        return (tenths < 0 ? "-" : "") + std::to_string(std::labs(tenths) / 10) + "." + std::to_string(std::labs(tenths) % 10);
    };
    sheet.weight[0] = std::to_string(w1);
    sheet.arm[0] = inches(a1);
    sheet.weight[4] = std::to_string(w2);
    sheet.arm[4] = inches(a2);
}

// Rows that make a pass stop at one step or another.
void aFault(Random& random, Sheet& sheet)
{
    const std::size_t row = static_cast<std::size_t>(random.below(Sheet::kRowCount));
    switch (random.below(6)) {
    case 0:  // a row's moment
        sheet.weight[row] = random.chance(50) ? "1E200" : "1E400";
        sheet.arm[row] = "1E200";
        break;
    case 1:  // the weights' sum
        sheet.weight[row] = "1.7E308";
        sheet.weight[(row + 3) % Sheet::kRowCount] = "1.7E308";
        break;
    case 2:  // the moments' sum, or a moment whose caption reads back too large
        sheet.weight[row] = "1";
        sheet.arm[row] = random.chance(50) ? "1.7976931348623157E308" : "1.7E308";
        sheet.weight[(row + 1) % Sheet::kRowCount] = "1";
        sheet.arm[(row + 1) % Sheet::kRowCount] = "1.7E308";
        break;
    case 3:  // the CG, from a gross weight just above zero
        sheet = Sheet{};
        sheet.weight[0] = "1";
        sheet.arm[0] = "1E308";
        sheet.weight[2] = "-0.99999";
        break;
    case 4:  // the scale
        sheet = Sheet{};
        sheet.weight[0] = random.decimal(1, 900, 1);
        sheet.arm[0] = random.chance(50) ? "3E8" : "-214748364.85";
        break;
    default:  // a gross weight of zero or less
        sheet.weight[row] = "-" + sheet.weight[(row + 1) % Sheet::kRowCount];
        sheet.weight[(row + 2) % Sheet::kRowCount] = "-1E5";
        break;
    }
}

// Bytes of a loadings file in one of the encodings users save it in.
std::string loadingsFile(Random& random)
{
    static const char* const kNames[] = {"N271KQ", "Club, two", "Mine\"x", "Gl\xc3\xa4ser", "Caf\xe9", "\xe2\x80\x9cQuoted\xe2\x80\x9d",
                                         "Tab\there", "NUL\001ctl", "\xc2\x85next", "", "\xf0\x9f\x9b\xa9 plane"};
    static const char* const kEnds[] = {"\n", "\r\n", "\r", "\n\n", ",", " \n"};
    std::string text;
    const int records = random.below(7);
    for (int i = 0; i < records; ++i) {
        const char* name = random.pick(kNames);
        text += random.chance(80) ? "\"" + std::string(name) + "\"" : std::string(name);
        text += "," + random.decimal(550, 650, 1) + (random.chance(20) ? " " : "") + "," + random.decimal(10, 30, 2);
        text += random.pick(kEnds);
    }
    if (random.chance(3))
        text += "\"" + std::string(5000, 'n') + "\",1,2\n";
    if (random.chance(1))
        text += std::string(70000, 'x');
    if (random.chance(10))
        text.resize(text.size() / 2);

    switch (random.below(5)) {
    case 0:
        return "\xEF\xBB\xBF" + text;
    case 1:
    case 2: {  // UTF-16 of either order, with its mark; the text is read as UTF-8 first
        const bool bigEndian = random.chance(50);
        std::string utf16 = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const unsigned char c : text) {
            const char unit[2] = {bigEndian ? '\0' : static_cast<char>(c), bigEndian ? static_cast<char>(c) : '\0'};
            utf16.append(unit, 2);
        }
        if (random.chance(20))
            utf16 += bigEndian ? std::string("\xD8\x3D", 2) : std::string("\x3D\xD8", 2);  // a lone surrogate
        if (random.chance(20))
            utf16 += 'z';  // an odd last byte
        return utf16;
    }
    default:
        return text;  // UTF-8, or Windows-1252 when a byte says so
    }
}

// The worked examples above the conversions in conversions.h, and those
// above parseLoadings in loadings.h.
void headerExamples()
{
    for (const char* text : {"", "abc", "170", " 170 lb", "-20", "1 2", "12.5.3", "2E3", "1d2", "1,5", "+.5", "&H10",
                             "&o17", "&H", "1E-400", "1E400", "&H20000000000000", "14,5", "l70", "-", "170 lb", "2E"})
        textCases(text);
    for (const double value : {0.0, -0.0, -3400.0, 1020.5, 1.0 / 3, 1.5E20, 0.00001, 0.0001, 999999999999999.9, 13.456,
                               13.999, 0.5, 123.4, -20.0, 2.345, -0.001, 117.0, 160.49, 160.5, 161.5, 2147483647.5,
                               -2147483648.5, 408.1 + 410.3 + 81.6, 11.699999999999999, 11.699, 1.7976931348623157E308})
        numberCases(value);
    for (const char* file : {"\"N271KQ\",612.5,14.37", "\"Club, two\",600 ,14", "\"Mine\"x,1,2", "A,1,"})
        loadingsCase(file);
    for (int kind = 0; kind < 4; ++kind)
        for (int row = 0; row < Sheet::kRowCount; ++row)
            emit("fieldName", {Json::number(kind), Json::number(row)},
                 Json::text(fieldName(static_cast<FieldKind>(kind), row)));
}

int run(int sequences, std::uint64_t seed)
{
    Random random(seed);
    headerExamples();
    const LoadSheetHeading headings[] = {{"2026-12-07 14:03", "KQ71WB 1.00", ""},
                                         {"2026-12-07 14:03", "KQ71WB 1.00", "N271KQ"},
                                         {"", "", "Caf\xc3\xa9, \xe2\x80\x9c" "2\xe2\x80\x9d"}};
    for (int i = 0; i < sequences; ++i) {
        // Each sequence edits one sheet a few times: what a faulting pass
        // leaves behind is what the next pass starts from.
        Sheet sheet;
        const int kind = random.below(4);
        for (int step = 0, steps = 1 + random.below(5); step < steps; ++step) {
            if (kind == 0 && step == 0)
                loadedSheet(random, sheet);
            else if (kind == 1 && step == 0)
                onALimit(random, sheet);
            else if (random.chance(15))
                aFault(random, sheet);
            for (int edits = random.below(kind == 3 ? 6 : 2); edits > 0; --edits) {
                const auto row = static_cast<std::size_t>(random.below(Sheet::kRowCount));
                const bool weight = random.chance(50);
                (weight ? sheet.weight : sheet.arm)[row] = random.field(weight);
                textCases((weight ? sheet.weight : sheet.arm)[row]);
            }
            calcCase(sheet, random.pick(headings));
        }
        if (i % 2 == 0)
            loadingsCase(loadingsFile(random));
        double value;
        const std::uint64_t bits = random.bits();
        std::memcpy(&value, &bits, sizeof value);
        numberCases(random.chance(50) && std::isfinite(value) ? value : ValueOfText(random.field(true)).value_or(0.0));
        // A few units in the last place from the half-way point of two 15-digit decimals.
        char halfway[40];
        std::snprintf(halfway, sizeof halfway, "%" PRIu64 "5e%d", 100000000000000 + random.bits() % 900000000000000,
                      random.below(40) - 30);
        numberCases(std::nextafter(std::strtod(halfway, nullptr), random.chance(50) ? 0.0 : HUGE_VAL));
    }

    static const char* const kMustReach[] = {
        "fault at a row's moment", "fault at a row's sum", "fault at the CG", "fault at the scale", "totals not updated",
        "verdict Within limits.", "verdict Gross weight over 900 lb.", "verdict CG forward of the 11.70 in limit.",
        "verdict CG aft of the 16.00 in limit.", "gross weight exactly 900 lb", "CG exactly on a limit",
        "a misread field", "a pilot weight range", "no pilot weight"};
    int missed = 0;
    for (const char* wanted : kMustReach) {
        std::fprintf(stderr, "%6d passes: %s\n", g_reached[wanted], wanted);
        if (g_reached[wanted] == 0) {
            std::fprintf(stderr, "The random sheets never reached: %s\n", wanted);
            ++missed;
        }
    }
    return missed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace kq71wb

int main(int argc, char** argv)
{
    const int sequences = argc > 1 ? std::atoi(argv[1]) : 3000;
    const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 20261207;
    return kq71wb::run(sequences, seed);
}
