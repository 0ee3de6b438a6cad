#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolTip>

#include <algorithm>
#include <memory>

#include "layout.h"
#include "menu.h"
#include "widgets.h"
#include "window_builder.h"

using namespace kq71wb;
using namespace kq71wb::window;

namespace {

QString Blanks(int count) { return QString(count, ' '); }

QWidget* Control(const QMainWindow& form, const QString& name)
{
    return form.findChild<QWidget*>(name);
}

QString CaptionOf(const QWidget* control)
{
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<const QPushButton*>(control))
        return button->text();
    if (auto* frame = dynamic_cast<const CaptionFrame*>(control))
        return frame->caption();
    return {};
}

// Where a control stands in the client area, whatever its container.
QRect ClientRect(const QWidget* control, const QWidget* client)
{
    return QRect(control->mapTo(client, QPoint(0, 0)), control->size());
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

public:
    static void initMain() { qputenv("QT_QPA_PLATFORM", "offscreen"); }

private:
    std::unique_ptr<QMainWindow> m_form;
    WindowControls m_controls;

private slots:
    void init()
    {
        m_form = std::make_unique<QMainWindow>();
        m_controls = BuildWindow(*m_form);
    }
    void cleanup() { m_form.reset(); }

    // Every row of the layout becomes exactly one widget, in its container,
    // where the row puts it.
    void everyRowBuiltOnceInPlace()
    {
        for (const ControlSpec& row : kLayout) {
            const QString name = ControlName(row.name, row.index);
            const QList<QWidget*> found = m_form->findChildren<QWidget*>(name);
            QCOMPARE(found.size(), 1);
            const QWidget* control = found.front();
            QCOMPARE(control->parentWidget()->objectName(),
                     row.container == Container::Frame2 ? QString("Frame2") : QString());
            if (row.kind != ControlKind::Line) {
                QCOMPARE(control->geometry(), QRect(row.left / 15, row.top / 15, row.width / 15, row.height / 15));
                QCOMPARE(CaptionOf(control), QString::fromUtf8(row.caption.data(), qsizetype(row.caption.size())));
            }
        }
        QCOMPARE(m_form->findChildren<QLineEdit*>().size(), 22);
    }

    void placesInTheClientArea_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");  // from the client area's top-left
        QTest::newRow("title") << "Label1" << QRect(555, 120, 7665, 420);
        QTest::newRow("aircraft empty weight") << "txtWeight(0)" << QRect(2040, 1440, 810, 285);
        QTest::newRow("fourth weight") << "txtWeight(3)" << QRect(2040, 2520, 810, 315);
        QTest::newRow("last arm") << "txtArm(7)" << QRect(3000, 3960, 720, 315);
        QTest::newRow("first description") << "txtMisc(0)" << QRect(600, 2160, 1335, 285);
        QTest::newRow("first moment, 15 twips low") << "lblMoment(0)" << QRect(3840, 1455, 1200, 270);
        QTest::newRow("centre of gravity") << "lblFlyCG" << QRect(4200, 5160, 660, 270);
        QTest::newRow("third loading button") << "cmdLoading(2)" << QRect(6000, 3840, 1935, 495);
        QTest::newRow("slider under the frame") << "Slider1" << QRect(360, 5760, 4935, 495);
    }
    void placesInTheClientArea()
    {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        const QWidget* control = Control(*m_form, name);
        QVERIFY(control);
        QCOMPARE(ClientRect(control, m_controls.client),
                 QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    }

    void captionsKeepTheirBlanks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("frame") << "Frame2"
                               << Blanks(11) + "Description" + Blanks(4) + "Weight" + Blanks(8) + "Arm" + Blanks(11) +
                                      "Moment";
        QTest::newRow("title") << "Label1" << Blanks(3) + "KQ-71 Sailplane Weight and Balance Calculator" + Blanks(2);
        QTest::newRow("units") << "Label48" << Blanks(2) + "All Weights are in Pounds and Arms are in Inches" + Blanks(2);
        QTest::newRow("gross weight") << "Label22" << Blanks(2) + "Gross Weight" + Blanks(2);
        QTest::newRow("pilot") << "Label17" << Blanks(2) + "Pilot" + Blanks(2);
        QTest::newRow("aircraft empty") << "Label16" << "Aircraft Empty" + Blanks(2);
        QTest::newRow("formula") << "Label18"
                                 << Blanks(2) + "Moment /" + Blanks(2) + "Weight" + Blanks(2) + "= Flying Weight CG" +
                                        Blanks(2);
        QTest::newRow("scale 10-11") << "lblSlider1" << Blanks(2) + "10-" + Blanks(8) + "11" + Blanks(5);
        QTest::newRow("scale 12-16") << "lblSlider2"
                                     << Blanks(3) + "12" + Blanks(8) + "13" + Blanks(8) + "14" + Blanks(10) + "15" +
                                            Blanks(7) + "16";
        QTest::newRow("scale 17-18") << "lblSlider3" << Blanks(10) + "17" + Blanks(8) + "18+";
        QTest::newRow("first button") << "cmdLoading(0)" << "Loading 1";
        QTest::newRow("datum") << "Label5" << "Datum : Leading Edge of Wing";
    }
    void captionsKeepTheirBlanks()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QCOMPARE(CaptionOf(Control(*m_form, name)), caption);
    }

    void backColours_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("back");
        const QColor yellow(255, 255, 192), grey(224, 224, 224);
        QTest::newRow("weight") << "txtWeight(5)" << yellow;
        QTest::newRow("arm") << "txtArm(0)" << yellow;
        QTest::newRow("description") << "txtMisc(5)" << grey;
        QTest::newRow("moment") << "lblMoment(4)" << grey;
        QTest::newRow("gross weight") << "lblGrossWeight" << grey;
        QTest::newRow("centre of gravity") << "lblFlyCG" << QColor(192, 255, 192);
        QTest::newRow("title") << "Label1" << yellow;
        QTest::newRow("red band") << "lblSlider1" << QColor(255, 0, 0);
        QTest::newRow("green band") << "lblSlider2" << QColor(0, 255, 0);
        QTest::newRow("units, in the button face") << "Label48" << QApplication::palette().color(QPalette::Button);
    }
    void backColours()
    {
        QFETCH(QString, name);
        QFETCH(QColor, back);
        QWidget* control = Control(*m_form, name);
        QCOMPARE(control->palette().color(control->backgroundRole()), back);
        QVERIFY(control->autoFillBackground());
    }

    void restingThePointerShowsTheTooltip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("weight") << "txtWeight(2)" << "Weight";
        QTest::newRow("arm") << "txtArm(2)" << "Arm";
        QTest::newRow("description") << "txtMisc(1)" << "Description";
        QTest::newRow("moment") << "lblMoment(2)" << "Calculated Moment";
        QTest::newRow("centre of gravity") << "lblFlyCG" << "Center of Gravity";
        QTest::newRow("gross moment") << "lblGrossMoment" << "Gross Moment";
    }
    void restingThePointerShowsTheTooltip()
    {
        QFETCH(QString, name);
        QFETCH(QString, toolTip);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QWidget* control = Control(*m_form, name);
        const QPoint inside = control->rect().center();
        QHelpEvent event(QEvent::ToolTip, inside, control->mapToGlobal(inside));
        QApplication::sendEvent(control, &event);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), toolTip);
        QToolTip::hideText();
    }

    void transparentLabelsShowTheForm() { QVERIFY(!Control(*m_form, "Label5")->autoFillBackground()); }

    void frameChildrenInsideAndApart()
    {
        const QWidget* frame = Control(*m_form, "Frame2");
        QList<QWidget*> children;
        for (QObject* child : frame->children())
            if (auto* widget = qobject_cast<QWidget*>(child))
                children << widget;
        QCOMPARE(children.size(), 39);
        for (const QWidget* a : children) {
            QVERIFY2(frame->rect().contains(a->geometry()), qPrintable(a->objectName()));
            for (const QWidget* b : children)
                if (a != b)
                    QVERIFY2(!a->geometry().intersects(b->geometry()),
                             qPrintable(a->objectName() + " overlaps " + b->objectName()));
        }
    }

    // The band's red ends lie over its green middle, and the frame and the
    // slider over all three.
    void scaleBandStacking_data()
    {
        QTest::addColumn<QPoint>("twips");
        QTest::addColumn<QString>("onTop");
        QTest::newRow("red end over green") << QPoint(1500, 5600) << "lblSlider1";
        QTest::newRow("green from 1560") << QPoint(1575, 5600) << "lblSlider2";
        QTest::newRow("green to 3960") << QPoint(3930, 5600) << "lblSlider2";
        QTest::newRow("red from 3960") << QPoint(3975, 5600) << "lblSlider3";
        QTest::newRow("frame hides the top") << QPoint(2000, 5520) << "Frame2";
        QTest::newRow("slider hides the bottom") << QPoint(600, 5775) << "Slider1";
    }
    void scaleBandStacking()
    {
        QFETCH(QPoint, twips);
        QFETCH(QString, onTop);
        const QWidget* found = m_controls.client->childAt(twips / 15);
        QVERIFY(found);
        QCOMPARE(found->objectName(), onTop);
    }

    void sliderScale()
    {
        QCOMPARE(m_controls.Slider1->minimum(), 100);
        QCOMPARE(m_controls.Slider1->maximum(), 180);
        QCOMPARE(m_controls.Slider1->orientation(), Qt::Horizontal);
        m_controls.Slider1->setValue(500);  // a CG far aft shows at the end
        QCOMPARE(m_controls.Slider1->value(), 180);
    }

    void tabWalksTheSheetRowByRow()
    {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        QStringList expected = {"txtWeight(0)", "txtArm(0)", "txtWeight(1)", "txtArm(1)"};
        for (int i = 2; i < 8; ++i)
            expected << QString("txtMisc(%1)").arg(i - 2) << QString("txtWeight(%1)").arg(i)
                     << QString("txtArm(%1)").arg(i);
        expected << "Slider1" << "cmdLoading(0)" << "cmdLoading(1)" << "cmdLoading(2)" << "cmdLoading(3)"
                 << "txtWeight(0)";

        m_controls.txtWeight[0]->setFocus();
        QStringList visited = {QApplication::focusWidget()->objectName()};
        for (int step = 1; step < expected.size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, expected);

        std::reverse(expected.begin(), expected.end());
        visited = QStringList{QApplication::focusWidget()->objectName()};
        for (int step = 1; step < expected.size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, expected);
    }

    void menuBarEntriesInOrder()
    {
        QStringList names, captions;
        for (QAction* action : m_form->menuBar()->actions()) {
            names << action->objectName();
            captions << action->text();
        }
        QCOMPARE(names, QStringList({"mnuExit", "mnuSpace0", "mnuPrint", "mnuSpace1", "mnuSpace2", "mnuAbout",
                                     "mnuspace3", "mnuHelp"}));
        QCOMPARE(captions,
                 QStringList({"E&xit", "", "&Print", "", "", "&KQ 71 Weight and Balance", "", "&Help"}));
        QVERIFY(!m_controls.mnuExit->menu());
        QVERIFY(!m_controls.mnuPrint->menu());
    }

    void dropDownItemsInOrder()
    {
        const auto captionsOf = [this](const char* name) {
            QStringList captions;
            for (QAction* action : m_form->findChild<QMenu*>(name)->actions())
                captions << action->text();
            return captions;
        };
        const QStringList about = captionsOf("mnuAbout");
        QCOMPARE(about.size(), 9);
        for (int i = 0; i < 3; ++i)
            QVERIFY(!about[i].isEmpty() && !about[i].contains('&'));
        QCOMPARE(about.mid(3), QStringList({"", "Reference: KQ 71B Final Assembly Instructions",
                                            "and Drawing 40517, Placards.", "", "Weight  x  Arm  =  Moment",
                                            "Total Moment / Total Weight = CG"}));
        QCOMPARE(captionsOf("mnuHelp"),
                 QStringList({"Enter weights and moment arms for items as needed.", "",
                              "Items forward of Datum are entered as minus (-)  Arms.", "",
                              "Up to 4 standard loadings or gliders can be entered",
                              "into a data file (KQ71WB.dat) and accessed by the", "buttons at the right."}));
    }

    void altKeysOpenTheDropDowns_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("menu");
        QTest::newRow("Alt+K") << int(Qt::Key_K) << "mnuAbout";
        QTest::newRow("Alt+H") << int(Qt::Key_H) << "mnuHelp";
    }
    void altKeysOpenTheDropDowns()
    {
        QFETCH(int, key);
        QFETCH(QString, menu);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        QTest::keyClick(m_form.get(), Qt::Key(key), Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QCOMPARE(QApplication::activePopupWidget()->objectName(), menu);
        QApplication::activePopupWidget()->close();
    }

    void loadingButtonsHeavyFont()
    {
        const QFontInfo info(m_controls.cmdLoading[0]->font());
        QVERIFY2(info.family().contains("Black") || info.weight() >= QFont::Bold, qPrintable(info.family()));
    }

    void oleColours_data()
    {
        QTest::addColumn<quint32>("ole");
        QTest::addColumn<QColor>("color");
        QTest::newRow("red") << quint32(0x000000FF) << QColor(255, 0, 0);
        QTest::newRow("green") << quint32(0x0000FF00) << QColor(0, 255, 0);
        QTest::newRow("light yellow, blue last") << quint32(0x00C0FFFF) << QColor(255, 255, 192);
        QTest::newRow("button face") << quint32(0x8000000F) << QApplication::palette().color(QPalette::Button);
    }
    void oleColours()
    {
        QFETCH(quint32, ole);
        QFETCH(QColor, color);
        QCOMPARE(ColorFromOle(ole, QApplication::palette()), color);
    }

    void accessibleNamesSayTheRow()
    {
        QCOMPARE(m_controls.txtWeight[1]->accessibleName(), QString("Weight, Pilot"));
        QCOMPARE(m_controls.txtArm[2]->accessibleName(), QString("Arm, item 3"));
        QCOMPARE(m_controls.txtMisc[0]->accessibleName(), QString("Description, item 3"));
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
