#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QCryptographicHash>
#include <QDir>
#include <QFontDatabase>
#include <QFocusEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QSysInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "frm_kq71wb.h"
#include "load_sheet_page.h"
#include "headless.h"
#include "start.h"
#include "test_print_target.h"
#include "version.h"
#include "widgets.h"

using namespace kq71wb;

namespace {

const char kLoadings[] = "\"N271KQ\",612.5,14.37\n\"N371KQ\",598,14.52\n\"N471KQ\",621.25,14.18\n\"R&D Club\",605.5,14.61\n";

QColor backOf(const QWidget* control) { return control->palette().color(control->backgroundRole()); }

QString colourName(const QColor& colour)
{
    const std::pair<QColor, const char*> names[] = {{QColor(255, 0, 0), "red"}, {QColor(0, 255, 0), "green"},
                                                    {QColor(224, 224, 224), "grey"}, {QColor(192, 255, 192), "light green"},
                                                    {window::lightPalette().color(QPalette::Button), "greyed"}};
    for (const auto& [known, name] : names)
        if (colour == known)
            return name;
    return colour.name();
}
QAccessibleInterface* accessibleOf(const QObject* object) { return QAccessible::queryAccessibleInterface(const_cast<QObject*>(object)); }

void typeInto(QLineEdit* field, const QString& text)
{
    field->setFocus();
    QTest::keyClicks(field, text);
}

// The words of a PDF, as pdftotext (poppler-utils, which ./test installs) reads them.
QString wordsOf(const QByteArray& pdf)
{
    QProcess reading;
    reading.start("pdftotext", {"-", "-"});
    reading.write(pdf);
    reading.closeWriteChannel();
    return reading.waitForFinished(20000) ? QString::fromUtf8(reading.readAllStandardOutput()) : QString();
}

}  // namespace

class FormTest : public QObject {
    Q_OBJECT

public:
    // Beside the plain screen the other tests use, the small screens pilots
    // have, at 150 dots per inch (as QT_FONT_DPI=150 gives).
    static void initMain()
    {
        runHeadless();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" KQ71WB_TEST_SCREENS);
    }

private:
    QTemporaryDir m_home;
    TestPrintTarget m_printTarget;
    std::unique_ptr<frmKQ71wb> m_form;

    const window::WindowControls& c() const { return m_form->controls(); }
    QString documents() const { return m_home.filePath("Documents"); }
    QList<window::MessageLine*> linesBeneath() const { return m_form->findChildren<window::MessageLine*>(); }
    QString note() const { return QString::fromStdString(m_form->session().lines().note); }

    // Prints, and waits until the line says what became of the page.
    bool print()
    {
        m_form->mnuPrint_Click();
        return QTest::qWaitFor([this] { return !note().endsWith(QChar(0x2026)); }, 20000);
    }

    void open(const QByteArray& loadingsFile, const QDateTime& modified = {}, QScreen* screen = nullptr)
    {
        const QString path = m_home.filePath("program/kq71wb.dat");
        QFile::remove(path);
        QFile file(path);
        if (!loadingsFile.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(loadingsFile) == loadingsFile.size());
        file.close();
        if (modified.isValid())
            QVERIFY(file.open(QIODevice::ReadOnly) && file.setFileTime(modified, QFileDevice::FileModificationTime));
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

    // What the window shows of its results: the three totals, their colours,
    // the scale, then each line beneath the layout, a message by its words up
    // to its first colon or full stop: which line a message stands in is the
    // window's, its words are the core's, which its own tests pin.
    QString shown() const
    {
        QStringList parts = {c().lblGrossWeight->text(), c().lblGrossMoment->text(), c().lblFlyCG->text().trimmed(),
                             colourName(backOf(c().lblGrossWeight)), colourName(backOf(c().lblFlyCG)),
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
        // The lines beneath and the menus in a face of the tests' choosing,
        // not whichever the machine's desktop happens to prefer.
        // (A desktop without any font is one on purpose: app_tests_without_fonts.)
        const bool withoutFonts = qEnvironmentVariable("FONTCONFIG_FILE").endsWith("/no-fonts.conf");
        QVERIFY2(withoutFonts || QFontDatabase::families().contains("DejaVu Sans"),
                 "needs DejaVu Sans (fonts-dejavu-core), which ./test installs");
        QApplication::setFont(QFont("DejaVu Sans", 9));
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

    // Each step types a text into a field key by key ("txtWeight(1):170"),
    // or sets it at once ("txtArm(2)=1E200"); every change recalculates.
    void keystrokes_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("expected");
        QTest::newRow("as it opens: the loadings file named") << QStringList()
            << " |  |  | grey | light green | 100 | - | - | - | Loadings from ~/program/kq71wb.dat";
        QTest::newRow("a pilot types a loading") << QStringList{"txtWeight(0):600", "txtArm(0):14", "txtWeight(1):170"}
            << "770 | 5000 | 6.49 | green | red | 100 | CG forward of the 11.70 in limit | - | Pilot weight for this loading | -";
        QTest::newRow("kilograms and a blank arm")
            << QStringList{"txtWeight(0):600", "txtArm(0):25", "txtWeight(1):80 kg", "txtWeight(2):15"}
            << "695 | 13400 | 19.28 | green | red | 180 | CG aft of the 16.00 in limit | Weight, Pilot + Arm, item 3 is blank | "
               "Pilot weight for this loading | -";
        // While "-782.5" was typed in item 3 the window showed the gross
        // weight and CG of "-782" as current, in green and red: they are greyed.
        QTest::newRow("totals an earlier keystroke wrote are greyed")
            << QStringList{"txtWeight(0):612.5", "txtArm(0):23.6", "txtWeight(1):170", "txtWeight(2):-782.5"}
            << "0.5 | 11055 | 22110.00 | greyed | greyed | 180 greyed | Totals not updated | "
               "Weight, item 3 is below zero + Arm, item 3 is blank | - | -";
        QTest::newRow("the caret in the nose ballast: what it may weigh")
            << QStringList{"txtWeight(0):610", "txtArm(0):23.65", "txtWeight(1):110", "txtArm(2):-30", "txtWeight(2):"}
            << "720 | 12226.5 | 16.98 | green | red | 170 | CG aft of the 16.00 in limit | - | Item 3 (-30 in) | -";
    }
    void keystrokes()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, expected);
        for (const QString& step : steps) {
            const qsizetype split = step.indexOf(QRegularExpression("[:=]"));
            auto* field = m_form->findChild<QLineEdit*>(step.left(split));
            if (step[split] == '=') {
                field->setText(step.mid(split + 1));
            } else {
                field->setFocus();
                QTest::keyClicks(field, step.mid(split + 1));
            }
        }
        QCOMPARE(shown(), expected);
    }

    void loadingButtons()
    {
        typeInto(c().txtWeight[1], "170");
        QTest::mouseClick(c().cmdLoading[0], Qt::LeftButton);
        QTest::mouseClick(c().cmdLoading[2], Qt::LeftButton);
        QCOMPARE(c().txtWeight[0]->text() + " " + c().txtArm[0]->text(), QString("621.25 14.18"));
        QCOMPARE(c().lblGrossWeight->text(), QString("791.25"));
        QCOMPARE(QApplication::focusWidget(), c().txtWeight[1]);
        QCOMPARE(c().txtWeight[1]->selectedText(), QString("170"));

        // A press that leaves the focus in the pilot's weight (a screen
        // reader's) still selects it; Enter presses a focused button; a name
        // shows as written.
        c().txtWeight[1]->deselect();
        c().cmdLoading[1]->click();
        QCOMPARE(c().txtWeight[1]->selectedText(), QString("170"));
        c().cmdLoading[3]->setFocus();
        QTest::keyClick(c().cmdLoading[3], Qt::Key_Enter);
        QCOMPARE(c().txtWeight[0]->text(), QString("605.5"));
        QVERIFY(QKeySequence::mnemonic(c().cmdLoading[3]->text()).isEmpty());
        QCOMPARE(accessibleOf(c().cmdLoading[3])->text(QAccessible::Name), QString("R&D Club"));
        QCOMPARE(m_form->session().marked(), 3);
        for (window::LoadingButton* button : c().cmdLoading)
            QCOMPARE(button->isChecked(), button == c().cmdLoading[3]);

        // Once the aircraft-empty row is changed it is no longer that glider's.
        typeInto(c().txtWeight[0], "640");
        QVERIFY(!c().cmdLoading[3]->isChecked());
        QCOMPARE(backOf(c().cmdLoading[3]), backOf(c().cmdLoading[0]));

        // Without a file the buttons are blank and do nothing, and say where a file goes.
        open(QByteArray());
        QCOMPARE(note(), "No loadings file: for the loading buttons, put kq71wb.dat in ~/program/ (a sample is in ~/share/doc/kq71wb/).");
        typeInto(c().txtWeight[0], "600");
        QVERIFY(!c().cmdLoading[1]->isEnabled());
        QVERIFY(c().cmdLoading[1]->toolTip().startsWith("No loading: put kq71wb.dat in ~/program/"));
        m_form->cmdLoading_Click(1);
        QCOMPARE(c().txtWeight[0]->text(), QString("600"));
        QCOMPARE(accessibleOf(c().cmdLoading[1])->text(QAccessible::Name), QString("Loading 2"));

        // A folder where the file should be was passed over, and the window
        // said to put a file exactly where one is: it is named, with why.
        QVERIFY(QDir().mkpath(m_home.filePath("program/kq71wb.dat")));
        open(QByteArray());
        QCOMPARE(note(), "No loadings: ~/program/kq71wb.dat cannot be used, as it is a folder, not a file.");
        QCOMPARE(c().cmdLoading[0]->toolTip(), "No loading: ~/program/kq71wb.dat cannot be used, as it is a folder, not a file.");
        QVERIFY(QDir(m_home.filePath("program/kq71wb.dat")).removeRecursively());

        // A picture saved under the file's name gives no loading, and says so;
        // what the session says of a file that gives some follows its name.
        open(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
        QVERIFY2(note().startsWith("~/program/kq71wb.dat gives no loading (a line of a name in quotes, an empty weight and an "
                                   "empty arm): for the loading buttons, put kq71wb.dat in ~/program/ (a sample is in "
                                   "~/share/doc/kq71wb/)."),
                 qPrintable(note()));
        QVERIFY(!c().cmdLoading[0]->isEnabled());
        open("\"N271KQ\",612.5,23.6\r\n\xE2\x80\x9C" "Club, two\xE2\x80\x9D,598,23.9\r\n");
        QVERIFY2(note().startsWith("Loadings from ~/program/kq71wb.dat. Line 2 of the loadings file does not split"),
                 qPrintable(note()));
        QVERIFY(c().cmdLoading[0]->isEnabled());

        // A file longer than the 64 KiB read gave the digest of what was read:
        // the session has the whole file's size and digest.
        QByteArray weighings = kLoadings;
        for (int year = 0; weighings.size() < 120093; ++year)
            weighings += "\"N271KQ weighed " + QByteArray::number(1990 + year % 30) + "\",612.5,23.6\n";
        open(weighings);
        QVERIFY2(note().startsWith("Loadings from ~/program/kq71wb.dat. Only the first 64 KiB of kq71wb.dat were read"),
                 qPrintable(note()));
        QTest::keyClick(m_form.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(QGuiApplication::clipboard()->text().split('\n')[2].endsWith(
            ", SHA-256 " + QCryptographicHash::hash(weighings, QCryptographicHash::Sha256).toHex().left(12)));
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

    // The scrolling area of the lines beneath took a Tab stop of its own,
    // where the window had room for every line.
    void theLinesBeneathTakeNoTabStop()
    {
        QTRY_COMPARE(m_form->findChild<QScrollArea*>("linesBeneath")->focusPolicy(), Qt::NoFocus);
        c().cmdLoading[3]->setFocus();
        QTest::keyClick(c().cmdLoading[3], Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(c().txtWeight[0]));
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

    // Alt+P prints at once, "Saving…" stands while the page is on its way,
    // and then what became of it; the focus, caret and all, stays in its
    // field. The first change of the figures ends a note, a saving one too.
    // Alt+X ends the program.
    void accessKeysActAtOnce()
    {
        Gate opening;
        m_printTarget.gate = opening.closed();
        typeInto(c().txtWeight[1], "170");
        QTest::keyClick(m_form.get(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(note(), QString("Printing") + QChar(0x2026));
        QTRY_COMPARE(note(), QString("Saving") + QChar(0x2026));
        QVERIFY(!QApplication::activePopupWidget());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(c().txtWeight[1]));
        QCOMPARE(c().txtWeight[1]->selectedText(), QString());
        QCOMPARE(accessibleOf(m_form.get())->focusChild()->object(), static_cast<QObject*>(c().txtWeight[1]));
        typeInto(c().txtWeight[0], "600");
        QCOMPARE(c().lblGrossWeight->text(), QString("770"));
        QCOMPARE(note(), QString());
        opening.open();
        QTRY_VERIFY(note().startsWith("No printer is installed: the page was saved as ~/Documents/KQ71WB-"));
        QTest::keyClick(m_form.get(), Qt::Key_X, Qt::AltModifier);
        QTRY_VERIFY(!m_form->isVisible());
    }

    // The page's words were taken at Alt+P and the window's image once the
    // printer answered: a pilot of 300 lb typed while "Printing…" stood was
    // in the picture beside the words of a 170 lb pilot. Both are of the
    // moment of Alt+P, whether the printer answers in the end or the window
    // is closed first (which lost the page, and left the printer's look-up
    // asking a print target that was gone).
    void aPageIsOfOneMoment_data()
    {
        QTest::addColumn<bool>("closed");
        QTest::newRow("printed once the printer answers") << false;
        QTest::newRow("saved when the window is closed meanwhile") << true;
    }
    void aPageIsOfOneMoment()
    {
        QFETCH(bool, closed);
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("needs pdftotext (poppler-utils), which ./test installs");
        Gate answering;
        m_printTarget.printerName = "Club office";
        m_printTarget.lookupGate = answering.closed();
        m_printTarget.delivered = [&answering] { answering.open(); };
        const auto goneBeforeTheGate = qScopeGuard([this] { m_form.reset(); });
        c().cmdLoading[0]->click();
        typeInto(c().txtWeight[1], "170");
        QTest::keyClick(m_form.get(), Qt::Key_P, Qt::AltModifier);
        c().txtWeight[1]->selectAll();
        QTest::keyClicks(c().txtWeight[1], "300");
        QCOMPARE(c().lblGrossWeight->text(), "912.5");
        if (closed) {
            QTest::ignoreMessage(QtInfoMsg, QRegularExpression("^KQ71WB: No printer answered within 1 second: the page was "
                                                               "saved as ~/Documents/KQ71WB-[-0-9]+\\.pdf\\.$"));
            QTest::keyClick(m_form.get(), Qt::Key_X, Qt::AltModifier);
            m_form.reset();
        } else {
            answering.open();
            QTRY_COMPARE(note(), "Printed on Club office.");
        }
        QList<QByteArray> pages = m_printTarget.jobs;
        for (const QFileInfo& saved : QDir(documents()).entryInfoList({"*.pdf"}, QDir::Files)) {
            QFile page(saved.filePath());
            QVERIFY(page.open(QIODevice::ReadOnly));
            pages << page.readAll();
        }
        QCOMPARE(pages.size(), 1);
        // The image's figures are words of the page too: the pilot's field,
        // the gross weight, the CG.
        const QString printed = wordsOf(pages[0]);
        QVERIFY2(printed.contains("Pilot: 170 lb at -20 in") && printed.count("782.5") >= 2 && !printed.contains("912.5") &&
                     !printed.contains("300"),
                 qPrintable(printed));
    }

    // With no font found at all, the saved page's words were boxes that
    // pdftotext could not read, and the line said the page was saved. ctest
    // runs this alone as app_tests_without_fonts, under an empty font
    // configuration.
    void aPageWithoutALegibleWordIsNotMade()
    {
        if (!qEnvironmentVariable("FONTCONFIG_FILE").endsWith("/no-fonts.conf"))
            QSKIP("needs a desktop without fonts: ctest runs it as app_tests_without_fonts");
        QVERIFY(print());
        QCOMPARE(note(), "No printer is installed, and the page could not be written legibly, as no installed font draws "
                         "its letters.");
        QVERIFY(QDir(documents()).entryList(QDir::Files).isEmpty());
    }

    // The window on paper is the window on screen, its caret aside: every
    // text, colour and mark is carried over to the copy that is printed.
    void printedImageIsTheWindow()
    {
        c().cmdLoading[1]->click();
        typeInto(c().txtWeight[1], "170");
        typeInto(c().txtMisc[0], "Parachute");
        typeInto(c().txtWeight[2], "18");
        typeInto(c().txtMisc[5], "Ballast");
        typeInto(c().txtArm[7], "30");
        QApplication::focusWidget()->clearFocus();
        QImage live(c().client->size(), QImage::Format_RGB32), printed(live.size(), live.format());
        for (QImage* image : {&live, &printed}) {
            image->setDotsPerMeterX(3780);  // 96 dots per inch
            image->setDotsPerMeterY(3780);
        }
        c().client->render(&live);
        QVERIFY(m_form->paintClientArea(printed));
        QCOMPARE(printed, live);

        // Stale totals were printed in their colours beside all-zero rows:
        // they are greyed, on screen as on paper, the scale's pointer too.
        for (QLineEdit* weight : {c().txtWeight[1], c().txtWeight[2], c().txtWeight[0]})
            weight->clear();
        c().client->render(&live);
        QVERIFY(m_form->paintClientArea(printed));
        QCOMPARE(printed, live);
        const QPoint result = c().lblGrossWeight->mapTo(c().client, QPoint(c().lblGrossWeight->width() - 5, 4));
        QCOMPARE(live.pixelColor(result), window::lightPalette().color(QPalette::Button));
        const auto scaleShown = [this] { return c().Slider1->grab().toImage(); };
        const QImage greyedScale = scaleShown();
        c().Slider1->setCentreOfGravity("CG 14.52 in", 14.52, true);
        QVERIFY(scaleShown() != greyedScale);
    }

    // No word of the load sheet falls outside the page's margins, on small
    // and large paper alike, with the longest figures and names there are.
    // The envelope chart printed in black and white keeps the area (hatched
    // and outlined), the loaded point and its label.
    void envelopeKeepsInBlackAndWhite()
    {
        c().cmdLoading[0]->click();
        typeInto(c().txtWeight[1], "170");
        QImage chart(480, 316, QImage::Format_Grayscale8);
        chart.fill(Qt::white);
        QPainter painter(&chart);
        paintEnvelope(painter, chart.rect(), *m_form->loadSheet().envelope);
        painter.end();
        // Dark pixels in a box given in inches across and pounds up.
        const auto inked = [&](double cg, double lb, int width, int height) {
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
        QVERIFY(inked(12.3, 860, 15, 15) > 10);
        QCOMPARE(inked(8.5, 960, 15, 15), 0);
        QVERIFY(inked(8.2, 815, 120, 16) > 50);
    }

    void pageHoldsEveryWord_data()
    {
        QTest::addColumn<QPageSize::PageSizeId>("paper");
        QTest::addColumn<bool>("longest");
        QTest::newRow("A5, a plain sheet: the window's image made smaller") << QPageSize::A5 << false;
        QTest::newRow("Letter, a plain sheet") << QPageSize::Letter << false;
        QTest::newRow("A5") << QPageSize::A5 << true;
        QTest::newRow("A4") << QPageSize::A4 << true;
        QTest::newRow("Letter") << QPageSize::Letter << true;
    }
    void pageHoldsEveryWord()
    {
        QFETCH(QPageSize::PageSizeId, paper);
        QFETCH(bool, longest);
        open(longest ? '"' + QByteArray(4096, 'N') + "\",1.23456789012345E+150,-1.23456789012345E+150\n" : QByteArray(kLoadings));
        for (std::size_t i = 0; longest && i < 8; ++i) {
            c().txtWeight[i]->setText("1.23456789012345E+150");
            c().txtArm[i]->setText("-1.23456789012345E+150,5");
        }
        for (window::SheetField* description : c().txtMisc)
            description->setText(QString(4096, 'D'));
        c().cmdLoading[0]->click();
        // Long descriptions shrank the whole page, the verdict to 4 points:
        // they are shortened, and the words keep 9 points.
        const QSizeF paperPixels = QPageSize(paper).sizePixels(96);
        const PageLayout laidOut = layOutPage(QRectF(0, 0, paperPixels.width() - 144, paperPixels.height() - 144),
                                              m_form->loadSheet(), c().client->size());
        QVERIFY2(longest || laidOut.scale >= 12.0 / 13, qPrintable(QString::number(laidOut.scale)));
        // The envelope chart stands between the image of the window and the lines below.
        QVERIFY(!laidOut.envelope.isEmpty() && laidOut.envelope.top() >= laidOut.image.bottom() &&
                laidOut.envelope.bottom() <= laidOut.blocks.back().box.top());
        QImage page(QPageSize(paper).sizePixels(96), QImage::Format_RGB32);
        page.setDotsPerMeterX(3780);
        page.setDotsPerMeterY(3780);
        page.fill(Qt::white);
        QVERIFY(!frmKQ71wb::paintLoadSheet(page, m_form->loadSheetPage()));
        QVERIFY(!page.allGray());  // the window's image, in colour, is on the page
        const QRect inside = page.rect().adjusted(71, 71, -71, -71);
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (!inside.contains(x, y))
                    QVERIFY2(qGray(page.pixel(x, y)) > 200, qPrintable(QString("ink at %1,%2").arg(x).arg(y)));
    }

    // A description in a script no installed font draws took the figures
    // after it into its run of missing-glyph boxes: "Item 3 (■■■■ lb at 5 in".
    void figuresWholeBesideAnyScript()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("needs pdftotext (poppler-utils), which ./test installs");
        c().txtMisc[0]->setText(QString::fromUtf8("\u092A\u0948\u0930\u093E\u0936\u0942\u091F"));
        typeInto(c().txtWeight[2], "18");
        typeInto(c().txtArm[2], "5");
        QBuffer bytes;
        QVERIFY(bytes.open(QIODevice::WriteOnly));
        {
            QPdfWriter pdf(&bytes);
            QVERIFY(!frmKQ71wb::paintLoadSheet(pdf, m_form->loadSheetPage()));
        }
        const QString printed = wordsOf(bytes.data());
        QVERIFY2(printed.contains("Item 3: 18 lb at 5 in, moment 90 lb-in ("), qPrintable(printed));
    }

    // The copied text is the load sheet's lines, and the line beneath says it
    // was copied; a problem report carries them too; F8 says the whole result there.
    void copyAndSpeakTheResult()
    {
        // Times are written with their zone: in Denver, a file written at 04:09 UTC.
        const QByteArray zone = qgetenv("TZ");
        const auto zoneBack = qScopeGuard([&zone] { zone.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone); });
        qputenv("TZ", "America/Denver");
        open(kLoadings, QDateTime::fromSecsSinceEpoch(1796702940));
        c().cmdLoading[0]->click();
        typeInto(c().txtWeight[1], "170");
        QTest::keyClick(m_form.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QStringList lines = QGuiApplication::clipboard()->text().split('\n');
        QVERIFY2(QRegularExpression("^Made \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d \u22120[67]:00 with KQ71WB ").match(lines[1]).hasMatch(),
                 qPrintable(lines[1]));
        QVERIFY(lines.contains("Pilot: 170 lb at -20 in, moment -3400 lb-in."));
        // Which weighing the figures rest on: the file's time and the start of its SHA-256.
        const QString loadingsFile = "Loadings file: ~/program/kq71wb.dat, modified 2026-12-07 21:09 \u221207:00, SHA-256 " +
                                     QCryptographicHash::hash(kLoadings, QCryptographicHash::Sha256).toHex().left(12);
        QCOMPARE(lines[3], loadingsFile);
        QCOMPARE(note(), "Load sheet copied.");
        // Help > Report a problem: the same lines, with the version, the platform and where to send them.
        c().mnuReport->trigger();
        const QString report = QGuiApplication::clipboard()->text();
        for (const QString& part : {QString("KQ71WB problem report, for whoever gave you KQ71WB"),
                                    QString(" with KQ71WB " KQ71WB_VERSION "\n"), lines[3]})
            QVERIFY2(report.contains(part), qPrintable(report));
        QVERIFY2(report.contains("\nPlatform: " + QSysInfo::prettyProductName()), qPrintable(report));
        QVERIFY2(note().startsWith("A problem report is on the clipboard"), qPrintable(note()));
        // The file changed on disk after it was read kept its old time and
        // digest without a word: the file is read again, and the sheet and
        // the note say so.
        QFile rewritten(m_home.filePath("program/kq71wb.dat"));
        QVERIFY(rewritten.open(QIODevice::WriteOnly) && rewritten.write("\"N271KQ\",640,14.37\n") > 0);
        rewritten.close();
        QTest::keyClick(m_form.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        lines = QGuiApplication::clipboard()->text().split('\n');
        QCOMPARE(lines[3], loadingsFile);
        QVERIFY2(lines[4].contains("SHA-256 is now " + QCryptographicHash::hash("\"N271KQ\",640,14.37\n", QCryptographicHash::Sha256)
                                                          .toHex().left(12)), qPrintable(lines[4]));
        QCOMPARE(note(), "Load sheet copied. " + lines[4]);
        QTest::keyClick(m_form.get(), Qt::Key_F8);
        QVERIFY2(note().startsWith("Gross weight 782.5 lb, within limits."), qPrintable(note()));
    }

    // What a screen reader reads of each figure and line, as the sheet says it.
    void aScreenReaderReadsEachFigure()
    {
        QCOMPARE(accessibleOf(c().Slider1)->text(QAccessible::Description), "No CG yet");
        c().cmdLoading[0]->click();
        typeInto(c().txtWeight[1], "170");
        // Nothing of a figure is ever selected; a field selects what the reader asks for.
        QCOMPARE(accessibleOf(c().lblGrossWeight)->textInterface()->selectionCount(), 0);
        accessibleOf(c().txtWeight[1])->textInterface()->setSelection(0, 1, 2);
        QCOMPARE(c().txtWeight[1]->selectedText(), "7");
        QCOMPARE(accessibleOf(c().lblMoment[1])->text(QAccessible::Value), "-3400");
        QCOMPARE(accessibleOf(c().lblGrossWeight)->text(QAccessible::Name), "Gross weight, 782.5, within limits");
        QCOMPARE(accessibleOf(c().Slider1)->text(QAccessible::Description), "CG 6.90 in, forward of the scale");
        QCOMPARE(accessibleOf(linesBeneath().front())->text(QAccessible::Name), "CG forward of the 11.70 in limit.");
    }

    // Whatever the desktop's font and screen: the window stands within the
    // screen, the verdict shows beneath the results it speaks of, the field
    // typed in shows, and every line beneath holds every word. What finds no
    // room scrolls, keeps the newest line in view, and the keyboard reaches it.
    // The lines once ran off the bottom of the window with Noto Sans at 22 px.
    void linesBeneathHoldEveryWord_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pixels");  // 0 for the desktop's usual 9 points
        QTest::addColumn<QString>("screen");
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
        const QFont desktop = QApplication::font();
        const auto restore = qScopeGuard([&desktop] { QApplication::setFont(desktop); });
        QFont font(family);
        pixels ? font.setPixelSize(pixels) : font.setPointSize(9);
        QApplication::setFont(font);
        const QList<QScreen*> screens = QGuiApplication::screens();
        const auto named = std::find_if(screens.begin(), screens.end(), [&screen](QScreen* s) { return s->name() == screen; });
        QVERIFY(named != screens.end());
        open(kLoadings, {}, *named);
        QCOMPARE(QFontInfo(linesBeneath().front()->font()).family(), family);

        // Over the weight and aft, two warnings, and the whole result said at length.
        typeInto(c().txtWeight[0], "950");
        typeInto(c().txtArm[0], "17");
        typeInto(c().txtWeight[1], "80 kg");
        typeInto(c().txtWeight[2], "15");
        typeInto(c().txtWeight[0], "");
        QTest::keyClick(m_form.get(), Qt::Key_F8);
        const auto lines = linesBeneath();
        for (const window::MessageLine* line : lines)
            QTRY_VERIFY2(line->height() == (line->text().isEmpty() ? 0 : line->heightForWidth(line->width())),
                         qPrintable(line->objectName()));
        QTRY_VERIFY2((*named)->availableGeometry().contains(m_form->frameGeometry()),
                     qPrintable(QString("%1 tall at %2").arg(m_form->frameGeometry().height()).arg(m_form->frameGeometry().y())));
        const auto inView = [](const QWidget* control) { return control->visibleRegion() == QRegion(control->rect()); };
        for (const QWidget* shown : {static_cast<QWidget*>(lines.front()), static_cast<QWidget*>(c().lblGrossWeight),
                                     static_cast<QWidget*>(c().lblFlyCG), static_cast<QWidget*>(c().txtWeight[0])})
            QTRY_VERIFY2(inView(shown), qPrintable(shown->objectName()));

        // The newest line, the note, shows from its start; Tab from the last
        // button reaches what scrolls, and the keys scroll it to the end.
        QTRY_VERIFY(!lines.back()->visibleRegion().isEmpty() && lines.back()->visibleRegion().boundingRect().top() == 0);
        auto* area = m_form->findChild<QScrollArea*>("linesBeneath");
        if (area->verticalScrollBar()->maximum() > 0) {
            c().cmdLoading[3]->setFocus();
            QTest::keyClick(c().cmdLoading[3], Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), area);
            QTest::keyClick(area, Qt::Key_End);
            QCOMPARE(area->verticalScrollBar()->value(), area->verticalScrollBar()->maximum());
            QTest::keyClick(area, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), c().txtWeight[0]);
        }
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

    void opensCentred()
    {
        const QPoint centre = m_form->screen()->availableGeometry().center();
        QVERIFY((m_form->frameGeometry().center() - centre).manhattanLength() <= 2);
    }
};

QTEST_MAIN(FormTest)
#include "form_test.moc"
