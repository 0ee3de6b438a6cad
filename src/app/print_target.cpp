#include "print_target.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QLocale>
#include <QPdfWriter>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <utility>

namespace kq71wb {

QPageSize localPageSize()
{
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                : QPageSize::A4);
}

namespace {

// A page drawn whole into memory; nothing when it could not be drawn, and why.
std::optional<QByteArray> drawPdf(const PagePainter& paint, const QPageSize& pageSize, QString& why)
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
        if (std::optional<QString> fault = paint(writer)) {
            why = *fault;
            return std::nullopt;
        }
    }
    if (!pdf.trimmed().endsWith("%%EOF")) {
        why = "the page could not be drawn";
        return std::nullopt;
    }
    return pdf;
}

// Work done beside the window, on a thread of its own, and waited for when
// the object that owns it goes: no thread outlives what it works on.
class Worker : public QThread {
    Q_OBJECT

public:
    Worker(std::function<void()> work, QObject& owner) : QThread(&owner), m_work(std::move(work)) {}
    ~Worker() override { wait(); }

protected:
    void run() override { m_work(); }

private:
    std::function<void()> m_work;
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

// One page on its way: the printer looked for, then the page drawn and
// handed to the printer or the disk. A child of the window's object, so that
// a window closed meanwhile finishes the page as it goes; it goes itself once
// the page is delivered and the look-up has ended.
class PrintJob : public QObject {
    Q_OBJECT

public:
    PrintJob(PrintTarget& target, PagePainter paint, Tell tell, QObject& context)
        : QObject(&context), m_target(target), m_paint(std::move(paint)), m_tell(std::move(tell)),
          m_answerBy(target.answerLimit()),
          m_lookup(new Worker([this] { m_printer = m_target.defaultPrinter(); }, *this))
    {
        // A print server that accepts and never answers would hold the
        // window up for a minute: one that has not answered in time is taken
        // for none.
        connect(m_lookup, &QThread::finished, this, [this] { proceed(true); });
        QTimer::singleShot(target.answerLimit(), this, [this] { proceed(false); });
        m_lookup->start();
    }

    ~PrintJob() override
    {
        // The window has gone: what is left of the page is done now, and
        // said in the log.
        m_windowGone = true;
        if (!m_proceeded)
            proceed(m_lookup->wait(m_answerBy));
        if (m_delivery && !m_delivered) {
            m_delivery->wait();
            delivered();
        }
        // The look-up asks the target, which may not outlive the window.
        m_lookup->wait();
    }

private:
    void proceed(bool answered)
    {
        if (!std::exchange(m_proceeded, true)) {
            const int limit = static_cast<int>(std::chrono::ceil<std::chrono::seconds>(m_target.answerLimit()).count());
            draw(answered ? m_printer : std::nullopt,
                 answered ? QString("No printer is installed")
                          : QString("No printer answered within %1 second%2").arg(limit).arg(limit == 1 ? "" : "s"));
        }
        goOnceDone();
    }

    // Draws the page for the printer found (or none) and sends it on its way.
    void draw(const std::optional<PrintTarget::Printer>& printer, const QString& noPrinter)
    {
        // The page is drawn whole before it goes anywhere, so that neither the
        // printer nor the disk ever gets half of one.
        QString why;
        const std::optional<QByteArray> pdf = drawPdf(m_paint, printer ? printer->pageSize : localPageSize(), why);
        if (!pdf) {
            say(printer ? QString("Printing on %1 failed: %2.").arg(printer->name, why) : noPrinter + ", and " + why + '.');
            return;
        }
        std::function<QString()> deliver;
        if (printer) {
            deliver = [&target = m_target, printer = *printer, pdf = *pdf] { return submitted(target, printer, pdf); };
            progress(QString("Printing on %1\u2026").arg(printer->name));
        } else {
            const QString folder = m_target.documentsFolder();
            if (folder.isEmpty()) {
                say(noPrinter + ", and there is no home folder to save the page in.");
                return;
            }
            deliver = [&target = m_target, folder, noPrinter, pdf = *pdf] { return savePage(target, folder, pdf, noPrinter); };
            progress("Saving\u2026");
        }
        m_delivery = new Worker([this, deliver = std::move(deliver)] { m_said = deliver(); }, *this);
        connect(m_delivery, &QThread::finished, this, [this] {
            delivered();
            goOnceDone();
        });
        m_delivery->start();
    }

    void delivered()
    {
        m_delivered = true;
        say(m_said);
    }

    // How far the page has gone, while there is a window to say it.
    void progress(const QString& said)
    {
        if (!m_windowGone)
            m_tell(said);
    }

    // What became of the page: beneath the window, or, once it has gone, in the log.
    void say(const QString& said)
    {
        if (m_windowGone)
            qInfo().noquote() << QCoreApplication::applicationName() + ": " + said;
        else
            m_tell(said);
    }

    void goOnceDone()
    {
        if (m_proceeded && (!m_delivery || m_delivered) && m_lookup->isFinished())
            deleteLater();
    }

    PrintTarget& m_target;
    PagePainter m_paint;
    Tell m_tell;
    QDeadlineTimer m_answerBy;
    std::optional<PrintTarget::Printer> m_printer;  // written by the look-up, read once it has finished
    Worker* m_lookup;
    Worker* m_delivery = nullptr;
    QString m_said;  // written by the delivery, read once it has finished
    bool m_proceeded = false;
    bool m_delivered = false;
    bool m_windowGone = false;
};

}  // namespace

QString printPage(PrintTarget& target, PagePainter paint, QObject& context, Tell tell)
{
    new PrintJob(target, std::move(paint), std::move(tell), context);
    return "Printing\u2026";
}

}  // namespace kq71wb

#include "print_target.moc"
