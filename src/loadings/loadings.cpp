#include "loadings.h"

#include <optional>
#include <utility>
#include <vector>

#include "text_encoding.h"

namespace kq71wb {
namespace {

// Cuts a UTF-8 text at kMaxFieldBytes without splitting a character.
void limitField(std::string& text)
{
    if (text.size() <= kMaxFieldBytes)
        return;
    std::size_t end = kMaxFieldBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0u) == 0x80u)
        --end;
    text.resize(end);
}

bool isSpaceOrTab(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

class FieldReader {
public:
    explicit FieldReader(std::string_view bytes) : m_bytes(bytes) {}

    // The next field, or nullopt when the file has no more.
    std::optional<std::string> next()
    {
        skipBlanks();
        if (!m_afterComma) {
            while (!atEnd() && (isLineEnd(peek()) || isSpaceOrTab(peek())))
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
            takeUntil([](char c) { return c == ',' || isLineEnd(c); });
        } else {
            raw = takeUntil([](char c) { return c == ',' || isLineEnd(c); });
            while (!raw.empty() && isSpaceOrTab(raw.back()))
                raw.remove_suffix(1);
        }
        consumeDelimiter();

        // The encoding is judged on the whole field before it is cut, so that
        // the cut cannot make valid UTF-8 look like Windows-1252.
        std::string field = withoutControlAndFormatCharacters(isValidUtf8(raw) ? std::string(raw) : utf8FromWindows1252(raw));
        limitField(field);
        return field;
    }

private:
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    char peek() const { return m_bytes[m_pos]; }

    void skipBlanks()
    {
        while (!atEnd() && isSpaceOrTab(peek()))
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

// The end of the line that starts at `start`, quoted line ends inside it,
// and where the next line starts.
std::pair<std::size_t, std::size_t> lineAt(std::string_view text, std::size_t start)
{
    std::size_t end = start;
    for (bool quoted = false; end < text.size() && (quoted || !isLineEnd(text[end])); ++end)
        quoted = text[end] == '"' ? !quoted : quoted;
    return {end, end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1)};
}

// The bytes of a loadings file as UTF-8 text: only the part the parser reads,
// and "Unicode" as a common Windows editor saves it, UTF-16 after its mark,
// or, from other tools, without one. A file that goes on past that part
// ends at the last line end before the cut, and `cut` holds the line left
// out, when there is one.
std::string_view asText(std::string_view bytes, bool more, std::string& decoded, std::string_view* cut = nullptr)
{
    more = more || bytes.size() > kMaxFileBytes;
    bytes = bytes.substr(0, kMaxFileBytes);
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        decoded = utf8FromUtf16(bytes.substr(2), bytes[0] == '\xFE');
        bytes = decoded;
    } else if (const std::optional<bool> bigEndian = utf16ByteOrder(bytes)) {
        decoded = utf8FromUtf16(bytes, *bigEndian);
        bytes = decoded;
    }
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (more) {
        const std::size_t lastEnd = bytes.find_last_of("\r\n");
        const std::size_t kept = lastEnd == std::string_view::npos ? 0 : lastEnd + 1;
        if (cut)
            *cut = bytes.substr(kept);
        bytes = bytes.substr(0, kept);
    }
    return bytes;
}

}  // namespace

std::vector<int> misshapenLines(std::string_view bytes, bool more)
{
    std::string decoded;
    const std::string_view text = asText(bytes, more, decoded);
    std::vector<int> misshapen;
    int line = 1;
    for (std::size_t start = 0; start < text.size(); ++line) {
        const auto [end, next] = lineAt(text, start);
        const std::string_view content = text.substr(start, end - start);
        int fields = 1;
        bool quoted = false;
        for (const char c : content) {
            quoted = c == '"' ? !quoted : quoted;
            fields += !quoted && c == ',';
        }
        if (content.find_first_not_of(" \t") != std::string_view::npos && fields != 3)
            misshapen.push_back(line);
        start = next;
    }
    return misshapen;
}

std::size_t recordCount(std::string_view bytes, bool more)
{
    std::string decoded;
    FieldReader reader(asText(bytes, more, decoded));
    std::size_t fields = 0;
    while (reader.next())
        ++fields;
    return (fields + 2) / 3;
}

std::optional<int> cutLine(std::string_view bytes, bool more)
{
    std::string decoded;
    std::string_view cut;
    const std::string_view text = asText(bytes, more, decoded, &cut);
    if (cut.find_first_not_of(" \t") == std::string_view::npos)
        return std::nullopt;
    int line = 1;
    for (std::size_t start = 0; start < text.size(); ++line)
        start = lineAt(text, start).second;
    return line;
}

Loadings parseLoadings(std::string_view bytes, bool more)
{
    std::string decoded;
    bytes = asText(bytes, more, decoded);
    FieldReader reader(bytes);
    Loadings loadings;
    // A record the file ends before repeats the last one read, as a
    // sequential read leaves it; a record the file ends inside keeps no field
    // of the record before: "N371KQ",598 never borrows another glider's arm.
    Loading last;
    for (Loading& loading : loadings) {
        Loading record;
        bool read = false;
        for (std::string* field : {&record.name, &record.weight, &record.arm}) {
            if (std::optional<std::string> text = reader.next()) {
                *field = std::move(*text);
                read = true;
            }
        }
        if (read)
            last = std::move(record);
        loading = last;
    }
    return loadings;
}

}  // namespace kq71wb
