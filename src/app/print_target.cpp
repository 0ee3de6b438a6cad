#include "print_target.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QLocale>
#include <QPdfWriter>
#include <QThread>

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
