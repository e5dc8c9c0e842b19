#include "picture.h"

#include "decimal.h"
#include "error.h"
#include "handles.h"
#include "twips.h"

namespace host {

namespace {
const BITMAPINFOHEADER* BitmapHeader(int id) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), RT_BITMAP);
    if (!res || SizeofResource(module, res) < sizeof(BITMAPINFOHEADER)) return nullptr;
    return static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, res)));
}

BitmapHandle DibSection(int w, int h) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    BitmapHandle dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib) Raise(L"out of memory loading a picture");
    return dib;
}

// Magenta in a picture's colour table stands for "see through".
bool HasSeeThroughColour(const BITMAPINFOHEADER* h) {
    if (h->biBitCount > 8) return false;
    DWORD n = h->biClrUsed ? h->biClrUsed : 1u << h->biBitCount;
    const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(h) + h->biSize);
    for (DWORD i = 0; i < n; ++i)
        if (table[i].rgbRed == 255 && table[i].rgbGreen == 0 && table[i].rgbBlue == 255) return true;
    return false;
}

// The set drawn for `dpi`, or the next larger one to reduce; above the
// largest, the largest.
int SetFor(int dpi) {
    const int sets = static_cast<int>(sizeof kPictureSetDpi / sizeof kPictureSetDpi[0]);
    for (int k = 0; k < sets; ++k)
        if (kPictureSetDpi[k] >= dpi) return k;
    return sets - 1;
}
}  // namespace

// Loaded by the system (8-bit RLE bitmaps) on first use, for one DPI at a
// time: into a bitmap the screen takes at once; a picture with see-through
// pixels also gets a mask, white where it is see-through.
struct StdPicture::Impl {
    int id = 0;
    int w96 = 0, h96 = 0;
    bool seeThrough = false;
    int dpi = 0;  // of the bitmaps held, 0 before the first draw
    BitmapHandle colour, mask;
    Impl() { AdjustOwnedObjectCount(1); }
    ~Impl() { AdjustOwnedObjectCount(-1); }
    void Load(int forDpi);
};

void StdPicture::Impl::Load(int forDpi) {
    if (colour && dpi == forDpi) return;
    const int set = SetFor(forDpi);
    const int resource = id + set * kPictureSetStride;
    BitmapHandle drawn(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource),
                                                       IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    if (!drawn) RaiseLastError(L"cannot load the picture " + common::Decimal(resource));
    BITMAP bm = {};
    GetObjectW(drawn.get(), sizeof bm, &bm);
    const int w = common::ScalePixels(w96, forDpi), h = common::ScalePixels(h96, forDpi);

    DcHandle src(CreateCompatibleDC(nullptr)), dst(CreateCompatibleDC(nullptr));
    if (!src || !dst) Raise(L"out of memory loading a picture");
    BitmapHandle drawnMask;
    if (seeThrough) {
        // White where the drawing is magenta; then the drawing black there,
        // so that a blit through the mask adds nothing.
        drawnMask = BitmapHandle(CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr));
        if (!drawnMask) Raise(L"out of memory loading a picture");
        Selected from(src.get(), drawn.get());
        Selected to(dst.get(), drawnMask.get());
        SetBkColor(src.get(), RGB(255, 0, 255));
        BitBlt(dst.get(), 0, 0, bm.bmWidth, bm.bmHeight, src.get(), 0, 0, SRCCOPY);
        SetBkColor(src.get(), RGB(255, 255, 255));
        SetTextColor(src.get(), RGB(0, 0, 0));
        BitBlt(src.get(), 0, 0, bm.bmWidth, bm.bmHeight, dst.get(), 0, 0, 0x00220326);  // DSna
    }
    // Held as a 32-bit DIB section, which copies onto the paint buffer
    // fastest; between two sets, the larger one reduced, averaging pixels.
    BitmapHandle held = DibSection(w, h);
    {
        Selected from(src.get(), drawn.get());
        Selected to(dst.get(), held.get());
        if (bm.bmWidth == w && bm.bmHeight == h) {
            BitBlt(dst.get(), 0, 0, w, h, src.get(), 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(dst.get(), HALFTONE);
            SetBrushOrgEx(dst.get(), 0, 0, nullptr);
            StretchBlt(dst.get(), 0, 0, w, h, src.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
        }
    }
    if (drawnMask && (bm.bmWidth != w || bm.bmHeight != h)) {
        BitmapHandle scaledMask(CreateBitmap(w, h, 1, 1, nullptr));
        if (!scaledMask) Raise(L"out of memory loading a picture");
        Selected from(src.get(), drawnMask.get());
        Selected to(dst.get(), scaledMask.get());
        SetStretchBltMode(dst.get(), COLORONCOLOR);
        StretchBlt(dst.get(), 0, 0, w, h, src.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
        drawnMask = std::move(scaledMask);
    }
    colour = std::move(held);
    mask = std::move(drawnMask);
    GdiFlush();
    dpi = forDpi;
}

StdPicture StdPicture::FromResource(int id) {
    const BITMAPINFOHEADER* header = BitmapHeader(id);
    if (!header) Raise(L"picture resource " + common::Decimal(id) + L" not found");
    if (header->biSize < sizeof(BITMAPINFOHEADER) || header->biWidth <= 0 || header->biHeight == 0)
        Raise(L"picture resource " + common::Decimal(id) + L" is not a bitmap");
    auto impl = std::make_shared<Impl>();
    impl->id = id;
    impl->w96 = header->biWidth;
    impl->h96 = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    impl->seeThrough = HasSeeThroughColour(header);
    StdPicture p;
    p.impl_ = std::move(impl);
    return p;
}

uintptr_t StdPicture::Handle() const { return reinterpret_cast<uintptr_t>(impl_.get()); }

int StdPicture::WidthPx(int dpi) const { return impl_ ? common::ScalePixels(impl_->w96, dpi) : 0; }
int StdPicture::HeightPx(int dpi) const { return impl_ ? common::ScalePixels(impl_->h96, dpi) : 0; }

void StdPicture::Render(HDC dc, int x, int y, int dpi, HDC scratch) const {
    if (!impl_) return;
    impl_->Load(dpi);
    DcHandle own;
    if (!scratch) {
        own = DcHandle(CreateCompatibleDC(dc));
        scratch = own.get();
    }
    if (!scratch) return;
    const int w = WidthPx(dpi), h = HeightPx(dpi);
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
