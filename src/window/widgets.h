#pragma once

// The few widgets the layout needs that Qt does not draw the same way: a label
// that keeps its trailing blanks, a frame whose caption sits in its top border,
// and a straight line of a given width.

#include <QLabel>
#include <QPoint>
#include <QWidget>

namespace kq71wb::window {

// A label whose text keeps every blank: "Aircraft Empty  ", right-aligned,
// ends two blank widths short of its right edge, as the captions are spaced
// to do. (QLabel drops trailing blanks when it aligns a text.)
class CaptionLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A group frame with its caption drawn over its top border. Children are
// placed from the frame's outer top-left corner.
class CaptionFrame : public QWidget {
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
public:
    LineWidget(QPoint from, QPoint to, int width, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint m_from;
    QPoint m_to;
    int m_width;
};

}  // namespace kq71wb::window
