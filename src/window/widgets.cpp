#include "widgets.h"

#include <QAccessible>
#include <QApplication>
#include <QFocusEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>
#include <QTextLayout>
#include <qdrawutil.h>

#include <algorithm>


namespace kq71wb::window {
namespace {

// The box of the character at index of a single line of text drawn in area
// with this font and these flags, across as QPainter::drawText lays it out and
// as high as the label: Orca's flat review sorts boxes by their tops and puts
// those whose middles differ by more than a few pixels on separate lines, so
// a figure stands level with the fields of its row, as a field's box does.
QRect boxInLine(const QLabel& label, const QFont& font, const QRect& area, int flags, const QString& line, int index)
{
    if (index < 0 || index >= line.size())
        return {};
    const QFontMetrics metrics(font);
    const QRect drawn = metrics.boundingRect(area, flags, line);
    return QRect(drawn.left() + metrics.horizontalAdvance(line.left(index)), 0, metrics.horizontalAdvance(line.at(index)),
                 label.height());
}

// Scrolls as little as shows the stretch from start to end in the room the
// bar scrolls, or its start where it is longer than the room.
void bringIntoView(QScrollBar& bar, int start, int end, int room)
{
    bar.setValue(end - start > room ? start : std::clamp(bar.value(), end - room, start));
}

int captionFlags(const QLabel& label)
{
    return static_cast<int>(label.alignment()) | Qt::TextSingleLine | Qt::TextIncludeTrailingSpaces;
}

}  // namespace

// A caption wider than its box would lose its start, and a figure its sign:
// "-3427.693645885" read as "3427.693645885". It is drawn smaller, down to
// three quarters of its size, and beyond that cut at its end with "…", so
// that its sign and leading digits always show. The whole caption is the
// label's text for screen readers.
CaptionLabel::Fitted fitText(const QFont& font, const QString& text, int room)
{
    QFont shown = font;
    const qreal size = shown.pointSizeF() > 0 ? shown.pointSizeF() : shown.pixelSize();
    const auto setSize = [&shown](qreal to) {
        if (shown.pointSizeF() > 0)
            shown.setPointSizeF(to);
        else
            shown.setPixelSize(qRound(to));
    };
    const auto width = [&text](const QFont& face) { return QFontMetrics(face).horizontalAdvance(text); };
    for (qreal step = 1.0; step >= 0.75 && width(shown) > room; step -= 0.05)
        setSize(size * step);
    if (width(shown) <= room)
        return {shown, text};
    return {shown, QFontMetrics(shown).elidedText(text, Qt::ElideRight, room)};
}

CaptionLabel::Fitted CaptionLabel::fitted() const { return fitText(font(), text(), contentsRect().width()); }

void CaptionLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    painter.setPen(palette().color(QPalette::WindowText));
    const Fitted shown = fitted();
    painter.setFont(shown.font);
    painter.drawText(contentsRect(), captionFlags(*this), shown.text);
}

QRect CaptionLabel::characterBox(int index) const
{
    const Fitted shown = fitted();
    return boxInLine(*this, shown.font, contentsRect(), captionFlags(*this), shown.text, index);
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

QRect SheetField::characterBox(int offset) const
{
    const QString shown = displayText();
    if (offset < 0 || offset >= shown.size())
        return {};
    // Qt draws the caret's box centred on the caret, wherever the text is
    // aligned or scrolled to; the other characters are measured from it.
    const QRect caret = cursorRect();
    const QFontMetrics metrics(font());
    const int left = caret.center().x() + metrics.horizontalAdvance(shown.left(offset)) -
                     metrics.horizontalAdvance(shown.left(cursorPosition()));
    return QRect(left, caret.top(), metrics.horizontalAdvance(shown.at(offset)), caret.height());
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
    // A field left for another shows the start of its text, as a long one
    // would otherwise show only its end; the caret stays where it was while
    // the window or a menu only borrows the focus.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason)
        setCursorPosition(0);
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
    if (caption != text()) {
        setText(caption);
        tellNameChanged();
    }
}

void ResultLabel::setVerdict(const QString& words)
{
    if (words != accessibleDescription()) {
        setAccessibleDescription(words);
        tellNameChanged();
    }
}

// The name, which says the figure and its verdict, tells of either change.
// Not an event for the text or the description as well: Orca speaks neither,
// and when more than 50 events wait it drops the announcements of the line
// beneath the window among them.
void ResultLabel::tellNameChanged()
{
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
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
    // A button that cannot be pressed is greyed: its text in the grey of a disabled control.
    if (!isEnabled())
        painter.setPen(palette().color(QPalette::Dark));
    // A long name is drawn smaller, then cut at its end, never at its start.
    const CaptionLabel::Fitted shown = fitText(font(), text(), inside.width());
    painter.setFont(shown.font);
    style()->drawItemText(&painter, inside, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), true, shown.text,
                          isEnabled() ? QPalette::ButtonText : QPalette::NoRole);
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

// The scale takes the Tab focus, for screen readers; a dotted frame shows it
// has it. A pointer that is not current is greyed, and so is the groove up to
// it, as a figure that is not current is; the scale stays in the Tab order.
void ScaleSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle | QStyle::SC_SliderTickmarks;
    if (!m_current) {
        option.palette.setColor(QPalette::Button, palette().color(QPalette::Mid));
        option.palette.setColor(QPalette::Highlight, palette().color(QPalette::Dark));
    }
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
    if (!hasFocus())
        return;
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ScaleSlider::setCentreOfGravity(const QString& words, std::optional<double> inches, bool current)
{
    if (current != m_current) {
        m_current = current;
        update();
    }
    if (words == m_words && inches == m_inches)
        return;
    m_words = words;
    m_inches = inches;
    QAccessibleValueChangeEvent event(this, inches ? QVariant(*inches) : QVariant());
    QAccessible::updateAccessibility(&event);
    QAccessibleEvent described(this, QAccessible::DescriptionChanged);  // the words are its description
    QAccessible::updateAccessibility(&described);
}

SheetArea::SheetArea(QWidget* sheet, const QRect& band, QWidget* parent) : QScrollArea(parent), m_band(band)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);  // its controls take the focus, not the area
    setWidget(sheet);
    // A sheet that scrolls is as much wider as its scroll bar, so that no
    // control hides behind the bar.
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &QWidget::updateGeometry);
    // A click, a loading's press or the program moves the focus too.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && widget()->isAncestorOf(now))
            keepInView();
    });
}

QSize SheetArea::sizeHint() const
{
    const int frame = 2 * frameWidth();
    QSize size = widget()->size() + QSize(frame, frame);
    // Until it is first laid out, its own size says nothing.
    if (isVisible() && verticalScrollBar()->maximum() > 0)
        size.rwidth() += verticalScrollBar()->sizeHint().width();
    return size;
}

QSize SheetArea::minimumSizeHint() const { return {sizeHint().width(), m_band.height() + 2 * frameWidth()}; }

// Tab keeps the band in view as any focus change does, not the margins
// QScrollArea gives the field, which could push the results out.
bool SheetArea::focusNextPrevChild(bool next)
{
    if (!QWidget::focusNextPrevChild(next))
        return false;
    keepInView();
    return true;
}

void SheetArea::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    keepInView();
}

// The band first, then the control with the focus (the scale and the title
// lie outside it): where the two do not fit together, the focus wins.
void SheetArea::keepInView()
{
    const auto show = [this](const QRect& area) {
        bringIntoView(*horizontalScrollBar(), area.left(), area.right() + 1, viewport()->width());
        bringIntoView(*verticalScrollBar(), area.top(), area.bottom() + 1, viewport()->height());
    };
    show(m_band);
    QWidget* focused = QApplication::focusWidget();
    if (focused && widget()->isAncestorOf(focused))
        show(QRect(focused->mapTo(widget(), QPoint()), focused->size()));
}

LinesArea::LinesArea(QWidget* lines, QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    setWidget(lines);
    lines->setAutoFillBackground(false);  // the focus frame drawn beneath them shows
    setFocusPolicy(Qt::NoFocus);
    QScrollBar* bar = verticalScrollBar();
    // A stop in the Tab order only while there is something to scroll.
    connect(bar, &QScrollBar::rangeChanged, this, [this](int, int maximum) {
        setFocusPolicy(maximum > 0 ? Qt::StrongFocus : Qt::NoFocus);
        showFollowed();
    });
    // The user's own scrolling, by key, wheel or bar, ends the following.
    connect(bar, &QScrollBar::actionTriggered, this, [this] { m_followed = nullptr; });
}

QSize LinesArea::sizeHint() const
{
    const int frame = 2 * frameWidth();
    const QSize held = widget() ? widget()->sizeHint() : QSize(0, 0);
    return {held.width() + frame, held.height() + frame};
}

QSize LinesArea::minimumSizeHint() const
{
    return {0, std::min(sizeHint().height(), fontMetrics().height() + 2 * frameWidth())};
}

void LinesArea::follow(QWidget* line)
{
    if (m_followed != line && m_followed)
        m_followed->removeEventFilter(this);
    m_followed = line;
    line->installEventFilter(this);
    showFollowed();
}

void LinesArea::showFollowed()
{
    if (!m_followed)
        return;
    bringIntoView(*verticalScrollBar(), m_followed->y(), m_followed->y() + m_followed->height(), viewport()->height());
}

// The line followed is kept in view as its height and place settle, and as
// other lines change; an empty one is followed no longer.
bool LinesArea::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_followed && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        if (m_followed->height() == 0) {
            m_followed->removeEventFilter(this);
            m_followed = nullptr;
        }
        showFollowed();
    }
    return QScrollArea::eventFilter(watched, event);
}

// What it holds asked for another size: so does the area, of the window.
bool LinesArea::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::viewportEvent(event);
}

// Home and End as well as the arrows and pages, as in a text.
void LinesArea::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Home || event->key() == Qt::Key_End)
        verticalScrollBar()->triggerAction(event->key() == Qt::Key_Home ? QAbstractSlider::SliderToMinimum
                                                                        : QAbstractSlider::SliderToMaximum);
    else
        QScrollArea::keyPressEvent(event);
}

// With the focus, a dotted frame inside its edge, as the scale shows it.
void LinesArea::paintEvent(QPaintEvent* event)
{
    QScrollArea::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.drawRect(viewport()->rect().adjusted(0, 0, -1, -1));
}

MessageLine::MessageLine(bool announcing, QWidget* parent) : QLabel(parent), m_announcing(announcing)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setFixedHeight(0);
}

void MessageLine::setMessage(const QString& message)
{
    if (message == text())
        return;
    const QString before = text();
    setText(message);
    // Fitted once the handler that set it is done, so that the lines set in
    // one change are measured once, not in the middle of a keystroke.
    if (!m_fitPending) {
        m_fitPending = true;
        QMetaObject::invokeMethod(this, &MessageLine::fitHeight, Qt::QueuedConnection);
    }
    if (m_announcing) {  // a quiet line's new name is enough, as for the figures
        QAccessibleTextUpdateEvent update(this, 0, before, message);
        QAccessible::updateAccessibility(&update);
    }
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

QRect MessageLine::characterBox(int index) const
{
    // Laid out as the label draws a wrapped text: broken between words.
    QTextLayout layout(text(), font());
    QTextOption option(alignment());
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    const QRect area = contentsRect();
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(area.width());
    layout.endLayout();
    double y = area.top();
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        if (index >= line.textStart() && index < line.textStart() + line.textLength()) {
            const double left = line.cursorToX(index), right = line.cursorToX(index + 1);
            return QRectF(area.left() + left, y, right - left, line.height()).toAlignedRect();
        }
        y += line.height();
    }
    return {};
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
    // An empty line takes no room, yet stays shown: a notification that
    // appeared would be announced by the showing alone.
    const int wanted = text().isEmpty() ? 0 : heightForWidth(width());
    if (wanted != height())
        setFixedHeight(wanted);
}

}  // namespace kq71wb::window

#include "widgets.moc"
