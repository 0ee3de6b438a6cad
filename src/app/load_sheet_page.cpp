#include "load_sheet_page.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>

namespace kq71wb {
namespace {

QFont lineFont(bool title)
{
    QFont font(QStringList{"Arial"});
    font.setBold(title);
    font.setPixelSize(title ? 19 : 13);
    return font;
}

// A text broken into lines of a width: between words where it can be, inside
// a word only when the word is wider than the line.
void wrap(QTextLayout& layout, double width)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    double y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
}

double wrappedHeight(const QString& text, const QFont& font, double width)
{
    QTextLayout layout(text, font);
    wrap(layout, width);
    // An empty line keeps the height of one.
    return std::max(layout.boundingRect().height(), QFontMetricsF(font).height());
}

}  // namespace

PageLayout layOutPage(const QRectF& area, const LoadSheetText& text, const QSizeF& imageSize)
{
    constexpr double kGap = 12;
    // Lines of 13 pixels stay 9 points or more; the image of the window gives
    // way first, to a quarter of its size; only then, as a last resort, the
    // words shrink further.
    constexpr double kReadable = 12.0 / 13.0;
    constexpr double kSmallestImage = 0.25;
    constexpr double kSmallest = 0.1;
    for (double scale = 1.0, imageShrink = 1.0;;) {
        PageLayout page;
        page.scale = scale;
        const double width = area.width() / scale;
        double y = 0;
        const auto place = [&](const std::string& line, bool title) {
            const QFont font = lineFont(title);
            const QString words = QString::fromStdString(line);
            const double height = wrappedHeight(words, font, width);
            page.blocks.push_back({words, font, QRectF(0, y, width, height)});
            y += height + QFontMetricsF(font).height() * 0.4;
        };
        for (std::size_t i = 0; i < text.above.size(); ++i)
            place(text.above[i], i == 0);
        y += kGap;
        const double shrink = std::min(1.0, width / imageSize.width()) * imageShrink;
        page.image = QRectF(0, y, imageSize.width() * shrink, imageSize.height() * shrink);
        y += page.image.height() + kGap;
        if (text.envelope) {
            const double chartWidth = std::min(width, Envelope::kWidth) * imageShrink;
            page.envelope = QRectF(0, y, chartWidth, chartWidth * Envelope::kHeight / Envelope::kWidth);
            y += page.envelope.height() + kGap;
        }
        for (const std::string& line : text.below)
            place(line, false);
        if (y <= area.height() / scale || scale < kSmallest)
            return page;
        if (scale * 0.95 >= kReadable)
            scale *= 0.95;
        else if (imageShrink * 0.9 >= kSmallestImage)
            imageShrink *= 0.9;
        else
            scale *= 0.9;
    }
}

bool wordsLegible(const LoadSheetText& text)
{
    const QFontMetricsF title(lineFont(true)), line(lineFont(false));
    const auto legible = [](const QFontMetricsF& font, const std::string& words) {
        return std::all_of(words.begin(), words.end(), [&font](char c) { return c <= ' ' || c > '~' || font.inFont(QChar(c)); });
    };
    return std::all_of(text.above.begin(), text.above.end(),
                       [&](const std::string& words) { return legible(&words == &text.above.front() ? title : line, words); }) &&
           std::all_of(text.below.begin(), text.below.end(), [&](const std::string& words) { return legible(line, words); });
}

void paintPage(QPainter& painter, const QRectF& area, const PageLayout& page, const LoadSheetText& text,
               const QSizeF& imageSize, const std::function<void(QPainter&)>& drawImage)
{
    painter.save();
    painter.translate(area.topLeft());
    painter.scale(page.scale, page.scale);
    painter.setPen(Qt::black);
    for (const PageLayout::Block& block : page.blocks) {
        QTextLayout layout(block.text, block.font);
        wrap(layout, block.box.width());
        layout.draw(&painter, block.box.topLeft());
    }
    if (text.envelope && !page.envelope.isEmpty())
        paintEnvelope(painter, page.envelope, *text.envelope);
    painter.translate(page.image.topLeft());
    painter.scale(page.image.width() / imageSize.width(), page.image.height() / imageSize.height());
    drawImage(painter);
    painter.restore();
}

void paintEnvelope(QPainter& painter, const QRectF& box, const Envelope& envelope)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.topLeft());
    painter.scale(box.width() / Envelope::kWidth, box.height() / Envelope::kHeight);
    const QRectF plot(Envelope::kPlotLeft, Envelope::kPlotTop, Envelope::kPlotWidth, Envelope::kPlotHeight);
    const auto at = [&](const ChartPoint& point) {
        const ChartPoint& low = Envelope::kLowest;
        const ChartPoint& high = Envelope::kHighest;
        return QPointF(plot.left() + (point.cg - low.cg) / (high.cg - low.cg) * plot.width(),
                       plot.bottom() - (point.weight - low.weight) / (high.weight - low.weight) * plot.height());
    };
    QFont font(QStringList{"Arial"});
    font.setPixelSize(14);
    painter.setFont(font);
    const auto label = [&](QPointF where, const std::string& text, Qt::Alignment alignment) {
        const QRectF room(where - QPointF(60, 10), QSizeF(120, 20));
        const QRectF placed = alignment & Qt::AlignRight ? room.translated(-60, 0) : room;
        painter.drawText(placed, static_cast<int>(alignment | Qt::AlignVCenter), QString::fromStdString(text));
    };

    // The grid and its figures: the limits' above the chart, the inches below.
    painter.setPen(QPen(QColor(0, 0, 0, 64), 1));
    for (const ChartTick& tick : envelope.cgTicks)
        painter.drawLine(QLineF(at({tick.at, Envelope::kLowest.weight}), at({tick.at, Envelope::kHighest.weight})));
    for (const ChartTick& tick : envelope.weightTicks)
        painter.drawLine(QLineF(at({Envelope::kLowest.cg, tick.at}), at({Envelope::kHighest.cg, tick.at})));
    painter.setPen(Qt::black);
    for (const ChartTick& tick : envelope.cgTicks)
        label(at({tick.at, Envelope::kLowest.weight}) + QPointF(0, tick.limit ? -plot.height() - 14 : 16), tick.label,
              Qt::AlignHCenter);
    for (const ChartTick& tick : envelope.weightTicks)
        label(at({Envelope::kLowest.cg, tick.at}) + QPointF(-4, 0), tick.label, Qt::AlignRight);
    label(QPointF(plot.center().x(), plot.bottom() + 36), "CG (in)", Qt::AlignHCenter);
    label(QPointF(plot.left() - 4, plot.top() - 16), "lb", Qt::AlignRight);

    // The area within limits: light green, hatched and outlined, so that a
    // black-and-white printer keeps it.
    QPolygonF area;
    for (const ChartPoint& corner : envelope.area)
        area << at(corner);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 255, 0, 77));
    painter.drawPolygon(area);
    painter.setBrush(QBrush(QColor(0, 0, 0, 90), Qt::BDiagPattern));
    painter.drawPolygon(area);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawPolygon(area);
    painter.drawRect(plot);

    painter.setClipRect(plot);
    QPolygonF line;
    for (const ChartPoint& point : envelope.pilotLine)
        line << at(point);
    painter.setPen(QPen(Qt::black, 1.5, Qt::DashLine));
    painter.drawPolyline(line);
    painter.setClipping(false);

    if (envelope.point) {
        // A point off the chart stands at its edge; its label says where it is.
        const QPointF onChart = at(*envelope.point);
        const QPointF point(std::clamp(onChart.x(), plot.left(), plot.right()),
                            std::clamp(onChart.y(), plot.top(), plot.bottom()));
        if (envelope.pointWithin) {
            painter.setPen(QPen(Qt::white, 1.5));
            painter.setBrush(Qt::black);
            painter.drawEllipse(point, 5, 5);
        } else {
            painter.setPen(QPen(Qt::red, 3));
            painter.drawLine(point + QPointF(-6, -6), point + QPointF(6, 6));
            painter.drawLine(point + QPointF(-6, 6), point + QPointF(6, -6));
        }
        // The label on a white halo, clear of the lines beneath it.
        font.setBold(true);
        const QString text = QString::fromStdString(envelope.pointLabel);
        const bool right = point.x() > plot.center().x();
        const double width = QFontMetricsF(font).horizontalAdvance(text);
        QPainterPath path;
        path.addText(point + QPointF(right ? -8 - width : 8, point.y() < plot.top() + 20 ? 24 : -9), font, text);
        painter.strokePath(path, QPen(Qt::white, 4));
        painter.fillPath(path, Qt::black);
    }
    painter.restore();
}

}  // namespace kq71wb
