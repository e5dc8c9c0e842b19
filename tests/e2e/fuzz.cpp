// A message fuzzer, as a careless or hostile program on the same desktop
// would be: sends and posts messages with random and wild parameters to
// every window of the running program, queries now and then, and checks
// afterwards that the program still answers and that its boxes and its
// history file hold only what their rules allow.
//   fuzz TITLE SEED COUNT HISTORY_FILE [strict]
// Prints its seed first, so that a failure can be replayed with it, and on
// a failure the last messages delivered; exit code 0 when every check
// holds, 1 when one fails (each is named), 2 on wrong use. To find the
// message that kills: `strict` asks for an answer after every message;
// QF_FUZZ_ONLY=,I,J,K, delivers only those of the sequence (made all the
// same); QF_FUZZ_LOG=1 prints every message delivered.
//
// Left out: the messages that end a program on purpose (WM_CLOSE to a
// form, WM_QUIT, WM_ENDSESSION, SC_CLOSE, and to the program's own
// windows the presses that reach 取消 or 关闭, the system
// menu's 关闭 or the tray menu's 退出: left button down, up and double
// click, Space, Enter, Esc and F4 keys, what opens the system menu
// (SC_KEYMENU, SC_MOUSEMENU, WM_POPUPSYSTEMMENU, WM_CONTEXTMENU, a right
// click outside the client area), the tray icon's right click), the
// taskbar's Move (SC_MOVE takes the keys until Enter or Esc, on any
// window), a close or a destruction sent to a window of the system's own
// classes that the program does not hook (the input method's), and Wine's
// own fault: LB_GETSELITEMS with a wild
// count kills any Wine program.
#include <windows.h>
#include <dde.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <random>
#include <string>
#include <vector>

namespace {

DWORD g_pid = 0;
HWND g_main = nullptr, g_number = nullptr, g_answer = nullptr;
std::vector<HWND> g_targets;
int g_failed = 0;

void Fail(const char* what, const std::string& detail = {}) {
    ++g_failed;
    printf("FAIL - %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
}

std::string Utf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

std::string Escaped(const std::wstring& w) {
    std::string out;
    char hex[16];
    for (wchar_t c : w) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(c));
            out += hex;
        }
    }
    return out;
}

std::wstring ClassOf(HWND w) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    return cls;
}

bool Ours(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid == g_pid;
}

BOOL CALLBACK AddChild(HWND w, LPARAM) {
    g_targets.push_back(w);
    return TRUE;
}

BOOL CALLBACK AddTop(HWND w, LPARAM) {
    if (!Ours(w)) return TRUE;
    g_targets.push_back(w);
    EnumChildWindows(w, AddChild, 0);
    return TRUE;
}

// Every window of the program: top-level ones shown or hidden, their
// children, its message-only windows; not a pop-up menu (its 退出).
void FindTargets() {
    g_targets.clear();
    EnumWindows(AddTop, 0);
    for (HWND w = nullptr; (w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr)) != nullptr;)
        if (Ours(w)) g_targets.push_back(w);
    std::vector<HWND> kept;
    for (HWND w : g_targets)
        if (ClassOf(w) != L"#32768") kept.push_back(w);
    g_targets.swap(kept);
}

std::wstring TextOf(HWND w, size_t most) {
    std::vector<wchar_t> buf(most + 2, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(w, WM_GETTEXT, most + 2, reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_ABORTIFHUNG, 2000, &got))
        return L"<no answer>";
    return std::wstring(buf.data(), static_cast<size_t>(got) < most + 2 ? static_cast<size_t>(got) : most + 1);
}

bool Answers(DWORD ms) {
    DWORD_PTR r = 0;
    return g_main && SendMessageTimeoutW(g_main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &r) != 0;
}

// The program's error box: a message box of its process, titled as the
// program is.
std::wstring g_title;
bool ErrorBoxUp() {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", g_title.c_str())) != nullptr;)
        if (Ours(w) && IsWindowVisible(w)) return true;
    return false;
}

struct Sent {
    HWND to;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    bool posted;
    std::wstring text;
    int index;
};
std::deque<Sent> g_recent;
int g_index = 0;  // of the message in the sequence

void PrintRecent() {
    printf("# the last %u messages, oldest first:\n", static_cast<unsigned>(g_recent.size()));
    for (const Sent& s : g_recent)
        printf("#   %d %s %s%s 0x%04X wp=0x%08lX lp=0x%08lX%s%s\n", s.index, s.posted ? "post" : "send",
               Utf8(ClassOf(s.to)).c_str(),
               s.to == g_number ? " (number)" : s.to == g_answer ? " (answer)" : "", s.msg,
               static_cast<unsigned long>(s.wp), static_cast<unsigned long>(s.lp),
               s.text.empty() ? "" : " text=", Escaped(s.text.substr(0, 60)).c_str());
}

// ---- What is sent -------------------------------------------------------

std::mt19937 g_rng;
unsigned Below(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(g_rng); }

// Texts other programs put in: tabs, control characters, line breaks,
// halves of pairs, full-width digits, separators, long runs.
const wchar_t kPieces[][8] = {L"6525", L"1234", L"\t", L"\r\n", L"\n", L"\x01", L"\x1B", L"\x7F",
                              L"\xD83D", L"\xDE00", L"\xD83D\xDE00", L"\xFF16\xFF15", L"-", L" ",
                              L"(", L")", L".", L"a", L"\x9752", L"\x3000", L"0", L"\x85"};
std::wstring g_text;
void MakeText() {
    g_text.clear();
    unsigned pieces = Below(4) == 0 ? 200 + Below(1200) : Below(12);
    for (unsigned i = 0; i < pieces; ++i) g_text += kPieces[Below(sizeof kPieces / sizeof kPieces[0])];
}

std::vector<unsigned char> g_junk(65536);

LPARAM Param() {
    static const unsigned long kWild[] = {0x1234, 0xDEADBEEF, 0x7FFF0000, 0x80000000, 0xFFFFFFFF,
                                          0x00010000, 0x10, 0xC0000000};
    switch (Below(8)) {
    case 0: return 0;
    case 1: return 1;
    case 2: return static_cast<LPARAM>(Below(0x10000));
    case 3: return static_cast<LPARAM>(g_rng());
    case 4:
    case 5: return static_cast<LPARAM>(kWild[Below(sizeof kWild / sizeof kWild[0])]);
    case 6: return reinterpret_cast<LPARAM>(g_junk.data() + Below(60000));  // ours, not its
    default: return static_cast<LPARAM>(Below(500));
    }
}

// Messages whose parameters Wine reads in the sending process, to carry
// what they point to across: wild numbers there would end the fuzzer, not
// the program. They get nothing, small numbers or zeros of the fuzzer's
// own to point to.
bool Packed(UINT m) {
    static const UINT kPacked[] = {
        WM_CREATE, WM_SETTEXT, WM_GETTEXT, WM_WININICHANGE, WM_DEVMODECHANGE, WM_GETMINMAXINFO,
        WM_DRAWITEM, WM_MEASUREITEM, WM_DELETEITEM, WM_COMPAREITEM, WM_WINDOWPOSCHANGING,
        WM_WINDOWPOSCHANGED, WM_COPYDATA, WM_NOTIFY, WM_HELP, WM_STYLECHANGING, WM_STYLECHANGED,
        WM_NCCREATE, WM_NCCALCSIZE, WM_GETDLGCODE, WM_GETICON, WM_GETOBJECT, EM_GETSEL, EM_GETRECT,
        EM_SETRECT, EM_SETRECTNP, EM_REPLACESEL, EM_GETLINE, EM_SETTABSTOPS, SBM_GETRANGE,
        SBM_SETSCROLLINFO, SBM_GETSCROLLINFO, 0xEB /* SBM_GETSCROLLBARINFO */, CB_GETEDITSEL,
        CB_ADDSTRING, CB_DIR, CB_GETLBTEXT, CB_INSERTSTRING, CB_FINDSTRING, CB_SELECTSTRING,
        CB_GETDROPPEDCONTROLRECT, CB_FINDSTRINGEXACT, 0x164 /* CB_GETCOMBOBOXINFO */,
        LB_ADDSTRING, LB_INSERTSTRING, LB_GETTEXT, LB_SELECTSTRING, LB_DIR, LB_FINDSTRING,
        LB_GETSELITEMS, LB_SETTABSTOPS, LB_ADDFILE, LB_GETITEMRECT, LB_FINDSTRINGEXACT,
        WM_NEXTMENU, WM_SIZING, WM_MOVING, WM_DEVICECHANGE, WM_MDICREATE, WM_MDIGETACTIVE,
        0x22A, 0x22B, 0x22C, 0x22D, 0x22E, 0x22F /* drag and drop */, WM_ASKCBFORMATNAME,
        WM_PAINTCLIPBOARD, WM_SIZECLIPBOARD};
    if (m >= WM_DDE_FIRST && m <= WM_DDE_LAST) return true;  // handles of the sender's
    for (UINT p : kPacked)
        if (p == m) return true;
    return false;
}

std::vector<unsigned char> g_zeros(65536);

LPARAM Tame() {
    switch (Below(3)) {
    case 0: return 0;
    case 1: return static_cast<LPARAM>(Below(64));
    default: return reinterpret_cast<LPARAM>(g_zeros.data() + 4 * Below(1000));
    }
}

UINT Message() {
    static const UINT kOwn[] = {2025, WM_APP + 25, WM_USER + 0x100, WM_USER + 0x101};
    switch (Below(10)) {
    case 0: case 1: case 2: return Below(0x400);         // the system's window messages
    case 3: case 4: return 0xB0 + Below(0xDB - 0xB0);    // edit boxes'
    case 5: return 0xF0 + Below(9);                      // buttons'
    case 6: return kOwn[Below(sizeof kOwn / sizeof kOwn[0])];
    case 7: return Below(0x10000);
    default: {
        static const UINT kText[] = {WM_SETTEXT, EM_REPLACESEL, WM_CHAR, 0x109 /* WM_UNICHAR */,
                                     WM_IME_CHAR, WM_PASTE, WM_UNDO, EM_UNDO};
        return kText[Below(sizeof kText / sizeof kText[0])];
    }
    }
}

// The messages left out, and why: see the top of the file.
bool LeftOut(HWND to, UINT msg, WPARAM wp, LPARAM lp) {
    const std::wstring cls = ClassOf(to);
    const bool ours = cls == L"QfForm" || cls == L"QfFrame" || cls == L"Edit" || cls == L"tooltips_class32";
    switch (msg) {
    case WM_QUIT: case WM_ENDSESSION:
        return true;
    case WM_CLOSE:
        return !ours || cls == L"QfForm";
    case WM_DESTROY: case WM_NCDESTROY:
        return !ours;
    case WM_SYSCOMMAND:  // the system menu holds 关闭 too
        return (wp & 0xFFF0) == SC_CLOSE || (wp & 0xFFF0) == SC_KEYMENU || (wp & 0xFFF0) == SC_MOUSEMENU ||
               ((wp & 0xFFF0) == SC_MOVE && cls == L"QfForm");
    case 0x0313:  // WM_POPUPSYSTEMMENU
        return true;
    case 0x191:  // LB_GETSELITEMS
        return true;
    case 2025:  // the tray icon's callback: a right click opens the menu
        return lp == WM_RBUTTONUP;
    case WM_APP + 25:
        return lp == WM_RBUTTONUP;
    }
    if (cls != L"QfForm") return false;
    switch (msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_CONTEXTMENU: case WM_NCRBUTTONDOWN: case WM_NCRBUTTONUP:  // the system menu
        return true;
    case WM_KEYDOWN: case WM_KEYUP: case WM_SYSKEYDOWN: case WM_SYSKEYUP:
        return wp == VK_SPACE || wp == VK_RETURN || wp == VK_ESCAPE || wp == VK_F4;
    }
    return false;
}

// Sends or posts one message; false when the program stopped answering.
bool Deliver(HWND to, UINT msg, WPARAM wp, LPARAM lp, bool post) {
    g_recent.push_back({to, msg, wp, lp, post,
                        msg == WM_SETTEXT || msg == EM_REPLACESEL ? g_text : std::wstring(), g_index});
    if (g_recent.size() > (getenv("QF_FUZZ_LOG") ? 100000u : 40u)) g_recent.pop_front();
    if (post) {
        PostMessageW(to, msg, wp, lp);
        return true;
    }
    DWORD_PTR r = 0;
    if (SendMessageTimeoutW(to, msg, wp, lp, SMTO_ABORTIFHUNG, 1000, &r)) return true;
    // A message may start a modal loop that keeps it from returning (a
    // move, a menu): the program is still alive if it answers another.
    return Answers(3000);
}

bool Skipped() {
    static const char* only = getenv("QF_FUZZ_ONLY");
    return only && !strstr(only, ("," + std::to_string(g_index) + ",").c_str());
}

bool OneMessage() {
    HWND to = g_targets[Below(static_cast<unsigned>(g_targets.size()))];
    UINT msg = Message();
    WPARAM wp = static_cast<WPARAM>(Param());
    LPARAM lp = Param();
    if (msg == WM_SETTEXT || msg == EM_REPLACESEL) {
        MakeText();
        lp = reinterpret_cast<LPARAM>(g_text.c_str());
        if (Below(3) == 0) to = Below(2) ? g_number : g_answer;
    } else if (msg == WM_CHAR || msg == 0x109 || msg == WM_IME_CHAR) {
        MakeText();
        wp = g_text.empty() ? 0 : g_text[0];
        if (Below(2) == 0) to = Below(2) ? g_number : g_answer;
    } else if (Packed(msg)) {
        wp = static_cast<WPARAM>(Below(64));  // a count, often, of what lParam points to
        lp = Tame();
    }
    const bool post = Below(5) == 0;
    if (LeftOut(to, msg, wp, lp) || Skipped()) return true;
    return Deliver(to, msg, wp, lp, post);
}

// A query through the number box, as Enter runs it.
void Query() {
    DWORD_PTR r = 0;
    SendMessageTimeoutW(g_number, WM_KEYDOWN, VK_RETURN, 0x001C0001, SMTO_ABORTIFHUNG, 2000, &r);
    SendMessageTimeoutW(g_number, WM_KEYUP, VK_RETURN, 0xC01C0001, SMTO_ABORTIFHUNG, 2000, &r);
}

// ---- What is checked ----------------------------------------------------

bool LoneHalf(const std::wstring& t) {
    for (size_t i = 0; i < t.size(); ++i) {
        const wchar_t c = t[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= t.size() || t[i + 1] < 0xDC00 || t[i + 1] > 0xDFFF) return true;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return true;
        }
    }
    return false;
}

bool Control(const std::wstring& t) {
    for (wchar_t c : t)
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
    return false;
}

LRESULT Ask(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    DWORD_PTR r = 0;
    SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, 2000, &r);
    return static_cast<LRESULT>(r);
}

HFONT g_fonts[2];
LONG g_styles[2];
LRESULT g_limits[2];

// A box still shows its text, as it did, and takes typing: its style and
// limit as at the start, its text laid out across the whole box.
void CheckShown(HWND box, int which, const char* name) {
    RECT r = {}, client = {};
    Ask(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    GetClientRect(box, &client);
    std::string what;
    const LONG style = GetWindowLongW(box, GWL_STYLE);
    if (!(style & WS_VISIBLE)) what += " hidden";  // (its window may be in the tray)
    if (style != g_styles[which]) what += " style " + std::to_string(style) + " for " + std::to_string(g_styles[which]);
    if (Ask(box, EM_GETLIMITTEXT) != g_limits[which]) what += " limit " + std::to_string(Ask(box, EM_GETLIMITTEXT));
    if (Ask(box, EM_GETPASSWORDCHAR)) what += " masked";
    if (r.right - r.left < client.right - 16 || r.bottom - r.top < 10)
        what += " text rectangle " + std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) +
                " in " + std::to_string(client.right) + "x" + std::to_string(client.bottom);
    if (reinterpret_cast<HFONT>(Ask(box, WM_GETFONT)) != g_fonts[which]) what += " another font";
    if (!what.empty()) Fail((std::string("the ") + name + " box shows and takes text as it did").c_str(), what);
}

void CheckBoxes() {
    CheckShown(g_number, 0, "number");
    CheckShown(g_answer, 1, "answer");
    std::wstring number = TextOf(g_number, 4096), answer = TextOf(g_answer, 70000);
    if (number.size() > 8) Fail("the number box holds at most 8 characters", Escaped(number));
    if (Control(number)) Fail("the number box holds no control character", Escaped(number));
    if (LoneHalf(number)) Fail("the number box holds no lone half of a pair", Escaped(number));
    if (answer.size() > 1000)
        Fail("the answer box holds at most 1,000 characters", std::to_string(answer.size()));
    if (LoneHalf(answer)) Fail("the answer box holds no lone half of a pair", Escaped(answer.substr(0, 80)));
}

// Every line of the history file in records of three: "N.记录   ", the
// number (one to eight characters, no control character), 30 hyphens;
// the records numbered 0, 1, 2... in the order written.
void CheckHistory(const std::string& path, int& records) {
    records = 0;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return;  // nothing logged
    std::string bytes;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
    fclose(f);
    if (!bytes.empty() && bytes.compare(bytes.size() - 2, 2, "\r\n") != 0)
        Fail("the history ends with a line break");
    std::vector<std::string> lines;
    for (size_t at = 0; at < bytes.size();) {
        size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) end = bytes.size();
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    if (lines.size() % 3 != 0) Fail("the history holds whole records of three lines", std::to_string(lines.size()));
    const std::string hyphens(30, '-');
    for (size_t i = 0; i + 2 < lines.size(); i += 3, ++records) {
        const std::string header = std::to_string(records) + ".\xBC\xC7\xC2\xBC   ";
        const std::string& number = lines[i + 1];
        wchar_t wide[64] = {};
        int chars = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, number.c_str(),
                                        static_cast<int>(number.size()), wide, 64);
        bool control = false;
        for (char c : number) control |= static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        if (lines[i] != header || chars < 1 || chars > 8 || control || lines[i + 2] != hyphens) {
            Fail("a history record is well formed",
                 "record " + std::to_string(records) + ": " + Escaped(std::wstring(wide, chars > 0 ? chars : 0)));
            return;
        }
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) return 2;
    const std::wstring title = argv[1];
    g_title = title;
    const unsigned long seed = wcstoul(argv[2], nullptr, 10);
    const int count = _wtoi(argv[3]);
    char history[MAX_PATH * 3] = {};
    WideCharToMultiByte(CP_ACP, 0, argv[4], -1, history, sizeof history, nullptr, nullptr);
    printf("# seed %lu, %d messages\n", seed, count);
    fflush(stdout);
    g_rng.seed(seed);
    for (auto& b : g_junk) b = static_cast<unsigned char>(g_rng());
    g_junk[g_junk.size() - 1] = g_junk[g_junk.size() - 2] = 0;

    g_main = FindWindowW(L"QfForm", title.c_str());
    if (!g_main) return 2;
    GetWindowThreadProcessId(g_main, &g_pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, g_pid);
    FindTargets();
    for (HWND w : g_targets)
        if (ClassOf(w) == L"Edit")
            (GetWindowLongW(w, GWL_STYLE) & ES_MULTILINE ? g_answer : g_number) = w;
    if (!g_number || !g_answer) return 2;
    for (int b = 0; b < 2; ++b) {
        HWND box = b ? g_answer : g_number;
        g_fonts[b] = reinterpret_cast<HFONT>(Ask(box, WM_GETFONT));
        g_styles[b] = GetWindowLongW(box, GWL_STYLE);
        g_limits[b] = Ask(box, EM_GETLIMITTEXT);
    }

    const bool strict = argc > 5 && std::wstring(argv[5]) == L"strict";
    bool alive = true;
    int i = 0;
    for (; i < count && alive; ++i) {
        if (i % 100 == 0) FindTargets();
        g_index = i;
        alive = OneMessage();
        if (strict && alive) {
            alive = Answers(3000);
            Sleep(20);  // a posted message runs after the answer
            alive = alive && Answers(3000);
        }
        if (i % 40 == 39) {
            Query();
            alive = alive && Answers(3000);
        }
        if (alive && i % 200 == 199 && ErrorBoxUp()) {
            Fail("no error box", "after message " + std::to_string(i + 1));
            PrintRecent();
            return 1;
        }
    }
    printf("# %d messages delivered\n", i);
    if (!alive || !Answers(1000)) {
        Fail("the program answers within 1 s", "after message " + std::to_string(i));
        PrintRecent();
        return 1;
    }
    DWORD code = 0;
    if (!process || !GetExitCodeProcess(process, &code) || code != STILL_ACTIVE) Fail("the process is alive");
    if (ErrorBoxUp()) Fail("no error box");
    // A box at rest: a pair's first half stays only until the next message.
    for (HWND box : {g_number, g_answer}) Ask(box, EM_SCROLLCARET);
    CheckBoxes();
    // It still does its work: a number set from outside is queried and
    // answered, and typing reaches the number box.
    DWORD_PTR r = 0;
    SendMessageTimeoutW(g_number, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"65251234"), SMTO_ABORTIFHUNG, 2000, &r);
    Query();
    const std::wstring expected = L"你所查询电话号码的归属地是：\r\n电信东区： 凉城";
    const std::wstring answer = TextOf(g_answer, 2000);
    if (answer != expected) Fail("a query afterwards is answered", Escaped(answer.substr(0, 80)));
    SendMessageTimeoutW(g_number, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_ABORTIFHUNG, 2000, &r);
    SendMessageTimeoutW(g_number, WM_CHAR, L'5', 0x00060001, SMTO_ABORTIFHUNG, 2000, &r);
    const std::wstring typed = TextOf(g_number, 64);
    if (typed != L"5") {
        char style[64];
        snprintf(style, sizeof style, " (style 0x%08lX)", static_cast<unsigned long>(GetWindowLongW(g_number, GWL_STYLE)));
        Fail("a digit typed afterwards reaches the number box", Escaped(typed) + style);
    }
    // Any program may retitle a window; the test finds it by its title.
    SendMessageTimeoutW(g_main, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()), SMTO_ABORTIFHUNG, 2000, &r);
    int records = 0;
    CheckHistory(history, records);
    printf("# %d history records\n", records);
    if (g_failed) PrintRecent();
    printf("%s\n", g_failed ? "fuzz: failed" : "fuzz: every check holds");
    return g_failed ? 1 : 0;
}
