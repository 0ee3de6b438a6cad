#pragma once

// Where a printed page goes: the default printer, or, with none installed, a
// PDF file in the user's documents folder. The form takes it from outside, so
// that tests point it at a temporary folder and never reach a real printer.

#include <QPageSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QPaintDevice;
class QFile;

namespace kq71wb {

class PrintTarget {
public:
    struct Printer {
        QString name;        // as the user knows it
        QPageSize pageSize;  // its default paper
    };

    virtual ~PrintTarget() = default;

    // The default printer, or nothing when none is installed.
    virtual std::optional<Printer> defaultPrinter() = 0;

    // Hands a finished PDF page to the printer as one job; nothing when the
    // printing system accepted it, else the reason it did not.
    virtual std::optional<QString> submit(const Printer& printer, const QByteArray& pdf) = 0;

    // The folder a page is saved in when there is no printer; empty when the
    // user has no home folder to save it in.
    virtual QString documentsFolder() = 0;

    // The file at `path` that a saved page is first written to, unopened.
    virtual std::unique_ptr<QFile> createFile(const QString& path);
};

// The machine's own default printer, through CUPS, and the user's documents folder.
class SystemPrintTarget : public PrintTarget {
public:
    std::optional<Printer> defaultPrinter() override;
    std::optional<QString> submit(const Printer& printer, const QByteArray& pdf) override;
    QString documentsFolder() override;
};

// Paints the page on a device; false when the device cannot be painted on.
using PagePainter = std::function<bool(QPaintDevice&)>;

// Prints one page through the target and says in a sentence what became of it:
// printed, saved (and where), or why neither happened.
QString printPage(PrintTarget& target, const PagePainter& paint);

}  // namespace kq71wb
