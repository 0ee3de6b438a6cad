// The form only places what its session returns and sends each event to it;
// the session's own tests pin the figures, the words and the verdicts. These
// check that each event arrives and its view lands where it belongs, and
// what the form does itself: the caret, the access keys, the page printed,
// copied or saved through its seams, and the lines beneath at any font. No
// test reaches a printer or the user's folders: the print target is the
// tests' own, its documents folder a temporary one.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QCryptographicHash>
#include <QDir>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSemaphore>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <functional>

#include "frm_kq71wb.h"
#include "headless.h"
#include "load_sheet_page.h"
#include "print_target.h"
#include "start.h"
#include "version.h"
#include "widgets.h"

using namespace kq71wb;

namespace {

const char kLoadings[] = "\"N271KQ\",612.5,14.37\n\"N371KQ\",598,14.52\n\"N471KQ\",621.25,14.18\n\"R&D Club\",605.5,14.61\n";

QString colourName(const QWidget* control)
{
    const QColor colour = control->palette().color(control->backgroundRole());
    const std::pair<QColor, const char*> names[] = {
        {QColor(255, 0, 0), "red"}, {QColor(0, 255, 0), "green"}, {QColor(224, 224, 224), "grey"},
        {QColor(192, 255, 192), "light green"}, {QColor(255, 255, 192), "light yellow"},
        {window::lightPalette().color(QPalette::Button), "greyed"}};
    for (const auto& [known, name] : names)
        if (colour == known)
            return name;
    return colour.name();
}

// The print target of the tests: a printer that only collects its jobs, and
// may be slow to be found, or a folder of the test's own. No test reaches a
// real printer or the user's folders.
class TestPrintTarget : public PrintTarget {
public:
    std::optional<QString> printerName;  // a default printer, when set
    std::optional<QString> refusal;      // why that printer refuses a job
    QList<QByteArray> jobs;              // what it accepted
    QString folder;                      // the documents folder
    std::function<void()> lookingUp;     // when set, called as the printer is looked for, which waits for it
    std::function<void()> delivered;     // when set, called once a page is printed or written
    qint64 diskRoom = -1;                // bytes a saved page may take, -1 for any

    std::optional<Printer> defaultPrinter() override
    {
        if (lookingUp)
            lookingUp();
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
        return lookingUp ? std::chrono::milliseconds(300) : PrintTarget::answerLimit();
    }
    ssize_t writeToDisk(int fd, const char* data, std::size_t size) override
    {
        if (diskRoom == 0)
            return errno = ENOSPC, -1;
        const ssize_t written = PrintTarget::writeToDisk(fd, data, diskRoom < 0 ? size : std::min(size, std::size_t(diskRoom)));
        if (diskRoom > 0)
            diskRoom -= std::max<ssize_t>(written, 0);
        if (delivered)
            delivered();
        return written;
    }
};

// The start of a file's SHA-256, as the load sheet names a loadings file.
QByteArray sha256(const QByteArray& bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(12); }

// A PDF's words as pdftotext reads them.
QString wordsOf(const QByteArray& pdf)
{
    QProcess reading;
    reading.start("pdftotext", {"-", "-"});
    reading.write(pdf);
    reading.closeWriteChannel();
    return reading.waitForFinished(20000) ? QString::fromUtf8(reading.readAllStandardOutput()) : QString();
}

void typeInto(QLineEdit* field, const QString& text)
{
    field->setFocus();
    QTest::keyClicks(field, text);
}

}  // namespace

class FormTest : public QObject {
    Q_OBJECT

public:
    // Beside the plain screen the other tests use, the small screens pilots
    // have, at 150 dots per inch (as QT_FONT_DPI=150 gives). As a pilot in
    // Denver with a German desktop has it, where ./test has generated the
    // locale: the figures and what the lines say stay the program's own, and
    // times are written with their zone.
    static void initMain()
    {
        runHeadless();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" KQ71WB_TEST_SCREENS);
        qputenv("LC_ALL", "de_DE.UTF-8");
        qputenv("TZ", "America/Denver");
    }

private:
    QTemporaryDir m_home;
    TestPrintTarget m_printTarget;
    std::unique_ptr<frmKQ71wb> m_form;

    const window::WindowControls& c() const { return m_form->controls(); }
    QString documents() const { return m_home.filePath("Documents"); }
    QList<window::MessageLine*> linesBeneath() const { return m_form->findChildren<window::MessageLine*>(); }
    QString note() const { return QString::fromStdString(m_form->session().lines().note); }
    // Every page printed, then every file in the documents folder (a saved
    // page by its bytes, anything else by its name), links left out.
    QList<QByteArray> pages() const
    {
        QList<QByteArray> pages = m_printTarget.jobs;
        for (const QFileInfo& saved : QDir(documents()).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
            QFile page(saved.filePath());
            const bool named = QRegularExpression("^KQ71WB-[-0-9]+\\.pdf$").match(saved.fileName()).hasMatch();
            pages << (named && page.open(QIODevice::ReadOnly) ? page.readAll() : saved.fileName().toUtf8());
        }
        return pages;
    }

    // Opens the window on a loadings file (none for a null one) written at
    // 04:09 UTC on 8 December 2026.
    void open(const QByteArray& loadingsFile, QScreen* screen = nullptr)
    {
        const QString path = m_home.filePath("program/kq71wb.dat");
        QFile::remove(path);
        QFile file(path);
        if (!loadingsFile.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(loadingsFile) == loadingsFile.size() && file.flush() &&
                    file.setFileTime(QDateTime::fromSecsSinceEpoch(1796702940), QFileDevice::FileModificationTime));
        file.close();
        m_form = std::make_unique<frmKQ71wb>(std::vector<std::filesystem::path>{QFile::encodeName(path).toStdString()},
                                             m_printTarget, QFile::encodeName(m_home.filePath("share/doc/kq71wb")).toStdString());
        if (screen) {
            m_form->setScreen(screen);
            m_form->move(screen->geometry().topLeft());
        }
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }

    // What the window shows of its results: the moments, the three totals,
    // their colours, the scale, then each line beneath the layout, a message
    // by its words up to its first colon or full stop: which line a message
    // stands in is the window's, its words are the core's.
    QString shown() const
    {
        QStringList moments;
        for (const window::ResultLabel* moment : c().lblMoment)
            moments << moment->text();
        QStringList parts = {moments.join(' '), c().lblGrossWeight->text(), c().lblGrossMoment->text(),
                             c().lblFlyCG->text().trimmed(), colourName(c().lblGrossWeight), colourName(c().lblFlyCG),
                             QString::number(c().Slider1->value()) + (c().Slider1->isCurrent() ? "" : " greyed")};
        for (const window::MessageLine* line : linesBeneath()) {
            QStringList messages = line->text().split('\n');
            for (QString& message : messages)
                message = message.section(QRegularExpression("[:.]( |$)"), 0, 0);
            parts << (line->text().isEmpty() ? "-" : messages.join(" + "));
        }
        return parts.join(" | ");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid() && QDir(m_home.path()).mkpath("program"));
        qputenv("HOME", QFile::encodeName(m_home.path()));
        configureApplication();
        // (A desktop without any font is one on purpose: app_tests_without_fonts.)
        const bool withoutFonts = qEnvironmentVariable("FONTCONFIG_FILE").endsWith("/no-fonts.conf");
        QVERIFY2(withoutFonts || QFontDatabase::families().contains("DejaVu Sans"),
                 "needs DejaVu Sans (fonts-dejavu-core), which ./test installs");
        QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(), "needs pdftotext (poppler-utils), which ./test installs");
        // The C library writes and reads numbers with a comma here, so a
        // conversion that leant on it would show in every figure below.
        QVERIFY2(localeconv()->decimal_point == std::string_view(","), "needs the de_DE.UTF-8 locale, which ./test generates");
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void init()
    {
        // The lines beneath and the menus in a face of the tests' choosing,
        // not whichever the machine's desktop happens to prefer, whatever
        // the test before set.
        QApplication::setFont(QFont("DejaVu Sans", 9));
        m_printTarget = TestPrintTarget();
        m_printTarget.folder = documents();
        QDir(documents()).removeRecursively();
        open(kLoadings);
    }
    void cleanup() { m_form.reset(); }

    // Each step types a text into a field key by key ("txtWeight(1):170");
    // every keystroke recalculates. A screen reader hears each result as the
    // session words it, and each line beneath as it shows.
    void keystrokes_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("expected");
        QTest::newRow("as it opens: the loadings file named") << QStringList()
            << "0 0 0 0 0 0 0 0 |  |  |  | grey | light green | 100 | - | - | - | Loadings from ~/program/kq71wb.dat";
        QTest::newRow("a pilot types a loading") << QStringList{"txtWeight(0):600", "txtArm(0):14", "txtWeight(1):170"}
            << "8400 -3400 0 0 0 0 0 0 | 770 | 5000 | 6.49 | green | red | 100 | CG forward of the 11.70 in limit | - | "
               "Pilot weight for this loading | -";
        // While "-782.5" was typed in item 3 the window showed the gross
        // weight and CG of "-782" as current, in green and red: they are greyed.
        QTest::newRow("totals an earlier keystroke wrote are greyed")
            << QStringList{"txtWeight(0):612.5", "txtArm(0):23.6", "txtWeight(1):170", "txtWeight(2):-782.5"}
            << "14455 -3400 0 0 0 0 0 0 | 0.5 | 11055 | 22110.00 | greyed | greyed | 180 greyed | Totals not updated | "
               "Weight, item 3 is below zero + Arm, item 3 is blank | - | -";
        QTest::newRow("the caret in the nose ballast, described: what it may weigh")
            << QStringList{"txtWeight(0):610", "txtArm(0):23.65", "txtWeight(1):110", "txtMisc(0):Nose", "txtArm(2):-30", "txtWeight(2):"}
            << "14426.5 -2200 0 0 0 0 0 0 | 720 | 12226.5 | 16.98 | green | red | 170 | CG aft of the 16.00 in limit | - | "
               "Item 3 (Nose, -30 in) | -";
    }
    void keystrokes()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, expected);
        for (const QString& step : steps)
            typeInto(m_form->findChild<QLineEdit*>(step.section(':', 0, 0)), step.section(':', 1));
        QCOMPARE(shown(), expected);
        const View view = m_form->session().view();
        QCOMPARE(c().lblGrossWeight->accessibleDescription(), QString::fromStdString(view.grossWeightWords));
        QCOMPARE(c().lblFlyCG->accessibleDescription(), QString::fromStdString(view.flyCgWords));
        QCOMPARE(c().Slider1->centreOfGravityWords(), QString::fromStdString(view.scaleWords));
        for (window::MessageLine* line : linesBeneath())
            QCOMPARE(QAccessible::queryAccessibleInterface(line)->text(QAccessible::Name), line->message());
    }

    // A press fills the aircraft-empty row, marks its button light yellow,
    // and sends the caret to the pilot's weight, selected, even where the
    // focus never left it (a screen reader's press). Enter presses a focused
    // button; a name shows as written: "R&D Club" is no access key. Without
    // a file the buttons do nothing and say why; the note says where a file
    // goes and where the sample is, or names a folder in the file's place.
    void loadingButtons()
    {
        typeInto(c().txtWeight[1], "170");
        QTest::mouseClick(c().cmdLoading[0], Qt::LeftButton);
        QTest::mouseClick(c().cmdLoading[2], Qt::LeftButton);
        QCOMPARE(c().txtWeight[0]->text() + " " + c().txtArm[0]->text(), QString("621.25 14.18"));
        QCOMPARE(QApplication::focusWidget(), c().txtWeight[1]);
        QCOMPARE(c().txtWeight[1]->selectedText(), QString("170"));
        c().txtWeight[1]->deselect();
        c().cmdLoading[1]->click();
        QCOMPARE(c().txtWeight[1]->selectedText(), QString("170"));
        c().cmdLoading[3]->setFocus();
        QTest::keyClick(c().cmdLoading[3], Qt::Key_Enter);
        QCOMPARE(c().txtWeight[0]->text(), QString("605.5"));
        QVERIFY(QKeySequence::mnemonic(c().cmdLoading[3]->text()).isEmpty());
        for (window::LoadingButton* button : c().cmdLoading)
            QCOMPARE(colourName(button) + (button->isChecked() ? " checked" : ""),
                     button == c().cmdLoading[3] ? "light yellow checked" : "greyed");
        // Once the aircraft-empty row is changed it is no longer that glider's.
        typeInto(c().txtWeight[0], "640");
        QCOMPARE(colourName(c().cmdLoading[3]) + (c().cmdLoading[3]->isChecked() ? " checked" : ""), "greyed");

        open(QByteArray());
        QCOMPARE(note(), "No loadings file: for the loading buttons, put kq71wb.dat in ~/program/ (a sample is in "
                         "~/share/doc/kq71wb/).");
        typeInto(c().txtWeight[0], "600");
        QVERIFY(!c().cmdLoading[1]->isEnabled());
        QCOMPARE(c().cmdLoading[1]->toolTip(), QString::fromStdString(m_form->session().view().loadings[1].whyNot));
        m_form->cmdLoading_Click(1);
        QCOMPARE(c().txtWeight[0]->text(), QString("600"));
        QVERIFY(QDir().mkpath(m_home.filePath("program/kq71wb.dat")));
        open(QByteArray());
        QVERIFY(QDir(m_home.filePath("program/kq71wb.dat")).removeRecursively());
        QCOMPARE(note(), "No loadings: ~/program/kq71wb.dat cannot be used, as it is a folder, not a file.");
    }

    // Gaining the focus selects the whole text; the focus coming back with
    // the window, from a menu or from the menu bar leaves the caret alone.
    void gainingTheFocusSelects()
    {
        QLineEdit* field = c().txtMisc[2];
        field->setText("Parachute");
        for (const auto& [reason, selects] : {std::pair{Qt::TabFocusReason, true}, {Qt::BacktabFocusReason, true},
                                              {Qt::OtherFocusReason, true}, {Qt::ActiveWindowFocusReason, false},
                                              {Qt::PopupFocusReason, false}, {Qt::MenuBarFocusReason, false}}) {
            field->setCursorPosition(4);
            QFocusEvent focusIn(QEvent::FocusIn, reason);
            QApplication::sendEvent(field, &focusIn);
            QCOMPARE(field->selectedText(), selects ? QString("Parachute") : QString());
        }
    }

    // Alt+P prints at once, the focus, caret and all, left in
    // its field; "Printing…" stands until the first change of the figures.
    // The page's words were taken at Alt+P and the window's image once the
    // printer answered: a pilot of 300 lb typed meanwhile was in the picture
    // beside the words of a 170 lb pilot. Both are of the moment of Alt+P,
    // whether the printer answers in the end or the window is closed first
    // (Alt+X), which lost the page and left the printer's look-up asking a
    // print target that was gone.
    void aPageIsOfOneMoment_data()
    {
        QTest::addColumn<bool>("closed");
        QTest::newRow("printed once the printer answers") << false;
        QTest::newRow("saved when the window is closed meanwhile") << true;
    }
    void aPageIsOfOneMoment()
    {
        QFETCH(bool, closed);
        // The printer is found once a page went, or once the window went
        // and the page was saved without it.
        QSemaphore answered;
        m_printTarget.printerName = "Club office";
        m_printTarget.lookingUp = [&answered] { answered.acquire(); };
        m_printTarget.delivered = [&answered] { answered.release(); };
        const auto goneBeforeTheAnswer = qScopeGuard([this] { m_form.reset(); });
        c().cmdLoading[0]->click();
        typeInto(c().txtWeight[1], "170");
        QTest::keyClick(m_form.get(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(note(), QString("Printing") + QChar(0x2026));
        QCOMPARE(QApplication::focusWidget(), c().txtWeight[1]);
        c().txtWeight[1]->selectAll();
        QTest::keyClicks(c().txtWeight[1], "300");
        QCOMPARE(c().lblGrossWeight->text(), "912.5");
        QCOMPARE(note(), QString());
        if (closed) {
            QTest::ignoreMessage(QtInfoMsg, QRegularExpression("^KQ71WB: No printer answered within 1 second: the page was "
                                                               "saved as ~/Documents/KQ71WB-[-0-9]+\\.pdf\\.$"));
            QTest::keyClick(m_form.get(), Qt::Key_X, Qt::AltModifier);
            QVERIFY(!m_form->isVisible());
            m_form.reset();
        } else {
            answered.release();
            QTRY_COMPARE_WITH_TIMEOUT(note(), "Printed on Club office.", 20000);
        }
        const QList<QByteArray> made = pages();
        QCOMPARE(made.size(), 1);
        // The image's figures are words of the page too: the pilot's field,
        // the gross weight, the CG.
        const QString printed = wordsOf(made[0]);
        QVERIFY2(printed.contains("Pilot: 170 lb at -20 in") && printed.count("782.5") >= 2 && !printed.contains("912.5") &&
                     !printed.contains("300"),
                 qPrintable(printed));
    }

    // A page that cannot go says why, and leaves nothing behind: a printer
    // that refuses it, no home folder to save it in, a full disk.
    void aPageThatCannotGoSaysWhy()
    {
        m_printTarget.printerName = "Club office";
        m_printTarget.refusal = "Printer \"Club office\" does not exist.";
        m_form->mnuPrint_Click();
        QTRY_COMPARE_WITH_TIMEOUT(note(), "Printing on Club office failed: Printer \"Club office\" does not exist.", 20000);
        m_printTarget.printerName.reset();
        const QByteArray home = qgetenv("HOME");  // the program's own answer when HOME is unset
        qunsetenv("HOME");
        m_printTarget.folder = SystemPrintTarget().documentsFolder();
        qputenv("HOME", home);
        m_form->mnuPrint_Click();
        QTRY_COMPARE_WITH_TIMEOUT(note(), "No printer is installed, and there is no home folder to save the page in.", 20000);
        m_printTarget.folder = documents();
        m_printTarget.diskRoom = 100;
        m_form->mnuPrint_Click();
        QTRY_COMPARE_WITH_TIMEOUT(note(), "No printer is installed, and the page could not be saved: no space left on device.", 20000);
        QVERIFY(pages().isEmpty());
    }

    // A page saved is its own: links planted for each of the next seconds,
    // at the page's name and at its part's, are never followed nor
    // replaced: names go up by the second, so they are easy to plant ahead.
    void aSavedPageIsItsOwn()
    {
        const QString victims = m_home.filePath("victims");
        QFile existing(QDir(victims).filePath("existing"));
        QVERIFY(QDir().mkpath(victims) && QDir().mkpath(documents()) && existing.open(QIODevice::WriteOnly) && existing.write("mine") == 4);
        existing.close();
        const QDateTime now = QDateTime::currentDateTime();
        for (int second = -1; second <= 30; ++second) {
            const QString at = now.addSecs(second).toString("yyyyMMdd-HHmmss");
            QVERIFY(QFile::link(existing.fileName(), QDir(documents()).filePath("KQ71WB-" + at + ".pdf")));
            QVERIFY(QFile::link(QDir(victims).filePath("v-" + at), QDir(documents()).filePath(".KQ71WB-" + at + ".pdf.part")));
        }
        m_form->mnuPrint_Click();
        const QString saved = "No printer is installed: the page was saved as ~/Documents/KQ71WB-";
        QTRY_VERIFY2_WITH_TIMEOUT(note().startsWith(saved) && note().endsWith("-2.pdf."), qPrintable(note()), 20000);
        const QList<QByteArray> made = pages();
        QVERIFY(made.size() == 1 && made[0].startsWith("%PDF-") && made[0].trimmed().endsWith("%%EOF"));
        QCOMPARE(QDir(victims).entryList(QDir::Files), QStringList{"existing"});
        QVERIFY(existing.open(QIODevice::ReadOnly) && existing.readAll() == "mine");
    }

    // With no font found at all, the saved page's words were boxes that
    // pdftotext could not read, and the line said the page was saved. ctest
    // runs this alone as app_tests_without_fonts, under an empty font
    // configuration.
    void aPageWithoutALegibleWordIsNotMade()
    {
        if (!qEnvironmentVariable("FONTCONFIG_FILE").endsWith("/no-fonts.conf"))
            QSKIP("needs a desktop without fonts: ctest runs it as app_tests_without_fonts");
        m_form->mnuPrint_Click();
        QTRY_COMPARE_WITH_TIMEOUT(note(), "No printer is installed, and the page could not be written legibly, as no "
                                          "installed font draws its letters.", 20000);
        QVERIFY(pages().isEmpty());
    }

    // A description in a script no installed font draws took the figures
    // after it into its run of missing-glyph boxes: "Item 3 (■■■■ lb at 5 in".
    void figuresWholeBesideAnyScript()
    {
        c().txtMisc[0]->setText(QString::fromUtf8("\u092A\u0948\u0930\u093E\u0936\u0942\u091F"));
        typeInto(c().txtWeight[2], "18");
        typeInto(c().txtArm[2], "5");
        m_form->mnuPrint_Click();
        // Once the page is saved: its part, while it is written, is a file too.
        QTRY_VERIFY_WITH_TIMEOUT(note().startsWith("No printer is installed: the page was saved as "), 20000);
        const QString printed = wordsOf(pages().value(0));
        QVERIFY2(printed.contains("Item 3: 18 lb at 5 in, moment 90 lb-in ("), qPrintable(printed));
    }

    // The envelope chart printed in black and white keeps the area (hatched
    // and outlined), the loaded point and its label, and stands between the
    // image of the window and the lines below. Long descriptions shrank the
    // whole page, the verdict to 4 points: they are shortened, and a plain
    // sheet keeps its words at 9 points. No word falls outside the margins,
    // with the longest figures and names there are.
    void pageHoldsEveryWord()
    {
        c().cmdLoading[0]->click();
        typeInto(c().txtWeight[1], "170");
        for (window::SheetField* description : c().txtMisc)
            description->setText(QString(4096, 'D'));
        QImage chart(480, 316, QImage::Format_Grayscale8);
        chart.fill(Qt::white);
        QPainter painter(&chart);
        paintEnvelope(painter, chart.rect(), *m_form->loadSheet().envelope);
        painter.end();
        // Dark pixels in a box given in inches across and pounds up.
        const auto inked = [&chart](double cg, double lb, int width, int height) {
            const int left = int(Envelope::kPlotLeft + (cg - 8) / 12 * Envelope::kPlotWidth);
            const int top = int(Envelope::kPlotTop + (1000 - lb) / 600 * Envelope::kPlotHeight);
            int dark = 0;
            for (int y = top; y < top + height; ++y)
                for (int x = left; x < left + width; ++x)
                    dark += qGray(chart.pixel(x, y)) < 160;
            return dark;
        };
        // Hatching inside the area only, clear of the grid; the point (CG
        // 6.90 in, at the chart's edge) labelled beside it.
        QVERIFY(inked(12.3, 860, 15, 15) > 10 && inked(8.5, 960, 15, 15) == 0 && inked(8.2, 815, 120, 16) > 50);
        // A4 at 96 dots per inch, less a margin of three quarters of an inch.
        const PageLayout plain = layOutPage(QRectF(0, 0, 794 - 144, 1123 - 144), m_form->loadSheet(), c().client->size());
        QVERIFY2(plain.scale >= 12.0 / 13, qPrintable(QString::number(plain.scale)));
        QVERIFY(plain.envelope.top() >= plain.image.bottom() && plain.envelope.bottom() <= plain.blocks.back().box.top());

        open('"' + QByteArray(4096, 'N') + "\",1.23456789012345E+150,-1.23456789012345E+150\n");
        for (std::size_t i = 0; i < 8; ++i) {
            c().txtWeight[i]->setText("1.23456789012345E+150");
            c().txtArm[i]->setText("-1.23456789012345E+150,5");
        }
        for (window::SheetField* description : c().txtMisc)
            description->setText(QString(4096, 'D'));
        c().cmdLoading[0]->click();
        // On A5 the page shrinks as far as it goes; on A4 lines drawn over
        // each other show beyond the margin.
        for (const QPageSize::PageSizeId paper : {QPageSize::A5, QPageSize::A4}) {
            QImage page(QPageSize(paper).sizePixels(96), QImage::Format_RGB32);
            page.setDotsPerMeterX(3780);
            page.setDotsPerMeterY(3780);
            page.fill(Qt::white);
            QVERIFY(!frmKQ71wb::paintLoadSheet(page, m_form->loadSheetPage()));
            const QRect inside = page.rect().adjusted(71, 71, -71, -71);
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < page.width(); ++x)
                    if (!inside.contains(x, y))
                        QVERIFY2(qGray(page.pixel(x, y)) > 200, qPrintable(QString("ink at %1,%2").arg(x).arg(y)));
        }
    }

    // The window on paper is the window on screen, its caret aside: every
    // text, colour and mark, to the last row, is carried over to the image
    // printed. Stale totals were printed in their colours beside all-zero rows.
    void printedImageIsTheWindow()
    {
        c().cmdLoading[1]->click();
        typeInto(c().txtWeight[1], "170");
        typeInto(c().txtMisc[5], "Ballast");
        typeInto(c().txtArm[7], "30");
        QApplication::focusWidget()->clearFocus();
        QImage live(c().client->size(), QImage::Format_RGB32), printed(live.size(), live.format());
        for (QImage* image : {&live, &printed}) {
            image->setDotsPerMeterX(3780);  // 96 dots per inch
            image->setDotsPerMeterY(3780);
        }
        for (const bool stale : {false, true}) {
            if (stale)
                for (QLineEdit* weight : {c().txtWeight[1], c().txtWeight[0]})
                    weight->clear();
            c().client->render(&live);
            QVERIFY(m_form->paintClientArea(printed));
            QCOMPARE(printed, live);
        }
    }

    // Ctrl+Shift+C copies the load sheet's lines, which name the moment, in
    // its zone (in Denver, a file written at 04:09 UTC), and the loadings
    // file the figures rest on: its time and the start of its SHA-256. The
    // file changed on disk after it was read kept its old time and digest
    // without a word: it is read again at each copy. Help > Report a problem
    // carries the same lines, and says who to send them to; F8 says the
    // whole result.
    void copyReportAndSpeak()
    {
        c().cmdLoading[0]->click();
        typeInto(c().txtWeight[1], "170");
        QTest::keyClick(m_form.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QStringList lines = QGuiApplication::clipboard()->text().split('\n');
        QVERIFY2(QRegularExpression("^Made \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d \u22120[67]:00 with KQ71WB " KQ71WB_VERSION "\\.?$")
                     .match(lines[1]).hasMatch(), qPrintable(lines[1]));
        const QString loadingsFile =
            "Loadings file: ~/program/kq71wb.dat, modified 2026-12-07 21:09 \u221207:00, SHA-256 " + sha256(kLoadings);
        QCOMPARE(lines[3], loadingsFile);
        QCOMPARE(note(), "Load sheet copied.");
        c().mnuReport->trigger();
        const QString report = QGuiApplication::clipboard()->text();
        QVERIFY2(report.contains("KQ71WB problem report, for whoever gave you KQ71WB") && report.contains(loadingsFile), qPrintable(report));
        QFile rewritten(m_home.filePath("program/kq71wb.dat"));
        QVERIFY(rewritten.open(QIODevice::WriteOnly) && rewritten.write("\"N271KQ\",640,14.37\n") > 0);
        rewritten.close();
        QTest::keyClick(m_form.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        lines = QGuiApplication::clipboard()->text().split('\n');
        QVERIFY2(lines[4].contains("SHA-256 is now " + sha256("\"N271KQ\",640,14.37\n")), qPrintable(lines[4]));
        QTest::keyClick(m_form.get(), Qt::Key_F8);
        QVERIFY2(note().startsWith(QString::fromStdString(m_form->session().summary())), qPrintable(note()));
    }

    // Whatever the desktop's font and screen: the window stands within the
    // screen, the verdict shows beneath the results it speaks of, the field
    // typed in shows, and every line beneath holds every word. What finds no
    // room scrolls, keeps the newest line in view, and the keyboard reaches
    // it after the last button. The lines once ran off the bottom of the
    // window with Noto Sans at 22 px.
    void linesBeneathHoldEveryWord_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pixels");  // 0 for the desktop's usual 9 points
        QTest::addColumn<QString>("screen");  // as screens.json names it
        for (const char* family : {"Noto Sans", "DejaVu Sans", "Liberation Sans", "Cantarell"})
            for (const char* screen : {"1024x600 at 150 dpi", "1366x768 at 150 dpi"})
                for (const int pixels : {0, 22})
                    QTest::addRow("%s %s, %s", family, pixels ? "22 px" : "9 pt", screen) << family << pixels << screen;
    }
    void linesBeneathHoldEveryWord()
    {
        QFETCH(QString, family);
        QFETCH(int, pixels);
        QFETCH(QString, screen);
        if (!QFontDatabase::families().contains(family))
            QSKIP(qPrintable(family + " is not installed, or fontconfig leaves it out (./test installs it)"));
        QFont font(family);
        pixels ? font.setPixelSize(pixels) : font.setPointSize(9);
        QApplication::setFont(font);
        const QList<QScreen*> screens = QGuiApplication::screens();
        const auto named = std::find_if(screens.begin(), screens.end(), [&screen](QScreen* s) { return s->name() == screen; });
        QVERIFY(named != screens.end());
        open(kLoadings, *named);
        QCOMPARE(QFontInfo(linesBeneath().front()->font()).family(), family);

        // Over the weight and aft, two warnings, and the whole result said at length.
        for (const auto& [field, text] : {std::pair{c().txtWeight[0], "950"}, {c().txtArm[0], "17"},
                                          {c().txtWeight[1], "80 kg"}, {c().txtWeight[2], "15"}, {c().txtWeight[0], ""}})
            typeInto(field, text);
        QTest::keyClick(m_form.get(), Qt::Key_F8);
        const auto lines = linesBeneath();
        for (const window::MessageLine* line : lines)
            QTRY_VERIFY2(line->height() == (line->text().isEmpty() ? 0 : line->heightForWidth(line->width())),
                         qPrintable(line->objectName()));
        QTRY_VERIFY2((*named)->availableGeometry().contains(m_form->frameGeometry()),
                     qPrintable(QString("%1 tall at %2").arg(m_form->frameGeometry().height()).arg(m_form->frameGeometry().y())));
        const auto inView = [](const QWidget* control) { return control->visibleRegion() == QRegion(control->rect()); };
        for (const QWidget* shown : std::initializer_list<const QWidget*>{lines.front(), c().lblGrossWeight, c().lblFlyCG,
                                                                          c().txtWeight[0]})
            QTRY_VERIFY2(inView(shown), qPrintable(shown->objectName()));

        // The newest line, the note, shows from its start.
        QTRY_VERIFY(!lines.back()->visibleRegion().isEmpty() && lines.back()->visibleRegion().boundingRect().top() == 0);
        auto* area = m_form->findChild<QScrollArea*>("linesBeneath");
        c().cmdLoading[3]->setFocus();
        QTest::keyClick(c().cmdLoading[3], Qt::Key_Tab);
        if (area->verticalScrollBar()->maximum() > 0) {
            QCOMPARE(QApplication::focusWidget(), area);
            QTest::keyClick(area, Qt::Key_End);
            QCOMPARE(area->verticalScrollBar()->value(), area->verticalScrollBar()->maximum());
            QTest::keyClick(area, Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), c().txtWeight[0]);
    }

    // A field keeps what a figure can need; a longer paste is cut, and said to be.
    void aLongPasteIsCut()
    {
        QGuiApplication::clipboard()->setText("7" + QString(5000, ' '));
        c().txtWeight[2]->setFocus();
        QTest::keyClick(c().txtWeight[2], Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(c().txtWeight[2]->text().size(), 4096);
        QTRY_COMPARE(note(), "Weight, item 3 keeps at most 4,096 characters; the rest was cut.");
    }

    // The window opens centred. The lines beneath, where all fits, take no
    // Tab stop of their own: Tab from the last button goes round to the first field.
    void opensCentred()
    {
        const QPoint centre = m_form->screen()->availableGeometry().center();
        QVERIFY((m_form->frameGeometry().center() - centre).manhattanLength() <= 2);
        QTRY_COMPARE(m_form->findChild<QScrollArea*>("linesBeneath")->focusPolicy(), Qt::NoFocus);
        c().cmdLoading[3]->setFocus();
        QTest::keyClick(c().cmdLoading[3], Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), c().txtWeight[0]);
    }
};

QTEST_MAIN(FormTest)
#include "form_test.moc"
