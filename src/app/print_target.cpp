#include "print_target.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPdfWriter>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

#include <cups/cups.h>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <system_error>
#include <utility>

namespace kq71wb {

ssize_t PrintTarget::writeToDisk(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }

namespace {

// Paper as most printers of the user's country take it.
QPageSize localPageSize()
{
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                : QPageSize::A4);
}

// The CUPS library, loaded the first time a page is printed: most runs never
// print, and the library brings GnuTLS, Kerberos and more along.
struct Cups {
    decltype(&cupsGetNamedDest) getNamedDest = nullptr;
    decltype(&cupsFreeDests) freeDests = nullptr;
    decltype(&cupsGetOption) getOption = nullptr;
    decltype(&cupsCopyDestInfo) copyDestInfo = nullptr;
    decltype(&cupsFindDestDefault) findDestDefault = nullptr;
    decltype(&cupsFreeDestInfo) freeDestInfo = nullptr;
    decltype(&ippGetString) ippString = nullptr;
    decltype(&pwgMediaForPWG) mediaForPwg = nullptr;
    decltype(&pwgMediaForPPD) mediaForPpd = nullptr;
    decltype(&cupsPrintFile) printFile = nullptr;
    decltype(&cupsLastErrorString) lastErrorString = nullptr;
};

template <class Function>
bool resolve(void* library, Function& function, const char* name)
{
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

// Nothing when the library is not installed: then there is no printer either.
const Cups* cups()
{
    static const std::optional<Cups> loaded = []() -> std::optional<Cups> {
        void* library = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        Cups found;
        if (!library || !resolve(library, found.getNamedDest, "cupsGetNamedDest") ||
            !resolve(library, found.freeDests, "cupsFreeDests") || !resolve(library, found.getOption, "cupsGetOption") ||
            !resolve(library, found.copyDestInfo, "cupsCopyDestInfo") ||
            !resolve(library, found.findDestDefault, "cupsFindDestDefault") ||
            !resolve(library, found.freeDestInfo, "cupsFreeDestInfo") ||
            !resolve(library, found.ippString, "ippGetString") || !resolve(library, found.mediaForPwg, "pwgMediaForPWG") ||
            !resolve(library, found.mediaForPpd, "pwgMediaForPPD") ||
            !resolve(library, found.printFile, "cupsPrintFile") ||
            !resolve(library, found.lastErrorString, "cupsLastErrorString"))
            return std::nullopt;
        return found;
    }();
    return loaded ? &*loaded : nullptr;
}

}  // namespace

std::optional<PrintTarget::Printer> SystemPrintTarget::defaultPrinter()
{
    // Asked of CUPS itself rather than through Qt's print support, which would
    // be linked and loaded at every start for this one question.
    const Cups* library = cups();
    cups_dest_t* dest = library ? library->getNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr) : nullptr;
    if (!dest)
        return std::nullopt;
    Printer printer{QString::fromLocal8Bit(dest->name), localPageSize()};
    if (dest->instance)
        printer.name += '/' + QString::fromLocal8Bit(dest->instance);
    // The paper the user chose for this printer (lpoptions), else the
    // printer's own default, by its PWG name ("iso_a4_210x297mm") or its
    // PPD name ("A4").
    cups_dinfo_t* info = nullptr;
    const char* media = library->getOption("media", dest->num_options, dest->options);
    if (!media && (info = library->copyDestInfo(CUPS_HTTP_DEFAULT, dest)))
        if (ipp_attribute_t* byDefault = library->findDestDefault(CUPS_HTTP_DEFAULT, dest, info, "media"))
            media = library->ippString(byDefault, 0, nullptr);
    const pwg_media_t* paper = media ? library->mediaForPwg(media) : nullptr;
    if (media && !paper)
        paper = library->mediaForPpd(media);
    // Sizes in hundredths of a millimetre; Qt names the standard ones.
    if (paper && paper->width > 0 && paper->length > 0)
        printer.pageSize = QPageSize(QSizeF(paper->width, paper->length) / 100.0, QPageSize::Millimeter);
    if (info)
        library->freeDestInfo(info);
    library->freeDests(1, dest);
    return printer;
}

std::optional<QString> SystemPrintTarget::submit(const Printer& printer, const QByteArray& pdf)
{
    const Cups* library = cups();
    if (!library)
        return QString("the printing system's library, libcups.so.2, could not be loaded");
    QTemporaryFile file(QDir::tempPath() + "/KQ71WB-XXXXXX.pdf");
    if (!file.open() || file.write(pdf) != pdf.size() || !file.flush())
        return file.errorString().toLower();
    // CUPS names a printer without the instance that may follow a slash.
    const QByteArray queue = printer.name.section('/', 0, 0).toLocal8Bit();
    const QByteArray path = QFile::encodeName(file.fileName());
    if (library->printFile(queue.constData(), path.constData(), "KQ71WB", 0, nullptr) == 0)
        return QString::fromLocal8Bit(library->lastErrorString());
    return std::nullopt;
}

QString SystemPrintTarget::documentsFolder()
{
    // Without a home folder Qt falls back to the root of the file system,
    // which is nobody's to write in.
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty() || !QDir::isAbsolutePath(home) || !QFileInfo(home).isDir())
        return {};
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

namespace {

// A page drawn whole into memory; nothing when it could not be drawn.
std::optional<QByteArray> drawPdf(const PagePainter& paint, const QPageSize& pageSize)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(pageSize);
        writer.setResolution(600);
        writer.setTitle("KQ 71 Weight and Balance");
        writer.setCreator("KQ71WB " + QCoreApplication::applicationVersion());
        if (!paint(writer))
            return std::nullopt;
    }
    if (!pdf.trimmed().endsWith("%%EOF"))
        return std::nullopt;
    return pdf;
}

QString errorText(int error) { return QString::fromStdString(std::generic_category().message(error)).toLower(); }

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

QString savePage(PrintTarget& target, const QString& folder, const QByteArray& pdf)
{
    const auto failed = [](const QString& why) {
        return QString("No printer is installed, and the page could not be saved: %1.").arg(why);
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

    QString shown = QDir::toNativeSeparators(QDir(folder).filePath(QFile::decodeName(name)));
    const QString home = QDir::toNativeSeparators(QDir::homePath());
    if (shown.startsWith(home + QDir::separator()))
        shown.replace(0, home.size(), "~");
    return QString("No printer is installed: the page was saved as %1.").arg(shown);
}

namespace {

// A page on its way, on a thread of its own. A child of the object waiting
// for it and waited for when that goes: a window closed during a save still
// leaves the page saved.
class Delivery : public QThread {
    Q_OBJECT

public:
    Delivery(std::function<QString()> deliver, QObject& parent) : QThread(&parent), m_deliver(std::move(deliver)) {}
    ~Delivery() override
    {
        wait();
    }

    // What became of the page, once finished.
    const QString& said() const { return m_said; }

protected:
    void run() override { m_said = m_deliver(); }

private:
    std::function<QString()> m_deliver;
    QString m_said;
};

QString submitted(PrintTarget& target, const PrintTarget::Printer& printer, const QByteArray& pdf)
{
    if (std::optional<QString> refusal = target.submit(printer, pdf)) {
        while (refusal->endsWith('.'))
            refusal->chop(1);
        return QString("Printing on %1 failed: %2.").arg(printer.name, *refusal);
    }
    return QString("Printed on %1.").arg(printer.name);
}

}  // namespace

PrintStarted printPage(PrintTarget& target, const PagePainter& paint, QObject& context,
                       std::function<void(const QString&)> done)
{
    const auto doneAlready = [](const QString& said) { return PrintStarted{said, false}; };
    // The page is drawn whole before it goes anywhere, so that neither the
    // printer nor the disk ever gets half of one.
    const std::optional<PrintTarget::Printer> printer = target.defaultPrinter();
    const std::optional<QByteArray> pdf = drawPdf(paint, printer ? printer->pageSize : localPageSize());
    if (!pdf) {
        return doneAlready(printer ? QString("Printing on %1 failed: the page could not be drawn.").arg(printer->name)
                                   : "No printer is installed, and the page could not be drawn.");
    }
    std::function<QString()> deliver;
    QString meanwhile;
    if (printer) {
        deliver = [&target, printer = *printer, pdf = *pdf] { return submitted(target, printer, pdf); };
        meanwhile = QString("Printing on %1\u2026").arg(printer->name);
    } else {
        const QString folder = target.documentsFolder();
        if (folder.isEmpty())
            return doneAlready("No printer is installed, and there is no home folder to save the page in.");
        deliver = [&target, folder, pdf = *pdf] { return savePage(target, folder, pdf); };
        meanwhile = "Saving\u2026";
    }
    auto* delivery = new Delivery(std::move(deliver), context);
    QObject::connect(delivery, &QThread::finished, &context, [delivery, done = std::move(done)] {
        done(delivery->said());
        delivery->deleteLater();
    });
    delivery->start();
    return {meanwhile, true};
}

}  // namespace kq71wb

#include "print_target.moc"
