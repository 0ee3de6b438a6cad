#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFocusEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "frm_kq71wb.h"

using namespace kq71wb;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kLightYellow(255, 255, 192);

QColor BackOf(const QWidget* control) { return control->palette().color(control->backgroundRole()); }

void TypeInto(QLineEdit* field, const QString& text)
{
    field->setFocus();
    QTest::keyClicks(field, text);
}

}  // namespace

class FormTest : public QObject {
    Q_OBJECT

public:
    static void initMain() { qputenv("QT_QPA_PLATFORM", "offscreen"); }

private:
    QTemporaryDir m_home;
    std::unique_ptr<frmKQ71wb> m_form;

    const window::WindowControls& c() const { return m_form->controls(); }

    void open(const QByteArray& loadingsFile)
    {
        const QString path = m_home.filePath("program/kq71wb.dat");
        QFile::remove(path);
        if (!loadingsFile.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(loadingsFile);
        }
        m_form = std::make_unique<frmKQ71wb>(std::vector<std::filesystem::path>{QFile::encodeName(path).toStdString()});
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QVERIFY(QDir(m_home.path()).mkpath("program"));
        // Printing without a printer saves into the documents folder of this home.
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath("config")));
        ConfigureApplication();
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void init()
    {
        open("\"N271KQ\",612.5,14.37\n\"N371KQ\",598,14.52\n\"N471KQ\",621.25,14.18\n\"N571KQ\",605.5,14.61\n");
    }
    void cleanup() { m_form.reset(); }

    void startsClearedWithThePilotArm()
    {
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(c().txtWeight[i]->text(), QString());
            QCOMPARE(c().txtArm[i]->text(), i == 1 ? QString("-20") : QString());
            QCOMPARE(c().lblMoment[i]->text(), QString("0"));
        }
        for (QLineEdit* description : c().txtMisc)
            QCOMPARE(description->text(), QString());
        for (QLabel* result : {c().lblGrossWeight, c().lblGrossMoment, c().lblFlyCG})
            QCOMPARE(result->text(), QString());
        QCOMPARE(BackOf(c().lblGrossWeight), QColor(224, 224, 224));
        QCOMPARE(BackOf(c().lblFlyCG), QColor(192, 255, 192));
        const QColor buttonFace = QApplication::palette().color(QPalette::Button);
        QStringList names;
        for (QPushButton* button : c().cmdLoading) {
            QCOMPARE(BackOf(button), buttonFace);
            names << button->text();
        }
        QCOMPARE(names, QStringList({"N271KQ", "N371KQ", "N471KQ", "N571KQ"}));
        QCOMPARE(QApplication::focusWidget(), c().txtWeight[0]);
        QCOMPARE(m_form->statusText(), QString());
    }

    void typingRecalculatesEveryKeystroke()
    {
        TypeInto(c().txtWeight[0], "600");
        QCOMPARE(c().lblMoment[0]->text(), QString("0"));  // no arm yet
        QCOMPARE(c().lblGrossWeight->text(), QString("600"));
        TypeInto(c().txtArm[0], "14");
        TypeInto(c().txtWeight[1], "170");

        QCOMPARE(c().lblMoment[0]->text(), QString("8400"));
        QCOMPARE(c().lblMoment[1]->text(), QString("-3400"));
        QCOMPARE(c().lblMoment[2]->text(), QString("0"));
        QCOMPARE(c().lblGrossWeight->text(), QString("770"));
        QCOMPARE(BackOf(c().lblGrossWeight), kGreen);
        QCOMPARE(c().lblGrossMoment->text(), QString("5000"));
        QCOMPARE(c().lblFlyCG->text(), QString("  6.49"));
        QCOMPARE(BackOf(c().lblFlyCG), kRed);
        QCOMPARE(c().Slider1->value(), 100);  // 65 is off the scale's forward end
        QCOMPARE(m_form->sheet().sliderValue, std::optional<std::int32_t>(65));
        QCOMPARE(m_form->statusText(), QString("CG forward of the 11.70 in limit."));

        // Clearing the weights leaves the totals of the last pass that had a weight.
        c().txtWeight[0]->clear();
        QCOMPARE(c().lblGrossWeight->text(), QString("170"));
        QCOMPARE(c().lblFlyCG->text(), QString("-  20.00"));
        c().txtWeight[1]->clear();
        QCOMPARE(c().lblMoment[1]->text(), QString("0"));
        QCOMPARE(c().lblGrossWeight->text(), QString("170"));
        QCOMPARE(c().lblGrossMoment->text(), QString("-3400"));
        QCOMPARE(c().lblFlyCG->text(), QString("-  20.00"));
        QCOMPARE(BackOf(c().lblFlyCG), kRed);
    }

    void overflowIsShownAndTheProgramGoesOn()
    {
        TypeInto(c().txtWeight[0], "600");
        TypeInto(c().txtArm[0], "14");
        TypeInto(c().txtArm[3], "1E200");
        TypeInto(c().txtWeight[3], "1E20");
        const QString grossWeight = c().lblGrossWeight->text();
        const QString grossMoment = c().lblGrossMoment->text();
        QCOMPARE(grossWeight, QString("1E+20"));
        QTest::keyClick(c().txtWeight[3], Qt::Key_0);  // 1E200 x 1E200 is beyond any double
        QCOMPARE(m_form->statusText(), QString("Overflow: a number is too large; the totals were not updated."));
        QCOMPARE(c().lblMoment[3]->text(), QString("1E+220"));  // as the last good pass left it
        QCOMPARE(c().lblGrossWeight->text(), grossWeight);
        QCOMPARE(c().lblGrossMoment->text(), grossMoment);
        QVERIFY(m_form->isVisible());

        c().txtArm[3]->setText("1");
        QCOMPARE(c().lblMoment[3]->text(), QString("1E+200"));
        QCOMPARE(c().lblGrossWeight->text(), QString("1E+200"));
        QCOMPARE(m_form->statusText(), QString("Gross weight over 900 lb. CG forward of the 11.70 in limit."));
    }

    void loadingButtonFillsTheAircraftEmptyRow()
    {
        TypeInto(c().txtWeight[1], "170");
        QTest::mouseClick(c().cmdLoading[0], Qt::LeftButton);
        QTest::mouseClick(c().cmdLoading[2], Qt::LeftButton);

        QCOMPARE(BackOf(c().cmdLoading[0]), QApplication::palette().color(QPalette::Button));
        QCOMPARE(BackOf(c().cmdLoading[2]), kLightYellow);
        QCOMPARE(c().txtWeight[0]->text(), QString("621.25"));
        QCOMPARE(c().txtArm[0]->text(), QString("14.18"));
        QCOMPARE(c().lblMoment[0]->text(), QString("8809.325"));
        QCOMPARE(c().lblGrossWeight->text(), QString("791.25"));
        QCOMPARE(QApplication::focusWidget(), c().txtWeight[1]);
        QCOMPARE(c().txtWeight[1]->selectedText(), QString("170"));

        // Pressed again, it stays marked and sends the focus back to the pilot;
        // so does a press that leaves the focus where it was.
        c().txtArm[1]->setFocus();
        QTest::mouseClick(c().cmdLoading[2], Qt::LeftButton);
        QCOMPARE(BackOf(c().cmdLoading[2]), kLightYellow);
        QCOMPARE(QApplication::focusWidget(), c().txtWeight[1]);
        QCOMPARE(c().txtWeight[1]->selectedText(), QString("170"));
        c().txtWeight[1]->deselect();
        c().cmdLoading[2]->click();
        QCOMPARE(BackOf(c().cmdLoading[2]), kLightYellow);
        QCOMPARE(QApplication::focusWidget(), c().txtWeight[1]);
        QCOMPARE(c().txtWeight[1]->selectedText(), QString("170"));
    }

    void withoutALoadingsFileTheButtonsAreBlank()
    {
        open(QByteArray());
        for (QPushButton* button : c().cmdLoading)
            QCOMPARE(button->text(), QString());
        TypeInto(c().txtWeight[0], "600");
        c().cmdLoading[1]->click();
        QCOMPARE(c().txtWeight[0]->text(), QString());
        QCOMPARE(c().txtArm[0]->text(), QString());
        QCOMPARE(BackOf(c().cmdLoading[1]), kLightYellow);
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
        for (QLineEdit* field : {c().txtArm[0], c().txtMisc[0]}) {
            if (byMouse) {
                QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(3, field->height() / 2));
            } else {
                while (QApplication::focusWidget() != field)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            QCOMPARE(QApplication::focusWidget(), field);
            QCOMPARE(field->selectedText(), field->text());
        }
        // Typing replaces the selected text.
        QTest::keyClicks(c().txtMisc[0], "Tail dolly");
        QCOMPARE(c().txtMisc[0]->text(), QString("Tail dolly"));
    }

    void onlyGainingTheFocusSelects_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("selects");
        QTest::newRow("Tab") << int(Qt::TabFocusReason) << true;
        QTest::newRow("Shift+Tab") << int(Qt::BacktabFocusReason) << true;
        QTest::newRow("program") << int(Qt::OtherFocusReason) << true;
        QTest::newRow("window activated again") << int(Qt::ActiveWindowFocusReason) << false;
        QTest::newRow("menu closed") << int(Qt::PopupFocusReason) << false;
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

    void descriptionsChangeNoNumber()
    {
        TypeInto(c().txtWeight[2], "20");
        TypeInto(c().txtArm[2], "30");
        m_form->mnuPrint_Click();  // its note lasts until the next recalculation
        const QString note = m_form->statusText();
        TypeInto(c().txtMisc[0], "12345");
        QCOMPARE(c().lblMoment[2]->text(), QString("600"));
        QCOMPARE(c().lblGrossWeight->text(), QString("20"));
        QCOMPARE(m_form->statusText(), note);
    }

    void sameTextRaisesNoRecalculation()
    {
        m_form->mnuPrint_Click();
        const QString note = m_form->statusText();
        QVERIFY2(note.startsWith("No printer is installed: the page was saved as ~/Documents/KQ71WB-") &&
                     note.endsWith(".pdf."),
                 qPrintable(note));
        c().txtArm[1]->setText("-20");
        QCOMPARE(m_form->statusText(), note);
        c().txtArm[1]->setText("-21");
        QCOMPARE(m_form->statusText(), QString());
    }

    void printingTwiceGivesTheSamePage()
    {
        TypeInto(c().txtWeight[0], "600");
        TypeInto(c().txtArm[0], "14");
        QImage first(8 * 96, 11 * 96, QImage::Format_RGB32), second(first.size(), first.format());
        for (QImage* image : {&first, &second})
            image->setDotsPerMeterX(3780), image->setDotsPerMeterY(3780);  // 96 dots per inch
        first.fill(Qt::white);
        second.fill(Qt::white);
        QVERIFY(m_form->PaintClientArea(first));
        QVERIFY(m_form->PaintClientArea(second));
        QCOMPARE(first, second);
        // The page shows the window's figures: the CG box is painted in its colour.
        const QPoint cgBox = c().lblFlyCG->mapTo(c().client, QPoint(c().lblFlyCG->width() - 3, 3));
        QCOMPARE(first.pixelColor(cgBox), BackOf(c().lblFlyCG));

        m_form->mnuPrint_Click();
        m_form->mnuPrint_Click();
        const QStringList pages = QDir(m_home.filePath("Documents")).entryList({"KQ71WB-*.pdf"});
        QVERIFY(pages.size() >= 2);
        QFile page(QDir(m_home.filePath("Documents")).filePath(pages.front()));
        QVERIFY(page.open(QIODevice::ReadOnly));
        QVERIFY(page.read(5) == "%PDF-");
    }

    void accessKeysActAtOnce()
    {
        QTest::keyClick(m_form.get(), Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(m_form->statusText().startsWith("No printer is installed: the page was saved as "));
        QVERIFY(!QApplication::activePopupWidget());
        QTest::keyClick(m_form.get(), Qt::Key_X, Qt::AltModifier);
        QTRY_VERIFY(!m_form->isVisible());
    }

    void exitClosesTheWindow()
    {
        c().mnuExit->trigger();
        QVERIFY(!m_form->isVisible());
    }
};

QTEST_MAIN(FormTest)
#include "form_test.moc"
