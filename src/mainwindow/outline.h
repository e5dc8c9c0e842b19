#pragma once
// The main window's outline: its rectangle with the two top corners cut
// off by 6-pixel diagonals. Pure, so the vertices are tested natively.
#include <array>
#include <cstdint>

namespace mainwindow {

struct Vertex {
    int32_t x;
    int32_t y;
};

// Seven vertices from the window's outer size in twips (the last repeats
// the first). Throws std::range_error when the size cannot be converted.
std::array<Vertex, 7> OutlineVertices(double widthTwips, double heightTwips);

}  // namespace mainwindow
