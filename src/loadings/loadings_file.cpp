// Finding and reading the loadings file: POSIX, and so kept apart from the
// parser, which the WebAssembly build takes alone.
#include "loadings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <system_error>

#include "sha256.h"

namespace kq71wb {

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

namespace {

// A descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

std::string errorText(int error)
{
    std::string text = std::generic_category().message(error);
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

// What is at a path in place of a file, in words; empty for a regular file.
std::string notAFile(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    return S_ISDIR(mode)                     ? "it is a folder, not a file"
           : S_ISFIFO(mode)                  ? "it is a named pipe, not a file"
           : S_ISCHR(mode) || S_ISBLK(mode) ? "it is a device, not a file"
           : S_ISSOCK(mode)                  ? "it is a socket, not a file"
                                             : "it is not a file";
}

bool sameContent(const struct stat& before, const struct stat& after)
{
    return before.st_size == after.st_size && before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
           before.st_mtim.tv_nsec == after.st_mtim.tv_nsec;
}

}  // namespace

FileRead readFileAt(const std::filesystem::path& path, const std::function<void()>& meanwhile)
{
    FileRead read;
    // Opened first and judged by what was opened, so that nothing can be put
    // in its place between the two; opening never waits on a pipe or device.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (file.get() < 0) {
        const int error = errno;
        if ((error == ENOENT || error == ENOTDIR) && ::lstat(path.c_str(), &status) != 0)
            return read;  // nothing there
        read.found = true;
        read.problem = error == ENOENT                            ? "it is a link to nothing"
                       : ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) ? notAFile(status.st_mode)
                                                                  : "it cannot be read (" + errorText(error) + ")";
        return read;
    }
    read.found = true;
    if (::fstat(file.get(), &status) != 0) {
        read.problem = "it cannot be read (" + errorText(errno) + ")";
        return read;
    }
    if (read.problem = notAFile(status.st_mode); !read.problem.empty())
        return read;
    // A file rewritten while it is read is read again, so that its time and
    // its bytes are always of one content; one that never holds still is named.
    std::string buffer(1 << 16, '\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0 && ::lseek(file.get(), 0, SEEK_SET) != 0) {
            read.problem = "it cannot be read (" + errorText(errno) + ")";
            return read;
        }
        // No more than the file says it holds: procfs calls its endless
        // files (/proc/kmsg) regular and empty. What a file gives at once is
        // all of it: a read that would wait ends it.
        const auto size = static_cast<std::uint64_t>(std::max<off_t>(status.st_size, 0));
        Sha256 digest;
        read.head.clear();
        read.size = 0;
        while (read.size < size) {
            const ssize_t n = ::read(file.get(), buffer.data(), static_cast<std::size_t>(std::min<std::uint64_t>(size - read.size, buffer.size())));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN) {
                read.problem = "it cannot be read (" + errorText(errno) + ")";
                return read;
            }
            if (n <= 0)
                break;
            const std::string_view piece(buffer.data(), static_cast<std::size_t>(n));
            digest.add(piece);
            read.head += piece.substr(0, kMaxFileBytes - std::min(read.head.size(), kMaxFileBytes));
            read.size += piece.size();
        }
        if (meanwhile)
            meanwhile();
        struct stat after {};
        if (::fstat(file.get(), &after) != 0) {
            read.problem = "it cannot be read (" + errorText(errno) + ")";
            return read;
        }
        if (sameContent(status, after)) {
            read.sha256 = digest.hex();
            read.modified = after.st_mtime;
            return read;
        }
        status = after;
    }
    read.head.clear();
    read.problem = "it changed each time it was read";
    return read;
}

namespace {

// The sample's gliders are named "(example)": a file of nothing else is the
// sample the build puts beside the program.
bool onlyExamples(const Loadings& loadings)
{
    const auto named = [](const Loading& loading) { return !loading.name.empty(); };
    return std::any_of(loadings.begin(), loadings.end(), named) &&
           std::all_of(loadings.begin(), loadings.end(), [&named](const Loading& loading) {
               return !named(loading) || loading.name.find("(example)") != std::string::npos;
           });
}

}  // namespace

LoadingsRead ReadLoadingsFile(const std::vector<std::filesystem::path>& candidates)
{
    LoadingsRead found;
    for (const auto& path : candidates) {
        FileRead file = readFileAt(path);
        if (!file.found)
            continue;
        // What the user put where a loadings file goes and cannot be read is
        // named, never passed over for the sample.
        if (!file.problem.empty()) {
            LoadingsRead failed;
            failed.file = path;
            failed.problem = std::move(file.problem);
            return failed;
        }
        LoadingsRead read{parseLoadings(file.head, file.size > file.head.size()), path, std::move(file.head),
                          std::move(file.sha256), file.size, file.modified, {}};
        // A sample of examples never hides a file of the user's own further on.
        if (found.file.empty() || !onlyExamples(read.loadings))
            found = std::move(read);
        if (!onlyExamples(found.loadings))
            break;
    }
    return found;
}

Loadings ReadLoadings(const std::vector<std::filesystem::path>& candidates)
{
    return ReadLoadingsFile(candidates).loadings;
}

}  // namespace kq71wb
