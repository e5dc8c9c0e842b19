#include "tests/win32/harness.h"

#include <cstring>

#include "tests/win32/gdi_census.h"

#include "host/error.h"
#include "host/form.h"
#include "host/text_file.h"
#include "host/text_services.h"
#include "notice/frmok.h"
#include "tray/frmmenu.h"

namespace testenv {

std::vector<std::wstring>& Errors() {
    static std::vector<std::wstring> errors;
    return errors;
}

std::string FormsTest::host_error() {
    return Errors().empty() ? std::string() : host::ToUtf8(Errors().front());
}

void Pump(int ms) {
    DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    // Another thread that posts without pause must not keep the caller here
    // for ever: past this the caller gets back control with messages left.
    DWORD flood = end + 500;
    do {
        MSG msg;
        while (static_cast<LONG>(flood - GetTickCount()) > 0 &&
               PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            host::App::Dispatch(msg);  // as the program's loop does
        if (ms > 0) Sleep(5);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
    host::App::CollectGarbage();
}

HWND ContainerOf(const host::Control& c) { return c.Parent()->Window(); }

POINT PointIn(const host::Control& c, int dx, int dy) {
    RECT r = c.PixelRect();
    return {r.left + dx, r.top + dy};
}

void MouseMoveAt(HWND w, POINT p) {
    SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
}

void MouseMove(const host::Control& c, int dx, int dy) {
    MouseMoveAt(ContainerOf(c), PointIn(c, dx, dy));
}

void LeftClick(const host::Control& c) {
    POINT p = PointIn(c);
    HWND w = ContainerOf(c);
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

void PressKey(HWND w, UINT vk, UINT modifier) {
    BYTE keys[256], saved[256];
    GetKeyboardState(keys);
    memcpy(saved, keys, sizeof keys);
    if (modifier) {
        keys[modifier] = 0x80;
        SetKeyboardState(keys);
    }
    // With Alt held a key is a system key, as the keyboard driver sends it.
    const bool alt = modifier == VK_MENU;
    const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    LPARAM lp = 1 | (MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) << 16) | (alt ? 1u << 29 : 0);
    SendMessageW(w, down, vk, lp);
    wchar_t ch = vk == VK_RETURN ? L'\r' : vk == VK_ESCAPE ? 27 : 0;
    if (modifier == VK_CONTROL && vk >= 'A' && vk <= 'Z') ch = static_cast<wchar_t>(vk - 'A' + 1);
    if (ch && IsWindow(w)) SendMessageW(w, alt ? WM_SYSCHAR : WM_CHAR, ch, lp);
    if (IsWindow(w)) SendMessageW(w, down + 1, vk, lp | (1u << 30) | (1u << 31));
    if (modifier) SetKeyboardState(saved);
}

void TypeText(HWND w, const std::wstring& text) {
    for (wchar_t ch : text) SendMessageW(w, WM_CHAR, ch, 1);
}

void SetClipboardText(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(mem);
    SetClipboardData(CF_UNICODETEXT, mem);
    CloseClipboard();
}

namespace {
struct TitleCount {
    std::wstring title;
    int n = 0;
};
BOOL CALLBACK CountTitle(HWND w, LPARAM lp) {
    auto* c = reinterpret_cast<TitleCount*>(lp);
    wchar_t t[256];
    GetWindowTextW(w, t, 256);
    if (IsWindowVisible(w) && c->title == t) ++c->n;
    return TRUE;
}
}  // namespace

bool Above(HWND upper, HWND lower) {
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == lower) return true;
    return false;
}

int CountVisibleWindows(const std::wstring& title) {
    TitleCount c{title};
    EnumWindows(CountTitle, reinterpret_cast<LPARAM>(&c));
    return c.n;
}

Frmmain& OpenMain() {
    Frmmain& f = Frmmain::Instance();
    f.Show();
    Pump(50);
    return f;
}

void UnloadAll() {
    frmok::Unload();
    frmMenu::Unload();
    Frmmain::Unload();
    Pump(0);
}

}  // namespace testenv

namespace {
void RecordError(const std::wstring& message) { testenv::Errors().push_back(message); }
}  // namespace

testenv::ErrorHandlerWhile::ErrorHandlerWhile(host::ErrorHandler handler) { host::SetErrorHandler(handler); }
testenv::ErrorHandlerWhile::~ErrorHandlerWhile() { host::SetErrorHandler(RecordError); }

namespace {

// Holds a file open without sharing, for the history tests' helper process.
int HoldFile(const char* path, const char* ms) {
    std::wstring wpath = host::FromAnsi(path);  // as the command line gave it
    HANDLE h = CreateFileW(wpath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 2;
    Sleep(static_cast<DWORD>(atoi(ms)));
    CloseHandle(h);
    return 0;
}

// Holds a file open without sharing until the named event is set.
int HoldFileUntil(const char* path, const char* event) {
    HANDLE ev = CreateEventA(nullptr, TRUE, FALSE, event);
    std::wstring wpath = host::FromAnsi(path);  // as the command line gave it
    HANDLE h = CreateFileW(wpath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 2;
    WaitForSingleObject(ev, 10000);
    CloseHandle(h);
    CloseHandle(ev);
    return 0;
}

// Appends `count` numbered lines to a file, as another copy of the program
// appending its history records would.
int AppendLines(const char* path, const char* tag, const char* count) {
    std::wstring wpath = host::FromAnsi(path);  // as the command line gave it
    int n = atoi(count);
    for (int i = 0; i < n; ++i) {
        char line[64];
        snprintf(line, sizeof line, "%s %05d ------------------------------\r\n", tag, i);
        try {
            host::AppendFile file(wpath);
            file.Write(line);
        } catch (const host::RuntimeError&) {
            return 3;
        }
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--hold-file") return HoldFile(argv[2], argv[3]);
    if (argc == 4 && std::string(argv[1]) == "--hold-file-until")
        return HoldFileUntil(argv[2], argv[3]);
    if (argc == 5 && std::string(argv[1]) == "--append") return AppendLines(argv[2], argv[3], argv[4]);
    testenv::InstallGdiCensus();
    Frmmain::PrepareHost();
    host::SetErrorHandler(RecordError);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
