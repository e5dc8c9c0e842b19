#pragma once
// Twips are the unit of every form position and size: 1440 a logical inch,
// so 1440 / DPI twips a pixel (15 at 96 DPI, 7.5 at 192).
#include <cmath>

namespace common {

constexpr int kBaseDpi = 96;
constexpr double kTwipsPerInch = 1440.0;
constexpr double kTwipsPerPixel = kTwipsPerInch / kBaseDpi;  // at 96 DPI

// Nearest pixel at `dpi`, halves to the even neighbour.
inline int TwipsToPixels(double twips, int dpi = kBaseDpi) {
    double px = twips * dpi / kTwipsPerInch;
    double lower = std::floor(px);
    double frac = px - lower;
    if (frac > 0.5) return static_cast<int>(lower) + 1;
    if (frac < 0.5) return static_cast<int>(lower);
    long long l = static_cast<long long>(lower);
    return static_cast<int>(l % 2 == 0 ? l : l + 1);
}

inline double PixelsToTwips(int px, int dpi = kBaseDpi) { return px * kTwipsPerInch / dpi; }

// A length drawn in pixels at 96 DPI, in pixels at `dpi`.
inline int ScalePixels(int px96, int dpi) { return TwipsToPixels(px96 * kTwipsPerPixel, dpi); }

}  // namespace common
