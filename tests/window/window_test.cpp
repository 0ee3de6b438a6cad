#include <QAccessible>
#include <QApplication>
#include <QFocusEvent>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <memory>

#include "layout.h"
#include "headless.h"
#include "widgets.h"
#include "window_builder.h"

using namespace kq71wb::window;

namespace {

// WCAG 2 contrast ratio between two colours.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& color) {
        const auto linear = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QImage drawn(QWidget* widget)
{
    QImage image(widget->size(), QImage::Format_RGB32);
    widget->render(&image);
    return image;
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

public:
    static void initMain() { runHeadless(); }

private:
    std::unique_ptr<QMainWindow> m_form;
    WindowControls m_controls;

    QWidget* control(const QString& name) const { return m_form->findChild<QWidget*>(name); }
    void showForm()
    {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }

private slots:
    void init()
    {
        m_form = std::make_unique<QMainWindow>();
        m_controls = buildWindow(*m_form);
    }
    void cleanup() { m_form.reset(); }

    // Every row of the tables becomes exactly one widget, in its container,
    // bordered as the row says.
    void everyRowBuiltOnceInPlace()
    {
        for (const ControlSpec& row : kLayout) {
            const QList<QWidget*> found = m_form->findChildren<QWidget*>(controlName(row.name, row.index));
            QCOMPARE(found.size(), 1);
            QCOMPARE(found[0]->parentWidget(), row.container == Container::Frame2 ? control("Frame2") : m_controls.client);
            // A border, and the frame's etched line, are drawn: the left edge is not the background.
            if (row.border || found[0] == control("Frame2"))
                QVERIFY2(drawn(found[0]).pixelColor(0, found[0]->height() / 2) != found[0]->palette().color(found[0]->backgroundRole()),
                         qPrintable(found[0]->objectName()));
        }
        // The frame's children lie inside it and apart.
        const QWidget* frame = control("Frame2");
        const QList<QWidget*> children = frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (const QWidget* a : children) {
            QVERIFY2(frame->rect().contains(a->geometry()), qPrintable(a->objectName()));
            for (const QWidget* b : children)
                QVERIFY2(a == b || !a->geometry().intersects(b->geometry()), qPrintable(a->objectName() + " on " + b->objectName()));
        }
        // Fields, figures and the scale are named for screen readers by what
        // they hold, a caption by itself without the blanks that align it.
        const std::pair<const char*, const char*> named[] = {{"txtArm(1)", "Arm, Pilot"}, {"txtWeight(3)", "Weight, item 4"},
                                                             {"txtMisc(0)", "Description, item 3"}, {"lblMoment(0)", "Moment, Aircraft Empty"},
                                                             {"lblGrossWeight", "Gross weight"}, {"lblFlyCG", "Centre of gravity"},
                                                             {"Slider1", "Centre of gravity scale"}, {"Label16", "Aircraft Empty"}};
        for (const auto& [name, accessible] : named)
            QCOMPARE(control(name)->accessibleName(), QString(accessible));
    }

    // A figure too wide for its box lost its minus sign, cut on the left: it
    // is drawn smaller, then cut at its end with "…", its sign and leading
    // digits kept; a screen reader still reads it whole.
    void aFigureTooWideKeepsItsStart_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("figure");
        QTest::newRow("a long negative moment") << "lblMoment(1)" << "-3427.693645885";
        QTest::newRow("a CG") << "lblFlyCG" << "-  203562340978.17";
    }
    void aFigureTooWideKeepsItsStart()
    {
        QFETCH(QString, name);
        QFETCH(QString, figure);
        auto* label = qobject_cast<ResultLabel*>(control(name));
        label->setCaption(figure);
        const CaptionLabel::Fitted shown = label->fitted();
        QVERIFY2(shown.text == figure || (shown.text.endsWith(QChar(0x2026)) && figure.startsWith(shown.text.chopped(1))),
                 qPrintable(shown.text));
        QVERIFY(figure.startsWith(shown.text.left(2)));
        QVERIFY(QFontMetrics(shown.font).horizontalAdvance(shown.text) <= label->contentsRect().width());
        QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Value), QString(figure).remove(' '));
    }

    // A field left for another shows the start of its text, not its end; one
    // the window only lends to a menu keeps its caret.
    void aFieldLeftShowsItsStart()
    {
        showForm();
        SheetField* field = m_controls.txtMisc[0];
        field->setFocus(Qt::TabFocusReason);
        field->setText("Parachute and a long bag of tools for the trailer");
        QFocusEvent lent(QEvent::FocusOut, Qt::PopupFocusReason);
        QApplication::sendEvent(field, &lent);
        QCOMPARE(field->cursorPosition(), field->text().size());
        QTest::keyClick(field, Qt::Key_Tab);
        QVERIFY(!field->hasFocus());
        QCOMPARE(field->cursorPosition(), 0);
    }

    // What shows that a control is in a state: the focus on the scale by a
    // dotted frame, a loading button that cannot be pressed by grey text.
    void statesShow()
    {
        showForm();
        const auto darkest = [](const QImage& image) {
            int dark = 255;
            for (int y = 4; y < image.height() - 4; ++y)  // inside the bevel
                for (int x = 4; x < image.width() - 4; ++x)
                    dark = std::min(dark, qGray(image.pixel(x, y)));
            return dark;
        };
        ScaleSlider* scale = m_controls.Slider1;
        m_controls.txtWeight[0]->setFocus();
        const QImage unfocused = drawn(scale);
        scale->setFocus();
        QVERIFY(drawn(scale) != unfocused);
        LoadingButton* button = m_controls.cmdLoading[0];
        button->setText("N271KQ");
        const int pressable = darkest(drawn(button));
        button->setEnabled(false);
        QVERIFY2(darkest(drawn(button)) > pressable + 64, qPrintable(QString::number(darkest(drawn(button)))));
    }

    // QLabel drops trailing blanks when it aligns a text right: "Aircraft
    // Empty  " must end two blank widths short of its box.
    void rightAlignedCaptionKeepsItsTrailingBlanks()
    {
        auto* label = qobject_cast<QLabel*>(control("Label16"));
        const QImage image = drawn(label);
        const QRect inside = label->contentsRect();
        int inkRight = -1;
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    inkRight = std::max(inkRight, x);
        const int twoBlanks = QFontMetrics(label->font()).horizontalAdvance("  ");
        QVERIFY2(qAbs(inside.right() - inkRight - twoBlanks) <= 2, qPrintable(QString::number(inside.right() - inkRight)));
    }

    // On a dark desktop the client area keeps dark text on its light colours,
    // and readable selections; the menu bar follows the desktop.
    void readableInADarkTheme()
    {
        const QPalette desktop = QApplication::palette();
        QApplication::setPalette(QPalette(QColor(0x35, 0x35, 0x35)));  // white text on black and grey
        init();
        const QColor menuText = m_form->menuBar()->palette().color(QPalette::WindowText);
        for (const QWidget* control : m_controls.client->findChildren<QWidget*>()) {
            const QPalette& used = control->palette();
            QList<std::pair<QColor, QColor>> pairs;  // text, background
            if (qobject_cast<const QLineEdit*>(control))
                pairs = {{used.color(QPalette::Text), used.color(QPalette::Base)},
                         {used.color(QPalette::HighlightedText), used.color(QPalette::Highlight)}};
            else if (qobject_cast<const QPushButton*>(control))
                pairs = {{used.color(QPalette::ButtonText), used.color(QPalette::Button)}};
            else if (qobject_cast<const QLabel*>(control) || qobject_cast<const CaptionFrame*>(control))
                pairs = {{used.color(QPalette::WindowText),
                          (control->autoFillBackground() ? control : control->parentWidget())->palette().color(QPalette::Window)}};
            for (const auto& [text, back] : pairs)
                QVERIFY2(contrast(text, back) >= 4.5, qPrintable(control->objectName() + " " + text.name() + " on " + back.name()));
        }
        QApplication::setPalette(desktop);
        QCOMPARE(menuText, QColor(Qt::white));
    }

    // Each number of the band shows whole, in front of everything, and over
    // its tick of the scale (10 to 18 in, an inch apart); the scale hides the
    // band's colours behind it.
    void scaleBandAsLaidOut()
    {
        // The numbers are placed by blanks for the window's face: Arial, or its
        // metric twin from fonts-liberation2, on which the package depends.
        const QString face = QFontInfo(control("lblSlider1")->font()).family();
        if (face != "Arial" && face != "Liberation Sans")
            QSKIP(qPrintable("the scale's numbers are placed for Arial or Liberation Sans (fonts-liberation2), not " + face));
        const QImage image = drawn(m_controls.client);
        const QRect scale = m_controls.Slider1->geometry();
        QList<double> ticks;
        for (int x = scale.left(), run = 0; x <= scale.right() + 1; ++x) {
            if (x <= scale.right() && qGray(image.pixel(x, scale.bottom() - 3)) < 150)
                ++run;
            else if (run > 0)
                ticks << x - (run + 1) / 2.0, run = 0;
        }
        QCOMPARE(ticks.size(), 9);
        for (int y = scale.top(); y <= scale.bottom(); ++y)
            for (int x = scale.left(); x <= scale.right(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                QVERIFY2(!(std::max(pixel.red(), pixel.green()) > 150 && pixel.blue() < 100 && std::abs(pixel.red() - pixel.green()) > 100),
                         qPrintable(QString("%1 at %2,%3").arg(pixel.name()).arg(x).arg(y)));
            }
        int tick = 0;
        for (const char* name : {"lblSlider1", "lblSlider2", "lblSlider3"}) {
            const auto* label = qobject_cast<const QLabel*>(control(name));
            const QFontMetricsF metrics(label->font());
            for (const QRegularExpressionMatch& number : QRegularExpression("\\d+").globalMatch(label->text())) {
                const double origin = label->x() + metrics.horizontalAdvance(label->text().left(number.capturedStart()));
                const QRectF ink = metrics.tightBoundingRect(number.captured()).translated(origin, 0);
                for (int x = int(std::floor(ink.left())); x < int(std::ceil(ink.right())); ++x)
                    QVERIFY2(m_controls.client->childAt(x, label->y() + label->height() / 2) == label, qPrintable(number.captured()));
                QVERIFY2(std::abs(ink.center().x() - ticks[tick]) < (ticks[8] - ticks[0]) / 8 / 4,
                         qPrintable(QString("%1 at %2, its tick at %3").arg(number.captured()).arg(ink.center().x()).arg(ticks[tick])));
                ++tick;
            }
        }
    }

    // What a screen reader reviews by: each character's box on the screen lies
    // over that character's ink, in order, inside the widget, and the point in
    // a box's left edge reads back as its character. Orca's flat review is
    // checked by tests/orca/; this is where the boxes stand, which it cannot see.
    void characterBoxesOverTheirInk_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("figure aligned right") << "lblMoment(0)" << "-3400";
        QTest::newRow("figure after blanks") << "lblFlyCG" << "  6.49";
        QTest::newRow("field") << "txtArm(1)" << "-20";
        QTest::newRow("line beneath") << "lblNote" << "Saving\u2026";
    }
    void characterBoxesOverTheirInk()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        if (name == "lblNote") {  // the form's lines beneath, one standing alone here
            auto* line = new MessageLine(false, m_controls.client);
            line->setObjectName(name);
            line->setGeometry(20, 20, 200, 30);
        }
        showForm();
        QWidget* widget = control(name);
        if (auto* field = qobject_cast<QLineEdit*>(widget)) {
            field->setText(text);
        } else if (auto* line = qobject_cast<MessageLine*>(widget)) {
            line->setMessage(text);
            QTRY_VERIFY(line->height() > 0);  // fitted once the change is handled
        } else {
            qobject_cast<ResultLabel*>(widget)->setCaption(text);
        }
        QAccessibleTextInterface* readable = QAccessible::queryAccessibleInterface(widget)->textInterface();
        QCOMPARE(readable->text(0, readable->characterCount()), QString(text).remove(' '));

        const QPoint origin = widget->mapToGlobal(QPoint());
        QList<QRect> boxes;
        for (int i = 0; i < readable->characterCount(); ++i) {
            boxes << readable->characterRect(i).translated(-origin);
            QVERIFY2(widget->rect().contains(boxes[i]) && !boxes[i].isEmpty(), qPrintable(QString::number(i)));
            QVERIFY(i == 0 || boxes[i].left() >= boxes[i - 1].right());
            QCOMPARE(readable->offsetAtPoint(origin + boxes[i].topLeft() + QPoint(1, boxes[i].height() / 2)), i);
        }
        const QImage image = drawn(widget);
        const QRect inside = widget->contentsRect().adjusted(2, 0, -2, 0) & boxes[0].united(boxes.last());
        for (const QRect& box : boxes) {
            bool inked = false;
            for (int y = inside.top(); y <= inside.bottom(); ++y)
                for (int x = inside.left(); x <= inside.right(); ++x) {
                    const bool ink = qGray(image.pixel(x, y)) < 128;
                    inked = inked || (ink && box.left() <= x && x <= box.right());
                    QVERIFY2(!ink || std::any_of(boxes.begin(), boxes.end(), [x](const QRect& b) { return b.left() <= x && x <= b.right(); }),
                             qPrintable(QString("ink at %1,%2 in no box").arg(x).arg(y)));
                }
            QVERIFY(inked);
        }
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
