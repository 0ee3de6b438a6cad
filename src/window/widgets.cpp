#include "widgets.h"

#include <QAccessible>
#include <QApplication>
#include <QFocusEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>
#include <qdrawutil.h>


namespace kq71wb::window {

void CaptionLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(contentsRect(), static_cast<int>(alignment()) | Qt::TextSingleLine | Qt::TextIncludeTrailingSpaces,
                     text());
}

CaptionFrame::CaptionFrame(const QString& caption, QWidget* parent) : QWidget(parent), m_caption(caption) {}

void CaptionFrame::paintEvent(QPaintEvent*)
{
    constexpr int kCaptionIndent = 8;  // pixels from the frame's left edge
    QPainter painter(this);
    const QFontMetrics metrics(font());
    // An etched border whose top runs through the middle of the caption.
    const QRect border = rect().adjusted(0, metrics.height() / 2, -2, -2);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(border);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(border.translated(1, 1));

    const QRect captionRect(kCaptionIndent, 0,
                            metrics.horizontalAdvance(m_caption), metrics.height());
    painter.fillRect(captionRect, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(captionRect, Qt::AlignLeft | Qt::TextSingleLine | Qt::TextIncludeTrailingSpaces, m_caption);
}

namespace {

// The box a line of this width covers, in its parent's coordinates.
QRect lineBounds(QPoint from, QPoint to, int width)
{
    const int half = (width + 1) / 2;
    return QRect(from, to).normalized().adjusted(-half, -half, half, half);
}

}  // namespace

LineWidget::LineWidget(QPoint from, QPoint to, int width, QWidget* parent)
    : QWidget(parent), m_width(width)
{
    const QRect bounds = lineBounds(from, to, width);
    setGeometry(bounds);
    m_from = from - bounds.topLeft();
    m_to = to - bounds.topLeft();
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), m_width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(m_from, m_to);
}

SheetField::SheetField(QWidget* parent) : QLineEdit(parent)
{
    // A megabyte pasted by mistake would slow every later keystroke; what no
    // figure needs is cut, and said to be.
    setMaxLength(kMaxFieldCharacters);
    connect(this, &QLineEdit::inputRejected, this, &SheetField::textCut);
}

void SheetField::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason)
        return;
    m_focusedByPress = reason == Qt::MouseFocusReason;
    emit gotFocus();
}

void SheetField::focusOutEvent(QFocusEvent* event)
{
    m_focusedByPress = false;
    QLineEdit::focusOutEvent(event);
}

void SheetField::mousePressEvent(QMouseEvent* event)
{
    if (m_focusedByPress) {
        m_focusedByPress = false;
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void ResultLabel::setCaption(const QString& caption)
{
    if (caption == text())
        return;
    const QString before = text();
    setText(caption);
    QAccessibleTextUpdateEvent event(this, 0, QString(before).remove(' '), QString(caption).remove(' '));
    QAccessible::updateAccessibility(&event);
}

void ResultLabel::setVerdict(const QString& words)
{
    if (words != accessibleDescription())
        setAccessibleDescription(words);
}

LoadingButton::LoadingButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    setCheckable(true);
}

void LoadingButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool sunken = isDown();
    qDrawWinButton(&painter, rect(), palette(), sunken, &palette().brush(QPalette::Button));
    const QRect inside = rect().adjusted(4, 4, -4, -4).translated(sunken ? QPoint(1, 1) : QPoint());
    style()->drawItemText(&painter, inside, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), text(),
                          QPalette::ButtonText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = inside;
        focus.backgroundColor = palette().color(QPalette::Button);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void LoadingButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

namespace {

// The scale's own look: a thumb 25 pixels long puts the ticks of 10 and 18 in
// 36 pixels in from the scale's ends, under the numbers of the band.
class ScaleStyle : public QProxyStyle {
    Q_OBJECT

public:
    explicit ScaleStyle(QStyle* base) : QProxyStyle(base) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        return metric == PM_SliderLength ? 25 : QProxyStyle::pixelMetric(metric, option, widget);
    }

    // Fusion colours the ticks by what its pixmap cache happens to hold, so a
    // printed scale could differ from the one on screen: they are drawn here,
    // always in the colour of the groove's outline.
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (control != CC_Slider || !slider || !(slider->subControls & SC_SliderTickmarks)) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        QStyleOptionSlider withoutTicks = *slider;
        withoutTicks.subControls &= ~SC_SliderTickmarks;
        QProxyStyle::drawComplexControl(control, &withoutTicks, painter, widget);

        painter->save();
        painter->setPen(slider->palette.window().color().darker(140));
        const int length = pixelMetric(PM_SliderLength, slider, widget);
        const int tickSize = pixelMetric(PM_SliderTickmarkOffset, slider, widget);
        for (int value = slider->minimum; value <= slider->maximum; value += slider->tickInterval) {
            const int x = sliderPositionFromValue(slider->minimum, slider->maximum, value,
                                                  slider->rect.width() - length) + length / 2;
            const int extra = (value == slider->minimum || value == slider->maximum) ? 1 : 2;
            painter->drawLine(x, slider->rect.bottom() - extra, x, slider->rect.bottom() - tickSize);
        }
        painter->restore();
    }
};

}  // namespace

ScaleSlider::ScaleSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    auto* style = new ScaleStyle(QStyleFactory::create(QApplication::style()->name()));
    style->setParent(this);  // a widget does not own the style it is given
    setStyle(style);
    setAutoFillBackground(true);
}

void ScaleSlider::mousePressEvent(QMouseEvent* event) { event->accept(); }
void ScaleSlider::mouseMoveEvent(QMouseEvent* event) { event->accept(); }
void ScaleSlider::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }
void ScaleSlider::wheelEvent(QWheelEvent* event) { event->accept(); }
void ScaleSlider::keyPressEvent(QKeyEvent* event) { event->ignore(); }

void ScaleSlider::setCentreOfGravity(const QString& words, std::optional<double> inches)
{
    if (words == m_words && inches == m_inches)
        return;
    m_words = words;
    m_inches = inches;
    QAccessibleValueChangeEvent event(this, inches ? QVariant(*inches) : QVariant());
    QAccessible::updateAccessibility(&event);
}

MessageLine::MessageLine(bool announcing, QWidget* parent) : QLabel(parent), m_announcing(announcing)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    hide();
}

void MessageLine::setMessage(const QString& message)
{
    if (message == text())
        return;
    QAccessibleTextUpdateEvent update(this, 0, text(), message);
    setText(message);
    setVisible(!message.isEmpty());
    // Fitted once the handler that set it is done, so that the lines set in
    // one change are measured once, not in the middle of a keystroke.
    if (!m_fitPending) {
        m_fitPending = true;
        QMetaObject::invokeMethod(this, &MessageLine::fitHeight, Qt::QueuedConnection);
    }
    QAccessible::updateAccessibility(&update);
}

void MessageLine::announce()
{
    if (!m_announcing || text().isEmpty())
        return;
    // A notification that shows is what screen readers speak unasked.
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

void MessageLine::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitHeight();
}

void MessageLine::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    fitHeight();
}

// The window grows downwards to hold every word, whatever the desktop's font.
void MessageLine::fitHeight()
{
    m_fitPending = false;
    const int wanted = heightForWidth(width());
    if (wanted > 0 && wanted != height())
        setFixedHeight(wanted);
}

}  // namespace kq71wb::window

#include "widgets.moc"
