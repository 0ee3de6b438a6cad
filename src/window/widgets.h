#pragma once

// The few widgets the layout needs that Qt does not draw or behave the same
// way: a label that keeps its trailing blanks, a frame whose caption sits in
// its top border, a straight line of a given width, a field that selects its
// text when it gains the focus, a button that shows its colour flat, the
// scale, a line of messages that always fits, and the areas that scroll the
// sheet and the lines beneath on a screen too small for them.

#include <QLabel>
#include <QLineEdit>
#include <QPoint>
#include <QPushButton>
#include <QRect>
#include <QScrollArea>
#include <QSlider>
#include <QWidget>

#include <optional>

#include "sheet.h"

namespace kq71wb::window {

// A label whose text keeps every blank: "Aircraft Empty  ", right-aligned,
// ends two blank widths short of its right edge, as the captions are spaced
// to do. (QLabel drops trailing blanks when it aligns a text.)
class CaptionLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;
    // Where the character at index of text() is painted, in the label's own
    // coordinates: screen readers review a figure by these boxes.
    QRect characterBox(int index) const;

    // The font and text a caption is drawn in: its own, made smaller, or
    // cut at its end with "…" when it is wider than the label.
    struct Fitted {
        QFont font;
        QString text;
    };
    Fitted fitted() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A label that shows a figure of the sheet. A screen reader reads its
// caption as its text and value, and the verdict its colour gives in words as
// its description; its name says all three ("Gross weight, 770, within
// limits"), as Orca speaks only the name of a label, and its change tells of
// a new caption.
class ResultLabel : public CaptionLabel {
    Q_OBJECT

public:
    using CaptionLabel::CaptionLabel;
    void setCaption(const QString& caption);
    void setVerdict(const QString& words);

private:
    void tellNameChanged();
};

// A text in a font fitted to `room` pixels: the font made smaller, down to
// three quarters of its size, then the text cut at its end with "…".
CaptionLabel::Fitted fitText(const QFont& font, const QString& text, int room);

// A group frame with its caption drawn over its top border. Children are
// placed from the frame's outer top-left corner.
class CaptionFrame : public QWidget {
    Q_OBJECT

public:
    CaptionFrame(const QString& caption, QWidget* parent);
    QString caption() const { return m_caption; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
};

// A straight line between two points of its parent, drawn in the text colour.
class LineWidget : public QWidget {
    Q_OBJECT

public:
    LineWidget(QPoint from, QPoint to, int width, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint m_from;
    QPoint m_to;
    int m_width;
};

// A text field of the sheet. It keeps at most kMaxFieldCharacters, as a
// field of the loadings file does, and tells when more was typed or pasted
// than it keeps. It tells when it gains the focus by Tab,
// Shift+Tab, a click or the program, so that its whole text can be selected
// and typing replaces it; not when the focus only comes back with the window,
// from a menu or from the menu bar, where the caret stays where it was. The
// click that brings the focus does not move the caret, so it keeps the
// selection.
class SheetField : public QLineEdit {
    Q_OBJECT

public:
    static constexpr int kMaxFieldCharacters = static_cast<int>(kq71wb::kMaxFieldCharacters);
    explicit SheetField(QWidget* parent);
    // Where the character at offset is drawn, in the field's own coordinates.
    QRect characterBox(int offset) const;

signals:
    void gotFocus();
    void textCut();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool m_focusedByPress = false;
};

// A loading button drawn as a graphical-style button is: a flat fill of its
// colour in a raised bevel, so that the light yellow of the marked loading
// shows as it is and not washed out by the style's gradient. Enter presses
// it, as Space does.
class LoadingButton : public QPushButton {
    Q_OBJECT

public:
    // Checkable, so that assistive technology hears which one is marked.
    LoadingButton(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The centre-of-gravity scale. It is opaque in the form's colour, as it lies
// in front of the band of numbers, and its thumb is wide enough that the
// ticks of 10 to 18 in stand under the band's numbers. It is a display: no
// drag, click, wheel or key moves it away from the computed CG, though it
// takes the focus for screen readers.
class ScaleSlider : public QSlider {
    Q_OBJECT

public:
    explicit ScaleSlider(QWidget* parent);

    // What a screen reader gives as the scale's value: the CG as shown, in
    // words ("CG 6.49 in, forward of the scale"), and as a number. A pointer
    // that the last pass did not move (`current` false) is drawn greyed, as
    // a figure that is not current is.
    void setCentreOfGravity(const QString& words, std::optional<double> inches, bool current = true);
    QString centreOfGravityWords() const { return m_words; }
    std::optional<double> centreOfGravity() const { return m_inches; }
    bool isCurrent() const { return m_current; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_words;
    std::optional<double> m_inches;
    bool m_current = true;
};

// A line beneath the layout. A message wraps over as many lines as it needs,
// at any font size, and the line takes no room while it has none. An announcing
// line is a notification to assistive technology: announce() speaks its
// message without the user asking.
class MessageLine : public QLabel {
    Q_OBJECT

public:
    MessageLine(bool announcing, QWidget* parent);
    void setMessage(const QString& message);
    QString message() const { return text(); }
    bool announcing() const { return m_announcing; }
    // Where the character at index of message() is shown, in the line's own
    // coordinates, on whichever line of the wrapped message it stands.
    QRect characterBox(int index) const;
    // Speaks the message.
    void announce();
    // Its height is set from its width once it is laid out (fitHeight): a
    // layout that took a wrapped label's height for its width as its least
    // could not let the lines beneath scroll on a small screen.
    bool hasHeightForWidth() const override { return false; }

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitHeight();
    bool m_announcing;
    bool m_fitPending = false;
};

// The sheet's fixed layout, scrolled where the screen has no room for all of
// it (a small screen, a large desktop font): the band of rows and results it
// is made with stays in view, and so does the control with the focus. It
// never asks for less room than the band.
class SheetArea : public QScrollArea {
    Q_OBJECT

public:
    // `band`: the rows a pilot types in and the results, in the sheet's coordinates.
    SheetArea(QWidget* sheet, const QRect& band, QWidget* parent);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool focusNextPrevChild(bool next) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void keepInView();
    QRect m_band;
};

// The lines beneath the verdict, as tall as what they hold where the window
// has room; where it has not, they scroll, keep the line they follow in view
// until the user scrolls, and take a Tab stop so that the keyboard scrolls them.
class LinesArea : public QScrollArea {
    Q_OBJECT

public:
    LinesArea(QWidget* lines, QWidget* parent);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;  // one line of text, or what it holds when less
    // Keeps `line`, one of the widgets it holds, in view: its end, and its
    // start where the two do not fit together.
    void follow(QWidget* line);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showFollowed();
    QWidget* m_followed = nullptr;
};

// Lets assistive technology read the widgets above as they are shown.
void installAccessibility();

}  // namespace kq71wb::window
