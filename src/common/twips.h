#pragma once
// Twips are the unit of every form position and size: 15 twips a pixel.
#include <cmath>

namespace common {

constexpr double kTwipsPerPixel = 15.0;

// Nearest pixel, halves to the even neighbour.
inline int TwipsToPixels(double twips) {
    double px = twips / kTwipsPerPixel;
    double lower = std::floor(px);
    double frac = px - lower;
    if (frac > 0.5) return static_cast<int>(lower) + 1;
    if (frac < 0.5) return static_cast<int>(lower);
    long long l = static_cast<long long>(lower);
    return static_cast<int>(l % 2 == 0 ? l : l + 1);
}

inline double PixelsToTwips(int px) { return px * kTwipsPerPixel; }

}  // namespace common
