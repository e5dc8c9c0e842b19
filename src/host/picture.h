#pragma once
// A picture of the executable's art: shared and reference counted. Its Handle is its identity: controls that were given one another's
// picture share the object; two loads of one resource give two objects.
#include <windows.h>

#include <cstdint>
#include <memory>

namespace host {

class StdPicture {
public:
    StdPicture() = default;
    // Loads the RCDATA resource `id` of this executable (JPEG or GIF). Its
    // size is known at once; the image is decoded when first drawn or asked
    // for its Handle.
    static StdPicture FromResource(int id);

    uintptr_t Handle() const;
    bool Empty() const { return !impl_; }
    int WidthPx() const;
    int HeightPx() const;
    // Draws the picture unscaled with its top-left corner at x, y; through
    // `scratch`, a memory DC, when the caller keeps one.
    void Render(HDC dc, int x, int y, HDC scratch = nullptr) const;

    // The same picture object, without decoding either.
    bool SameObject(const StdPicture& o) const { return impl_ == o.impl_; }

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
};

}  // namespace host
