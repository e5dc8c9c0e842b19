#include "picture.h"

#include <string>

#include "decimal.h"
#include "error.h"
#include "handles.h"
#include "image_codec.h"

namespace host {

// Decoded once, on first use, into a bitmap the screen can take at once; a
// picture with see-through pixels also gets a mask, white where it is
// see-through.
struct StdPicture::Impl {
    int id = 0;
    const unsigned char* data = nullptr;
    DWORD size = 0;
    int w = 0, h = 0;
    BitmapHandle colour, mask;
    Impl() { AdjustOwnedObjectCount(1); }
    ~Impl() { AdjustOwnedObjectCount(-1); }
    void Decode();
};

void StdPicture::Impl::Decode() {
    if (colour) return;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down, as decoded
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    BitmapHandle dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) Raise(L"out of memory loading a picture");
    // Straight into the bitmap: no copy of the picture is kept anywhere else.
    auto* px = static_cast<uint32_t*>(bits);
    bool transparent = false;
    if (!DecodeImageInto(data, size, w, h, px, transparent))
        Raise(L"invalid picture in resource " + common::Decimal(id));
    const size_t n = static_cast<size_t>(w) * h;
    if (transparent) {
        // Monochrome rows are whole 16-bit words; white where see-through.
        const int stride = ((w + 15) / 16) * 2;
        std::string rows(static_cast<size_t>(stride) * h, '\0');
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (!(px[static_cast<size_t>(y) * w + x] >> 24))
                    rows[static_cast<size_t>(y) * stride + x / 8] |= static_cast<char>(0x80 >> (x % 8));
        mask = BitmapHandle(CreateBitmap(w, h, 1, 1, rows.data()));
        if (!mask) Raise(L"out of memory loading a picture");
    }
    for (size_t i = 0; i < n; ++i) px[i] = (px[i] >> 24) ? px[i] & 0x00FFFFFFu : 0;  // see-through: black
    GdiFlush();
    colour = std::move(dib);
}

StdPicture StdPicture::FromResource(int id) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (!res) Raise(L"picture resource " + common::Decimal(id) + L" not found");
    auto impl = std::make_shared<Impl>();
    impl->id = id;
    impl->size = SizeofResource(module, res);
    impl->data = static_cast<const unsigned char*>(LockResource(LoadResource(module, res)));
    if (!impl->data || !ImageSize(impl->data, impl->size, impl->w, impl->h))
        Raise(L"picture resource " + common::Decimal(id) + L" is not a JPEG or GIF");
    StdPicture p;
    p.impl_ = std::move(impl);
    return p;
}

uintptr_t StdPicture::Handle() const {
    if (!impl_) return 0;
    impl_->Decode();
    return reinterpret_cast<uintptr_t>(impl_->colour.get());
}

int StdPicture::WidthPx() const { return impl_ ? impl_->w : 0; }
int StdPicture::HeightPx() const { return impl_ ? impl_->h : 0; }

void StdPicture::Render(HDC dc, int x, int y, HDC scratch) const {
    if (!impl_) return;
    impl_->Decode();
    DcHandle own;
    if (!scratch) {
        own = DcHandle(CreateCompatibleDC(dc));
        scratch = own.get();
    }
    if (!scratch) return;
    const int w = impl_->w, h = impl_->h;
    if (!impl_->mask) {
        Selected pic(scratch, impl_->colour.get());
        BitBlt(dc, x, y, w, h, scratch, 0, 0, SRCCOPY);
        return;
    }
    // Where the mask is white the background stays: darken through the
    // mask, then add the picture, which is black there.
    COLORREF back = SetBkColor(dc, RGB(255, 255, 255)), text = SetTextColor(dc, RGB(0, 0, 0));
    {
        Selected m(scratch, impl_->mask.get());
        BitBlt(dc, x, y, w, h, scratch, 0, 0, SRCAND);
    }
    {
        Selected pic(scratch, impl_->colour.get());
        BitBlt(dc, x, y, w, h, scratch, 0, 0, SRCPAINT);
    }
    SetBkColor(dc, back);
    SetTextColor(dc, text);
}

}  // namespace host
