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

std::array<Vertex, 7> OutlineVertices(double widthTwips, double heightTwips, int dpi) {
    if (dpi <= 0) throw SizeOutOfRange();
    Checked(widthTwips * dpi / common::kTwipsPerInch);
    Checked(heightTwips * dpi / common::kTwipsPerInch);
    const double cutTwips = 6 * common::kTwipsPerPixel;
    const int32_t w = common::TwipsToPixels(widthTwips, dpi);
    const int32_t h = common::TwipsToPixels(heightTwips, dpi);
    const int32_t c = common::TwipsToPixels(cutTwips, dpi);
    // Vertex 3 is the width less the cut, rounded once: at 96 DPI, W - 6.
    const int32_t x3 = common::TwipsToPixels(widthTwips - cutTwips, dpi);
    return {{{0, h}, {0, c}, {c, 0}, {x3, 0}, {w, c}, {w, h}, {0, h}}};
}

}  // namespace mainwindow
