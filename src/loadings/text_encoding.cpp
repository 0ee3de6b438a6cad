#include "text_encoding.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace kq71wb {
namespace {

// Windows-1252's 0x80 to 0x9F; the five bytes it leaves undefined keep their
// C1 code points, as Windows itself maps them.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

char32_t nextCharacter(std::string_view text, std::size_t& at)
{
    const auto lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80)
        return lead;
    const std::size_t more = lead >= 0xC2 && lead <= 0xDF ? 1 : lead >= 0xE0 && lead <= 0xEF ? 2
                           : lead >= 0xF0 && lead <= 0xF4 ? 3 : 0;
    if (more == 0 || text.size() - at < more)
        return U'\uFFFD';
    char32_t codePoint = lead & (0x3Fu >> more);
    for (std::size_t k = 0; k < more; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0u) != 0x80u)
            return U'\uFFFD';
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    // The least code point that needs so many bytes: a smaller one is an overlong form.
    static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (codePoint < kLeast[more] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return U'\uFFFD';
    at += more;
    return codePoint;
}

bool isValidUtf8(std::string_view text)
{
    // A malformed byte reads as U+FFFD a byte long; the character itself takes three.
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        if (nextCharacter(text, at) == U'\uFFFD' && at - start == 1)
            return false;
    }
    return true;
}

namespace {

void appendUtf8(std::string& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

}  // namespace

std::string utf8FromWindows1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte <= 0x9F)
            appendUtf8(out, kWindows1252High[byte - 0x80]);
        else
            appendUtf8(out, byte);
    }
    return out;
}

std::string utf8FromUtf16(std::string_view bytes, bool bigEndian)
{
    const auto unitAt = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    constexpr char32_t kReplacement = 0xFFFD;
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        appendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
    }
    return out;
}

namespace {

// Unicode's format characters (category Cf) as of Unicode 15, first to last.
constexpr std::pair<char32_t, char32_t> kFormatCharacters[] = {
    {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},
    {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},   {0x200B, 0x200F},   {0x202A, 0x202E},
    {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD},
    {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
    {0xE0020, 0xE007F},
};

}  // namespace

bool isControlOrFormatCharacter(char32_t codePoint)
{
    if (codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F))
        return true;
    const auto* range = std::lower_bound(std::begin(kFormatCharacters), std::end(kFormatCharacters), codePoint,
                                         [](const auto& r, char32_t c) { return r.second < c; });
    return range != std::end(kFormatCharacters) && range->first <= codePoint;
}

std::optional<bool> utf16ByteOrder(std::string_view bytes)
{
    // The first thousand pairs tell; a file of nothing else but one zero is no text.
    std::size_t pairs = std::min<std::size_t>(bytes.size() / 2, 1000), zeroFirst = 0, zeroSecond = 0;
    for (std::size_t i = 0; i < pairs; ++i) {
        zeroFirst += bytes[2 * i] == '\0';
        zeroSecond += bytes[2 * i + 1] == '\0';
    }
    // Most of one half zero, and hardly any of the other: CJK text has few
    // zero bytes, but never many in the wrong half.
    const auto mostly = [pairs](std::size_t zeros) { return pairs >= 2 && zeros * 2 >= pairs; };
    const auto hardly = [pairs](std::size_t zeros) { return zeros * 20 <= pairs; };
    if (mostly(zeroSecond) && hardly(zeroFirst))
        return false;
    if (mostly(zeroFirst) && hardly(zeroSecond))
        return true;
    return std::nullopt;
}

std::string withoutControlAndFormatCharacters(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();)
        if (const char32_t codePoint = nextCharacter(utf8, at); codePoint == '\t' || !isControlOrFormatCharacter(codePoint))
            appendUtf8(out, codePoint);
    return out;
}

}  // namespace kq71wb
