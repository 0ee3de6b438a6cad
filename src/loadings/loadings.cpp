#include "loadings.h"

#include <fstream>
#include <optional>
#include <system_error>

namespace kq71wb {
namespace {

// Windows-1252's 0x80 to 0x9F; the five bytes it leaves undefined keep their
// C1 code points, as Windows itself maps them.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length;
        char32_t codePoint;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            codePoint = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            codePoint = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            codePoint = lead & 0x07u;
        } else {
            return false;
        }
        if (text.size() - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0u) != 0x80u)
                return false;
            codePoint = (codePoint << 6) | (next & 0x3Fu);
        }
        const bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
        if (overlong || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

void AppendUtf8(std::string& out, char16_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string Utf8FromWindows1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte <= 0x9F)
            AppendUtf8(out, kWindows1252High[byte - 0x80]);
        else
            AppendUtf8(out, byte);
    }
    return out;
}

// Cuts a UTF-8 text at kMaxFieldBytes without splitting a character.
void LimitField(std::string& text)
{
    if (text.size() <= kMaxFieldBytes)
        return;
    std::size_t end = kMaxFieldBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0u) == 0x80u)
        --end;
    text.resize(end);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

class FieldReader {
public:
    explicit FieldReader(std::string_view bytes) : m_bytes(bytes) {}

    // The next field, or nullopt when the file has no more.
    std::optional<std::string> next()
    {
        skipBlanks();
        if (!m_afterComma) {
            while (!atEnd() && (IsLineEnd(peek()) || IsBlank(peek())))
                ++m_pos;
        }
        if (atEnd() && !m_afterComma)
            return std::nullopt;

        std::string_view raw;
        if (!atEnd() && peek() == '"') {
            ++m_pos;
            raw = takeUntil([](char c) { return c == '"'; });
            if (!atEnd())
                ++m_pos;  // the closing quote
            takeUntil([](char c) { return c == ',' || IsLineEnd(c); });
        } else {
            raw = takeUntil([](char c) { return c == ',' || IsLineEnd(c); });
            while (!raw.empty() && IsBlank(raw.back()))
                raw.remove_suffix(1);
        }
        consumeDelimiter();

        // The encoding is judged on the whole field before it is cut, so that
        // the cut cannot make valid UTF-8 look like Windows-1252.
        std::string field = IsValidUtf8(raw) ? std::string(raw) : Utf8FromWindows1252(raw);
        LimitField(field);
        return field;
    }

private:
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    char peek() const { return m_bytes[m_pos]; }

    void skipBlanks()
    {
        while (!atEnd() && IsBlank(peek()))
            ++m_pos;
    }

    // Moves past the text up to where `stops` holds, and returns that text.
    template <class Stop>
    std::string_view takeUntil(Stop stops)
    {
        const std::size_t start = m_pos;
        while (!atEnd() && !stops(peek()))
            ++m_pos;
        return m_bytes.substr(start, m_pos - start);
    }

    void consumeDelimiter()
    {
        m_afterComma = false;
        if (atEnd())
            return;
        if (peek() == ',') {
            ++m_pos;
            m_afterComma = true;
        } else if (peek() == '\r') {
            ++m_pos;
            if (!atEnd() && peek() == '\n')
                ++m_pos;
        } else if (peek() == '\n') {
            ++m_pos;
        }
    }

    std::string_view m_bytes;
    std::size_t m_pos = 0;
    bool m_afterComma = false;
};

}  // namespace

Loadings ParseLoadings(std::string_view bytes)
{
    bytes = bytes.substr(0, kMaxFileBytes);
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        bytes.remove_prefix(kByteOrderMark.size());

    FieldReader reader(bytes);
    Loadings loadings;
    // Like the three variables of a sequential read, these are never cleared:
    // a read that finds nothing leaves the previous record's text in place.
    Loading current;
    for (Loading& loading : loadings) {
        for (std::string* field : {&current.name, &current.weight, &current.arm}) {
            if (std::optional<std::string> text = reader.next())
                *field = std::move(*text);
        }
        loading = current;
    }
    return loadings;
}

std::vector<std::filesystem::path> LoadingsFileCandidates(const std::filesystem::path& programDirectory,
                                                          std::string_view xdgConfigHome,
                                                          std::string_view home)
{
    static constexpr std::string_view kNames[] = {"kq71wb.dat", "KQ71WB.dat", "KQ71WB.DAT"};
    std::vector<std::filesystem::path> directories = {programDirectory};
    // A relative XDG_CONFIG_HOME is to be ignored, as the base-directory rules say.
    if (!xdgConfigHome.empty() && std::filesystem::path(xdgConfigHome).is_absolute())
        directories.push_back(std::filesystem::path(xdgConfigHome) / "kq71wb");
    else if (!home.empty())
        directories.push_back(std::filesystem::path(home) / ".config" / "kq71wb");

    std::vector<std::filesystem::path> candidates;
    for (const auto& directory : directories)
        for (const std::string_view name : kNames)
            candidates.push_back(directory / name);
    return candidates;
}

Loadings ReadLoadings(const std::vector<std::filesystem::path>& candidates)
{
    for (const auto& path : candidates) {
        std::error_code error;
        // A directory, a device or a pipe where the file should be counts as no file.
        if (!std::filesystem::is_regular_file(path, error))
            continue;
        std::ifstream file(path, std::ios::binary);
        if (!file)
            continue;
        std::string bytes(kMaxFileBytes, '\0');
        file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (file.bad())
            continue;
        bytes.resize(static_cast<std::size_t>(file.gcount()));
        return ParseLoadings(bytes);
    }
    return Loadings{};
}

}  // namespace kq71wb
