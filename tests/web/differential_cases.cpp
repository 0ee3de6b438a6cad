// The cases of the differential test and what the native build answers: one
// JSON line a call of the page's session, {"call", "args", "result"}; "new"
// starts a new session and answers with its view.
// tests/web/differential.mjs makes the same calls of the WebAssembly module
// and requires the very same answers, byte for byte.
//   differential_cases [sequences] [seed]
// Random sequences of edits and loadings, sheets exactly on a limit, and the
// worked examples of the conversions typed into the fields. The program fails
// when the answers never reach one of the states the test is there for.
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "conversions.h"
#include "page.h"

namespace {

using enum kq71wb::FieldKind;
using kq71wb::web::jsonText;

// States the answers must reach, so that the test cannot quietly stop
// covering them; each is struck off once an answer holds it.
std::vector<std::string> g_unreached = {
    "the totals were not updated", "the centre of gravity was not updated", "the CG is off the scale", "Totals not updated",
    "\"verdict\":\"Within limits.\"", "Gross weight over 900 lb", "CG forward of the", "CG aft of the", "\"grossWeight\":\"900\"",
    "\"flyCg\":\"  11.70\",\"grossWeightVerdict\":\"within\",\"flyCgVerdict\":\"within\"",
    "\"flyCg\":\"  16.00\",\"grossWeightVerdict\":\"within\",\"flyCgVerdict\":\"within\"", "is read as", "the sheet is in pounds",
    "the sheet is in inches", "is blank: its", "is below zero", "Pilot weight for this loading", "No pilot weight", "\"marked\":3",
    "keeps the sheet within limits", "lb pilot needs at least", "No weight at the item arms typed",
    "modified 2026-11-30 01:12 \u221207:00, SHA-256 eeeeeeeeeeee", "Made 2026-12-07 21:09 \u221207:00",
    "Only the first 64 KiB of kq71wb.dat were read", "\"caret\":[1,1]", "has changed on the server", "\"club\":\"offered\"",
    "Loadings from the club's", "\"note\":\"Gross weight", "Cockpit placard for"};

std::unique_ptr<kq71wb::web::PageSession> g_session;

void call(const char* name, const std::string& args, const std::string& result)
{
    std::printf("{\"call\":\"%s\",\"args\":[%s],\"result\":%s}\n", name, args.c_str(), jsonText(result).c_str());
    std::erase_if(g_unreached, [&result](const std::string& state) { return result.find(state) != std::string::npos; });
}

// A field kind as the page's script names it, with the core's number for it
// (which the page's declaration must state), then a row.
std::string fieldArgs(kq71wb::FieldKind field, int row)
{
    const int kind = static_cast<int>(field);
    return "{\"field\":" + jsonText(kq71wb::kFieldKinds[kind]) + ",\"kind\":" + std::to_string(kind) + "}," + std::to_string(row);
}

void edit(kq71wb::FieldKind field, int row, const std::string& text)
{
    call("edit", fieldArgs(field, row) + "," + jsonText(text), g_session->edit(field, row, text));
}

// A new session, as the page opens.
void reset()
{
    g_session = std::make_unique<kq71wb::web::PageSession>();
    call("new", "", g_session->view());
    call("layoutChartForPaper", "", g_session->layoutChartForPaper());
}

// Hundredths as a pilot types them: 61250 -> "612.5".
std::string hundredths(int cents) { return kq71wb::TextOfDouble(cents / 100.0); }

// File bytes travel in hexadecimal.
std::string hexOf(const std::string& bytes)
{
    std::string hex;
    for (const unsigned char c : bytes)
        hex += "0123456789abcdef"[c >> 4], hex += "0123456789abcdef"[c & 15];
    return "{\"hex\":\"" + hex + "\"}";
}

// The club's file beside the page, as kept or just fetched, and none.
void offerClubLoadings(const std::string& bytes, bool fetched)
{
    call("offerClubLoadings", hexOf(bytes) + ",[1796119200,3600],\"\"," + std::to_string(bytes.size()) + "," + (fetched ? "true" : "false"),
         g_session->offerClubLoadings(bytes, 1796119200, 3600, "", static_cast<double>(bytes.size()), fetched));
}

// The worked examples of the conversions, and what a pilot may type or paste.
const std::vector<std::string> kTexts = {
    "", "abc", "170", " 170 lb", "-20", "1 2", "12.5.3", "2E3", "1d2", "1,5", "+.5", "&H10", "&o17", "&H", "1E-400",
    "1E400", "&H20000000000000", "0.333333333333333333", "1.5E20", "0.00001", "0.0001", "999999999999999.9",
    "13.456", "13.999", "0.5", "123.4", "2.345", "-0.001", "11.7", "16.049", "16.05", "16.15", "2147483647.5",
    "-2147483648.5", "408.1", "410.3", "81.6", "11.699", "16.004", "80 kg", "350 mm", "35 cm", ".35 m", "8 5",
    "8\n5\n", "170Parachute", "l70", "14,5", "-100", " ", "1E200", "1.5E308", "3E8", "1E-300", "\u202E006",
    "600\u200B", "\u00BD", "-0", "4.9E-324", "1.7976931348623157E308"};

// Sheets that reach the faults random texts seldom do, row by row: weight, arm.
const std::vector<std::vector<std::pair<std::string, std::string>>> kFaultingSheets = {
    {{"1E200", "1E100"}, {"-1E200", "0"}, {"1E-300", "0"}}, {{"1.5E308", "0"}, {"1.5E308", "0"}},
    {{"1", "1E308"}, {"1", "1E308"}}, {{"1", "3E8"}}, {{"1E200", "1E200"}}};

struct Random {
    std::mt19937_64 engine;
    int below(int n) { return static_cast<int>(engine() % static_cast<unsigned>(n)); }
    std::size_t index(std::size_t n) { return static_cast<std::size_t>(below(static_cast<int>(n))); }
    // Mostly a figure of up to two decimals; now and then one of the texts above.
    std::string text(bool weight)
    {
        if (below(4) == 0)
            return kTexts[index(kTexts.size())];
        return kq71wb::TextOfDouble((weight ? below(25100) : below(17100) - 5000) / 100.0);
    }
};

// Files of four loadings in each encoding a desktop editor saves, and byte soup.
std::vector<std::string> loadingsFiles(Random& random)
{
    std::vector<std::string> files = {
        "\"N271KQ\",612.5,14.37\n\"N371KQ\",598,14.52\n\"N471KQ\",621.25,14.18\n\"R&D, Club\",605.5,14.61\n",
        "\xEF\xBB\xBF\"Gr\xC3\xBCn\",600,14\r\nB,1E400,3\r\n", "\"Gr\xFCn \x80\",600,14\nC,5,6",
        std::string("\xFF\xFE\"\0G\0\xFC\0\"\0,\0" "6\0" "0\0,\0" "1\0\n\0", 22),
        std::string("\xFE\xFF\xD8\x3D\xDE\x00\xDC\x00\0,\0" "1\0,\0" "2", 17), "A,1,2\nB,3"};
    for (int n = 0; n < 200; ++n) {
        std::string soup(random.index(300), '\0');
        for (char& c : soup)
            c = random.below(3) ? "\",\n 0123456789.E-lbk"[random.below(20)] : static_cast<char>(random.below(256));
        files.push_back(soup);
    }
    return files;
}

}  // namespace

int main(int argc, char* argv[])
{
    const int sequences = argc > 1 ? std::stoi(argv[1]) : 2000;
    Random random{std::mt19937_64(argc > 2 ? std::stoull(argv[2]) : 20261207)};
    const auto loadSheet = [] { call("loadSheet", "[1796702940,-25200]", g_session->loadSheet(1796702940, -25200)); };

    for (const std::string& text : kTexts) {
        reset();
        edit(Weight, 0, "1");
        edit(Arm, 0, text);
        edit(Weight, 2, text);
        edit(Description, 2, text);
        loadSheet();
    }
    for (const auto& rows : kFaultingSheets) {
        reset();
        for (int row = 0; const auto& [weight, arm] : rows) {
            edit(Arm, row, arm);
            edit(Weight, row++, weight);
        }
    }
    const std::vector<std::string> files = loadingsFiles(random);
    for (int sequence = 0; sequence < sequences; ++sequence) {
        reset();
        constexpr int kOffsets[] = {-25200, 0, 3600, 19800};
        if (sequence % 16 == 3) {
            // The chart on a phone at any text size, or on a screen of any width.
            const double width = 200 + random.below(500), textSize = 10 + random.below(30);
            call("layoutChart", kq71wb::TextOfDouble(width) + ',' + kq71wb::TextOfDouble(textSize), g_session->layoutChart(width, textSize));
        }
        if (sequence % 16 == 2) {
            // The club's: one of the files of real loadings, then another, the same, or none; and
            // beside it one of the user's own, which the page offers to leave for the club's.
            offerClubLoadings(files[random.index(6)], false);
            offerClubLoadings(random.below(4) ? files[random.index(6)] : "", true);
        }
        // The first bytes of a file, the whole or the start of a longer one, with its time in one of several zones.
        const std::string& bytes = files[random.index(sequence % 16 == 2 ? 6 : files.size())];
        const std::size_t size = bytes.size() + (random.below(4) == 0 ? 1 + random.index(1000) : 0);
        const int utcOffset = kOffsets[random.below(4)];
        const std::string sha256 = size > bytes.size() ? std::string(64, 'e') : "";
        call("useLoadings", hexOf(bytes) + ",\"kq71wb.dat\",[1796026320.5," + std::to_string(utcOffset) + "]," + jsonText(sha256) + "," +
                                std::to_string(size),
             g_session->useLoadings(bytes, "kq71wb.dat", 1796026320.5, utcOffset, sha256, static_cast<double>(size)));
        if (sequence % 16 == 2)
            call("clearLoadings", "", g_session->clearLoadings());
        if (sequence % 4 == 0) {
            // Exactly on a limit in decimal: 900 lb in cents, or items balanced about a CG limit.
            const int cents = random.below(90001), limit = sequence % 8 ? 117 : 160, offset = 1 + random.below(80);
            const bool weight = random.below(2);
            edit(Weight, 0, weight ? hundredths(cents) : "300");
            edit(Weight, 2, weight ? hundredths(90000 - cents) : "150");
            edit(Arm, 0, std::to_string(limit - offset) + "E-1");
            edit(Arm, 2, std::to_string(limit + 2 * offset) + "E-1");
        }
        if (sequence % 4 == 1) {
            // A club loading with nose ballast, the caret in the ballast: what
            // it may weigh, the ballast a light pilot needs, and kilograms.
            edit(Weight, 0, hundredths(54000 + random.below(15000)));
            edit(Arm, 0, hundredths(1700 + random.below(1100)));
            edit(Weight, 1, std::to_string(90 + random.below(170)));
            edit(Arm, 2, std::to_string(-35 + random.below(15)));
            call("focus", fieldArgs(Weight, 2), g_session->focus(Weight, 2));
            edit(Weight, 2, std::to_string(random.below(40)));
        }
        for (int step = random.below(12); step >= 0; --step) {
            const int row = random.below(8), what = random.below(7);
            if (what == 6) {
                // The ± key, the caret anywhere in the field or past its end.
                const int start = random.below(6), end = start + random.below(3);
                call("toggleSign", fieldArgs(Arm, row) + ',' + std::to_string(start) + ',' + std::to_string(end),
                     g_session->toggleSign(Arm, row, start, end));
            } else if (what == 0) {
                call("pressLoading", std::to_string(row % 4), g_session->pressLoading(row % 4));
            } else if (what == 1) {
                edit(Description, row, random.text(true));
            } else if (const kq71wb::FieldKind field = random.below(2) ? Weight : Arm; what == 2) {
                call("focus", fieldArgs(field, row), g_session->focus(field, row));
            } else {
                edit(field, row, random.text(field == Weight));
            }
        }
        // The caret leaves the sheet, as the page tells the core when a field loses the focus.
        call("focus", fieldArgs(Moment, -1), g_session->focus(Moment, -1));
        loadSheet();
        call("sayResult", "", g_session->sayResult());
    }

    for (const std::string& state : g_unreached)
        std::fprintf(stderr, "The cases never reach: %s\n", state.c_str());
    return g_unreached.empty() ? 0 : 1;
}
