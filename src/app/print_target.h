#pragma once

// Where a printed page goes: the default printer, or, with none installed, a
// PDF file in the user's documents folder. The form takes it from outside, so
// that tests point it at a temporary folder and never reach a real printer.

#include <QPageSize>
#include <QString>

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>

class QObject;
class QPaintDevice;

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
    // printing system accepted it, else the reason it did not. Called on a
    // thread of its own.
    virtual std::optional<QString> submit(const Printer& printer, const QByteArray& pdf) = 0;

    // The folder a page is saved in when there is no printer; empty when the
    // user has no home folder to save it in.
    virtual QString documentsFolder() = 0;

    // Writes up to `size` bytes of a page being saved, as write(2) does, errno
    // and all; where the tests fill the disk. Called on a thread of its own.
    virtual ssize_t writeToDisk(int fd, const char* data, std::size_t size);

    // How long the default printer may take to be found before the page is
    // saved instead.
    virtual std::chrono::milliseconds answerLimit() const { return std::chrono::seconds(10); }
};

// The machine's own default printer, through CUPS, and the user's documents folder.
class SystemPrintTarget : public PrintTarget {
public:
    std::optional<Printer> defaultPrinter() override;
    std::optional<QString> submit(const Printer& printer, const QByteArray& pdf) override;
    QString documentsFolder() override;
};

// Paper as most printers of the user's country take it: Letter in the US, A4 elsewhere.
QPageSize localPageSize();

// Paints the page on a device: nothing when it did, else why the page could
// not be made, in words ("the page could not be drawn").
using PagePainter = std::function<std::optional<QString>(QPaintDevice&)>;

// What is said of a page on its way, and of what became of it.
using Tell = std::function<void(const QString&)>;

// Prints one page through the target, and returns what to say now,
// "Printing…". Beside the window, so that a slow printing system or disk
// never holds it up, the default printer is looked for (one that does not
// answer within the target's limit is taken for none); then the page is
// drawn, and handed to the printer or the disk, `tell` getting "Printing on
// …"/"Saving…" and then what became of it, on the thread of `context`.
// A page still on its way when `context` is destroyed is finished first, not
// dropped, even one whose printer is still being looked for: the printer is
// waited for no longer than its limit, and what became of the page goes to
// the program's log (standard error), as there is no window left to say it.
// No thread is left behind that asks the target anything: `context` must not
// outlive the target.
QString printPage(PrintTarget& target, PagePainter paint, QObject& context, Tell tell);

// Saves a drawn page in `folder` under the first free name of
// KQ71WB-YYYYMMDD-HHMMSS.pdf, -2.pdf, -3.pdf, ..., and says in a sentence
// where, or why it could not. Whatever already has a name (a link planted
// ahead, another copy's page) is never followed nor replaced; the page is
// written under a hidden part name first and takes its own name only whole
// and on the disk. Parts of ours older than a minute, left by a save that was
// killed, are removed. `noPrinter` begins what is said: why the page was
// saved rather than printed.
QString savePage(PrintTarget& target, const QString& folder, const QByteArray& pdf,
                 const QString& noPrinter = "No printer is installed");

}  // namespace kq71wb
