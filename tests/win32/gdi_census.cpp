#include "tests/win32/gdi_census.h"

#include <windows.h>

#include <cstring>
#include <set>

namespace testenv {

namespace {
std::set<void*>& Live() {
    // Never destroyed: the host frees its cached font and cursor at exit,
    // after the statics of this file may already be gone.
    static auto* live = new std::set<void*>;
    return *live;
}
long g_dcs = 0, g_paints = 0;

template <class H>
H Born(H h) {
    if (h) Live().insert(reinterpret_cast<void*>(h));
    return h;
}
bool Died(void* h) { return Live().erase(h) > 0; }

#define ORIGINAL(name) decltype(&::name) o_##name = nullptr
ORIGINAL(CreateSolidBrush);
ORIGINAL(CreateCompatibleDC);
ORIGINAL(CreateCompatibleBitmap);
ORIGINAL(CreateFontW);
ORIGINAL(CreatePolygonRgn);
ORIGINAL(DeleteObject);
ORIGINAL(DeleteDC);
ORIGINAL(SetWindowRgn);
ORIGINAL(LoadImageW);
ORIGINAL(DestroyIcon);
ORIGINAL(DestroyCursor);
ORIGINAL(CreatePopupMenu);
ORIGINAL(DestroyMenu);
ORIGINAL(GetDC);
ORIGINAL(ReleaseDC);
ORIGINAL(BeginPaint);
ORIGINAL(EndPaint);

HBRUSH WINAPI MySolidBrush(COLORREF c) { return Born(o_CreateSolidBrush(c)); }
HDC WINAPI MyCompatibleDC(HDC dc) { return Born(o_CreateCompatibleDC(dc)); }
HBITMAP WINAPI MyCompatibleBitmap(HDC dc, int w, int h) {
    return Born(o_CreateCompatibleBitmap(dc, w, h));
}
HFONT WINAPI MyFont(int a, int b, int c, int d, int e, DWORD f, DWORD g, DWORD h, DWORD i,
                    DWORD j, DWORD k, DWORD l, DWORD m, LPCWSTR n) {
    return Born(o_CreateFontW(a, b, c, d, e, f, g, h, i, j, k, l, m, n));
}
// Frees through the original and forgets the handle when that worked.
template <class H, BOOL(WINAPI** Original)(H)>
BOOL WINAPI Freed(H h) {
    BOOL ok = (*Original)(h);
    if (ok) Died(h);
    return ok;
}
HRGN WINAPI MyPolygonRgn(const POINT* p, int n, int mode) {
    return Born(o_CreatePolygonRgn(p, n, mode));
}
int WINAPI MySetWindowRgn(HWND w, HRGN r, BOOL redraw) {
    int ok = o_SetWindowRgn(w, r, redraw);
    if (ok && r) Died(r);  // the window owns it now
    return ok;
}
HANDLE WINAPI MyLoadImage(HINSTANCE i, LPCWSTR n, UINT t, int w, int h, UINT f) {
    HANDLE r = o_LoadImageW(i, n, t, w, h, f);
    return (t == IMAGE_ICON || t == IMAGE_CURSOR) && !(f & LR_SHARED) ? Born(r) : r;
}
HMENU WINAPI MyPopupMenu() { return Born(o_CreatePopupMenu()); }
HDC WINAPI MyGetDC(HWND w) {
    HDC dc = o_GetDC(w);
    if (dc) ++g_dcs;
    return dc;
}
int WINAPI MyReleaseDC(HWND w, HDC dc) {
    int ok = o_ReleaseDC(w, dc);
    if (ok) --g_dcs;
    return ok;
}
HDC WINAPI MyBeginPaint(HWND w, LPPAINTSTRUCT ps) {
    HDC dc = o_BeginPaint(w, ps);
    ++g_paints;
    return dc;
}
BOOL WINAPI MyEndPaint(HWND w, const PAINTSTRUCT* ps) {
    --g_paints;
    return o_EndPaint(w, ps);
}

// Points this module's import of dll!name at `mine`, keeping the original.
template <class F>
void Patch(const char* dll, const char* name, F mine, F& original) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
    for (; imp->Name; ++imp) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + imp->Name), dll) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<char*>(byName->Name), name) != 0) continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            original = reinterpret_cast<F>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(mine);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
        }
    }
}
}  // namespace

void InstallGdiCensus() {
    static bool done = false;
    if (done) return;
    done = true;
    Patch("gdi32.dll", "CreateSolidBrush", &MySolidBrush, o_CreateSolidBrush);
    Patch("gdi32.dll", "CreateCompatibleDC", &MyCompatibleDC, o_CreateCompatibleDC);
    Patch("gdi32.dll", "CreateCompatibleBitmap", &MyCompatibleBitmap, o_CreateCompatibleBitmap);
    Patch("gdi32.dll", "CreateFontW", &MyFont, o_CreateFontW);
    Patch("gdi32.dll", "CreatePolygonRgn", &MyPolygonRgn, o_CreatePolygonRgn);
    Patch("gdi32.dll", "DeleteObject", &Freed<HGDIOBJ, &o_DeleteObject>, o_DeleteObject);
    Patch("gdi32.dll", "DeleteDC", &Freed<HDC, &o_DeleteDC>, o_DeleteDC);
    Patch("user32.dll", "SetWindowRgn", &MySetWindowRgn, o_SetWindowRgn);
    Patch("user32.dll", "LoadImageW", &MyLoadImage, o_LoadImageW);
    Patch("user32.dll", "DestroyIcon", &Freed<HICON, &o_DestroyIcon>, o_DestroyIcon);
    Patch("user32.dll", "DestroyCursor", &Freed<HCURSOR, &o_DestroyCursor>, o_DestroyCursor);
    Patch("user32.dll", "CreatePopupMenu", &MyPopupMenu, o_CreatePopupMenu);
    Patch("user32.dll", "DestroyMenu", &Freed<HMENU, &o_DestroyMenu>, o_DestroyMenu);
    Patch("user32.dll", "GetDC", &MyGetDC, o_GetDC);
    Patch("user32.dll", "ReleaseDC", &MyReleaseDC, o_ReleaseDC);
    Patch("user32.dll", "BeginPaint", &MyBeginPaint, o_BeginPaint);
    Patch("user32.dll", "EndPaint", &MyEndPaint, o_EndPaint);
}

long LiveGdiObjects() { return static_cast<long>(Live().size()) + g_dcs + g_paints; }

}  // namespace testenv
