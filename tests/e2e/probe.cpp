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
//   probe keys alt-enter|alt-f4|escape   a key with its modifier, the same way
//   probe exists TITLE             a window of ours with the title, shown or hidden
//   probe sendclose TITLE          sends (not posts) WM_CLOSE; waits at most 5 s
//   probe settext TITLE N TEXT     sends WM_SETTEXT to the Nth edit box, as other programs do
// Output is UTF-8; the exit code is 0 on success, 1 when not found.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct EditSearch {
    int want;
    int seen = 0;
    HWND found = nullptr;
};

BOOL CALLBACK VisitEdit(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<EditSearch*>(lp);
    wchar_t cls[16] = {};
    GetClassNameW(w, cls, 16);
    if (lstrcmpiW(cls, L"Edit") == 0 && ++s->seen == s->want) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

void Key(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
    Sleep(15);
}

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
        std::wstring title = std::wstring(argv[2]);
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
    if (cmd == L"exists" && argc >= 3) {
        bool found = FindAny(std::wstring(argv[2])) != nullptr;
        printf("%s\n", found ? "yes" : "no");
        return 0;
    }
    if (cmd == L"sendclose" && argc >= 3) {
        HWND w = FindAny(std::wstring(argv[2]));
        if (!w) return 1;
        DWORD_PTR r = 0;
        return SendMessageTimeoutW(w, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &r) ? 0 : 1;
    }
    if (cmd == L"settext" && argc >= 5) {
        HWND w = FindAny(std::wstring(argv[2]));
        if (!w) return 1;
        EditSearch s{_wtoi(argv[3])};
        EnumChildWindows(w, VisitEdit, reinterpret_cast<LPARAM>(&s));
        if (!s.found) return 1;
        std::wstring text = argv[4];
        for (size_t i = 0; (i = text.find(L"\\n", i)) != std::wstring::npos;) text.replace(i, 2, L"\r\n");
        SendMessageW(s.found, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return 0;
    }
    if (cmd == L"keys" && argc >= 3) {
        std::wstring what = argv[2];
        WORD mod = what.rfind(L"alt-", 0) == 0 ? VK_MENU : 0;
        WORD vk = what == L"alt-enter" ? VK_RETURN : what == L"alt-f4" ? VK_F4 : VK_ESCAPE;
        if (mod) Key(mod, false);
        Key(vk, false);
        Key(vk, true);
        if (mod) Key(mod, true);
        return 0;
    }
    if (cmd == L"count" && argc >= 3) {
        printf("%d\n", Find(std::wstring(argv[2])).count);
        return 0;
    }
    if (cmd == L"get" && argc >= 4) {
        HWND w = FindAny(std::wstring(argv[2]));
        if (!w) return 1;
        ATOM q = GlobalAddAtomW(std::wstring(argv[3]).c_str());
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
        HWND w = FindAny(std::wstring(argv[2]));
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
