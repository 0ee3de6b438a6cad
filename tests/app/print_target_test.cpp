// Where a printed page goes, through the print target itself: each way a
// print can go and what is said of it. A page reaches the printer or the disk
// whole, or not at all, and a saved page never follows a link planted ahead.
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include "headless.h"
#include "test_print_target.h"

using namespace kq71wb;

namespace {

std::optional<QString> paintSomething(QPaintDevice& device)
{
    QPainter painter(&device);
    painter.drawText(100, 100, "KQ 71");
    return std::nullopt;
}

}  // namespace

class PrintTargetTest : public QObject {
    Q_OBJECT

public:
    // As a pilot with a German desktop has it, where ./test has generated the
    // locale: what the line says stays in the program's own words.
    static void initMain()
    {
        runHeadless();
        qputenv("LC_ALL", "de_DE.UTF-8");
    }

private:
    QTemporaryDir m_home;
    TestPrintTarget m_target;

    QString documents() const { return m_home.filePath("Documents"); }
    QString victims() const { return m_home.filePath("victims"); }
    // The regular files of the documents folder, hidden ones too; links are not pages.
    QStringList savedFiles() const
    {
        return QDir(documents()).entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    }

private slots:
    void initTestCase() { qputenv("HOME", QFile::encodeName(m_home.path())); }
    void init()
    {
        m_target = TestPrintTarget();
        m_target.folder = documents();
        QDir(documents()).removeRecursively();
        QDir(victims()).removeRecursively();
        QVERIFY(QDir().mkpath(documents()) && QDir().mkpath(victims()));
    }

    // Links planted for each of the next seconds, at the page's name and at
    // its part's, are never followed nor replaced: names go up by the second,
    // so they are easy to plant ahead. A page of black boxes, with no font to
    // draw its words, was reported as printed.
    void eachWayAPageGoes_data()
    {
        QTest::addColumn<QString>("printer");  // "Club office", one that "refuses" or "hangs" (never answers), or none
        QTest::addColumn<QString>("disk");     // "full", "no home" folder, or room for the page
        QTest::addColumn<bool>("planted");
        QTest::addColumn<bool>("legible");
        QTest::addColumn<QString>("said");
        QTest::addColumn<int>("pages");
        QTest::newRow("printed") << "Club office" << "" << false << true << "Printed on Club office." << 1;
        QTest::newRow("a printer that refuses") << "refuses" << "" << false << true
            << "Printing on Club office failed: Printer \"Club office\" does not exist." << 0;
        QTest::newRow("a print server that never answers") << "hangs" << "" << false << true
            << "No printer answered within 1 second: the page was saved as ~/Documents/KQ71WB-" << 1;
        QTest::newRow("a full disk") << "" << "full" << false << true
            << "No printer is installed, and the page could not be saved: no space left on device." << 0;
        QTest::newRow("no home folder") << "" << "no home" << false << true
            << "No printer is installed, and there is no home folder to save the page in." << 0;
        QTest::newRow("links planted ahead") << "" << "" << true << true
            << "No printer is installed: the page was saved as ~/Documents/KQ71WB-" << 1;
        QTest::newRow("no font for the words") << "Club office" << "" << false << false
            << "Printing on Club office failed: the page could not be written legibly, as no installed font draws its letters." << 0;
    }
    void eachWayAPageGoes()
    {
        QFETCH(QString, printer);
        QFETCH(QString, disk);
        QFETCH(bool, planted);
        QFETCH(bool, legible);
        QFETCH(QString, said);
        QFETCH(int, pages);
        if (!printer.isEmpty())
            m_target.printerName = "Club office";
        if (printer == "refuses")
            m_target.refusal = "Printer \"Club office\" does not exist.";
        m_target.diskRoom = disk == "full" ? 100 : -1;
        // A print server that never answers ends its look-up once the page was saved without it.
        Gate answering;
        if (printer == "hangs") {
            m_target.lookupGate = answering.closed();
            m_target.delivered = [&answering] { answering.open(); };
        }
        if (disk == "no home") {  // the program's own answer when HOME is unset
            const QByteArray set = qgetenv("HOME");
            qunsetenv("HOME");
            m_target.folder = SystemPrintTarget().documentsFolder();
            qputenv("HOME", set);
        }
        QFile existing(QDir(victims()).filePath("existing"));
        QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("mine") == 4);
        existing.close();
        const QDateTime now = QDateTime::currentDateTime();
        for (int second = -1; planted && second <= 30; ++second) {
            const QString at = now.addSecs(second).toString("yyyyMMdd-HHmmss");
            QVERIFY(QFile::link(existing.fileName(), QDir(documents()).filePath("KQ71WB-" + at + ".pdf")));
            QVERIFY(QFile::link(QDir(victims()).filePath("v-" + at), QDir(documents()).filePath(".KQ71WB-" + at + ".pdf.part")));
        }

        QObject context;
        QString shown;
        const auto paint = [legible](QPaintDevice& device) {
            return legible ? paintSomething(device) : "the page could not be written legibly, as no installed font draws its letters";
        };
        shown = printPage(m_target, paint, context, [&shown](const QString& told) { shown = told; });
        QVERIFY(QTest::qWaitFor([&shown] { return !shown.endsWith(QChar(0x2026)); }, 20000));
        QVERIFY2(shown.startsWith(said), qPrintable(shown));
        QList<QByteArray> printed = m_target.jobs;
        for (const QString& name : savedFiles()) {
            QFile page(QDir(documents()).filePath(name));
            QVERIFY(name.startsWith("KQ71WB-") && name.endsWith(".pdf") && page.open(QIODevice::ReadOnly));
            printed << page.readAll();
        }
        QCOMPARE(printed.size(), pages);
        QVERIFY(std::all_of(printed.cbegin(), printed.cend(), isCompletePdf));
        QCOMPARE(QDir(victims()).entryList(QDir::Files), QStringList{"existing"});
        QVERIFY(existing.open(QIODevice::ReadOnly) && existing.readAll() == "mine");
    }

    // A part of ours that a killed save left more than a minute ago is
    // removed at the next save; any other file is not.
    void aKilledSavesPartIsRemoved()
    {
        const QDateTime now = QDateTime::currentDateTime();
        for (const auto& [name, age] : {std::pair{".KQ71WB-20240101-120000.pdf.part", 61}, {".KQ71WB-20240101-120001.pdf.part", 0},
                                        {".KQ71WB-20240101-120002.pdf.partial", 61}, {"KQ71WB-20240101-120003.pdf", 61}}) {
            QFile file(QDir(documents()).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.setFileTime(now.addSecs(-age), QFileDevice::FileModificationTime));
        }
        const QString said = savePage(m_target, documents(), "%PDF-1.4\n%%EOF\n");
        QVERIFY2(said.startsWith("No printer is installed: the page was saved as ~/Documents/KQ71WB-"), qPrintable(said));
        QCOMPARE(savedFiles().mid(0, 3), QStringList({".KQ71WB-20240101-120001.pdf.part", ".KQ71WB-20240101-120002.pdf.partial",
                                                      "KQ71WB-20240101-120003.pdf"}));
        QCOMPARE(savedFiles().size(), 4);
    }
};

QTEST_MAIN(PrintTargetTest)
#include "print_target_test.moc"
