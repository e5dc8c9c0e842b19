// Reads the state of the running program from outside, exactly:
//   probe wait TITLE [ms]          wait for a visible window of ours, print its handle
//   probe gone TITLE [ms]          wait until no visible window of ours has the title
//   probe count TITLE              visible windows of ours with the title
//   probe get TITLE CONTROL[.Prop] [--escaped]  a control's caption, text or picture
//                                  (--escaped writes CR and LF as \r and \n)
//   probe state TITLE              visible, iconic, topmost, x, y, w, h
//   probe focus                    title of the active window and class of the focus
//   probe menu                     the open pop-up menu: left top right bottom
//   probe type TEXT                keystrokes to the focused window (\n Enter, \b BackSpace)
// Output is UTF-8; the exit code is 0 on success, 1 when not found.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::wstring Widen(const wchar_t* s) { return s; }

void PrintUtf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
    s.resize(n ? n - 1 : 0);
    fwrite(s.data(), 1, s.size(), stdout);
    fputc('\n', stdout);
}

struct Search {
    std::wstring title;
    HWND found = nullptr;
    int count = 0;
};

BOOL CALLBACK Visit(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    wchar_t cls[64] = {}, title[256] = {};
    GetClassNameW(w, cls, 64);
    GetWindowTextW(w, title, 256);
    if (std::wstring(cls) == L"QfForm" && s->title == title && IsWindowVisible(w)) {
        if (!s->found) s->found = w;
        ++s->count;
    }
    return TRUE;
}

Search Find(const std::wstring& title) {
    Search s;
    s.title = title;
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
    return s;
}

// Finds the window even while it is hidden in the tray.
HWND FindAny(const std::wstring& title) {
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, L"QfForm", title.c_str())) != nullptr) return w;
    return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    std::wstring cmd = argv[1];
    if ((cmd == L"wait" || cmd == L"gone") && argc >= 3) {
        std::wstring title = Widen(argv[2]);
        DWORD limit = argc >= 4 ? static_cast<DWORD>(_wtoi(argv[3])) : 10000;
        DWORD start = GetTickCount();
        for (;;) {
            Search s = Find(title);
            if (cmd == L"wait" && s.found) {
                printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(s.found)));
                return 0;
            }
            if (cmd == L"gone" && !s.found) return 0;
            if (GetTickCount() - start > limit) return 1;
            Sleep(50);
        }
    }
    if (cmd == L"count" && argc >= 3) {
        printf("%d\n", Find(Widen(argv[2])).count);
        return 0;
    }
    if (cmd == L"get" && argc >= 4) {
        HWND w = FindAny(Widen(argv[2]));
        if (!w) return 1;
        ATOM q = GlobalAddAtomW(Widen(argv[3]).c_str());
        ATOM a = static_cast<ATOM>(
            SendMessageW(w, RegisterWindowMessageW(L"QfInspectControl"), 0, q));
        GlobalDeleteAtom(q);
        if (!a) return 1;
        wchar_t buf[256] = {};
        GlobalGetAtomNameW(a, buf, 256);
        GlobalDeleteAtom(a);
        std::wstring v = buf;
        if (v == L"\x01") v.clear();
        if (argc >= 5 && std::wstring(argv[4]) == L"--escaped") {
            std::wstring e;
            for (wchar_t c : v) e += c == L'\r' ? L"\\r" : c == L'\n' ? L"\\n" : std::wstring(1, c);
            v = e;
        }
        PrintUtf8(v);
        return 0;
    }
    if (cmd == L"state" && argc >= 3) {
        HWND w = FindAny(Widen(argv[2]));
        if (!w) return 1;
        RECT r;
        GetWindowRect(w, &r);
        printf("visible=%d iconic=%d topmost=%d %ld %ld %ld %ld\n", IsWindowVisible(w) ? 1 : 0,
               IsIconic(w) ? 1 : 0, (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0,
               r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (cmd == L"focus") {
        GUITHREADINFO gi{};
        gi.cbSize = sizeof gi;
        GetGUIThreadInfo(0, &gi);
        wchar_t title[256] = {}, cls[64] = {};
        if (gi.hwndActive) GetWindowTextW(gi.hwndActive, title, 256);
        if (gi.hwndFocus) GetClassNameW(gi.hwndFocus, cls, 64);
        std::wstring out = std::wstring(title) + L"|" + cls;
        PrintUtf8(out);
        return 0;
    }
    if (cmd == L"menu") {
        // The open pop-up menu's screen rectangle, if one is open.
        HWND m = FindWindowW(L"#32768", nullptr);
        if (!m || !IsWindowVisible(m)) return 1;
        RECT r;
        GetWindowRect(m, &r);
        printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        return 0;
    }
    if (cmd == L"type" && argc >= 3) {
        // Keystrokes through the system's input queue, to the focused window.
        for (const wchar_t* p = argv[2]; *p; ++p) {
            INPUT in[2] = {};
            in[0].type = in[1].type = INPUT_KEYBOARD;
            if (*p == L'\n' || *p == L'\b') {
                in[0].ki.wVk = in[1].ki.wVk = *p == L'\n' ? VK_RETURN : VK_BACK;
            } else {
                in[0].ki.wScan = in[1].ki.wScan = *p;
                in[0].ki.dwFlags = KEYEVENTF_UNICODE;
                in[1].ki.dwFlags = KEYEVENTF_UNICODE;
            }
            in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
            SendInput(2, in, sizeof(INPUT));
            Sleep(15);
        }
        return 0;
    }
    return 2;
}
