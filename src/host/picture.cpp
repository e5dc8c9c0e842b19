#include "picture.h"

#include <cstdlib>
#include <cstring>
#include <string>

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

DWORD ColourCount(const BITMAPINFOHEADER* h) {
    return h->biClrUsed ? h->biClrUsed : (h->biBitCount <= 8 ? 1u << h->biBitCount : 0);
}

// A top-down 32-bit bitmap, the kind that copies onto the paint buffer
// fastest, and its pixels.
BitmapHandle DibSection(int w, int h, uint32_t*& pixels) {
    void* bits = nullptr;
    BitmapHandle dib = Dib32(w, h, &bits);
    if (!dib || !bits) Raise(L"内存不足，无法载入图片");
    pixels = static_cast<uint32_t*>(bits);
    return dib;
}

// A bitmap of the resource's own 8 bits a pixel and colour table: a
// quarter of the memory of 32 bits, for a picture drawn as it is stored.
BitmapHandle PaletteDibSection(const BITMAPINFOHEADER* header) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[256];
    } bi = {};
    bi.h = *header;
    bi.h.biSize = sizeof bi.h;
    bi.h.biCompression = BI_RGB;
    bi.h.biSizeImage = 0;
    bi.h.biHeight = -std::abs(header->biHeight);
    memcpy(bi.colours, reinterpret_cast<const BYTE*>(header) + header->biSize,
           ColourCount(header) * sizeof(RGBQUAD));
    void* bits = nullptr;
    BitmapHandle dib(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS,
                                      &bits, nullptr, 0));
    if (!dib || !bits) Raise(L"内存不足，无法载入图片");
    return dib;
}

// The system expands the compressed resource into the bitmap; where it
// will not (a GDI that takes RLE only for screen bitmaps), it loads it as
// a screen bitmap, which is copied.
void Expand(int resource, const BITMAPINFOHEADER* header, HBITMAP into, int w, int h) {
    const DWORD colours = ColourCount(header);
    const void* bits = reinterpret_cast<const BYTE*>(header) + header->biSize + colours * sizeof(RGBQUAD);
    DcHandle dc(CreateCompatibleDC(nullptr));
    if (!dc) Raise(L"内存不足，无法载入图片");
    if (SetDIBits(dc.get(), into, 0, static_cast<UINT>(h), bits,
                  reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS) == h)
        return;
    BitmapHandle screen(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource),
                                                        IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    if (!screen) RaiseLastError(L"无法载入图片 " + common::Decimal(resource));
    DcHandle src(CreateCompatibleDC(nullptr));
    Selected from(src.get(), screen.get());
    Selected to(dc.get(), into);
    BitBlt(dc.get(), 0, 0, w, h, src.get(), 0, 0, SRCCOPY);
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
    const int resource = id + SetFor(forDpi) * kPictureSetStride;
    const BITMAPINFOHEADER* header = BitmapHeader(resource);
    if (!header || header->biWidth <= 0 || header->biHeight <= 0)
        Raise(L"图片资源 " + common::Decimal(resource) + L" 不是位图");
    const int sw = header->biWidth, sh = header->biHeight;
    const int w = common::ScalePixels(w96, forDpi), h = common::ScalePixels(h96, forDpi);
    if (!seeThrough && sw == w && sh == h && header->biBitCount == 8 && ColourCount(header) <= 256) {
        BitmapHandle stored = PaletteDibSection(header);
        Expand(resource, header, stored.get(), sw, sh);
        GdiFlush();
        colour = std::move(stored);
        mask = BitmapHandle();
        dpi = forDpi;
        return;
    }
    uint32_t* px = nullptr;
    BitmapHandle drawn = DibSection(sw, sh, px);
    Expand(resource, header, drawn.get(), sw, sh);
    GdiFlush();
    BitmapHandle drawnMask;
    if (seeThrough) {
        // White in the mask where the drawing is magenta; the drawing black
        // there, so that a copy through the mask adds nothing.
        const int stride = ((sw + 15) / 16) * 2;  // monochrome rows are whole words
        std::string rows(static_cast<size_t>(stride) * sh, '\0');
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x) {
                uint32_t& p = px[static_cast<size_t>(y) * sw + x];
                if ((p & 0xFFFFFFu) != 0xFF00FFu) continue;
                rows[static_cast<size_t>(y) * stride + x / 8] |= static_cast<char>(0x80 >> (x % 8));
                p = 0;
            }
        drawnMask = BitmapHandle(CreateBitmap(sw, sh, 1, 1, rows.data()));
        if (!drawnMask) Raise(L"内存不足，无法载入图片");
    }
    if (sw != w || sh != h) {
        // Between two sets: the larger one reduced, averaging pixels; the
        // mask by the nearest pixel, so that it stays a mask.
        uint32_t* unused = nullptr;
        BitmapHandle scaled = DibSection(w, h, unused);
        DcHandle src(CreateCompatibleDC(nullptr)), dst(CreateCompatibleDC(nullptr));
        if (!src || !dst) Raise(L"内存不足，无法载入图片");
        {
            Selected from(src.get(), drawn.get());
            Selected to(dst.get(), scaled.get());
            SetStretchBltMode(dst.get(), HALFTONE);
            SetBrushOrgEx(dst.get(), 0, 0, nullptr);
            StretchBlt(dst.get(), 0, 0, w, h, src.get(), 0, 0, sw, sh, SRCCOPY);
        }
        drawn = std::move(scaled);
        if (drawnMask) {
            BitmapHandle scaledMask(CreateBitmap(w, h, 1, 1, nullptr));
            if (!scaledMask) Raise(L"内存不足，无法载入图片");
            Selected from(src.get(), drawnMask.get());
            Selected to(dst.get(), scaledMask.get());
            SetStretchBltMode(dst.get(), COLORONCOLOR);
            StretchBlt(dst.get(), 0, 0, w, h, src.get(), 0, 0, sw, sh, SRCCOPY);
            drawnMask = std::move(scaledMask);
        }
        GdiFlush();
    }
    colour = std::move(drawn);
    mask = std::move(drawnMask);
    dpi = forDpi;
}

StdPicture StdPicture::FromResource(int id) {
    const BITMAPINFOHEADER* header = BitmapHeader(id);
    if (!header) Raise(L"找不到图片资源 " + common::Decimal(id));
    if (header->biSize < sizeof(BITMAPINFOHEADER) || header->biWidth <= 0 || header->biHeight == 0)
        Raise(L"图片资源 " + common::Decimal(id) + L" 不是位图");
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

void StdPicture::RenderShape(HDC dc, int x, int y, int dpi, COLORREF colour, HDC scratch) const {
    if (!impl_) return;
    impl_->Load(dpi);
    const int w = WidthPx(dpi), h = HeightPx(dpi);
    BrushHandle brush(CreateSolidBrush(colour));
    if (!brush) return;
    if (!impl_->mask) {
        RECT r = {x, y, x + w, y + h};
        FillRect(dc, &r, brush.get());
        return;
    }
    DcHandle own;
    if (!scratch) {
        own = DcHandle(CreateCompatibleDC(dc));
        scratch = own.get();
    }
    if (!scratch) return;
    // The mask's white (see-through) keeps what is there, its black takes
    // the brush: P ^ (S & (D ^ P)).
    COLORREF back = SetBkColor(dc, RGB(255, 255, 255)), text = SetTextColor(dc, RGB(0, 0, 0));
    {
        Selected m(scratch, impl_->mask.get());
        Selected b(dc, brush.get());
        BitBlt(dc, x, y, w, h, scratch, 0, 0, 0x00B8074A);
    }
    SetBkColor(dc, back);
    SetTextColor(dc, text);
}

}  // namespace host
