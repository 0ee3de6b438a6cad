#include "loadings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

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

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

class FieldReader {
public:
    explicit FieldReader(std::string_view bytes) : m_bytes(bytes) {}

    // The next field, or nullopt when the file has no more.
    std::optional<std::string> next()
    {
        skipBlanks();
        if (!m_afterComma) {
            while (!atEnd() && (isLineEnd(peek()) || isBlank(peek())))
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
            while (!raw.empty() && isBlank(raw.back()))
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
        while (!atEnd() && isBlank(peek()))
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

Loadings parseLoadings(std::string_view bytes)
{
    bytes = bytes.substr(0, kMaxFileBytes);
    // "Unicode" as a common Windows editor saves it: UTF-16 after its mark.
    std::string fromUtf16;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        fromUtf16 = utf8FromUtf16(bytes.substr(2), bytes[0] == '\xFE');
        bytes = fromUtf16;
    }
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);

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

std::vector<std::filesystem::path> loadingsFileCandidates(const std::filesystem::path& programDirectory,
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

std::optional<int> openLoadingsFile(const std::filesystem::path& path)
{
    // Opened first and judged by what was opened, so that nothing can be put
    // in its place between the two; opening never waits on a pipe or device.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    return fd;
}

std::string readAvailableBytes(int fd, std::size_t limit)
{
    // Never waits: some files that pass for regular (/proc/kmsg) block when read.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    std::string bytes(limit, '\0');
    std::size_t size = 0;
    while (size < limit) {
        const ssize_t n = ::read(fd, bytes.data() + size, limit - size);
        if (n > 0)
            size += static_cast<std::size_t>(n);
        else if (n == 0 || errno != EINTR)
            break;
    }
    bytes.resize(size);
    return bytes;
}

Loadings ReadLoadings(const std::vector<std::filesystem::path>& candidates)
{
    for (const auto& path : candidates) {
        if (const std::optional<int> fd = openLoadingsFile(path)) {
            // No more than the file says it holds: procfs calls its endless
            // files (/proc/kmsg) regular and empty.
            struct stat status {};
            const off_t size = ::fstat(*fd, &status) == 0 ? status.st_size : 0;
            const std::string bytes = readAvailableBytes(*fd, std::min(static_cast<std::size_t>(std::max<off_t>(size, 0)), kMaxFileBytes));
            ::close(*fd);
            return parseLoadings(bytes);
        }
    }
    return Loadings{};
}

}  // namespace kq71wb
