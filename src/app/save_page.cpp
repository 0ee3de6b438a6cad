#include "print_target.h"
#include "start.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <utility>

namespace kq71wb {

ssize_t PrintTarget::writeToDisk(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }

namespace {

// The C library's own words for an error, which strerror would translate for a
// German desktop into the middle of an English line.
QString errorText(int error)
{
    const char* words = ::strerrordesc_np(error);
    return words ? QString::fromLatin1(words).toLower() : QString("error %1").arg(error);
}

// A descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    ~Descriptor()
    {
        close();
    }
    int get() const { return m_fd; }
    int close()
    {
        const int closed = m_fd < 0 ? 0 : ::close(m_fd);
        m_fd = -1;
        return closed;
    }

private:
    int m_fd;
};

constexpr char kPrefix[] = "KQ71WB-";
constexpr char kPartPrefix[] = ".KQ71WB-";
constexpr char kPartSuffix[] = ".pdf.part";
constexpr int kMostNames = 1000;  // a folder that has all of them is full of something else

// The n-th name of a page saved at `stem`: KQ71WB-<stem>.pdf, KQ71WB-<stem>-2.pdf, ...
QByteArray nameOf(const QByteArray& stem, int n)
{
    return kPrefix + stem + (n == 1 ? QByteArray() : '-' + QByteArray::number(n)) + ".pdf";
}

// Removes the parts of ours that a save killed half-way left more than a
// minute ago; a part being written now is younger than that.
void removeLeftParts(int folder)
{
    DIR* entries = ::fdopendir(::dup(folder));
    if (!entries)
        return;
    const std::time_t aMinuteAgo = std::time(nullptr) - 60;
    while (const dirent* entry = ::readdir(entries)) {
        const QByteArray name(entry->d_name);
        struct stat status {};
        if (name.startsWith(kPartPrefix) && name.endsWith(kPartSuffix) &&
            ::fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode) &&
            status.st_uid == ::geteuid() && status.st_mtime < aMinuteAgo)
            ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(entries);
}

// Gives the part the name only while nothing has it: never replaces what is
// there, a link included. 0, or why not (EEXIST when the name is taken).
int takeName(int folder, const char* part, const char* name)
{
    if (::renameat2(folder, part, folder, name, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system that cannot rename without replacing (NFS) still
    // refuses to link over a name.
    if (::linkat(folder, part, folder, name, 0) != 0)
        return errno;
    ::unlinkat(folder, part, 0);
    return 0;
}

// Writes the whole page and puts it on the disk; 0, or why not. A write that
// comes up short is tried again for the rest, so that the system says why it
// stopped.
int writeWhole(PrintTarget& target, Descriptor& file, const QByteArray& pdf)
{
    for (qsizetype written = 0; written < pdf.size();) {
        const ssize_t n = target.writeToDisk(file.get(), pdf.constData() + written,
                                             static_cast<std::size_t>(pdf.size() - written));
        if (n > 0)
            written += n;
        else if (n == 0)
            return ENOSPC;
        else if (errno != EINTR)
            return errno;
    }
    struct stat status {};
    if (::fsync(file.get()) != 0)
        return errno;
    if (::fstat(file.get(), &status) != 0 || status.st_size != pdf.size())
        return EIO;
    return file.close() == 0 ? 0 : errno;
}

}  // namespace

QString savePage(PrintTarget& target, const QString& folder, const QByteArray& pdf, const QString& noPrinter)
{
    const auto failed = [&noPrinter](const QString& why) {
        return QString("%1, and the page could not be saved: %2.").arg(noPrinter, why);
    };
    if (!QDir().mkpath(folder))
        return failed("the documents folder could not be made");
    // Every name is taken inside the folder as opened here, whatever is done
    // to its path meanwhile.
    Descriptor directory(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() < 0)
        return failed(errorText(errno));
    removeLeftParts(directory.get());

    const QByteArray stem = QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss").toLatin1();
    QByteArray part;
    Descriptor file(-1);
    for (int n = 1; file.get() < 0; ++n) {
        if (n > kMostNames)
            return failed(errorText(EEXIST));
        part = '.' + nameOf(stem, n) + ".part";
        file = Descriptor(::openat(directory.get(), part.constData(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (file.get() < 0 && errno != EEXIST)
            return failed(errorText(errno));
    }

    int error = writeWhole(target, file, pdf);
    QByteArray name;
    for (int n = 1; error == 0 && name.isEmpty(); ++n) {
        if (n > kMostNames)
            error = EEXIST;
        else if (const int taken = takeName(directory.get(), part.constData(), nameOf(stem, n).constData()); taken == 0)
            name = nameOf(stem, n);
        else if (taken != EEXIST)
            error = taken;
    }
    if (error != 0) {
        ::unlinkat(directory.get(), part.constData(), 0);
        return failed(errorText(error));
    }
    // The new name itself on the disk too, not only the page.
    ::fsync(directory.get());

    return QString("%1: the page was saved as %2.").arg(noPrinter, shownFromHome(QDir(folder).filePath(QFile::decodeName(name))));
}

}  // namespace kq71wb
