#include "window_builder.h"

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QFontInfo>
#include <QIcon>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>

#include "menu.h"
#include "words.h"
#include "widgets.h"

namespace kq71wb::window {
namespace {

constexpr int pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

QString fromView(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A row's caption: its own, or one the sheet words from its limits.
QString captionOf(const ControlSpec& row)
{
    return row.limit == LimitCaption::None ? fromView(row.caption) : QString::fromStdString(limitCaption(row.limit));
}

// Point sizes become pixel sizes at 96 dots per inch, so that text keeps its
// size against a layout that is measured in pixels.
QFont fontOf(FontKind kind)
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
    // The scale band's numbers are placed by the blanks of its captions. In
    // this face, with its widths hinted to whole pixels, they stand over the
    // scale's ticks and "16" ends just where the red band in front begins.
    QFont font = sized({"Arial"}, 8.25, QFont::Normal);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}


Qt::Alignment alignmentOf(Align align)
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

// The controls that show the sheet's figures.
bool isResult(const ControlSpec& row)
{
    return row.name == "lblMoment" || row.name == "lblGrossWeight" || row.name == "lblGrossMoment" ||
           row.name == "lblFlyCG";
}

// What a screen reader says for a control: the sheet's fields by their row,
// the totals by what they are.
QString accessibleNameOf(const ControlSpec& control)
{
    const auto field = [&control](FieldKind kind, int row) { return QString::fromStdString(fieldName(kind, row)); };
    if (control.name == "txtWeight")
        return field(FieldKind::Weight, control.index);
    if (control.name == "txtArm")
        return field(FieldKind::Arm, control.index);
    if (control.name == "lblMoment")
        return field(FieldKind::Moment, control.index);
    if (control.name == "txtMisc")
        return field(FieldKind::Description, control.index + 2);
    if (control.name == "lblGrossWeight")
        return "Gross weight";
    if (control.name == "lblGrossMoment")
        return "Gross moment";
    if (control.name == "lblFlyCG")
        return "Centre of gravity";
    if (control.name == "Slider1")
        return "Centre of gravity scale";
    return captionOf(control).trimmed();
}

QWidget* makeControl(const ControlSpec& row, QWidget* parent)
{
    const QRect geometry(pixels(row.left), pixels(row.top), pixels(row.width), pixels(row.height));
    QWidget* control = nullptr;
    QPalette::ColorRole backRole = QPalette::Window;
    switch (row.kind) {
    case ControlKind::Label: {
        auto* label = isResult(row) ? new ResultLabel(captionOf(row), parent) : new CaptionLabel(captionOf(row), parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(alignmentOf(row.align));
        if (row.border)
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        control = label;
        break;
    }
    case ControlKind::TextBox:
        control = new SheetField(parent);
        backRole = QPalette::Base;
        break;
    case ControlKind::CommandButton:
        control = new LoadingButton(fromView(row.caption), parent);
        backRole = QPalette::Button;
        break;
    case ControlKind::Frame:
        control = new CaptionFrame(fromView(row.caption), parent);
        break;
    case ControlKind::Line:
        control = new LineWidget(QPoint(pixels(row.left), pixels(row.top)),
                                 QPoint(pixels(row.width), pixels(row.height)), row.lineWidth, parent);
        break;
    case ControlKind::Slider: {
        auto* slider = new ScaleSlider(parent);
        slider->setRange(kScaleMinimum, kScaleMaximum);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setTickInterval(10);
        slider->setPageStep(10);
        control = slider;
        break;
    }
    }
    control->setObjectName(controlName(row.name, row.index));
    if (row.kind != ControlKind::Line) {
        control->setGeometry(geometry);
        control->setFont(fontOf(row.font));
    }
    if (row.kind != ControlKind::Line && row.kind != ControlKind::Slider && !row.transparent) {
        QPalette palette = control->palette();
        palette.setColor(backRole, colorFromOle(row.backColor, lightPalette()));
        control->setPalette(palette);
        control->setAutoFillBackground(true);
    }
    if (!row.toolTip.empty())
        control->setToolTip(fromView(row.toolTip));
    control->setAccessibleName(accessibleNameOf(row));
    return control;
}

void buildMenuBar(QMenuBar& bar)
{
    QMenu* dropDown = nullptr;
    for (std::size_t i = 0; i < kMenuBar.size(); ++i) {
        const MenuSpec& item = kMenuBar[i];
        QAction* action = nullptr;
        if (item.indented) {
            action = dropDown->addAction(fromView(item.caption));
        } else if (i + 1 < kMenuBar.size() && kMenuBar[i + 1].indented) {
            dropDown = bar.addMenu(fromView(item.caption));
            dropDown->setObjectName(fromView(item.name));
            action = dropDown->menuAction();
        } else {
            action = bar.addAction(fromView(item.caption));
        }
        action->setObjectName(fromView(item.name));
    }
}

template <class Widget, std::size_t N>
void findArray(const QWidget& client, std::string_view name, std::array<Widget*, N>& controls)
{
    for (std::size_t i = 0; i < N; ++i)
        controls[i] = client.findChild<Widget*>(controlName(name, static_cast<int>(i)));
}

}  // namespace

// The client area's own palette, light whatever the desktop's theme: its
// backgrounds are fixed light colours, so the text on them must be dark.
// Selections are navy, which white text reads well on.
QPalette lightPalette()
{
    // Made once: every change of a result's colour asks for it.
    static const QPalette light = [] {
        QPalette palette(QColor(0xEF, 0xEF, 0xEF), QColor(0xEF, 0xEF, 0xEF));  // button, window
        const std::pair<QPalette::ColorRole, QColor> colors[] = {
            {QPalette::WindowText, Qt::black}, {QPalette::Text, Qt::black}, {QPalette::ButtonText, Qt::black},
            {QPalette::Base, Qt::white}, {QPalette::AlternateBase, QColor(0xF7, 0xF7, 0xF7)},
            {QPalette::Light, Qt::white}, {QPalette::Midlight, QColor(0xE3, 0xE3, 0xE3)},
            {QPalette::Mid, QColor(0xA0, 0xA0, 0xA0)}, {QPalette::Dark, QColor(0x80, 0x80, 0x80)},
            {QPalette::Shadow, QColor(0x40, 0x40, 0x40)}, {QPalette::Highlight, QColor(0x00, 0x00, 0x80)},
            {QPalette::HighlightedText, Qt::white}, {QPalette::BrightText, Qt::white},
            {QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xDC)}, {QPalette::ToolTipText, Qt::black},
            {QPalette::PlaceholderText, QColor(0x60, 0x60, 0x60)}, {QPalette::Link, QColor(0x00, 0x00, 0xC0)},
        };
        for (const auto& [role, color] : colors)
            palette.setColor(role, color);
        return palette;
    }();
    return light;
}

void copyShownState(const WindowControls& from, const WindowControls& to)
{
    const auto copyField = [](const SheetField* source, SheetField* target) {
        target->setText(source->text());
        target->setCursorPosition(source->cursorPosition());
    };
    const auto copyBack = [](const QWidget* source, QWidget* target) {
        QPalette palette = target->palette();
        palette.setColor(target->backgroundRole(), source->palette().color(source->backgroundRole()));
        target->setPalette(palette);
    };
    for (std::size_t i = 0; i < from.txtWeight.size(); ++i) {
        copyField(from.txtWeight[i], to.txtWeight[i]);
        copyField(from.txtArm[i], to.txtArm[i]);
    }
    for (std::size_t k = 0; k < from.txtMisc.size(); ++k)
        copyField(from.txtMisc[k], to.txtMisc[k]);
    for (std::size_t i = 0; i < from.cmdLoading.size(); ++i) {
        to.cmdLoading[i]->setText(from.cmdLoading[i]->text());
        to.cmdLoading[i]->setEnabled(from.cmdLoading[i]->isEnabled());
        copyBack(from.cmdLoading[i], to.cmdLoading[i]);
    }
    const auto copyFigure = [&copyBack](const ResultLabel* source, ResultLabel* target) {
        target->setText(source->text());
        copyBack(source, target);
        QPalette palette = target->palette();
        palette.setColor(QPalette::WindowText, source->palette().color(QPalette::WindowText));
        target->setPalette(palette);
    };
    for (std::size_t i = 0; i < from.lblMoment.size(); ++i)
        copyFigure(from.lblMoment[i], to.lblMoment[i]);
    for (auto [source, target] : {std::pair{from.lblGrossWeight, to.lblGrossWeight},
                                  std::pair{from.lblGrossMoment, to.lblGrossMoment}, std::pair{from.lblFlyCG, to.lblFlyCG}})
        copyFigure(source, target);
    to.Slider1->setValue(from.Slider1->value());
    to.Slider1->setCentreOfGravity(from.Slider1->centreOfGravityWords(), from.Slider1->centreOfGravity(),
                                   from.Slider1->isCurrent());
}

QString controlName(std::string_view name, int index)
{
    return index < 0 ? fromView(name) : QString("%1(%2)").arg(fromView(name)).arg(index);
}

OleColor colorOf(WeightVerdict verdict) { return verdict == WeightVerdict::Within ? kGreen : kRed; }
OleColor colorOf(CgVerdict verdict) { return verdict == CgVerdict::Within ? kGreen : kRed; }

QColor colorFromOle(OleColor color, const QPalette& palette)
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

void setBackColor(QWidget& control, OleColor color)
{
    // System colours come from the client area's palette, not from a colour
    // set on the control before.
    const QColor wanted = colorFromOle(color, lightPalette());
    if (control.palette().color(control.backgroundRole()) == wanted)
        return;
    QPalette palette = control.palette();
    palette.setColor(control.backgroundRole(), wanted);
    control.setPalette(palette);
}

void showFigure(ResultLabel& figure, OleColor color, bool current)
{
    setBackColor(figure, current ? color : kButtonFace);
    const QColor text = lightPalette().color(current ? QPalette::WindowText : QPalette::Dark);
    if (figure.palette().color(QPalette::WindowText) == text)
        return;
    QPalette palette = figure.palette();
    palette.setColor(QPalette::WindowText, text);
    figure.setPalette(palette);
}

WindowControls buildWindow(QMainWindow& form)
{
    installAccessibility();
    form.setObjectName("frmKQ71wb");
    form.setWindowTitle(fromView(kWindowTitle));
    form.setWindowIcon(QIcon(":/kq71wb/kq71wb.png"));

    auto* client = new QWidget(&form);
    client->setFixedSize(pixels(kClientWidth), pixels(kClientHeight));
    client->setFont(fontOf(FontKind::WindowDefault));
    QPalette palette = lightPalette();
    palette.setColor(QPalette::Window, colorFromOle(kFormGrey, palette));
    client->setPalette(palette);
    client->setAutoFillBackground(true);
    form.setCentralWidget(client);

    // The frame's row comes before the rows of the controls inside it.
    QWidget* frame2 = nullptr;
    for (const ControlSpec& row : kLayout) {
        QWidget* control = makeControl(row, row.container == Container::Form ? client : frame2);
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
        auto* control = client->findChild<QWidget*>(controlName(row->name, row->index));
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }

    buildMenuBar(*form.menuBar());

    WindowControls controls;
    controls.client = client;
    findArray(*client, "txtWeight", controls.txtWeight);
    findArray(*client, "txtArm", controls.txtArm);
    findArray(*client, "lblMoment", controls.lblMoment);
    findArray(*client, "txtMisc", controls.txtMisc);
    findArray(*client, "cmdLoading", controls.cmdLoading);
    controls.lblGrossWeight = client->findChild<ResultLabel*>("lblGrossWeight");
    controls.lblGrossMoment = client->findChild<ResultLabel*>("lblGrossMoment");
    controls.lblFlyCG = client->findChild<ResultLabel*>("lblFlyCG");
    controls.Slider1 = client->findChild<ScaleSlider*>("Slider1");
    controls.mnuExit = form.menuBar()->findChild<QAction*>("mnuExit");
    controls.mnuPrint = form.menuBar()->findChild<QAction*>("mnuPrint");
    controls.mnuReport = form.menuBar()->findChild<QAction*>("mnuReport");
    return controls;
}

}  // namespace kq71wb::window
