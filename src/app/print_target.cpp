#include "print_target.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QLocale>
#include <QPdfWriter>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <memory>

#include <utility>

namespace kq71wb {

QPageSize localPageSize()
{
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                : QPageSize::A4);
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

namespace {

// Draws the page for the printer found (or none) and sends it on its way;
// what is said of it goes to `tell`.
void drawAndDeliver(PrintTarget& target, const PagePainter& paint, QObject& context, const Tell& tell,
                    const std::optional<PrintTarget::Printer>& printer, const QString& noPrinter)
{
    // The page is drawn whole before it goes anywhere, so that neither the
    // printer nor the disk ever gets half of one.
    const std::optional<QByteArray> pdf = drawPdf(paint, printer ? printer->pageSize : localPageSize());
    if (!pdf) {
        tell(printer ? QString("Printing on %1 failed: the page could not be drawn.").arg(printer->name)
                     : noPrinter + ", and the page could not be drawn.");
        return;
    }
    std::function<QString()> deliver;
    if (printer) {
        deliver = [&target, printer = *printer, pdf = *pdf] { return submitted(target, printer, pdf); };
        tell(QString("Printing on %1\u2026").arg(printer->name));
    } else {
        const QString folder = target.documentsFolder();
        if (folder.isEmpty()) {
            tell(noPrinter + ", and there is no home folder to save the page in.");
            return;
        }
        deliver = [&target, folder, noPrinter, pdf = *pdf] { return savePage(target, folder, pdf, noPrinter); };
        tell("Saving\u2026");
    }
    auto* delivery = new Delivery(std::move(deliver), context);
    QObject::connect(delivery, &QThread::finished, &context, [delivery, tell] {
        tell(delivery->said());
        delivery->deleteLater();
    });
    delivery->start();
}

}  // namespace

QString printPage(PrintTarget& target, PagePainter paint, QObject& context, Tell tell)
{
    // A print server that accepts and never answers would hold the window up
    // for a minute: the printer is looked for beside it, and one that has not
    // answered in time is taken for none. The look-up left waiting ends on
    // its own, on a thread that nothing waits for.
    struct Lookup {
        std::atomic<bool> settled = false;
        std::optional<PrintTarget::Printer> printer;
    };
    const auto lookup = std::make_shared<Lookup>();
    const auto proceed = [&target, &context, paint = std::move(paint), tell = std::move(tell), lookup](bool answered) {
        if (lookup->settled.exchange(true))
            return;
        const int limit = static_cast<int>(std::chrono::ceil<std::chrono::seconds>(target.answerLimit()).count());
        drawAndDeliver(target, paint, context, tell, answered ? lookup->printer : std::nullopt,
                       answered ? QString("No printer is installed")
                                : QString("No printer answered within %1 second%2").arg(limit).arg(limit == 1 ? "" : "s"));
    };
    QThread* finding = QThread::create([&target, lookup] { lookup->printer = target.defaultPrinter(); });
    QObject::connect(finding, &QThread::finished, &context, [proceed] { proceed(true); });
    QObject::connect(finding, &QThread::finished, finding, &QObject::deleteLater);
    QTimer::singleShot(target.answerLimit(), &context, [proceed] { proceed(false); });
    finding->start();
    return "Printing\u2026";
}

}  // namespace kq71wb

#include "print_target.moc"
