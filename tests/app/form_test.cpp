#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <QAccessible>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <clocale>
#include <memory>

#include "frm_kq71wb.h"
#include "print_target.h"
#include "widgets.h"
#include "window_builder.h"

using namespace kq71wb;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kLightYellow(255, 255, 192);

QColor backOf(const QWidget* control) { return control->palette().color(control->backgroundRole()); }

void typeInto(QLineEdit* field, const QString& text)
{
    field->setFocus();
    QTest::keyClicks(field, text);
}

QList<std::pair<QAccessible::Event, QObject*>> g_accessibilityEvents;

void recordAccessibilityEvent(QAccessibleEvent* event) { g_accessibilityEvents.append({event->type(), event->object()}); }

QAccessibleInterface* accessibleOf(QObject* object) { return QAccessible::queryAccessibleInterface(object); }

// A file on a disk with room for only so many bytes more: as the system
// does, a write takes what fits, and the next one fails.
class FullDiskFile : public QFile {
public:
    FullDiskFile(const QString& path, qint64 room) : QFile(path), m_room(room) {}

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        if (m_room == 0) {
            setErrorString("No space left on device");
            return -1;
        }
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

}  // namespace

class FormTest : public QObject {
    Q_OBJECT

public:
    static void initMain() { qputenv("QT_QPA_PLATFORM", "offscreen"); }

private:
    QTemporaryDir m_home;
    TestPrintTarget m_printTarget;
    std::unique_ptr<frmKQ71wb> m_form;

    const window::WindowControls& c() const { return m_form->controls(); }
    QString documents() const { return m_home.filePath("Documents"); }

    void open(const QByteArray& loadingsFile)
    {
        const QString path = m_home.filePath("program/kq71wb.dat");
        QFile::remove(path);
        if (!loadingsFile.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(loadingsFile);
        }
        m_form = std::make_unique<frmKQ71wb>(std::vector<std::filesystem::path>{QFile::encodeName(path).toStdString()},
                                             m_printTarget);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QVERIFY(QDir(m_home.path()).mkpath("program"));
        qputenv("HOME", QFile::encodeName(m_home.path()));
        configureApplication();
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void init()
    {
        m_printTarget = TestPrintTarget();
        m_printTarget.folder = documents();
        QDir(documents()).removeRecursively();
        open("\"N271KQ\",612.5,14.37\n\"N371KQ\",598,14.52\n\"N471KQ\",621.25,14.18\n\"N571KQ\",605.5,14.61\n");
    }
    void cleanup() { m_form.reset(); }

    void startsClearedWithThePilotArm()
    {
        for (std::size_t i = 0; i < 8; ++i) {
            QCOMPARE(c().txtWeight[i]->text(), QString());
            QCOMPARE(c().txtArm[i]->text(), i == 1 ? QString("-20") : QString());
            QCOMPARE(c().lblMoment[i]->text(), QString("0"));
        }
        for (QLabel* result : {c().lblGrossWeight, c().lblGrossMoment, c().lblFlyCG})
            QCOMPARE(result->text(), QString());
        QCOMPARE(backOf(c().lblFlyCG), QColor(192, 255, 192));
        QStringList names;
        for (QPushButton* button : c().cmdLoading)
            names << button->text();
        QCOMPARE(names, QStringList({"N271KQ", "N371KQ", "N471KQ", "N571KQ"}));
        QCOMPARE(QApplication::focusWidget(), c().txtWeight[0]);
        QCOMPARE(m_form->statusText(), QString());
    }

    void typingRecalculatesEveryKeystroke()
    {
        typeInto(c().txtWeight[0], "600");
        QCOMPARE(c().lblGrossWeight->text(), QString("600"));
        typeInto(c().txtArm[0], "14");
        typeInto(c().txtWeight[1], "170");

        QCOMPARE(c().lblMoment[0]->text(), QString("8400"));
        QCOMPARE(c().lblMoment[1]->text(), QString("-3400"));
        QCOMPARE(c().lblGrossWeight->text(), QString("770"));
        QCOMPARE(backOf(c().lblGrossWeight), kGreen);
        QCOMPARE(c().lblGrossMoment->text(), QString("5000"));
        QCOMPARE(c().lblFlyCG->text(), QString("  6.49"));
        QCOMPARE(backOf(c().lblFlyCG), kRed);
        QCOMPARE(c().Slider1->value(), 100);  // 65 is off the scale's forward end
        QCOMPARE(m_form->statusText(), QString("CG forward of the 11.70 in limit."));
    }

    void overflowIsShownAndTheProgramGoesOn()
    {
        typeInto(c().txtWeight[0], "600");
        typeInto(c().txtArm[3], "1E200");
        typeInto(c().txtWeight[3], "1E20");
        QCOMPARE(c().lblGrossWeight->text(), QString("1E+20"));
        QTest::keyClick(c().txtWeight[3], Qt::Key_0);  // 1E200 x 1E200 is beyond any double
        QCOMPARE(m_form->statusText(), QString("Overflow: a number is too large; the totals were not updated."));
        QCOMPARE(c().lblMoment[3]->text(), QString("1E+220"));  // as the last good pass left it
        QCOMPARE(c().lblGrossWeight->text(), QString("1E+20"));

        c().txtArm[3]->setText("1");
        QCOMPARE(c().lblGrossWeight->text(), QString("1E+200"));
        QCOMPARE(m_form->statusText(), QString("Gross weight over 900 lb. CG forward of the 11.70 in limit."));
    }

    void loadingButtonFillsTheAircraftEmptyRow()
    {
        typeInto(c().txtWeight[1], "170");
        QTest::mouseClick(c().cmdLoading[0], Qt::LeftButton);
        QTest::mouseClick(c().cmdLoading[2], Qt::LeftButton);

        QCOMPARE(backOf(c().cmdLoading[0]), window::lightPalette().color(QPalette::Button));
        QCOMPARE(backOf(c().cmdLoading[2]), kLightYellow);
        QCOMPARE(c().txtWeight[0]->text(), QString("621.25"));
        QCOMPARE(c().txtArm[0]->text(), QString("14.18"));
        QCOMPARE(c().lblGrossWeight->text(), QString("791.25"));
        QCOMPARE(QApplication::focusWidget(), c().txtWeight[1]);
        QCOMPARE(c().txtWeight[1]->selectedText(), QString("170"));

        // A press that leaves the focus in the pilot's weight (an access key)
        // still selects its text.
        c().txtWeight[1]->deselect();
        c().cmdLoading[2]->click();
        QCOMPARE(backOf(c().cmdLoading[2]), kLightYellow);
        QCOMPARE(c().txtWeight[1]->selectedText(), QString("170"));
    }

    void withoutALoadingsFileTheButtonsAreBlank()
    {
        open(QByteArray());
        for (QPushButton* button : c().cmdLoading)
            QCOMPARE(button->text(), QString());
        typeInto(c().txtWeight[0], "600");
        c().cmdLoading[1]->click();
        QCOMPARE(c().txtWeight[0]->text(), QString());
        QCOMPARE(backOf(c().cmdLoading[1]), kLightYellow);
    }

    void focusSelectsTheWholeText_data()
    {
        QTest::addColumn<bool>("byMouse");
        QTest::newRow("Tab") << false;
        QTest::newRow("mouse click") << true;
    }
    void focusSelectsTheWholeText()
    {
        QFETCH(bool, byMouse);
        c().txtArm[0]->setText("14.37");
        c().txtMisc[0]->setText("Water ballast");
        c().txtWeight[0]->setFocus();
        for (QLineEdit* field : {static_cast<QLineEdit*>(c().txtArm[0]), static_cast<QLineEdit*>(c().txtMisc[0])}) {
            if (byMouse) {
                QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(3, field->height() / 2));
            } else {
                while (QApplication::focusWidget() != field)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            QCOMPARE(field->selectedText(), field->text());
        }
        QTest::keyClicks(c().txtMisc[0], "Tail dolly");
        QCOMPARE(c().txtMisc[0]->text(), QString("Tail dolly"));
    }

    void onlyGainingTheFocusSelects_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("selects");
        QTest::newRow("Shift+Tab") << int(Qt::BacktabFocusReason) << true;
        QTest::newRow("program") << int(Qt::OtherFocusReason) << true;
        QTest::newRow("window activated again") << int(Qt::ActiveWindowFocusReason) << false;
        QTest::newRow("menu closed") << int(Qt::PopupFocusReason) << false;
        QTest::newRow("menu bar left") << int(Qt::MenuBarFocusReason) << false;
    }
    void onlyGainingTheFocusSelects()
    {
        QFETCH(int, reason);
        QFETCH(bool, selects);
        QLineEdit* field = c().txtMisc[2];
        field->setText("Parachute");
        field->setCursorPosition(4);
        QFocusEvent focusIn(QEvent::FocusIn, Qt::FocusReason(reason));
        QApplication::sendEvent(field, &focusIn);
        QCOMPARE(field->selectedText(), selects ? QString("Parachute") : QString());
    }

    // The note of a print stays until a recalculation: typing a description
    // or setting a text to what it was already is none.
    void printNoteLastsUntilTheNextRecalculation()
    {
        m_form->mnuPrint_Click();
        const QString note = m_form->statusText();
        QVERIFY2(note.startsWith("No printer is installed: the page was saved as ~/Documents/KQ71WB-"), qPrintable(note));
        typeInto(c().txtMisc[0], "12345");
        c().txtArm[1]->setText("-20");
        QCOMPARE(m_form->statusText(), note);
        c().txtArm[1]->setText("-21");
        QCOMPARE(m_form->statusText(), QString());
    }

    void printsOnTheDefaultPrinter()
    {
        m_printTarget.printerName = "Club office";
        m_form->mnuPrint_Click();
        QCOMPARE(m_form->statusText(), QString("Printed on Club office."));
        QCOMPARE(m_printTarget.jobs.size(), 1);
        QVERIFY(m_printTarget.jobs[0].startsWith("%PDF-") && m_printTarget.jobs[0].trimmed().endsWith("%%EOF"));
        QVERIFY(!QDir(documents()).exists());

        m_printTarget.refusal = "Printer \"Club office\" does not exist.";
        m_form->mnuPrint_Click();
        QCOMPARE(m_form->statusText(),
                 QString("Printing on Club office failed: Printer \"Club office\" does not exist."));
    }

    void savesAWholePageWithoutAPrinter()
    {
        m_form->mnuPrint_Click();
        m_form->mnuPrint_Click();
        const QStringList pages = QDir(documents()).entryList(QDir::Files);
        QCOMPARE(pages.size(), 2);
        for (const QString& name : pages) {
            QVERIFY(name.startsWith("KQ71WB-") && name.endsWith(".pdf"));
            QFile page(QDir(documents()).filePath(name));
            QVERIFY(page.open(QIODevice::ReadOnly));
            const QByteArray bytes = page.readAll();
            QVERIFY(bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF"));
        }
    }

    void aFullDiskLeavesNoHalfPage()
    {
        m_printTarget.diskRoom = 8192;
        m_form->mnuPrint_Click();
        QCOMPARE(m_form->statusText(),
                 QString("No printer is installed, and the page could not be saved: no space left on device."));
        QCOMPARE(QDir(documents()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void withoutAHomeFolderNothingIsSaved()
    {
        const QByteArray home = qgetenv("HOME");
        qunsetenv("HOME");
        m_printTarget.folder = SystemPrintTarget().documentsFolder();
        qputenv("HOME", home);
        m_form->mnuPrint_Click();
        QCOMPARE(m_form->statusText(), QString("No printer is installed, and there is no home folder to save the page in."));
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

    // Totals kept from an earlier pass are not presented as current.
    void staleTotalsSaySo()
    {
        typeInto(c().txtWeight[0], "600");
        typeInto(c().txtArm[0], "14");
        typeInto(c().txtWeight[1], "170");
        c().txtWeight[0]->clear();
        c().txtWeight[1]->clear();
        QCOMPARE(c().lblGrossWeight->text(), QString("170"));
        QCOMPARE(m_form->statusText(), QString("Totals not updated: the gross weight is zero or less."));
        typeInto(c().txtWeight[1], "-130");
        QCOMPARE(m_form->statusText(), QString("Totals not updated: the gross weight is zero or less."));
        c().txtWeight[0]->setText("600");
        QCOMPARE(m_form->statusText(), QString("CG aft of the 16.00 in limit."));
    }

    // The mark is the light yellow itself, flat, not a style's gradient of it.
    void markedLoadingShowsItsColour()
    {
        c().cmdLoading[1]->click();
        QImage image(c().client->size(), QImage::Format_RGB32);
        c().client->render(&image);
        for (QPushButton* button : c().cmdLoading) {
            QList<int> reds, greens, blues;
            const QRect inside = button->geometry().adjusted(4, 4, -4, -4);
            for (int y = inside.top(); y <= inside.bottom(); ++y)
                for (int x = inside.left(); x <= inside.right(); ++x) {
                    const QColor pixel = image.pixelColor(x, y);
                    reds << pixel.red(), greens << pixel.green(), blues << pixel.blue();
                }
            for (QList<int>* channel : {&reds, &greens, &blues})
                std::nth_element(channel->begin(), channel->begin() + channel->size() / 2, channel->end());
            const QColor median(reds[reds.size() / 2], greens[greens.size() / 2], blues[blues.size() / 2]);
            const bool yellow = median.red() > 250 && median.green() > 250 && std::abs(median.blue() - 192) <= 3;
            QVERIFY2(yellow == (button == c().cmdLoading[1]), qPrintable(median.name()));
        }
    }

    void centredOnTheOuterFrame_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QMargins>("frame");
        QTest::addColumn<QPoint>("position");
        QTest::newRow("no frame yet") << QRect(0, 0, 1024, 768) << QMargins() << QPoint(219, 146);
        QTest::newRow("title bar") << QRect(0, 0, 1024, 768) << QMargins(1, 23, 1, 1) << QPoint(218, 134);
        QTest::newRow("panel above") << QRect(0, 32, 1920, 1048) << QMargins(4, 30, 4, 4) << QPoint(663, 301);
    }
    void centredOnTheOuterFrame()
    {
        QFETCH(QRect, available);
        QFETCH(QMargins, frame);
        QFETCH(QPoint, position);
        QCOMPARE(centredFramePosition(available, frame, QSize(586, 476)), position);
    }

    // Every message of the line beneath the layout fits it, in the line's own
    // font; a long path or printer name is shortened in its middle instead.
    void everyMessageFitsItsLine()
    {
        const auto* line = m_form->findChild<const window::MessageLine*>("lblStatus");
        QStringList shown;
        const auto expectWhole = [&] {
            QVERIFY(!m_form->statusText().isEmpty());
            QCOMPARE(line->text(), m_form->statusText());
            shown << line->text();
        };
        const std::pair<QStringList, QStringList> sheets[] = {
            {{"1E200"}, {"1E200"}}, {{"1E200", "-1E200", "1E-300"}, {"1E100", "0", "0"}}, {{"1"}, {"3E8"}},
            {{"1000"}, {"5"}}, {{"1000"}, {"20"}}, {{"-5"}, {"0"}}};
        for (const auto& [weights, arms] : sheets) {
            for (std::size_t i = 0; i < 3; ++i) {
                c().txtArm[i]->setText(arms.value(int(i)));
                c().txtWeight[i]->setText(weights.value(int(i)));
            }
            expectWhole();
        }
        m_printTarget.printerName = "Club office";
        for (const std::optional<QString>& refusal : {std::optional<QString>(), std::optional<QString>("Printer is not accepting jobs.")}) {
            m_printTarget.refusal = refusal;
            m_form->mnuPrint_Click();
            expectWhole();
        }
        m_printTarget.printerName.reset();
        for (const qint64 room : {-1, 0}) {
            m_printTarget.diskRoom = room;
            m_form->mnuPrint_Click();
            expectWhole();
        }
        m_printTarget.folder.clear();
        m_form->mnuPrint_Click();
        expectWhole();
        QCOMPARE(shown.size(), 11);

        m_printTarget.printerName = "The club's second printer, in the briefing room behind the hangar doors";
        m_form->mnuPrint_Click();
        QVERIFY(line->text().contains(QChar(0x2026)));
        QCOMPARE(line->toolTip(), m_form->statusText());
    }

    void fieldsTakeAnyLength()
    {
        c().txtArm[0]->setText("1");
        c().txtWeight[0]->setText("7" + QString(40000, ' ') + "5");
        QCOMPARE(c().lblMoment[0]->text(), QString("75"));
    }

    void loadingNamesShowAsWritten()
    {
        open("\"R&D Club\",600,14\n");
        QVERIFY(QKeySequence::mnemonic(c().cmdLoading[0]->text()).isEmpty());
        QCOMPARE(c().cmdLoading[0]->text(), QString("R&&D Club"));  // drawn as R&D Club
    }

    void enterPressesAFocusedLoadingButton()
    {
        c().cmdLoading[3]->setFocus();
        QTest::keyClick(c().cmdLoading[3], Qt::Key_Enter);
        QCOMPARE(c().txtWeight[0]->text(), QString("605.5"));
        c().cmdLoading[2]->setFocus();
        QTest::keyClick(c().cmdLoading[2], Qt::Key_Return);
        QCOMPARE(c().txtWeight[0]->text(), QString("621.25"));
    }

    // Beneath the layout: what this loading allows, once it weighs anything,
    // and a number that is not read as it looks, before the verdict.
    void readOutsAndMisreadsBeneathTheLayout()
    {
        const auto* readouts = m_form->findChild<const window::MessageLine*>("lblReadouts");
        QCOMPARE(readouts->text(), QString());
        c().txtArm[0]->setText("23.65");
        c().txtWeight[0]->setText("610");
        typeInto(c().txtWeight[1], "170");
        QCOMPARE(readouts->text(), QString("Pilot weight for this loading: 130 to 229 lb. Room to 900 lb: 120 lb."));
        QCOMPARE(m_form->statusText(), QString("Within limits."));
        typeInto(c().txtArm[2], "14,5");
        QCOMPARE(m_form->statusText(), QString("Arm, item 3: \"14,5\" is read as 14."));
        c().txtWeight[0]->clear();
        QCOMPARE(readouts->text(), QString());
    }

    void copiesTheLoadSheetAsText()
    {
        c().cmdLoading[0]->click();
        typeInto(c().txtWeight[1], "170");
        QTest::keyClick(m_form.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.mid(2, 3), QStringList({"Loading: N271KQ", "", "Verdict: CG forward of the 11.70 in limit."}));
    }

    // What a screen reader reads: every figure with what it is and its
    // verdict, the scale as the CG, which loading is marked; and the line
    // beneath the layout announced on each change of its words, once.
    void screenReadersReadEveryFigureAndHearEveryVerdict()
    {
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler(recordAccessibilityEvent);
        g_accessibilityEvents.clear();
        typeInto(c().txtWeight[0], "600");
        typeInto(c().txtArm[0], "14");
        typeInto(c().txtWeight[1], "170");
        const auto* line = m_form->findChild<const window::MessageLine*>("lblStatus");
        const auto announcements = [line] {
            return std::count(g_accessibilityEvents.cbegin(), g_accessibilityEvents.cend(),
                              std::pair{QAccessible::ObjectShow, static_cast<QObject*>(const_cast<window::MessageLine*>(line))});
        };
        QCOMPARE(announcements(), 3);  // forward, within, forward again: 8 keystrokes
        QCOMPARE(accessibleOf(const_cast<window::MessageLine*>(line))->text(QAccessible::Name), QString("CG forward of the 11.70 in limit."));

        for (QLabel* result : {static_cast<QLabel*>(c().lblMoment[1]), static_cast<QLabel*>(c().lblGrossWeight),
                               static_cast<QLabel*>(c().lblFlyCG)}) {
            QAccessibleInterface* figure = accessibleOf(result);
            const QString caption = result->text().remove(' ');
            QCOMPARE(figure->text(QAccessible::Value), caption);
            QCOMPARE(figure->textInterface()->text(0, figure->textInterface()->characterCount()), caption);
        }
        QCOMPARE(accessibleOf(c().lblFlyCG)->text(QAccessible::Name), QString("Centre of gravity"));
        QCOMPARE(accessibleOf(c().lblFlyCG)->text(QAccessible::Description),
                 QString("out of limits, forward of the 11.70 in limit"));
        QCOMPARE(accessibleOf(c().Slider1)->text(QAccessible::Value), QString("CG 6.49 in, forward of the scale"));

        c().cmdLoading[1]->click();  // new figures, the same verdict: said again
        QCOMPARE(announcements(), 4);
        for (QPushButton* button : c().cmdLoading) {
            QCOMPARE(accessibleOf(button)->state().checked, button == c().cmdLoading[1]);
            QCOMPARE(accessibleOf(button)->text(QAccessible::Name), button->text());
        }
        QAccessible::installUpdateHandler(nullptr);
    }

    void printFromTheMenuBarKeepsTheFocus()
    {
        typeInto(c().txtWeight[1], "170");
        QTest::keyClick(m_form.get(), Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(m_form->statusText().startsWith("No printer is installed: the page was saved as "));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(c().txtWeight[1]));
        QCOMPARE(c().txtWeight[1]->selectedText(), QString());  // the caret stays where it was
        QCOMPARE(accessibleOf(m_form.get())->focusChild()->object(), static_cast<QObject*>(c().txtWeight[1]));
    }

    void accessKeysActAtOnce()
    {
        QTest::keyClick(m_form.get(), Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(m_form->statusText().startsWith("No printer is installed: the page was saved as "));
        QVERIFY(!QApplication::activePopupWidget());
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
        open("\"N271KQ\",612.5,14.37\n");
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
        QCOMPARE(QString::fromStdString(defaultLoadingsFiles().back().parent_path().string()),
                 m_home.filePath(".config/kq71wb"));
    }
};

QTEST_MAIN(FormTest)
#include "form_test.moc"
