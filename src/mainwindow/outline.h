#pragma once
// The main window's outline: its rectangle with the two top corners cut
// off by diagonals of 90 twips (6 pixels at 96 DPI). Pure, so the vertices
// are tested natively.
#include <array>
#include <cstdint>
#include <exception>

namespace mainwindow {

struct Vertex {
    int32_t x;
    int32_t y;
};

// A window size that does not convert to pixels (an overflow).
struct SizeOutOfRange : std::exception {
    const char* what() const noexcept override { return "window size out of range"; }
};

// Seven vertices in pixels at `dpi` from the window's outer size in twips
// (the last repeats the first). Throws SizeOutOfRange when the size cannot
// be converted.
std::array<Vertex, 7> OutlineVertices(double widthTwips, double heightTwips, int dpi = 96);

}  // namespace mainwindow
