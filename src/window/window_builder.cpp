#include "window_builder.h"

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QFontInfo>
#include <QIcon>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>

#include "menu.h"
#include "widgets.h"

namespace kq71wb::window {
namespace {

constexpr int Pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Point sizes become pixel sizes at 96 dots per inch, so that text keeps its
// size against a layout that is measured in pixels.
QFont FontOf(FontKind kind)
{
    const auto sized = [](QStringList families, double points, QFont::Weight weight) {
        QFont font;
        font.setFamilies(families);
        font.setPixelSize(qRound(points * 96.0 / 72.0));
        font.setWeight(weight);
        return font;
    };
    switch (kind) {
    case FontKind::Arial:
        return sized({"Arial"}, 8.25, QFont::Bold);
    case FontKind::ArialTitle:
        return sized({"Arial"}, 15.75, QFont::Bold);
    case FontKind::ArialBlack: {
        QFont font = sized({"Arial Black"}, 9.75, QFont::Normal);
        // Where Arial Black is missing, the fallback must still be heavy.
        if (!QFontInfo(font).family().contains("Black", Qt::CaseInsensitive))
            font = sized({"Arial Black", "Arial"}, 9.75, QFont::Black);
        return font;
    }
    case FontKind::WindowDefault:
        break;
    }
    // A plain 8.25 pt face like the one such windows were drawn with; the scale
    // band's blanks are counted in its widths.
    return sized({"Arial"}, 8.25, QFont::Normal);
}

Qt::Alignment AlignmentOf(Align align)
{
    switch (align) {
    case Align::Right:
        return Qt::AlignRight | Qt::AlignTop;
    case Align::Center:
        return Qt::AlignHCenter | Qt::AlignTop;
    case Align::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

QString RowTitle(int row)
{
    if (row == 0)
        return "Aircraft Empty";
    if (row == 1)
        return "Pilot";
    return QString("item %1").arg(row + 1);
}

// What a screen reader says for a control: the sheet's fields by their row.
QString AccessibleNameOf(const ControlSpec& field)
{
    if (field.name == "txtWeight")
        return "Weight, " + RowTitle(field.index);
    if (field.name == "txtArm")
        return "Arm, " + RowTitle(field.index);
    if (field.name == "lblMoment")
        return "Moment, " + RowTitle(field.index);
    if (field.name == "txtMisc")
        return "Description, " + RowTitle(field.index + 2);
    if (!field.toolTip.empty())
        return Text(field.toolTip);
    return Text(field.caption).trimmed();
}

QWidget* MakeControl(const ControlSpec& row, QWidget* parent)
{
    const QRect geometry(Pixels(row.left), Pixels(row.top), Pixels(row.width), Pixels(row.height));
    QWidget* control = nullptr;
    QPalette::ColorRole backRole = QPalette::Window;
    switch (row.kind) {
    case ControlKind::Label: {
        auto* label = new CaptionLabel(Text(row.caption), parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(AlignmentOf(row.align));
        if (row.border)
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        control = label;
        break;
    }
    case ControlKind::TextBox:
        control = new QLineEdit(parent);
        backRole = QPalette::Base;
        break;
    case ControlKind::CommandButton:
        control = new QPushButton(Text(row.caption), parent);
        backRole = QPalette::Button;
        break;
    case ControlKind::Frame:
        control = new CaptionFrame(Text(row.caption), parent);
        break;
    case ControlKind::Line:
        control = new LineWidget(QPoint(Pixels(row.left), Pixels(row.top)),
                                 QPoint(Pixels(row.width), Pixels(row.height)), row.lineWidth, parent);
        break;
    case ControlKind::Slider: {
        auto* slider = new QSlider(Qt::Horizontal, parent);
        slider->setRange(100, 180);  // the CG in tenths of an inch, 10.0 to 18.0
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setTickInterval(10);
        slider->setPageStep(10);
        control = slider;
        break;
    }
    }
    control->setObjectName(ControlName(row.name, row.index));
    if (row.kind != ControlKind::Line) {
        control->setGeometry(geometry);
        control->setFont(FontOf(row.font));
    }
    if (row.kind != ControlKind::Line && row.kind != ControlKind::Slider && !row.transparent) {
        QPalette palette = control->palette();
        palette.setColor(backRole, ColorFromOle(row.backColor, QApplication::palette(control)));
        control->setPalette(palette);
        control->setAutoFillBackground(true);
    }
    if (!row.toolTip.empty())
        control->setToolTip(Text(row.toolTip));
    control->setAccessibleName(AccessibleNameOf(row));
    return control;
}

void BuildMenuBar(QMenuBar& bar)
{
    QMenu* dropDown = nullptr;
    for (std::size_t i = 0; i < kMenuBar.size(); ++i) {
        const MenuSpec& item = kMenuBar[i];
        QAction* action = nullptr;
        if (item.indented) {
            action = dropDown->addAction(Text(item.caption));
        } else if (i + 1 < kMenuBar.size() && kMenuBar[i + 1].indented) {
            dropDown = bar.addMenu(Text(item.caption));
            dropDown->setObjectName(Text(item.name));
            action = dropDown->menuAction();
        } else {
            action = bar.addAction(Text(item.caption));
        }
        action->setObjectName(Text(item.name));
    }
}

template <class Widget, std::size_t N>
void FindArray(const QWidget& client, std::string_view name, std::array<Widget*, N>& controls)
{
    for (std::size_t i = 0; i < N; ++i)
        controls[i] = client.findChild<Widget*>(ControlName(name, static_cast<int>(i)));
}

}  // namespace

QString ControlName(std::string_view name, int index)
{
    return index < 0 ? Text(name) : QString("%1(%2)").arg(Text(name)).arg(index);
}

QColor ColorFromOle(OleColor color, const QPalette& palette)
{
    constexpr OleColor kSystemColorFlag = 0x80000000;
    if (color & kSystemColorFlag) {
        switch (color & 0xFF) {
        case 0x05:  // window background
            return palette.color(QPalette::Base);
        case 0x08:  // window text
        case 0x12:  // button text
            return palette.color(QPalette::Text);
        case 0x0F:  // button face
        default:
            return palette.color(QPalette::Button);
        }
    }
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

QColor BackColorOf(const QWidget& control, OleColor color)
{
    // System colours come from the style, not from a colour set on the control before.
    return ColorFromOle(color, QApplication::palette(&control));
}

void SetBackColor(QWidget& control, OleColor color)
{
    const QColor wanted = BackColorOf(control, color);
    if (control.palette().color(control.backgroundRole()) == wanted)
        return;
    QPalette palette = control.palette();
    palette.setColor(control.backgroundRole(), wanted);
    control.setPalette(palette);
}

WindowControls BuildWindow(QMainWindow& form)
{
    form.setObjectName("frmKQ71wb");
    form.setWindowTitle(Text(kWindowTitle));
    form.setWindowIcon(QIcon(":/kq71wb/kq71wb.png"));

    auto* client = new QWidget(&form);
    client->setFixedSize(Pixels(kClientWidth), Pixels(kClientHeight));
    client->setFont(FontOf(FontKind::WindowDefault));
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, ColorFromOle(kFormGrey, palette));
    client->setPalette(palette);
    client->setAutoFillBackground(true);
    form.setCentralWidget(client);

    // The frame's row comes before the rows of the controls inside it.
    QWidget* frame2 = nullptr;
    for (const ControlSpec& row : kLayout) {
        QWidget* control = MakeControl(row, row.container == Container::Form ? client : frame2);
        if (row.kind == ControlKind::Frame)
            frame2 = control;
    }

    // The Tab key follows the tab indexes; controls that cannot take the focus are passed over.
    std::vector<const ControlSpec*> byTabIndex;
    for (const ControlSpec& row : kLayout)
        if (row.tabIndex >= 0)
            byTabIndex.push_back(&row);
    std::sort(byTabIndex.begin(), byTabIndex.end(),
              [](const ControlSpec* a, const ControlSpec* b) { return a->tabIndex < b->tabIndex; });
    QWidget* previous = nullptr;
    for (const ControlSpec* row : byTabIndex) {
        auto* control = client->findChild<QWidget*>(ControlName(row->name, row->index));
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }

    BuildMenuBar(*form.menuBar());

    WindowControls controls;
    controls.client = client;
    FindArray(*client, "txtWeight", controls.txtWeight);
    FindArray(*client, "txtArm", controls.txtArm);
    FindArray(*client, "lblMoment", controls.lblMoment);
    FindArray(*client, "txtMisc", controls.txtMisc);
    FindArray(*client, "cmdLoading", controls.cmdLoading);
    controls.lblGrossWeight = client->findChild<QLabel*>("lblGrossWeight");
    controls.lblGrossMoment = client->findChild<QLabel*>("lblGrossMoment");
    controls.lblFlyCG = client->findChild<QLabel*>("lblFlyCG");
    controls.Slider1 = client->findChild<QSlider*>("Slider1");
    controls.mnuExit = form.menuBar()->findChild<QAction*>("mnuExit");
    controls.mnuPrint = form.menuBar()->findChild<QAction*>("mnuPrint");
    return controls;
}

}  // namespace kq71wb::window
