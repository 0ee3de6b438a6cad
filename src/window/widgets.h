#pragma once

// The few widgets the layout needs that Qt does not draw or behave the same
// way: a label that keeps its trailing blanks, a frame whose caption sits in
// its top border, a straight line of a given width, and a field that selects
// its text when it gains the focus.

#include <QLabel>
#include <QLineEdit>
#include <QPoint>
#include <QWidget>

namespace kq71wb::window {

// A label whose text keeps every blank: "Aircraft Empty  ", right-aligned,
// ends two blank widths short of its right edge, as the captions are spaced
// to do. (QLabel drops trailing blanks when it aligns a text.)
class CaptionLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

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

// A text field of the sheet. It tells when it gains the focus by Tab,
// Shift+Tab, a click or the program, so that its whole text can be selected
// and typing replaces it; not when the focus only comes back with the window,
// from a menu or from the menu bar, where the caret stays where it was. The
// click that brings the focus does not move the caret, so it keeps the
// selection.
class SheetField : public QLineEdit {
    Q_OBJECT

public:
    explicit SheetField(QWidget* parent);

signals:
    void gotFocus();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool m_focusedByPress = false;
};

}  // namespace kq71wb::window
