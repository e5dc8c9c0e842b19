#pragma once
// Move-only owners of GDI objects, menus and icons. Every owner counts
// itself, so tests and benchmarks can see that nothing leaks.
#include <windows.h>

#include <utility>

namespace host {

// Live GDI objects, menus, icons and pictures owned by the host.
long OwnedObjectCount();
void AdjustOwnedObjectCount(long delta);

template <class H, BOOL(WINAPI* Free)(H)>
class Owned {
public:
    Owned() = default;
    explicit Owned(H h) : h_(h) {
        if (h_) AdjustOwnedObjectCount(1);
    }
    ~Owned() { reset(); }
    Owned(Owned&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    Owned& operator=(Owned&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    H get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void reset() {
        if (h_) {
            Free(h_);
            AdjustOwnedObjectCount(-1);
            h_ = nullptr;
        }
    }
    // Hands the handle to someone else (a window region, say).
    H release() {
        if (h_) AdjustOwnedObjectCount(-1);
        return std::exchange(h_, nullptr);
    }

private:
    H h_ = nullptr;
};

inline BOOL WINAPI FreeFont(HFONT h) { return DeleteObject(h); }
inline BOOL WINAPI FreeBrush(HBRUSH h) { return DeleteObject(h); }
inline BOOL WINAPI FreeBitmap(HBITMAP h) { return DeleteObject(h); }
inline BOOL WINAPI FreeRegion(HRGN h) { return DeleteObject(h); }

using FontHandle = Owned<HFONT, FreeFont>;
using BrushHandle = Owned<HBRUSH, FreeBrush>;
using BitmapHandle = Owned<HBITMAP, FreeBitmap>;
using RegionHandle = Owned<HRGN, FreeRegion>;
using DcHandle = Owned<HDC, DeleteDC>;
using MenuHandle = Owned<HMENU, DestroyMenu>;
using IconHandle = Owned<HICON, DestroyIcon>;
using CursorHandle = Owned<HCURSOR, DestroyCursor>;

// A top-down 32-bit bitmap whose pixels the program holds (a DIB section:
// its memory goes back to the system when it is freed), and the pixels.
inline BitmapHandle Dib32(int w, int h, void** bits) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return BitmapHandle(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, bits, nullptr, 0));
}

// The screen's device context for one scope. Declare objects selected into
// it after it, so that they are put back before it is released.
class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// A window's paint for one scope: EndPaint runs whatever the painting did.
class PaintDc {
public:
    explicit PaintDc(HWND w) : w_(w), dc_(BeginPaint(w, &ps_)) {}
    ~PaintDc() { EndPaint(w_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return dc_; }
    const RECT& Invalid() const { return ps_.rcPaint; }

private:
    HWND w_;
    PAINTSTRUCT ps_ = {};
    HDC dc_;
};

// Selects an object into a DC for one scope.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~Selected() { SelectObject(dc_, old_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace host
