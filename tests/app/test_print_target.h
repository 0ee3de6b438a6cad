#pragma once

// A print target for the tests: a printer that only collects its jobs and
// may be slow to be found, or a folder of the test's own on a disk that
// fills up. No test reaches a real printer or the user's folders.

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <functional>
#include <future>

#include "print_target.h"

// Holds up the printer's look-up until opened, and opens at the latest
// as it goes, so that a failing test never leaves a look-up waiting for ever.
class Gate {
public:
    std::shared_future<void> closed() { return m_opened.get_future().share(); }
    void open()
    {
        if (!m_open.exchange(true))
            m_opened.set_value();
    }
    ~Gate() { open(); }

private:
    std::promise<void> m_opened;
    std::atomic<bool> m_open = false;
};

class TestPrintTarget : public kq71wb::PrintTarget {
public:
    std::optional<QString> printerName;  // a default printer, when set
    std::optional<QString> refusal;      // why that printer refuses a job
    QList<QByteArray> jobs;              // what it accepted
    QString folder;                      // the documents folder, empty for no home
    qint64 diskRoom = -1;                // bytes a saved page may take, -1 for any
    std::shared_future<void> lookupGate;  // when set, the printer is not found until it opens
    std::function<void()> delivered;     // when set, called once a page is printed or written

    std::optional<Printer> defaultPrinter() override
    {
        if (lookupGate.valid())
            lookupGate.wait();
        return printerName ? std::optional(Printer{*printerName, QPageSize(QPageSize::Letter)}) : std::nullopt;
    }
    std::optional<QString> submit(const Printer&, const QByteArray& pdf) override
    {
        if (!refusal)
            jobs << pdf;
        if (delivered)
            delivered();
        return refusal;
    }
    QString documentsFolder() override { return folder; }
    std::chrono::milliseconds answerLimit() const override
    {
        return lookupGate.valid() ? std::chrono::milliseconds(300) : PrintTarget::answerLimit();
    }
    // As the system does on a full disk, a write takes what fits and the next one fails.
    ssize_t writeToDisk(int fd, const char* data, std::size_t size) override
    {
        if (diskRoom < 0) {
            const ssize_t written = PrintTarget::writeToDisk(fd, data, size);
            if (delivered)
                delivered();
            return written;
        }
        if (diskRoom == 0)
            return errno = ENOSPC, -1;
        const ssize_t fits = PrintTarget::writeToDisk(fd, data, std::min(size, static_cast<std::size_t>(diskRoom)));
        diskRoom -= std::max<ssize_t>(fits, 0);
        return fits;
    }
};

inline bool isCompletePdf(const QByteArray& bytes)
{
    return bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF");
}
