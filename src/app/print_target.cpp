#include "print_target.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPdfWriter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cups/cups.h>
#include <unistd.h>

namespace kq71wb {

std::unique_ptr<QFile> PrintTarget::createFile(const QString& path) { return std::make_unique<QFile>(path); }

std::optional<PrintTarget::Printer> SystemPrintTarget::defaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return std::nullopt;
    return Printer{info.printerName(), info.defaultPageSize()};
}

std::optional<QString> SystemPrintTarget::submit(const Printer& printer, const QByteArray& pdf)
{
    QTemporaryFile file(QDir::tempPath() + "/KQ71WB-XXXXXX.pdf");
    if (!file.open() || file.write(pdf) != pdf.size() || !file.flush())
        return file.errorString().toLower();
    // CUPS names a printer without the instance that may follow a slash.
    const QByteArray queue = printer.name.section('/', 0, 0).toLocal8Bit();
    const QByteArray path = QFile::encodeName(file.fileName());
    if (cupsPrintFile(queue.constData(), path.constData(), "KQ71WB", 0, nullptr) == 0)
        return QString::fromLocal8Bit(cupsLastErrorString());
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

// Paper as most printers of the user's country take it.
QPageSize localPageSize()
{
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                : QPageSize::A4);
}

QString savePage(PrintTarget& target, const QByteArray& pdf)
{
    const QString folder = target.documentsFolder();
    if (folder.isEmpty())
        return "No printer is installed, and there is no home folder to save the page in.";
    const auto failed = [](const QString& why) {
        return QString("No printer is installed, and the page could not be saved: %1.").arg(why);
    };
    if (!QDir().mkpath(folder))
        return failed("the documents folder could not be made");

    const QString stem = "KQ71WB-" + QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
    QString path = QDir(folder).filePath(stem + ".pdf");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(QString("%1-%2.pdf").arg(stem).arg(n));

    // Written beside its place under a hidden name and renamed into it once
    // complete and on the disk: a full disk leaves no half page behind.
    const QString partPath = QDir(folder).filePath("." + QFileInfo(path).fileName() + ".part");
    const std::unique_ptr<QFile> part = target.createFile(partPath);
    if (!part->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return failed(part->errorString().toLower());
    // A write that comes up short is tried again for the rest, so that the
    // system says why it stopped.
    qint64 written = 0;
    for (qint64 n = 0; written < pdf.size(); written += n)
        if ((n = part->write(pdf.constData() + written, pdf.size() - written)) <= 0)
            break;
    const bool complete = written == pdf.size() && ::fsync(part->handle()) == 0 && part->size() == pdf.size();
    const QString why = part->errorString().toLower();
    part->close();
    if (!complete || !part->rename(path)) {
        const QString reason = complete ? part->errorString().toLower() : why;
        part->remove();
        return failed(reason);
    }

    QString shown = QDir::toNativeSeparators(path);
    const QString home = QDir::toNativeSeparators(QDir::homePath());
    if (shown.startsWith(home + QDir::separator()))
        shown.replace(0, home.size(), "~");
    return QString("No printer is installed: the page was saved as %1.").arg(shown);
}

}  // namespace

QString printPage(PrintTarget& target, const PagePainter& paint)
{
    // The page is drawn whole before it goes anywhere, so that neither the
    // printer nor the disk ever gets half of one.
    const std::optional<PrintTarget::Printer> printer = target.defaultPrinter();
    const std::optional<QByteArray> pdf = drawPdf(paint, printer ? printer->pageSize : localPageSize());
    if (!printer)
        return pdf ? savePage(target, *pdf) : "No printer is installed, and the page could not be drawn.";
    if (!pdf)
        return QString("Printing on %1 failed: the page could not be drawn.").arg(printer->name);
    if (std::optional<QString> refusal = target.submit(*printer, *pdf)) {
        while (refusal->endsWith('.'))
            refusal->chop(1);
        return QString("Printing on %1 failed: %2.").arg(printer->name, *refusal);
    }
    return QString("Printed on %1.").arg(printer->name);
}

}  // namespace kq71wb
