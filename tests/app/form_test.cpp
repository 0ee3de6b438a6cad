#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFocusEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <memory>

#include "frm_kq71wb.h"
#include "print_target.h"
#include "readouts.h"
#include "headless.h"
#include "widgets.h"

using namespace kq71wb;

namespace {

const QColor kLightYellow(255, 255, 192);
const QChar kEllipsis(0x2026);
const char kLoadings[] = "\"N271KQ\",612.5,14.37\n\"N371KQ\",598,14.52\n\"N471KQ\",621.25,14.18\n\"R&D Club\",605.5,14.61\n";

QColor backOf(const QWidget* control) { return control->palette().color(control->backgroundRole()); }
QAccessibleInterface* accessibleOf(const QObject* object) { return QAccessible::queryAccessibleInterface(const_cast<QObject*>(object)); }

void typeInto(QLineEdit* field, const QString& text)
{
    field->setFocus();
    QTest::keyClicks(field, text);
}

// A file on a disk with room for only so many bytes more: as the system
// does, a write takes what fits, and the next one fails.
class FullDiskFile : public QFile {
    Q_OBJECT

public:
    FullDiskFile(const QString& path, qint64 room) : QFile(path), m_room(room) {}

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        if (m_room == 0)
            return setErrorString("No space left on device"), -1;
        const qint64 fits = QFile::writeData(data, std::min(length, m_room));
        m_room -= fits;
        return fits;
    }

private:
    qint64 m_room;
};

// Pages go to a printer that only collects them, or into a folder of the test.
class TestPrintTarget : public PrintTarget {
public:
    std::optional<QString> printerName;  // a default printer, when set
    std::optional<QString> refusal;      // why that printer refuses a job
    QList<QByteArray> jobs;              // what it accepted
    QString folder;                      // the documents folder, empty for no home
    qint64 diskRoom = -1;                // bytes a saved page may take, -1 for any

    std::optional<Printer> defaultPrinter() override
    {
        return printerName ? std::optional(Printer{*printerName, QPageSize(QPageSize::Letter)}) : std::nullopt;
    }
    std::optional<QString> submit(const Printer&, const QByteArray& pdf) override
    {
        if (!refusal)
            jobs << pdf;
        return refusal;
    }
    QString documentsFolder() override { return folder; }
    std::unique_ptr<QFile> createFile(const QString& path) override
    {
        return diskRoom < 0 ? PrintTarget::createFile(path) : std::make_unique<FullDiskFile>(path, diskRoom);
    }
};

bool isCompletePdf(const QByteArray& bytes) { return bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF"); }

}  // namespace

class FormTest : public QObject {
    Q_OBJECT

public:
    static void initMain() { runHeadless(); }

private:
    QTemporaryDir m_home;
    TestPrintTarget m_printTarget;
    std::unique_ptr<frmKQ71wb> m_form;

    const window::WindowControls& c() const { return m_form->controls(); }
    QString documents() const { return m_home.filePath("Documents"); }
    const window::MessageLine* line(const char* name) const { return m_form->findChild<const window::MessageLine*>(name); }

    void open(const QByteArray& loadingsFile)
    {
        const QString path = m_home.filePath("program/kq71wb.dat");
        QFile::remove(path);
        QFile file(path);
        if (!loadingsFile.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(loadingsFile) == loadingsFile.size());
        file.close();
        m_form = std::make_unique<frmKQ71wb>(std::vector<std::filesystem::path>{QFile::encodeName(path).toStdString()},
                                             m_printTarget);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid() && QDir(m_home.path()).mkpath("program"));
        qputenv("HOME", QFile::encodeName(m_home.path()));
        configureApplication();
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void init()
    {
        m_printTarget = TestPrintTarget();
        m_printTarget.folder = documents();
        QDir(documents()).removeRecursively();
        open(kLoadings);
    }
    void cleanup() { m_form.reset(); }

    // A pilot types 600, 14 and a 170 lb pilot: every keystroke recalculates,
    // every figure reads as shown to a screen reader, and the line beneath
    // says the most pressing thing, announced once for each change.
    void aPilotTypesALoading()
    {
        for (std::size_t i = 0; i < 8; ++i)
            QCOMPARE(c().txtWeight[i]->text() + c().txtArm[i]->text() + c().lblMoment[i]->text(), i == 1 ? QString("-200") : "0");
        QCOMPARE(c().lblGrossWeight->text() + c().lblGrossMoment->text() + c().lblFlyCG->text() + m_form->statusText(), QString());
        QCOMPARE(backOf(c().lblFlyCG), QColor(192, 255, 192));
        QCOMPARE(QApplication::focusWidget(), c().txtWeight[0]);

        typeInto(c().txtWeight[0], "600");
        QCOMPARE(c().lblGrossWeight->text(), QString("600"));
        typeInto(c().txtArm[0], "14");
        typeInto(c().txtWeight[1], "170");
        QCOMPARE(QStringList({c().lblMoment[0]->text(), c().lblMoment[1]->text(), c().lblGrossWeight->text(),
                              c().lblGrossMoment->text(), c().lblFlyCG->text()}),
                 QStringList({"8400", "-3400", "770", "5000", "  6.49"}));
        QCOMPARE(backOf(c().lblGrossWeight), QColor(0, 255, 0));
        QCOMPARE(backOf(c().lblFlyCG), QColor(255, 0, 0));
        QCOMPARE(c().Slider1->value(), 100);  // 65 is off the scale's forward end
        QCOMPARE(m_form->statusText(), QString("CG forward of the 11.70 in limit."));
        QCOMPARE(line("lblReadouts")->text(), QString("Pilot weight for this loading: 0 to 43 lb. Room to 900 lb: 130 lb."));

        // The rest of what a screen reader reads and hears is checked through
        // the real stack, by tests/orca/orca_check.py.
        QCOMPARE(accessibleOf(c().lblMoment[1])->text(QAccessible::Value), QString("-3400"));
        QCOMPARE(accessibleOf(c().Slider1)->text(QAccessible::Value), QString("CG 6.49 in, forward of the scale"));

        c().txtWeight[0]->setText("600");
        c().txtArm[0]->setText("14");
        typeInto(c().txtArm[2], "14,5");
        QCOMPARE(m_form->statusText(), QString("Arm, item 3: \"14,5\" is read as 14."));
        c().txtArm[2]->setText("7" + QString(40000, ' ') + "5");  // any length, not Qt's 32767
        c().txtWeight[2]->setText("1");
        QCOMPARE(c().lblMoment[2]->text(), QString("75"));

        c().txtArm[2]->setText("1E200");
        c().txtWeight[2]->setText("1E200");
        QCOMPARE(m_form->statusText(), QString("Overflow: a number is too large; the totals were not updated."));
        QCOMPARE(c().lblGrossWeight->text(), QString("771"));  // as the last good pass left them
        c().txtWeight[2]->clear();

        // Totals kept from an earlier pass are not presented as current.
        c().txtWeight[0]->setText("-170");
        QCOMPARE(c().lblGrossWeight->text(), QString("770"));
        QCOMPARE(m_form->statusText(), QString("Totals not updated: the gross weight is zero or less."));
        QCOMPARE(accessibleOf(c().lblFlyCG)->text(QAccessible::Description),
                 QString("out of limits, forward of the 11.70 in limit, not updated"));
        QCOMPARE(line("lblReadouts")->text(), QString());
        c().txtWeight[0]->setText("600");
        QCOMPARE(m_form->statusText(), QString("CG forward of the 11.70 in limit."));
    }

    void loadingButtonFillsTheAircraftEmptyRow()
    {
        typeInto(c().txtWeight[1], "170");
        QTest::mouseClick(c().cmdLoading[0], Qt::LeftButton);
        QTest::mouseClick(c().cmdLoading[2], Qt::LeftButton);
        QCOMPARE(backOf(c().cmdLoading[0]), window::lightPalette().color(QPalette::Button));
        QCOMPARE(backOf(c().cmdLoading[2]), kLightYellow);
        QCOMPARE(c().txtWeight[0]->text() + " " + c().txtArm[0]->text(), QString("621.25 14.18"));
        QCOMPARE(c().lblGrossWeight->text(), QString("791.25"));
        QCOMPARE(QApplication::focusWidget(), c().txtWeight[1]);
        QCOMPARE(c().txtWeight[1]->selectedText(), QString("170"));

        // A press that leaves the focus in the pilot's weight still selects it;
        // Enter presses a focused button; a name shows as written.
        c().txtWeight[1]->deselect();
        c().cmdLoading[3]->setFocus();
        QTest::keyClick(c().cmdLoading[3], Qt::Key_Enter);
        QCOMPARE(c().txtWeight[0]->text(), QString("605.5"));
        QCOMPARE(c().txtWeight[1]->selectedText(), QString("170"));
        QVERIFY(QKeySequence::mnemonic(c().cmdLoading[3]->text()).isEmpty());
        QCOMPARE(accessibleOf(c().cmdLoading[3])->text(QAccessible::Name), QString("R&D Club"));
        for (window::LoadingButton* button : c().cmdLoading)
            QCOMPARE(accessibleOf(button)->state().checked, button == c().cmdLoading[3]);

        open(QByteArray());  // no file: blank buttons that empty the row
        typeInto(c().txtWeight[0], "600");
        c().cmdLoading[1]->click();
        QCOMPARE(c().txtWeight[0]->text() + c().cmdLoading[1]->text(), QString());
        QCOMPARE(backOf(c().cmdLoading[1]), kLightYellow);
        QCOMPARE(accessibleOf(c().cmdLoading[1])->text(QAccessible::Name), QString("Loading 2"));
    }

    // The mark is the light yellow itself, flat, not a style's gradient of it:
    // the button's colour at its top, middle and bottom, clear of the text.
    void markedLoadingShowsItsColour()
    {
        c().cmdLoading[1]->click();
        QImage image(c().client->size(), QImage::Format_RGB32);
        c().client->render(&image);
        for (window::LoadingButton* button : c().cmdLoading)
            for (const int y : {button->y() + 5, button->geometry().center().y(), button->geometry().bottom() - 5}) {
                const QColor shown = image.pixelColor(button->x() + 8, y);
                const bool yellow = shown.red() > 250 && shown.green() > 250 && std::abs(shown.blue() - 192) <= 3;
                QVERIFY2(yellow == (button == c().cmdLoading[1]), qPrintable(shown.name()));
            }
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
        // The click that brings the focus keeps the selection; typing replaces it.
        QTest::mouseClick(c().txtMisc[0], Qt::LeftButton, {}, QPoint(3, 8));
        QTest::keyClicks(c().txtMisc[0], "Tail dolly");
        QCOMPARE(c().txtMisc[0]->text(), QString("Tail dolly"));
        QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(3, 8));
        QCOMPARE(field->selectedText(), QString("Parachute"));
    }

    // Each way a print can go, and what the line says of it; a page reaches
    // the printer or the disk whole, or not at all.
    void printing()
    {
        const QString saved = "No printer is installed: the page was saved as ~/Documents/KQ71WB-";
        const struct {
            const char* printer;
            const char* refusal;
            qint64 diskRoom;
            bool home;
            QString said;
            int pages;
        } cases[] = {
            {"Club office", nullptr, -1, true, "Printed on Club office.", 1},
            {"Club office", "Printer \"Club office\" does not exist.", -1, true,
             "Printing on Club office failed: Printer \"Club office\" does not exist.", 0},
            {nullptr, nullptr, -1, true, saved, 1},
            {nullptr, nullptr, 8192, true, "No printer is installed, and the page could not be saved: no space left on device.", 0},
            {nullptr, nullptr, -1, false, "No printer is installed, and there is no home folder to save the page in.", 0},
        };
        for (const auto& c : cases) {
            init();
            m_printTarget.printerName = c.printer ? std::optional<QString>(c.printer) : std::nullopt;
            m_printTarget.refusal = c.refusal ? std::optional<QString>(c.refusal) : std::nullopt;
            m_printTarget.diskRoom = c.diskRoom;
            const QByteArray home = qgetenv("HOME");
            if (!c.home) {  // the program's own answer when HOME is unset
                qunsetenv("HOME");
                m_printTarget.folder = SystemPrintTarget().documentsFolder();
                qputenv("HOME", home);
            }
            m_form->mnuPrint_Click();
            QVERIFY2(m_form->statusText().startsWith(c.said), qPrintable(m_form->statusText()));
            QVERIFY2(!line("lblStatus")->text().contains(kEllipsis), "shortened");
            QList<QByteArray> printed = m_printTarget.jobs;
            for (const QString& name : QDir(documents()).entryList(QDir::Files | QDir::Hidden)) {
                QFile page(QDir(documents()).filePath(name));
                QVERIFY(name.startsWith("KQ71WB-") && name.endsWith(".pdf") && page.open(QIODevice::ReadOnly));
                printed << page.readAll();
            }
            QCOMPARE(printed.size(), c.pages);
            QVERIFY(std::all_of(printed.cbegin(), printed.cend(), isCompletePdf));
        }
        // The note stays until a recalculation: a description or the same text is none.
        typeInto(c().txtMisc[0], "12345");
        c().txtArm[1]->setText("-20");
        QVERIFY(!m_form->statusText().isEmpty());
        c().txtArm[1]->setText("-21");
        QCOMPARE(m_form->statusText(), QString());
    }

    // The printed sheet has no caret, focus frame or hover: two prints of the
    // same sheet are the same whatever blinked in between.
    void printingTwiceGivesTheSamePage()
    {
        typeInto(c().txtWeight[0], "600");
        typeInto(c().txtArm[0], "14");
        QImage first(8 * 96, 11 * 96, QImage::Format_RGB32), second(first.size(), first.format());
        for (QImage* image : {&first, &second}) {
            image->setDotsPerMeterX(3780);  // 96 dots per inch
            image->setDotsPerMeterY(3780);
            image->fill(Qt::white);
            QVERIFY(m_form->paintClientArea(*image));
            QTest::mouseMove(c().cmdLoading[1]);
            QTest::qWait(QApplication::cursorFlashTime() / 2 + 50);
        }
        QCOMPARE(first, second);
        const QPoint cgBox = c().lblFlyCG->mapTo(c().client, QPoint(c().lblFlyCG->width() - 3, 3));
        QCOMPARE(first.pixelColor(cgBox), backOf(c().lblFlyCG));
    }

    void copiesTheLoadSheetAsText()
    {
        c().cmdLoading[0]->click();
        typeInto(c().txtWeight[1], "170");
        QTest::keyClick(m_form.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.mid(2, 3), QStringList({"Loading: N271KQ", "", "Verdict: CG forward of the 11.70 in limit."}));
    }

    void centredOnTheOuterFrame()
    {
        const QSize client(586, 476);
        QCOMPARE(centredFramePosition(QRect(0, 0, 1024, 768), QMargins(), client), QPoint(219, 146));
        QCOMPARE(centredFramePosition(QRect(0, 0, 1024, 768), QMargins(1, 23, 1, 1), client), QPoint(218, 134));
        QCOMPARE(centredFramePosition(QRect(0, 32, 1920, 1048), QMargins(4, 30, 4, 4), client), QPoint(663, 301));
    }

    // The longest messages of the lines beneath the layout fit them, in their
    // own font (the print messages are checked as they come); a long printer
    // name is shortened in its middle instead, whole in the tooltip.
    void everyMessageFitsItsLine()
    {
        Sheet misread;
        misread.weight = {"1234567890.12,345678", "1", "x"};
        const QFontMetrics metrics(line("lblStatus")->font());
        for (const QString& message : {QString::fromStdString(describeFault({FaultStep::Scale, -1})),
                                       QString::fromStdString(misreadWords(misread)),
                                       QString("No pilot weight keeps this loading within limits. Over 900 lb by 1.23456789012346E+20 lb."),
                                       QString("Pilot weight for this loading: 130 to 229 lb. Room to 900 lb: 899.999999999999 lb.")})
            QVERIFY2(metrics.horizontalAdvance(message) <= line("lblStatus")->contentsRect().width(), qPrintable(message));

        m_printTarget.printerName = "The club's second printer, in the briefing room behind the hangar doors";
        m_printTarget.refusal = "The printer is not accepting jobs.";
        m_form->mnuPrint_Click();
        QVERIFY(line("lblStatus")->text().contains(kEllipsis));
        QCOMPARE(line("lblStatus")->toolTip(), m_form->statusText());
    }

    // Alt+P prints at once and leaves the focus, caret and all, in its field;
    // Alt+X ends the program.
    void accessKeysActAtOnce()
    {
        typeInto(c().txtWeight[1], "170");
        QTest::keyClick(m_form.get(), Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(m_form->statusText().startsWith("No printer is installed: the page was saved as "));
        QVERIFY(!QApplication::activePopupWidget());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(c().txtWeight[1]));
        QCOMPARE(c().txtWeight[1]->selectedText(), QString());
        QCOMPARE(accessibleOf(m_form.get())->focusChild()->object(), static_cast<QObject*>(c().txtWeight[1]));
        QTest::keyClick(m_form.get(), Qt::Key_X, Qt::AltModifier);
        QTRY_VERIFY(!m_form->isVisible());
    }

    // A desktop with a decimal comma changes nothing: the figures are read and
    // written with a period. ./test generates the locale.
    void figuresIgnoreADecimalCommaLocale()
    {
        const QByteArray previous = std::setlocale(LC_ALL, nullptr);
        QVERIFY2(std::setlocale(LC_ALL, "de_DE.UTF-8"), "the de_DE.UTF-8 locale is not generated");
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        open(kLoadings);
        c().cmdLoading[0]->click();
        typeInto(c().txtWeight[1], "170.5");
        const QStringList shown = {c().lblMoment[0]->text(), c().lblMoment[1]->text(), c().lblGrossWeight->text(),
                                   c().lblGrossMoment->text(), c().lblFlyCG->text()};
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_ALL, previous.constData());
        QCOMPARE(shown, QStringList({"8801.625", "-3410", "783", "5391.625", "  6.89"}));
    }

    void loadingsFileBesideTheProgramThenInTheConfigurationFolder()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath("config")));
        const std::vector<std::filesystem::path> files = defaultLoadingsFiles();
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(QString::fromStdString(files.front().string()), QApplication::applicationDirPath() + "/kq71wb.dat");
        QCOMPARE(QString::fromStdString(files.back().parent_path().string()), m_home.filePath("config/kq71wb"));
        QCOMPARE(QString::fromStdString(defaultLoadingsFiles().back().parent_path().string()), m_home.filePath(".config/kq71wb"));
    }
};

QTEST_MAIN(FormTest)
#include "form_test.moc"
