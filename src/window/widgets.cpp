#include "widgets.h"

#include <QFocusEvent>
#include <QPainter>

#include <limits>

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
    // Any length, as typed or pasted: Qt would keep only the first 32767 characters.
    setMaxLength(std::numeric_limits<int>::max());
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

}  // namespace kq71wb::window
