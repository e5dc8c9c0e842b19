#include "dpi.h"

#include "handles.h"

namespace host {

namespace {
// Functions of user32 that Windows XP and 7 lack; user32 is always loaded.
template <class F>
F User32(const char* name) {
    HMODULE m = GetModuleHandleW(L"user32.dll");
    return m ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
}
}  // namespace

int SystemDpi() {
    static const int dpi = [] {
        // Windows 10 answers from what it knows; older systems from the screen.
        static const auto forSystem = User32<UINT(WINAPI*)()>("GetDpiForSystem");
        if (UINT d = forSystem ? forSystem() : 0) return static_cast<int>(d);
        ScreenDc dc;
        int d = dc.get() ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
        return d > 0 ? d : 96;
    }();
    return dpi;
}

int WindowDpi(HWND w) {
    static const auto forWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    UINT d = forWindow && w ? forWindow(w) : 0;
    return d ? static_cast<int>(d) : SystemDpi();
}

int SystemMetric(int index, int dpi) {
    static const auto forDpi = User32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    if (forDpi) return forDpi(index, static_cast<UINT>(dpi));
    // Older systems answer for the session's DPI.
    return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

}  // namespace host
