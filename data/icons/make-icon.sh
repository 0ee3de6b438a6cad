#!/usr/bin/env bash
# Draws the icon: a balance beam, tilted, on a post with a triangular base,
# lettered "W" and "B", in black on yellow. The 32 x 32 window icon in 16
# colours is drawn pixel by pixel with ImageMagick; the other sizes of the
# desktop's icon theme, and the web page's 192 and 512 pixels for a phone's
# home screen (web/icons/), are rendered from kq71wb.svg, the same drawing,
# with rsvg-convert. The results are committed; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 32x32 xc:'#FFFF40' \
    -stroke black -strokewidth 2 -fill none \
    -draw "line 3,11 29,5" \
    -draw "line 16,8 16,23" \
    -strokewidth 1 \
    -draw "line 3,11 1,17" -draw "line 3,11 6,17" -draw "line 1,17 6,17" \
    -draw "line 29,5 26,11" -draw "line 29,5 31,11" -draw "line 26,11 31,11" \
    -fill black -draw "polygon 10,29 22,29 16,22" \
    -stroke none -font DejaVu-Sans-Bold -pointsize 9 \
    -draw "text 0,30 'W'" -draw "text 25,30 'B'" \
    -colors 16 PNG8:kq71wb.png
for size in 16 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" kq71wb.svg | convert - -strip "PNG32:kq71wb-$size.png"
done
for size in 192 512; do
    rsvg-convert --width "$size" --height "$size" kq71wb.svg | convert - -strip "PNG32:../../web/icons/kq71wb-$size.png"
done
