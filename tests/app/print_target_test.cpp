// Where a printed page goes, through the print target itself: each way a
// print can go and what is said of it. A page reaches the printer or the disk
// whole, or not at all, and a saved page never follows a link planted ahead.
#include <QDateTime>
#include <QDir>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

#include "headless.h"
#include "test_print_target.h"

using namespace kq71wb;

namespace {

std::optional<QString> paintSomething(QPaintDevice& device)
{
    QPainter painter;
    if (!painter.begin(&device))
        return "the page could not be drawn";
    painter.drawText(100, 100, "KQ 71");
    return painter.end() ? std::nullopt : std::optional<QString>("the page could not be drawn");
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

    // Prints one page and waits for what became of it, past "Printing…" and "Saving…".
    QString print(QObject& context, const PagePainter& paint = paintSomething)
    {
        QString said = printPage(m_target, paint, context, [&said](const QString& told) { said = told; });
        if (!QTest::qWaitFor([&said] { return !said.endsWith(QChar(0x2026)); }, 20000))
            return "still " + said;
        return said;
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

    // A link planted for each of the next seconds, at the page's name or its
    // part's, is never followed nor replaced: names go up by the second, so
    // they are easy to plant ahead.
    void eachWayAPageGoes_data()
    {
        QTest::addColumn<bool>("hangs");
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<qint64>("diskRoom");
        QTest::addColumn<bool>("home");
        QTest::addColumn<QString>("planted");     // a link's name in the documents folder, %1 the second
        QTest::addColumn<QString>("pointingAt");  // in victims/
        QTest::addColumn<QString>("said");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("unmade");  // why the page could not be made, or empty
        const QString saved = "No printer is installed: the page was saved as ~/Documents/KQ71WB-";
        QTest::newRow("printed") << false << "Club office" << "" << -1LL << true << "" << "" << "Printed on Club office." << 1 << "";
        QTest::newRow("a printer that refuses")
            << false << "Club office" << "Printer \"Club office\" does not exist." << -1LL << true << "" << ""
            << "Printing on Club office failed: Printer \"Club office\" does not exist." << 0 << "";
        QTest::newRow("no printer: saved") << false << "" << "" << -1LL << true << "" << "" << saved << 1 << "";
        QTest::newRow("a print server that never answers") << true << "Club office" << "" << -1LL << true << "" << ""
            << "No printer answered within 1 second: the page was saved as ~/Documents/KQ71WB-" << 1 << "";
        QTest::newRow("a full disk") << false << "" << "" << 100LL << true << "" << ""
            << "No printer is installed, and the page could not be saved: no space left on device." << 0 << "";
        QTest::newRow("no home folder") << false << "" << "" << -1LL << false << "" << ""
            << "No printer is installed, and there is no home folder to save the page in." << 0 << "";
        QTest::newRow("a dangling link at the page's name") << false << "" << "" << -1LL << true << "KQ71WB-%1.pdf" << "v-%1" << saved << 1 << "";
        QTest::newRow("a link to a file at the page's name") << false << "" << "" << -1LL << true << "KQ71WB-%1.pdf" << "existing" << saved << 1 << "";
        QTest::newRow("a link at the part's name") << false << "" << "" << -1LL << true << ".KQ71WB-%1.pdf.part" << "v-%1" << saved << 1 << "";
        // A page of black boxes, with no font to draw its words, was reported as saved.
        const QString illegible = "the page could not be written legibly, as no installed font draws its letters";
        QTest::newRow("no font for the words: printed") << false << "Club office" << "" << -1LL << true << "" << ""
            << "Printing on Club office failed: " + illegible + '.' << 0 << illegible;
        QTest::newRow("no font for the words: saved") << false << "" << "" << -1LL << true << "" << ""
            << "No printer is installed, and " + illegible + '.' << 0 << illegible;
    }
    void eachWayAPageGoes()
    {
        QFETCH(bool, hangs);
        QFETCH(QString, printer);
        QFETCH(QString, refusal);
        QFETCH(qint64, diskRoom);
        QFETCH(bool, home);
        QFETCH(QString, planted);
        QFETCH(QString, pointingAt);
        QFETCH(QString, said);
        QFETCH(int, pages);
        QFETCH(QString, unmade);
        m_target.printerName = printer.isEmpty() ? std::nullopt : std::optional(printer);
        m_target.refusal = refusal.isEmpty() ? std::nullopt : std::optional(refusal);
        m_target.diskRoom = diskRoom;
        // A print server that never answers ends its look-up once the page was saved without it.
        Gate answering;
        if (hangs) {
            m_target.lookupGate = answering.closed();
            m_target.delivered = [&answering] { answering.open(); };
        }
        if (!home) {  // the program's own answer when HOME is unset
            const QByteArray set = qgetenv("HOME");
            qunsetenv("HOME");
            m_target.folder = SystemPrintTarget().documentsFolder();
            qputenv("HOME", set);
        }
        QFile existing(QDir(victims()).filePath("existing"));
        QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("mine") == 4);
        existing.close();
        const QDateTime now = QDateTime::currentDateTime();
        for (int second = -1; !planted.isEmpty() && second <= 30; ++second) {
            const QString at = now.addSecs(second).toString("yyyyMMdd-HHmmss");
            const QString target = pointingAt.contains("%1") ? pointingAt.arg(at) : pointingAt;
            QVERIFY(QFile::link(QDir(victims()).filePath(target), QDir(documents()).filePath(planted.arg(at))));
        }

        QObject context;
        const QString shown = print(context, [&unmade](QPaintDevice& device) {
            return unmade.isEmpty() ? paintSomething(device) : std::optional(unmade);
        });
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

    // A page still on its way when the window that asked for it goes is
    // finished all the same, and what became of it said in the log: one held
    // up on the disk, and one whose printer was still being looked for (it was
    // lost, and its look-up thread left asking a print target that was gone).
    // A part of ours that a killed save left more than a minute ago is removed
    // at the next save; any other file is not.
    void aPageOutlivesItsWindow_data()
    {
        QTest::addColumn<bool>("lookingForThePrinter");
        QTest::newRow("while it is saved") << false;
        QTest::newRow("while its printer is looked for") << true;
    }
    void aPageOutlivesItsWindow()
    {
        QFETCH(bool, lookingForThePrinter);
        const QDateTime now = QDateTime::currentDateTime();
        for (const auto& [name, age] : {std::pair{".KQ71WB-20240101-120000.pdf.part", 61}, {".KQ71WB-20240101-120001.pdf.part", 0},
                                        {".KQ71WB-20240101-120002.pdf.partial", 61}, {"KQ71WB-20240101-120003.pdf", 61}}) {
            QFile file(QDir(documents()).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.setFileTime(now.addSecs(-age), QFileDevice::FileModificationTime));
        }
        // The print server answers only once the page was saved without it.
        Gate closing, answering;
        m_target.printerName = "Club office";
        m_target.lookupGate = answering.closed();
        m_target.delivered = [&answering] { answering.open(); };
        if (!lookingForThePrinter)
            m_target.gate = closing.closed();
        auto window = std::make_unique<QObject>();
        connect(new QObject(window.get()), &QObject::destroyed, this, [&closing] { closing.open(); });
        QString said;
        printPage(m_target, paintSomething, *window, [&said](const QString& told) { said = told; });
        if (!lookingForThePrinter)
            QTRY_COMPARE(said, QString("Saving") + QChar(0x2026));
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("^print_target_tests: No printer answered within 1 second: the "
                                                           "page was saved as ~/Documents/KQ71WB-[-0-9]+\\.pdf\\.$"));
        window.reset();
        const QStringList saved = savedFiles();
        QCOMPARE(saved.mid(0, 3), QStringList({".KQ71WB-20240101-120001.pdf.part", ".KQ71WB-20240101-120002.pdf.partial",
                                               "KQ71WB-20240101-120003.pdf"}));
        QCOMPARE(saved.size(), 4);
        QFile page(QDir(documents()).filePath(saved.back()));
        QVERIFY(page.open(QIODevice::ReadOnly) && isCompletePdf(page.readAll()));
        QVERIFY(m_target.jobs.isEmpty());
    }

    // Two threads saving at once, many pages in the same second, each take a
    // name of their own, and every page is whole.
    void twoSavesAtOnce()
    {
        const QByteArray page = "%PDF-1.4\n" + QByteArray(30000, 'x') + "\n%%EOF\n";
        QStringList said[2];
        {
            std::jthread savers[2];
            for (int n = 0; n < 2; ++n)
                savers[n] = std::jthread([&, n] {
                    SystemPrintTarget target;
                    for (int i = 0; i < 25; ++i)
                        said[n] << savePage(target, documents(), page);
                });
        }
        for (const QString& line : said[0] + said[1])
            QVERIFY2(line.startsWith("No printer is installed: the page was saved as "), qPrintable(line));
        const QStringList saved = savedFiles();
        QCOMPARE(saved.size(), 50);
        for (const QString& name : saved)
            QVERIFY2(name.startsWith("KQ71WB-") && QFileInfo(QDir(documents()).filePath(name)).size() == page.size(),
                     qPrintable(name));
    }
};

QTEST_MAIN(PrintTargetTest)
#include "print_target_test.moc"
