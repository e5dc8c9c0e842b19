// Reads the state of the running program from outside, exactly:
//   probe wait TITLE [ms]          wait for a visible window of ours, print its handle
//   probe gone TITLE [ms]          wait until no visible window of ours has the title
//   probe count TITLE              visible windows of ours with the title
//   probe state TITLE              visible, iconic, topmost, x, y, w, h
//   probe focus                    title of the active window and class of the focus
//   probe menu                     the open pop-up menu: left top right bottom
//   probe exists TITLE             a window of ours with the title, shown or hidden
//   probe kill TITLE               ends the process of a window of ours with the title
//   probe sendclose TITLE          sends (not posts) WM_CLOSE; waits at most 5 s
//   probe sel TITLE WHO            the selection in an edit box: start end
//   probe settext TITLE WHO TEXT [REPEAT]  sends WM_SETTEXT to an edit box, as other
//                                  programs do (TEXT REPEAT times); prints the ms until the
//                                  box has taken it and painted it
//   probe send TITLE WHO MSG WP LP sends a message to an edit box (WHO . : the window);
//                                  prints its result
//   (WHO: what a screen reader reads of it, as for acc below, never its place)
//   probe clip TEXT [REPEAT]       puts TEXT (REPEAT times) on the clipboard
//   probe paste                    the clipboard's text, CR and LF written as \r and \n
//   probe ping TITLE MS            "yes" when the window answers within MS ms, else "busy"
//   probe memory TITLE             the peak working set of the window's process, KB
//   probe msgbox TITLE             the message of a message box of that title
//   probe tree TITLE               the window's accessibility tree, as a screen reader reads it
//   probe acc TITLE WHO [FIELD] [--escaped]  one element's name (or state, value, action,
//                                  role, description, where); --escaped writes CR and LF as
//                                  \r and \n; WHO is its name, ROLE:NAME (with * and ? in
//                                  NAME), ROLE~DESCRIPTION, or . for the window itself
//   probe press TITLE WHO          presses it as a screen reader does (its default action)
//   probe accfocus TITLE           where the focus is as a screen reader finds it: from the
//                                  window's object (OBJID_WINDOW) on, each object's
//                                  get_accFocus leads to the next; prints role:name of the
//                                  element it ends at and its screen rectangle l,t,w,h
//   probe tip                      the text of the tooltip showing, or nothing
//   probe keyboardcues 0|1         the user's setting to show focus cues always (1), or only
//                                  once the keyboard is used (0, as Windows has it)
//   probe awareness TITLE          how the window's DPI is handled: unaware, system,
//                                  permonitor (or unknown where the system cannot tell)
//   probe listen MS                prints the change and focus events of our windows' client
//                                  areas that another process hears for MS ms, one per line in
//                                  the order they came: event, window title, then role:name of
//                                  what changed as a screen reader reads it (and the state, for
//                                  the focus)
//   probe squat EXE MS [answer]    holds the name the copies of EXE (a Windows path) share for
//                                  MS ms, as another program may: prints "taken" when a copy
//                                  holds it already, else "new"; with answer, a window of the
//                                  program's class (titled squatter) answers the copies' wake
//                                  message as a running copy does
//   probe freeze TITLE             suspends the thread of a window of ours, as a copy frozen
//                                  after a crash would be
//   probe other TITLE MS           another program's window, titled TITLE, shown with the keys
//                                  for MS ms or until it is closed
// Output is UTF-8; the exit code is 0 on success, 1 when not found.
#include <windows.h>
#include <oleacc.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// TEXT (with \n for a line break) REPEAT times.
std::wstring Repeated(const std::wstring& unit, int times) {
    std::wstring one = unit;
    for (size_t i = 0; (i = one.find(L"\\n", i)) != std::wstring::npos;) one.replace(i, 2, L"\r\n");
    std::wstring all;
    all.reserve(one.size() * static_cast<size_t>(times > 0 ? times : 0));
    for (int i = 0; i < times; ++i) all += one;
    return all;
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

// ---- Accessibility: what a screen reader reads -------------------------

// Every call into the other process has a time limit: a program that stops
// answering fails the check instead of hanging the test.
volatile LONG g_deadline = 0;
const char* volatile g_call = "";

DWORD WINAPI Watchdog(void*) {
    for (;;) {
        Sleep(50);
        LONG d = g_deadline;
        if (d && static_cast<LONG>(GetTickCount() - static_cast<DWORD>(d)) > 0) {
            fprintf(stderr, "probe: no answer to %s within 5 s\n", g_call);
            fflush(stderr);
            ExitProcess(3);
        }
    }
}

template <class F>
HRESULT Timed(const char* what, F f) {
    g_call = what;
    g_deadline = static_cast<LONG>(GetTickCount() + 5000);
    HRESULT hr = f();
    g_deadline = 0;
    return hr;
}

struct Node {
    IAccessible* acc;  // the object that answers for it
    long id;           // CHILDID_SELF for an object, else a simple child
    std::wstring path;
};

VARIANT Id(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::wstring Str(const Node& n, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*),
                 const char* what) {
    BSTR b = nullptr;
    HRESULT hr = Timed(what, [&] { return (n.acc->*get)(Id(n.id), &b); });
    std::wstring s = SUCCEEDED(hr) && b ? std::wstring(b, SysStringLen(b)) : L"";
    SysFreeString(b);
    return s;
}

long Int4(const Node& n, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*),
          const char* what) {
    VARIANT v;
    VariantInit(&v);
    HRESULT hr = Timed(what, [&] { return (n.acc->*get)(Id(n.id), &v); });
    long r = SUCCEEDED(hr) && v.vt == VT_I4 ? v.lVal : 0;
    VariantClear(&v);
    return r;
}

std::wstring RoleName(long r) {
    switch (r) {
    case ROLE_SYSTEM_PUSHBUTTON: return L"button";
    case ROLE_SYSTEM_CHECKBUTTON: return L"checkbox";
    case ROLE_SYSTEM_STATICTEXT: return L"text";
    case ROLE_SYSTEM_LINK: return L"link";
    case ROLE_SYSTEM_GRAPHIC: return L"graphic";
    case ROLE_SYSTEM_GROUPING: return L"group";
    case ROLE_SYSTEM_TEXT: return L"edit";
    case ROLE_SYSTEM_CLIENT: return L"client";
    case ROLE_SYSTEM_WINDOW: return L"window";
    default: return L"role" + std::to_wstring(r);
    }
}

std::wstring StateNames(long s) {
    static const struct { long bit; const wchar_t* name; } kNames[] = {
        {STATE_SYSTEM_CHECKED, L"checked"},   {STATE_SYSTEM_PRESSED, L"pressed"},
        {STATE_SYSTEM_HOTTRACKED, L"hot"},    {STATE_SYSTEM_FOCUSED, L"focused"},
        {STATE_SYSTEM_READONLY, L"readonly"}, {STATE_SYSTEM_LINKED, L"linked"},
        {STATE_SYSTEM_INVISIBLE, L"invisible"}, {STATE_SYSTEM_FOCUSABLE, L"focusable"}};
    std::wstring out;
    for (const auto& n : kNames)
        if (s & n.bit) out += (out.empty() ? L"" : L",") + std::wstring(n.name);
    return out.empty() ? L"-" : out;
}

std::wstring Where(const Node& n) {
    long l = 0, t = 0, w = 0, h = 0;
    Timed("accLocation", [&] { return n.acc->accLocation(&l, &t, &w, &h, Id(n.id)); });
    return std::to_wstring(l) + L"," + std::to_wstring(t) + L"," + std::to_wstring(w) + L"," +
           std::to_wstring(h);
}

std::wstring Field(const Node& n, const std::wstring& field) {
    if (field == L"state") return StateNames(Int4(n, &IAccessible::get_accState, "get_accState"));
    if (field == L"role") return RoleName(Int4(n, &IAccessible::get_accRole, "get_accRole"));
    if (field == L"value") return Str(n, &IAccessible::get_accValue, "get_accValue");
    if (field == L"description") return Str(n, &IAccessible::get_accDescription, "get_accDescription");
    if (field == L"action") return Str(n, &IAccessible::get_accDefaultAction, "get_accDefaultAction");
    if (field == L"where") return Where(n);
    return Str(n, &IAccessible::get_accName, "get_accName");
}

IAccessible* ClientOf(HWND w) {
    IAccessible* a = nullptr;
    Timed("AccessibleObjectFromWindow", [&] {
        return AccessibleObjectFromWindow(w, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&a));
    });
    return a;
}

// The tree in reading order: an object, then its children; a child window
// is read through its client area, as screen readers do.
void Walk(IAccessible* acc, const std::wstring& path, std::vector<Node>& out) {
    acc->AddRef();
    out.push_back({acc, CHILDID_SELF, path});
    long count = 0, got = 0;
    Timed("get_accChildCount", [&] { return acc->get_accChildCount(&count); });
    std::vector<VARIANT> kids(static_cast<size_t>(count > 0 ? count : 0));
    // As screen readers ask: the children's ids need not be 1..N.
    Timed("AccessibleChildren", [&] { return AccessibleChildren(acc, 0, count, kids.data(), &got); });
    for (long i = 0; i < got; ++i) {
        std::wstring sub = (path.empty() ? L"" : path + L".") + std::to_wstring(i + 1);
        VARIANT& k = kids[static_cast<size_t>(i)];
        if (k.vt == VT_DISPATCH && k.pdispVal) {
            IAccessible* child = nullptr;
            HWND w = nullptr;
            if (SUCCEEDED(k.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&child)))) {
                Timed("WindowFromAccessibleObject", [&] { return WindowFromAccessibleObject(child, &w); });
                IAccessible* client = w ? ClientOf(w) : nullptr;
                if (client) {
                    Walk(client, sub, out);
                    client->Release();
                }
                child->Release();
            }
        } else if (k.vt == VT_I4) {
            acc->AddRef();
            out.push_back({acc, k.lVal, sub});
        }
        VariantClear(&k);
    }
}

std::vector<Node> Tree(HWND w) {
    std::vector<Node> all;
    if (IAccessible* root = ClientOf(w)) {
        Walk(root, L"", all);
        root->Release();
    }
    return all;
}

// Whether `text` matches `pattern`, where * stands for any run of
// characters and ? for one.
bool Matches(const wchar_t* pattern, const wchar_t* text) {
    if (*pattern == L'*') return Matches(pattern + 1, text) || (*text && Matches(pattern, text + 1));
    if (!*pattern) return !*text;
    return *text && (*pattern == L'?' || *pattern == *text) && Matches(pattern + 1, text + 1);
}

// An element by what a screen reader tells of it, never by its place:
// NAME, ROLE:NAME (NAME may hold * and ?), ROLE~DESCRIPTION, or . for the
// window itself.
const Node* Pick(const std::vector<Node>& all, const std::wstring& who) {
    if (who == L".") return all.empty() ? nullptr : &all.front();
    std::wstring role, name = who, field = L"name";
    size_t mark = who.find_first_of(L":~");
    if (mark != std::wstring::npos) {
        role = who.substr(0, mark);
        name = who.substr(mark + 1);
        if (who[mark] == L'~') field = L"description";
    }
    for (const Node& n : all) {
        if (!role.empty() && Field(n, L"role") != role) continue;
        if (Matches(name.c_str(), Field(n, field).c_str())) return &n;
    }
    return nullptr;
}

// The window of an element a screen reader finds (an edit box), or the
// window itself for ".".
HWND WindowOf(const std::wstring& title, const std::wstring& who) {
    HWND w = FindAny(title);
    if (!w || who == L".") return w;
    CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    CoInitialize(nullptr);
    std::vector<Node> all = Tree(w);
    HWND found = nullptr;
    if (const Node* n = Pick(all, who); n && n->id == CHILDID_SELF)
        Timed("WindowFromAccessibleObject", [&] { return WindowFromAccessibleObject(n->acc, &found); });
    for (const Node& n : all) n.acc->Release();
    return found;
}

int Accessibility(const std::wstring& cmd, HWND w, int argc, wchar_t** argv) {
    CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    CoInitialize(nullptr);
    std::vector<Node> all = Tree(w);
    int rc = 0;
    if (cmd == L"tree") {
        for (const Node& n : all) {
            std::wstring line = (n.path.empty() ? L"0" : n.path) + L" " + Field(n, L"role") + L" \"" +
                                Field(n, L"name") + L"\" " + Field(n, L"state");
            std::wstring v = Field(n, L"value"), a = Field(n, L"action");
            if (!v.empty()) line += L" value=\"" + v + L"\"";
            if (!a.empty()) line += L" action=" + a;
            line += L" @" + Where(n);
            for (wchar_t& c : line)
                if (c == L'\r' || c == L'\n') c = L' ';
            PrintUtf8(line);
        }
    } else {
        const Node* n = argc >= 4 ? Pick(all, argv[3]) : nullptr;
        if (!n) {
            rc = 1;
        } else if (cmd == L"press") {
            HRESULT hr = Timed("accDoDefaultAction", [&] { return n->acc->accDoDefaultAction(Id(n->id)); });
            rc = hr == S_OK ? 0 : 1;
        } else {
            std::wstring field = L"name";
            bool escaped = false;
            for (int i = 4; i < argc; ++i) {
                if (std::wstring(argv[i]) == L"--escaped") escaped = true;
                else field = argv[i];
            }
            std::wstring v = Field(*n, field);
            if (escaped) {
                std::wstring e;
                for (wchar_t c : v) e += c == L'\r' ? L"\\r" : c == L'\n' ? L"\\n" : std::wstring(1, c);
                v = e;
            }
            PrintUtf8(v);
        }
    }
    for (const Node& n : all) n.acc->Release();
    return rc;
}

int AccFocus(HWND w) {
    CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    CoInitialize(nullptr);
    IAccessible* acc = nullptr;
    Timed("AccessibleObjectFromWindow", [&] {
        return AccessibleObjectFromWindow(w, OBJID_WINDOW, IID_IAccessible, reinterpret_cast<void**>(&acc));
    });
    long id = CHILDID_SELF;
    bool found = false;
    // Each step names a child of the object asked, an object to ask next,
    // or the object itself.
    for (int step = 0; step < 10 && acc && !found; ++step) {
        VARIANT v;
        VariantInit(&v);
        HRESULT hr = Timed("get_accFocus", [&] { return acc->get_accFocus(&v); });
        if (FAILED(hr) || (v.vt != VT_I4 && v.vt != VT_DISPATCH)) break;
        if (v.vt == VT_I4) {
            id = v.lVal;
            found = true;
            break;
        }
        IAccessible* next = nullptr;
        if (v.pdispVal) v.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&next));
        VariantClear(&v);
        acc->Release();
        acc = next;
    }
    if (!found) {
        if (acc) acc->Release();
        PrintUtf8(L"none");
        return 1;
    }
    Node n{acc, id, L""};
    PrintUtf8(Field(n, L"role") + L":" + Field(n, L"name") + L" " + Where(n));
    acc->Release();
    return 0;
}

// An event as it arrived. The callback only writes it down: resolving it
// there (a call into the other process) lets the next event in, nested,
// and that one would be printed first.
struct HeardEvent {
    DWORD event;
    HWND hwnd;
    LONG object, child;
};
std::vector<HeardEvent> g_heard;

void CALLBACK Heard(HWINEVENTHOOK, DWORD ev, HWND h, LONG obj, LONG child, DWORD, DWORD) {
    g_heard.push_back({ev, h, obj, child});
}

// Prints one event: its name, the window's title, then what a screen
// reader reads of it: role and name (and the state, for the focus).
void Resolve(const HeardEvent& e) {
    if (e.object != OBJID_CLIENT || !e.hwnd) return;
    const DWORD ev = e.event;
    const wchar_t* what = ev == EVENT_OBJECT_NAMECHANGE    ? L"namechange"
                          : ev == EVENT_OBJECT_STATECHANGE ? L"statechange"
                          : ev == EVENT_OBJECT_VALUECHANGE ? L"valuechange"
                          : ev == EVENT_OBJECT_SHOW        ? L"show"
                          : ev == EVENT_SYSTEM_ALERT       ? L"alert"
                          : ev == EVENT_OBJECT_FOCUS       ? L"focus"
                                                           : nullptr;
    wchar_t cls[64] = {}, title[256] = {};
    HWND top = GetAncestor(e.hwnd, GA_ROOT);
    GetClassNameW(top, cls, 64);
    if (!what || std::wstring(cls) != L"QfForm") return;
    GetWindowTextW(top, title, 256);
    IAccessible* acc = nullptr;
    VARIANT id;
    VariantInit(&id);
    std::wstring said = L"?";
    if (SUCCEEDED(Timed("AccessibleObjectFromEvent",
                        [&] { return AccessibleObjectFromEvent(e.hwnd, e.object, e.child, &acc, &id); })) &&
        acc) {
        Node n{acc, id.vt == VT_I4 ? id.lVal : CHILDID_SELF, L""};
        said = Field(n, L"role") + L":" + Field(n, L"name");
        if (ev == EVENT_OBJECT_FOCUS) said += L" " + Field(n, L"state");
        acc->Release();
    }
    PrintUtf8(std::wstring(what) + L" " + title + L" " + said);
    fflush(stdout);
}

int Listen(DWORD ms) {
    CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    CoInitialize(nullptr);
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, Heard, 0, 0,
                                         WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    if (!hook) return 1;
    printf("listening\n");
    fflush(stdout);
    DWORD start = GetTickCount();
    size_t done = 0;  // events printed; later ones may arrive while one is resolved
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
        while (done < g_heard.size()) {
            HeardEvent e = g_heard[done++];
            Resolve(e);
        }
    }
    UnhookWinEvent(hook);
    return 0;
}

// The name copies of an executable share, worked out as the program does
// (host/app.cpp): its file's volume and index and its long name, upper case.
std::wstring InstanceNameOf(const std::wstring& exe) {
    wchar_t longPath[MAX_PATH * 2] = {};
    if (!GetLongPathNameW(exe.c_str(), longPath, MAX_PATH * 2)) lstrcpynW(longPath, exe.c_str(), MAX_PATH * 2);
    std::wstring name = longPath;
    size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    CharUpperBuffW(&name[0], static_cast<DWORD>(name.size()));
    HANDLE f = CreateFileW(exe.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info;
    if (f == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(f, &info)) return L"";
    CloseHandle(f);
    wchar_t id[40];
    wsprintfW(id, L"%08lX%08lX%08lX", info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
    unsigned long hash = 5381;
    for (wchar_t c : std::wstring(id) + L"|" + name) hash = hash * 33 + c;
    wchar_t text[16];
    wsprintfW(text, L"%08lX", hash);
    return L"QfExchangeLookup-" + std::wstring(text);
}

// Handles messages for `ms` ms, or until `until` is gone.
void Pump(DWORD ms, HWND until = nullptr) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms && (!until || IsWindow(until))) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    }
}

UINT g_wake = 0;
LRESULT CALLBACK Squatter(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == g_wake && m) return 0x4A4C54;  // what a running copy answers
    return DefWindowProcW(h, m, w, l);
}

int Squat(const std::wstring& exe, DWORD ms, bool answer) {
    const std::wstring name = InstanceNameOf(exe);
    if (name.empty()) {
        printf("no name: error %lu\n", GetLastError());  // said, so that a failing check shows why
        return 1;
    }
    HANDLE mutex = CreateMutexW(nullptr, FALSE, (L"Local\\" + name).c_str());
    printf("%s\n", mutex && GetLastError() == ERROR_ALREADY_EXISTS ? "taken" : "new");
    fflush(stdout);
    if (answer) {
        g_wake = RegisterWindowMessageW((name + L"-Wake").c_str());
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Squatter;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QfForm";
        RegisterClassW(&wc);
        CreateWindowExW(0, L"QfForm", L"squatter", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                        wc.hInstance, nullptr);
    }
    Pump(ms);
    if (mutex) CloseHandle(mutex);
    return 0;
}

int Other(const std::wstring& title, DWORD ms) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"QfOtherProgram";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 650, 520,
                             240, 120, nullptr, nullptr, wc.hInstance, nullptr);
    if (!w) return 1;
    SetForegroundWindow(w);
    Pump(ms, w);
    return 0;
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
    if (cmd == L"kill" && argc >= 3) {
        // Ends the process of a window of ours with the title: the one this
        // test started, and no other process of the same name.
        HWND w = FindAny(std::wstring(argv[2]));
        DWORD pid = 0;
        if (w) GetWindowThreadProcessId(w, &pid);
        HANDLE p = pid ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid) : nullptr;
        if (!p) return 1;
        TerminateProcess(p, 1);
        WaitForSingleObject(p, 5000);
        CloseHandle(p);
        return 0;
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
    if ((cmd == L"sel" || cmd == L"settext" || cmd == L"send") && argc >= 4) {
        HWND to = WindowOf(std::wstring(argv[2]), argv[3]);
        if (!to) return 1;
        if (cmd == L"sel") {
            DWORD sel = static_cast<DWORD>(SendMessageW(to, EM_GETSEL, 0, 0));
            printf("%u %u\n", LOWORD(sel), HIWORD(sel));
            return 0;
        }
        if (cmd == L"send" && argc >= 7) {
            auto num = [](const wchar_t* t) { return wcstoul(t, nullptr, 0); };
            LRESULT r = SendMessageW(to, num(argv[4]), num(argv[5]), static_cast<LPARAM>(num(argv[6])));
            printf("%ld\n", static_cast<long>(r));
            return 0;
        }
        if (cmd != L"settext" || argc < 5) return 2;
        std::wstring text = Repeated(argv[4], argc >= 6 ? _wtoi(argv[5]) : 1);
        DWORD start = GetTickCount();
        SendMessageW(to, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        while (GetUpdateRect(to, nullptr, FALSE) && GetTickCount() - start < 60000) Sleep(5);
        printf("%lu\n", static_cast<unsigned long>(GetTickCount() - start));
        return 0;
    }
    if (cmd == L"clip" && argc >= 3) {
        std::wstring text = Repeated(argv[2], argc >= 4 ? _wtoi(argv[3]) : 1);
        HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        if (!g) return 1;
        memcpy(GlobalLock(g), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(g);
        if (!OpenClipboard(nullptr)) return 1;
        EmptyClipboard();
        bool ok = SetClipboardData(CF_UNICODETEXT, g) != nullptr;
        CloseClipboard();
        return ok ? 0 : 1;
    }
    if (cmd == L"paste") {
        std::wstring text;
        if (!OpenClipboard(nullptr)) return 1;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
                for (; *p; ++p) text += *p == L'\r' ? L"\\r" : *p == L'\n' ? L"\\n" : std::wstring(1, *p);
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        PrintUtf8(text);
        return 0;
    }
    if (cmd == L"ping" && argc >= 4) {
        HWND w = FindAny(std::wstring(argv[2]));
        if (!w) return 1;
        DWORD_PTR r = 0;
        bool answered = SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL,
                                            static_cast<UINT>(_wtoi(argv[3])), &r) != 0;
        printf("%s\n", answered ? "yes" : "busy");
        return 0;
    }
    if (cmd == L"memory" && argc >= 3) {
        HWND w = FindAny(std::wstring(argv[2]));
        DWORD pid = 0;
        if (w) GetWindowThreadProcessId(w, &pid);
        HANDLE p = pid ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid) : nullptr;
        PROCESS_MEMORY_COUNTERS pmc{};
        pmc.cb = sizeof pmc;
        bool ok = p && GetProcessMemoryInfo(p, &pmc, sizeof pmc);
        if (p) CloseHandle(p);
        if (!ok) return 1;
        printf("%lu\n", static_cast<unsigned long>(pmc.PeakWorkingSetSize / 1024));
        return 0;
    }
    if (cmd == L"msgbox" && argc >= 3) {
        HWND box = FindWindowW(L"#32770", argv[2]);
        if (!box) return 1;
        // The message is the box's static text that is not its icon.
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            wchar_t cls[16] = {}, text[1024] = {};
            GetClassNameW(c, cls, 16);
            DWORD_PTR got = 0;
            SendMessageTimeoutW(c, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                                2000, &got);
            if (lstrcmpiW(cls, L"Static") == 0 && text[0]) PrintUtf8(text);
        }
        return 0;
    }
    if ((cmd == L"tree" || cmd == L"acc" || cmd == L"press") && argc >= 3) {
        HWND w = FindAny(std::wstring(argv[2]));
        if (!w) return 1;
        return Accessibility(cmd, w, argc, argv);
    }
    if (cmd == L"tip") {
        HWND t = nullptr;
        while ((t = FindWindowExW(nullptr, t, L"tooltips_class32", nullptr)) != nullptr) {
            if (!IsWindowVisible(t)) continue;
            // The tip's text, asked as any window's text; GetWindowText
            // would not ask another process's window.
            wchar_t text[256] = {};
            DWORD_PTR got = 0;
            SendMessageTimeoutW(t, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                                2000, &got);
            PrintUtf8(text);
            return 0;
        }
        PrintUtf8(L"");
        return 0;
    }
    if (cmd == L"keyboardcues" && argc >= 3) {
        const BOOL always = _wtoi(argv[2]) != 0;
        void* value = reinterpret_cast<void*>(static_cast<INT_PTR>(always));
        return SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, value, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE) ? 0 : 1;
    }
    if (cmd == L"awareness" && argc >= 3) {
        HWND w = FindAny(std::wstring(argv[2]));
        if (!w) return 1;
        HMODULE user = GetModuleHandleW(L"user32.dll");
        auto context = reinterpret_cast<HANDLE(WINAPI*)(HWND)>(
            reinterpret_cast<void*>(GetProcAddress(user, "GetWindowDpiAwarenessContext")));
        auto awareness = reinterpret_cast<int(WINAPI*)(HANDLE)>(
            reinterpret_cast<void*>(GetProcAddress(user, "GetAwarenessFromDpiAwarenessContext")));
        const char* names[] = {"unaware", "system", "permonitor"};
        int a = context && awareness ? awareness(context(w)) : -1;
        printf("%s\n", a >= 0 && a <= 2 ? names[a] : "unknown");
        return 0;
    }
    if (cmd == L"listen" && argc >= 3) return Listen(static_cast<DWORD>(_wtoi(argv[2])));
    if (cmd == L"accfocus" && argc >= 3) {
        HWND w = FindAny(std::wstring(argv[2]));
        return w ? AccFocus(w) : 1;
    }
    if (cmd == L"squat" && argc >= 4)
        return Squat(argv[2], static_cast<DWORD>(_wtoi(argv[3])), argc >= 5 && std::wstring(argv[4]) == L"answer");
    if (cmd == L"other" && argc >= 4) return Other(argv[2], static_cast<DWORD>(_wtoi(argv[3])));
    if (cmd == L"freeze" && argc >= 3) {
        HWND w = FindAny(std::wstring(argv[2]));
        DWORD tid = w ? GetWindowThreadProcessId(w, nullptr) : 0;
        HANDLE t = tid ? OpenThread(THREAD_SUSPEND_RESUME, FALSE, tid) : nullptr;
        if (!t) return 1;
        DWORD was = SuspendThread(t);
        CloseHandle(t);
        return was == static_cast<DWORD>(-1) ? 1 : 0;
    }
    if (cmd == L"count" && argc >= 3) {
        printf("%d\n", Find(std::wstring(argv[2])).count);
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
    return 2;
}
