#include "print_target.h"

#include <QDir>
#include <QFileInfo>
#include <QSizeF>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cups/cups.h>
#include <dlfcn.h>

namespace kq71wb {
namespace {

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

}  // namespace kq71wb
