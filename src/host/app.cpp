#include "app.h"

#include "system_library.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "error.h"
#include "handles.h"

namespace host {

namespace {
long g_owned = 0;
HostStats g_stats;
std::vector<Form*> g_loaded;
std::vector<std::pair<void*, void (*)(void*)>> g_graveyard;
struct DpiFonts {
    int dpi;
    FontHandle normal, underline;
};
std::vector<DpiFonts> g_fonts;
CursorHandle g_hand;
int g_handResource = 0;
HANDLE g_instanceMutex = nullptr;
int g_prevInstance = -1;
bool g_running = false;
}  // namespace

long OwnedObjectCount() { return g_owned; }
void AdjustOwnedObjectCount(long delta) { g_owned += delta; }

bool App::EnsureOle() {
    static const bool ready = [] {
        auto init = SystemFunction<HRESULT(WINAPI*)(void*)>(L"ole32.dll", "OleInitialize");
        return init && SUCCEEDED(init(nullptr));
    }();
    return ready;
}

bool App::LoadCommonControls() {
    // Loaded on demand: importing comctl32 costs a tenth of a bare start-up,
    // and only the tooltips need it, after the first paint.
    static const bool loaded = [] {
        auto init = SystemFunction<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(
            L"comctl32.dll", "InitCommonControlsEx");
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
        return init && init(&icc);
    }();
    return loaded;
}

HINSTANCE App::Instance() { return GetModuleHandleW(nullptr); }

namespace {
// A file by its volume and its index on the volume: the same file by any
// path (another drive letter for the same folder, a linked folder, letter
// case, a short name). Empty when the file cannot be asked.
std::wstring FileIdentity(const wchar_t* path) {
    HANDLE f = CreateFileW(path, FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    BY_HANDLE_FILE_INFORMATION info;
    std::wstring identity;
    if (GetFileInformationByHandle(f, &info)) {
        wchar_t id[40];
        wsprintfW(id, L"%08lX%08lX%08lX", info.dwVolumeSerialNumber, info.nFileIndexHigh,
                  info.nFileIndexLow);
        identity = id;
    }
    CloseHandle(f);
    return identity;
}

std::wstring OwnPath() {
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    return path;
}

// Names the executable file itself, whatever path it was started by: the
// file's volume and index, and its long name, so that a renamed or copied
// file counts as another program.
std::wstring InstanceKey() {
    const std::wstring path = OwnPath();
    wchar_t longPath[MAX_PATH * 2] = {};
    if (!GetLongPathNameW(path.c_str(), longPath, MAX_PATH * 2)) lstrcpynW(longPath, path.c_str(), MAX_PATH * 2);
    std::wstring name = longPath;
    size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    CharUpperBuffW(&name[0], static_cast<DWORD>(name.size()));

    std::wstring identity = FileIdentity(path.c_str());
    if (identity.empty()) {  // the path, where the file cannot be asked
        identity = path;
        CharUpperBuffW(&identity[0], static_cast<DWORD>(identity.size()));
    }
    unsigned long hash = 5381;
    for (wchar_t c : identity + L"|" + name) hash = hash * 33 + c;
    wchar_t text[16];
    wsprintfW(text, L"%08lX", hash);
    return text;
}

// The program file another process runs; empty when it cannot be asked.
std::wstring ImageOf(DWORD pid) {
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    // Windows Vista and later name it to any process of the same user.
    constexpr DWORD kQueryLimited = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION
    static const auto query = SystemFunction<BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD)>(
        L"kernel32.dll", "QueryFullProcessImageNameW");
    if (query) {
        if (HANDLE p = OpenProcess(kQueryLimited, FALSE, pid)) {
            BOOL ok = query(p, 0, path, &size);
            CloseHandle(p);
            return ok ? std::wstring(path, size) : std::wstring();
        }
        return {};
    }
    // Windows XP: the process's first module, read by the process status helper.
    static const auto module = SystemFunction<DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD)>(
        L"psapi.dll", "GetModuleFileNameExW");
    HANDLE p = module ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid) : nullptr;
    if (!p) return {};
    DWORD n = module(p, nullptr, path, MAX_PATH * 2);
    CloseHandle(p);
    return std::wstring(path, n);
}

}  // namespace

bool App::RunsThisExecutable(DWORD pid) {
    static const std::wstring own = FileIdentity(OwnPath().c_str());
    if (own.empty()) return false;
    const std::wstring image = ImageOf(pid);
    return !image.empty() && FileIdentity(image.c_str()) == own;
}

const std::wstring& App::InstanceName() {
    static const std::wstring name = L"QfExchangeLookup-" + InstanceKey();
    return name;
}

bool App::PrevInstance() {
    if (g_prevInstance < 0) {
        std::wstring name = L"Local\\" + InstanceName();
        g_instanceMutex = CreateMutexW(nullptr, FALSE, name.c_str());
        g_prevInstance = (g_instanceMutex && GetLastError() == ERROR_ALREADY_EXISTS) ? 1 : 0;
    }
    return g_prevInstance == 1;
}

std::wstring App::Path() {
    wchar_t path[MAX_PATH * 2] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring full(path, n);
    size_t slash = full.find_last_of(L"\\/");
    std::wstring folder = slash == std::wstring::npos ? std::wstring() : full.substr(0, slash);
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    return folder;
}

namespace {
const MSG* g_dispatching = nullptr;
}

bool App::Dispatching(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    const MSG* m = g_dispatching;
    return m && m->hwnd == h && m->message == msg && m->wParam == wp && m->lParam == lp;
}

void App::Dispatch(const MSG& msg) {
    TranslateMessage(&msg);
    const MSG* outer = g_dispatching;
    g_dispatching = &msg;
    DispatchMessageW(&msg);
    g_dispatching = outer;
    CollectGarbage();
}

int App::Run() {
    MSG msg;
    g_running = true;
    while (LoadedFormCount() > 0 && GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
    g_running = false;
    CollectGarbage();
    return 0;
}

void App::End() { ExitProcess(0); }

void App::FormLoaded(Form* f) { g_loaded.push_back(f); }

void App::FormUnloaded(Form* f) {
    g_loaded.erase(std::remove(g_loaded.begin(), g_loaded.end(), f), g_loaded.end());
    // The last form may go inside a sent message (a tray callback, a close
    // request from another process) that GetMessageW handles without
    // returning: wake the loop so that it ends now.
    if (g_loaded.empty() && g_running) PostQuitMessage(0);
}

int App::LoadedFormCount() { return static_cast<int>(g_loaded.size()); }

const std::vector<Form*>& App::LoadedForms() { return g_loaded; }

void App::Bury(void* object, void (*destroy)(void*)) { g_graveyard.emplace_back(object, destroy); }

void App::CollectGarbage() {
    while (!g_graveyard.empty()) {
        auto dead = std::move(g_graveyard);
        g_graveyard.clear();
        for (auto& [object, destroy] : dead) destroy(object);
    }
}

namespace {
// The user-interface font of a Simplified Chinese system: 9-point
// characters (12 pixels at 96 DPI), crisp rather than smoothed.
HFONT CreateUiFont(const wchar_t* face, BYTE charset, bool underline, int dpi) {
    return CreateFontW(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, underline, FALSE, charset,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

// Whether the system has a font that shows Chinese for the font asked
// for; without one the font mapper picks any face, whose line may be
// several times the height asked for.
bool ShowsChinese(HFONT font) {
    ScreenDc dc;
    Selected sel(dc.get(), font);
    return GetTextCharset(dc.get()) == GB2312_CHARSET;
}
}  // namespace

HFONT App::DefaultFont(bool underline, int dpi) {
    // One pair a DPI the program met; an edit box may still hold the font
    // of the DPI it was on before a move.
    auto it = g_fonts.begin();
    while (it != g_fonts.end() && it->dpi != dpi) ++it;
    if (it == g_fonts.end()) it = g_fonts.insert(g_fonts.end(), DpiFonts{dpi, {}, {}});
    FontHandle& f = underline ? it->underline : it->normal;
    if (!f) {
        f = FontHandle(CreateUiFont(L"宋体", GB2312_CHARSET, underline, dpi));
        if (f && !ShowsChinese(f.get())) {
            // No Chinese font: the system's own message font, at the same
            // height, at least shows the digits and Latin text in full. Its
            // face decides, not a character set that no font has.
            NONCLIENTMETRICSW m = {};
            m.cbSize = sizeof m;  // the size Windows XP knows (no padded border)
            if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, m.cbSize, &m, 0)) {
                FontHandle message(CreateUiFont(m.lfMessageFont.lfFaceName, DEFAULT_CHARSET,
                                                underline, dpi));
                if (message) f = std::move(message);
            }
        }
        if (!f) RaiseLastError(L"无法创建默认字体");
    }
    return f.get();
}

void App::SetHandCursorResource(int id) {
    g_hand.reset();
    g_handResource = id;
}

HCURSOR App::HandCursor() {
    if (!g_hand && g_handResource)
        g_hand = CursorHandle(static_cast<HCURSOR>(LoadImageW(
            Instance(), MAKEINTRESOURCEW(g_handResource), IMAGE_CURSOR, 0, 0, LR_DEFAULTCOLOR)));
    return g_hand ? g_hand.get() : LoadCursor(nullptr, IDC_HAND);
}

HostStats& App::Stats() { return g_stats; }

void App::Inform(const std::wstring& title, const std::wstring& text) {
    // Its owner would be disabled while it is open, and a hidden owner
    // would leave it without a taskbar button to find it by.
    HWND open = FindWindowW(L"#32770", title.c_str());
    if (open && GetWindowThreadProcessId(open, nullptr) == GetCurrentThreadId()) {
        SetForegroundWindow(open);
        return;
    }
    MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
}

}  // namespace host
