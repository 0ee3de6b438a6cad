#pragma once

// A load sheet on one page of paper: its heading, the image of the window and
// the lines below, every line wrapped to the page's width (a word wider than
// the line is broken), the image made smaller when wider than the page. When
// the whole would not fit on the page, the words are made smaller down to 9
// points, then the image, then, only as a last resort, the words again.

#include <QFont>
#include <QRectF>
#include <QString>

#include <functional>
#include <vector>

#include "load_sheet.h"

class QPainter;

namespace kq71wb {

struct PageLayout {
    struct Block {
        QString text;
        QFont font;
        QRectF box;
    };
    double scale = 1.0;  // of everything, against pixels of a 96-dot-per-inch screen
    std::vector<Block> blocks;
    QRectF image;  // where the image of the window stands, before `scale`
    QRectF envelope;  // where the envelope chart stands, before `scale`; empty without one
};

// Lays out the text and an image of `imageSize` in `area`, which is measured
// in pixels of a 96-dot-per-inch screen.
PageLayout layOutPage(const QRectF& area, const LoadSheetText& text, const QSizeF& imageSize);

// Paints a laid-out page at the top-left of `area`; `drawImage` draws the
// image of the window at the painter's origin, at its own size.
void paintPage(QPainter& painter, const QRectF& area, const PageLayout& page, const LoadSheetText& text,
               const QSizeF& imageSize, const std::function<void(QPainter&)>& drawImage);

// Whether the fonts the words are set in draw every letter, digit and mark
// of plain text in them: where no font is found at all (an empty font
// configuration), each would be printed as a box, and the page is not one.
bool wordsLegible(const LoadSheetText& text);

// The envelope chart in `box`, in black and white as well as in colour: the
// area within limits outlined and hatched, the point labelled, a dot within
// limits and a cross out of them.
void paintEnvelope(QPainter& painter, const QRectF& box, const Envelope& envelope);

}  // namespace kq71wb
