#pragma once
// Painting without flicker: into a memory bitmap first, then onto the
// window in one copy.
#include <windows.h>

#include "app.h"
#include "handles.h"

namespace host {

// Paints into a memory bitmap first, so nothing flickers: a bitmap of the
// invalid rectangle only, drawn in window coordinates.
template <class F>
void DoubleBuffered(HWND hwnd, F draw) {
    {
        PaintDc paint(hwnd);
        const RECT& inv = paint.Invalid();
        int w = inv.right - inv.left, h = inv.bottom - inv.top;
        if (w > 0 && h > 0) {
            DcHandle mem(CreateCompatibleDC(paint.get()));
            BitmapHandle bmp(CreateCompatibleBitmap(paint.get(), w, h));
            if (mem && bmp) {
                Selected sel(mem.get(), bmp.get());
                SetViewportOrgEx(mem.get(), -inv.left, -inv.top, nullptr);
                IntersectClipRect(mem.get(), inv.left, inv.top, inv.right, inv.bottom);
                draw(mem.get());
                BitBlt(paint.get(), inv.left, inv.top, w, h, mem.get(), inv.left, inv.top, SRCCOPY);
                App::Stats().paintedPixels += w * h;
            }
        }
    }
    ++App::Stats().paints;
}

}  // namespace host
