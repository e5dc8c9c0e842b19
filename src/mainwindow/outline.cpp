#include "mainwindow/outline.h"

#include <cmath>
#include <stdexcept>

#include "common/twips.h"

namespace mainwindow {

namespace {
int32_t Checked(double px) {
    if (!std::isfinite(px) || px < -2147483648.0 || px > 2147483647.0)
        throw SizeOutOfRange();
    return static_cast<int32_t>(px);
}
}  // namespace

std::array<Vertex, 7> OutlineVertices(double widthTwips, double heightTwips) {
    Checked(widthTwips / common::kTwipsPerPixel);
    Checked(heightTwips / common::kTwipsPerPixel);
    const int32_t w = common::TwipsToPixels(widthTwips);
    const int32_t h = common::TwipsToPixels(heightTwips);
    // Vertex 3 is Width / 15 - 6, rounded: the same as W - 6.
    const int32_t x3 = common::TwipsToPixels(widthTwips - 6 * common::kTwipsPerPixel);
    return {{{0, h}, {0, 6}, {6, 0}, {x3, 0}, {w, 6}, {w, h}, {0, h}}};
}

}  // namespace mainwindow
