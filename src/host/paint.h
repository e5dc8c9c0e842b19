#pragma once
// Painting without flicker: into a memory bitmap first, then onto the
// window in one copy.
#include <windows.h>

#include "app.h"
#include "handles.h"

namespace host {

// Paints into a memory bitmap first, so nothing flickers.
template <class F>
void DoubleBuffered(HWND hwnd, F draw) {
    {
        PaintDc paint(hwnd);
        const RECT& inv = paint.Invalid();
        RECT rc;
        GetClientRect(hwnd, &rc);
        int w = rc.right - rc.left, h = rc.bottom - rc.top;
        if (w > 0 && h > 0) {
            DcHandle mem(CreateCompatibleDC(paint.get()));
            BitmapHandle bmp(CreateCompatibleBitmap(paint.get(), w, h));
            if (mem && bmp) {
                Selected sel(mem.get(), bmp.get());
                IntersectClipRect(mem.get(), inv.left, inv.top, inv.right, inv.bottom);
                draw(mem.get());
                App::Stats().paintedPixels += (inv.right - inv.left) * (inv.bottom - inv.top);
                BitBlt(paint.get(), inv.left, inv.top, inv.right - inv.left,
                       inv.bottom - inv.top, mem.get(), inv.left, inv.top, SRCCOPY);
            }
        }
    }
    ++App::Stats().paints;
}

}  // namespace host
