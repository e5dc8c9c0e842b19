#pragma once
// What the benchmarks that drive the forms in process share: a clock in
// milliseconds, draining the message queue, and a mouse move over a control.
#include <windows.h>

#include "host/app.h"
#include "host/controls.h"
#include "host/container.h"

inline double Now() {
    static const LARGE_INTEGER f = [] {
        LARGE_INTEGER x;
        QueryPerformanceFrequency(&x);
        return x;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

inline void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    host::App::CollectGarbage();
}

inline void MoveOver(const host::Control& c, int dx, int dy) {
    RECT r = c.PixelRect();
    SendMessageW(c.Parent()->Window(), WM_MOUSEMOVE, 0, MAKELPARAM(r.left + dx, r.top + dy));
}
