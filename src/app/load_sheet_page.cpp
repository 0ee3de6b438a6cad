#include "load_sheet_page.h"

#include <QFontMetricsF>
#include <QPainter>
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

void paintPage(QPainter& painter, const QRectF& area, const PageLayout& page, const QSizeF& imageSize,
               const std::function<void(QPainter&)>& drawImage)
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
    painter.translate(page.image.topLeft());
    painter.scale(page.image.width() / imageSize.width(), page.image.height() / imageSize.height());
    drawImage(painter);
    painter.restore();
}

}  // namespace kq71wb
