#pragma once
// Painting without flicker: into a memory bitmap first, then onto the
// window in one copy.
#include <windows.h>

#include "app.h"
#include "handles.h"

namespace host {

// The memory bitmap a window paints into before one copy onto the screen,
// so nothing flickers: the size of the invalid rectangle, drawn in window
// coordinates. A small one (a hover, the clock) is kept for the next paint;
// a large one (the first paint) is made and let go. It also keeps the
// scratch DC its pictures are copied from.
class PaintBuffer {
public:
    template <class F>
    void Paint(HWND hwnd, F draw) {
        {
            PaintDc paint(hwnd);
            const RECT& inv = paint.Invalid();
            int w = inv.right - inv.left, h = inv.bottom - inv.top;
            if (w > 0 && h > 0) {
                BitmapHandle onceBmp;  // destroyed after the DC it is selected into
                DcHandle once;
                HDC mem = Target(paint.get(), w, h, once, onceBmp);
                if (mem) {
                    SelectClipRgn(mem, nullptr);
                    SetViewportOrgEx(mem, -inv.left, -inv.top, nullptr);
                    IntersectClipRect(mem, inv.left, inv.top, inv.right, inv.bottom);
                    draw(mem);
                    BitBlt(paint.get(), inv.left, inv.top, w, h, mem, inv.left, inv.top, SRCCOPY);
                    QF_COUNT_ADD(paintedPixels, w * h);
                }
            }
        }
        QF_COUNT(paints);
    }

    // A memory DC to select a picture into, compatible with the screen.
    HDC PictureDc() {
        if (!pictures_) pictures_ = DcHandle(CreateCompatibleDC(nullptr));
        return pictures_.get();
    }

private:
    static constexpr int kKeptPixels = 128 * 128;

    // A memory DC with a bitmap of w by h selected into it.
    static bool Make(HDC like, int w, int h, DcHandle& dc, BitmapHandle& bmp) {
        dc = DcHandle();  // before its bitmap
        void* bits = nullptr;
        bmp = Dib32(w, h, &bits);
        dc = DcHandle(CreateCompatibleDC(like));
        if (!dc || !bmp) {
            dc = DcHandle();
            return false;
        }
        SelectObject(dc.get(), bmp.get());
        return true;
    }

    HDC Target(HDC like, int w, int h, DcHandle& once, BitmapHandle& onceBmp) {
        if (w * h > kKeptPixels) return Make(like, w, h, once, onceBmp) ? once.get() : nullptr;
        if (!dc_ || w > w_ || h > h_) {
            // Grown to hold this one and every earlier one, so that a hover
            // and a clock tick of other shapes do not remake it in turn.
            if ((w > w_ ? w : w_) * (h > h_ ? h : h_) <= kKeptPixels) {
                w = w > w_ ? w : w_;
                h = h > h_ ? h : h_;
            }
            if (!Make(like, w, h, dc_, bmp_)) return nullptr;
            w_ = w;
            h_ = h;
        }
        return dc_.get();
    }

    DcHandle pictures_;
    BitmapHandle bmp_;  // destroyed after the DC it is selected into
    DcHandle dc_;
    int w_ = 0, h_ = 0;
};

}  // namespace host
