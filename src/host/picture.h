#pragma once
// A picture of the executable's art: shared and reference counted; two
// loads of one resource give two objects. Each picture is drawn once for
// each display scale; it draws the set for the DPI it is asked for.
#include <windows.h>

#include <cstdint>
#include <memory>

namespace host {

// The picture sets: the resource of the set for kPictureSetDpi[k] is the
// picture's id plus k * kPictureSetStride.
constexpr int kPictureSetDpi[] = {96, 120, 144, 192};
constexpr int kPictureSetStride = 1000;

class StdPicture {
public:
    StdPicture() = default;
    // The bitmap resource `id` of this executable (its 96-DPI set). Only
    // its header is read: the image is loaded when first drawn.
    static StdPicture FromResource(int id);

    // The picture object's identity, the same for every holder of it.
    uintptr_t Handle() const;
    bool Empty() const { return !impl_; }
    // Its size in pixels at `dpi`.
    int WidthPx(int dpi = 96) const;
    int HeightPx(int dpi = 96) const;
    // Draws the picture for `dpi` with its top-left corner at x, y;
    // through `scratch`, a memory DC, when the caller keeps one.
    void Render(HDC dc, int x, int y, int dpi = 96, HDC scratch = nullptr) const;
    // Draws its shape alone, every pixel that is not see-through, in one
    // colour; a picture without see-through pixels is a rectangle.
    void RenderShape(HDC dc, int x, int y, int dpi, COLORREF colour, HDC scratch = nullptr) const;

    bool SameObject(const StdPicture& o) const { return impl_ == o.impl_; }

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
};

}  // namespace host
