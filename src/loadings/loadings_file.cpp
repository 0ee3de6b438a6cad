// Finding and reading the loadings file: POSIX, and so kept apart from the
// parser, which the WebAssembly build takes alone.
#include "loadings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

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
        if (const std::optional<int> fd = openLoadingsFile(path)) {
            // No more than the file says it holds: procfs calls its endless
            // files (/proc/kmsg) regular and empty.
            struct stat status {};
            const off_t size = ::fstat(*fd, &status) == 0 ? status.st_size : 0;
            std::string bytes =
                readAvailableBytes(*fd, std::min(static_cast<std::size_t>(std::max<off_t>(size, 0)), kMaxFileBytes));
            ::close(*fd);
            const bool first = found.file.empty();
            LoadingsRead read{parseLoadings(bytes), path, std::move(bytes), status.st_mtime};
            // A sample of examples never hides a file of the user's own further on.
            if (first || !onlyExamples(read.loadings))
                found = std::move(read);
            if (!onlyExamples(found.loadings))
                break;
        }
    }
    return found;
}

Loadings ReadLoadings(const std::vector<std::filesystem::path>& candidates)
{
    return ReadLoadingsFile(candidates).loadings;
}

}  // namespace kq71wb
