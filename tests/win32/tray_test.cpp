// Tray residence: the icon record, the window hook, the menu, the faults.
#include <cstddef>
#include <cstdio>
#include <set>
#include <string>
#include <utility>

#include "host/system_library.h"
#include "notice/frmok.h"
#include "tests/win32/harness.h"
#include "tray/apistuff.h"
#include "tray/frmmenu.h"

using namespace testenv;

namespace {
struct ShellOp {
    DWORD op;
    APIStuff::TrayRecord rec;
    UINT version;  // of a NIM_SETVERSION in a record that has the field
};
std::vector<ShellOp> g_ops;
bool g_refuseAdd = false;
UINT g_newestVersion = 4;  // the newest callback version the shell offers
std::set<std::pair<HWND, UINT>> g_held;  // the icons the shell shows

bool g_shellWaits = false;

BOOL WINAPI FakeShell(DWORD op, PNOTIFYICONDATAA data) {
    const bool versioned = op == NIM_SETVERSION && data->cbSize >= NOTIFYICONDATAA_V2_SIZE;
    g_ops.push_back({op, *reinterpret_cast<APIStuff::TrayRecord*>(data), versioned ? data->uVersion : 0});
    if (g_shellWaits) {
        // The real call waits for the shell's process, and meanwhile this
        // thread handles the messages other threads send it.
        Sleep(0);
        MSG m;
        PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    // As the real shell: one icon per window and id; no second add, no
    // change or removal of an icon it does not hold.
    auto key = std::make_pair(data->hWnd, data->uID);
    bool held = g_held.count(key) != 0;
    switch (op) {
    case NIM_ADD:
        if (g_refuseAdd || held) return FALSE;
        g_held.insert(key);
        return TRUE;
    case NIM_DELETE:
        return g_held.erase(key) != 0;
    case NIM_SETVERSION:
        return held && data->cbSize >= NOTIFYICONDATAA_V2_SIZE && data->uVersion <= g_newestVersion;
    default:
        return held;
    }
}

LONG_PTR Proc(HWND h) { return GetWindowLongA(h, GWL_WNDPROC); }
LONG_PTR Tray() { return reinterpret_cast<LONG_PTR>(APIStuff::TrayWindowProc); }

struct TrayTest : FormsTest {
    Frmmain* f = nullptr;
    LONG_PTR own = 0;
    Override<APIStuff::ShellNotifyFn> shell{APIStuff::shellNotify, FakeShell};
    std::vector<ShellOp> startUp;  // what start-up asked of the shell
    void SetUp() override {
        g_ops.clear();
        g_held.clear();
        g_refuseAdd = false;
        g_shellWaits = false;
        g_newestVersion = 4;
        f = &OpenMain();
        own = GetWindowLongPtrW(f->hWnd(), GWLP_WNDPROC);
        startUp = g_ops;
        g_ops.clear();
    }
    void Callback(LPARAM what) {
        SendMessageW(f->hWnd(), APIStuff::TrayCallbackMessage, 0, what);
        Pump(0);
    }
    bool Hooked() { return Proc(f->hWnd()) == Tray(); }
    void Minimise() {
        LeftClick(f->Imgmin0);
        Pump(20);
    }
};
}  // namespace

TEST_F(TrayTest, StartUpPrimesTheModuleAndLeavesNoIconAndNoHook) {
    // Start-up and the first resize never ask the shell: an icon added and
    // deleted at once costs a round trip to its process and shows nothing.
    EXPECT_TRUE(startUp.empty());
    EXPECT_EQ(APIStuff::TrayForm, f);
    EXPECT_EQ(APIStuff::TrayMenu, &frmMenu::Instance().RightMenu);
    EXPECT_NE(APIStuff::PrevWndProc(), nullptr);
    EXPECT_FALSE(Hooked());
    EXPECT_TRUE(frmMenu::IsLoaded());
    EXPECT_FALSE(frmMenu::Instance().Visible());
}

TEST_F(TrayTest, RecordHasTheEightyEightByteLayoutAndTheAnsiTooltip) {
    REQUIRE_ACP_936();
    EXPECT_EQ(offsetof(APIStuff::TrayRecord, hWnd), 4u);
    EXPECT_EQ(offsetof(APIStuff::TrayRecord, uCallbackMessage), 16u);
    EXPECT_EQ(offsetof(APIStuff::TrayRecord, hIcon), 20u);
    EXPECT_EQ(offsetof(APIStuff::TrayRecord, szTip), 24u);
    Minimise();
    ASSERT_EQ(g_ops.size(), 3u);
    EXPECT_EQ(g_ops[0].op, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(g_ops[0].rec.cbSize, 88u);
    EXPECT_EQ(g_ops[0].rec.uFlags, 3u);
    // The keyboard's callbacks are asked for in the record that carries a
    // version, Vista's with the point of a keyboard's menu.
    EXPECT_EQ(g_ops[1].op, static_cast<DWORD>(NIM_SETVERSION));
    EXPECT_EQ(g_ops[1].rec.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
    EXPECT_EQ(g_ops[1].rec.hWnd, f->hWnd());
    EXPECT_EQ(g_ops[1].rec.uID, 0u);
    EXPECT_EQ(g_ops[1].version, 4u);
    EXPECT_EQ(g_ops[2].op, static_cast<DWORD>(NIM_MODIFY));
    const APIStuff::TrayRecord& r = g_ops[2].rec;
    EXPECT_EQ(r.cbSize, 88u);
    EXPECT_EQ(r.hWnd, f->hWnd());
    EXPECT_EQ(r.uID, 0u);
    EXPECT_EQ(r.uFlags, 4u);
    EXPECT_EQ(r.uCallbackMessage, 2025u);
    // The tray gets the image drawn for its size, not a large one to shrink.
    EXPECT_EQ(r.hIcon, f->SmallIcon());
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(r.hIcon, &info));
    BITMAP bm = {};
    GetObjectW(info.hbmColor, sizeof bm, &bm);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_EQ(bm.bmWidth, GetSystemMetrics(SM_CXSMICON));
    const std::string gbk = "\xC7\xE0\xB7\xE3\xC8\xED\xBC\xFE\xCF\xB5\xC1\xD0";  // 青枫软件系列
    std::string tip(r.szTip, 64);
    EXPECT_EQ(tip.substr(0, 12), gbk);
    EXPECT_EQ(tip[12], '\0');
    EXPECT_EQ(tip.substr(13), std::string(51, ' '));
    // A tip too long for the field is cut between two characters, before
    // its NUL: 31 of 40 (two bytes each), never a lead byte alone.
    APIStuff::SetTrayTip(std::wstring(40, L'\x9752'));  // 青
    std::string longTip(g_ops.back().rec.szTip, 64);
    std::string blue;
    for (int i = 0; i < 31; ++i) blue += "\xC7\xE0";
    EXPECT_EQ(longTip.substr(0, 62), blue);
    EXPECT_EQ(longTip[62], '\0');
}

TEST_F(TrayTest, MinimisingHidesIntoTheTrayAndLeftReleaseRestores) {
    Minimise();
    EXPECT_FALSE(f->Visible());
    EXPECT_EQ(f->WindowState(), 1);
    EXPECT_TRUE(Hooked());
    EXPECT_TRUE(APIStuff::TrayIconShown());
    g_ops.clear();
    Callback(WM_LBUTTONUP);
    EXPECT_TRUE(f->Visible());
    EXPECT_EQ(f->WindowState(), 0);
    EXPECT_FALSE(Hooked());
    EXPECT_EQ(GetWindowLongPtrW(f->hWnd(), GWLP_WNDPROC), own);
    ASSERT_FALSE(g_ops.empty());
    EXPECT_EQ(g_ops.back().op, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(GetActiveWindow(), f->hWnd());
    EXPECT_EQ(GetFocus(), f->Text1.hWnd());
}

TEST_F(TrayTest, OtherNotificationsReachTheWindowsOwnProcedure) {
    Minimise();
    for (LPARAM what : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN}) {
        long before = host::App::Stats().messages;
        Callback(what);
        EXPECT_EQ(host::App::Stats().messages, before + 1) << what;
        EXPECT_FALSE(f->Visible());
        EXPECT_TRUE(Hooked());
    }
    Callback(WM_LBUTTONUP);
    EXPECT_TRUE(f->Visible());
}

namespace {
// The tray menus opened, seen from inside their modal loop, where each
// opened; each is closed at once with nothing chosen, as by Esc.
std::vector<RECT> g_menus;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) {
    HWND m = FindWindowW(L"#32768", nullptr);
    if (!m || !IsWindowVisible(m) || GetWindowThreadProcessId(m, nullptr) != GetCurrentThreadId()) return;
    RECT r;
    GetWindowRect(m, &r);
    g_menus.push_back(r);
    EndMenu();
}
struct MenuWatch {
    UINT_PTR timer;
    POINT pointer;
    explicit MenuWatch(POINT at) {
        g_menus.clear();
        GetCursorPos(&pointer);
        SetCursorPos(at.x, at.y);
        timer = SetTimer(nullptr, 0, 10, CloseMenu);
    }
    ~MenuWatch() {
        KillTimer(nullptr, timer);
        SetCursorPos(pointer.x, pointer.y);
    }
};
// What the shell sends with version 4: the event with the icon's id above
// it, and a point (the pointer's, or the icon's for the keyboard).
void Shell(HWND w, UINT what, POINT at) {
    SendMessageW(w, APIStuff::TrayCallbackMessage, MAKEWPARAM(at.x, at.y), MAKELPARAM(what, 0));
}
int Count(DWORD op) {
    int n = 0;
    for (const auto& o : g_ops) n += o.op == op;
    return n;
}
}  // namespace

TEST_F(TrayTest, TheKeyboardsSelectRestoresAndItsMenuOpensAtTheIconOnce) {
    const POINT pointer = {400, 300}, icon = {600, 500};
    Minimise();
    Shell(f->hWnd(), NIN_KEYSELECT, icon);
    Pump(0);
    EXPECT_TRUE(f->Visible()) << "Enter or Space on the icon";
    EXPECT_EQ(GetFocus(), f->Text1.hWnd());
    Minimise();
    {
        MenuWatch watch(pointer);
        g_ops.clear();
        // A right click: the buttons, then the shell's context menu.
        for (UINT what : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU}) Shell(f->hWnd(), what, pointer);
        Pump(100);
        ASSERT_EQ(g_menus.size(), 1u) << "one right click, one menu";
        EXPECT_EQ(g_menus[0].left, pointer.x);
        EXPECT_EQ(g_menus[0].top, pointer.y);
        EXPECT_EQ(Count(NIM_SETFOCUS), 0) << "the mouse's menu leaves the keys where they are";
        // The menu key: the context menu alone, at the icon.
        Shell(f->hWnd(), WM_CONTEXTMENU, icon);
        Pump(100);
        ASSERT_EQ(g_menus.size(), 2u);
        EXPECT_EQ(g_menus[1].left, icon.x);
        EXPECT_EQ(g_menus[1].top, icon.y);
        EXPECT_EQ(Count(NIM_SETFOCUS), 1) << "closed by Esc, the keys go back to the tray";
    }
    EXPECT_FALSE(f->Visible());
    Callback(WM_LBUTTONUP);
    EXPECT_TRUE(f->Visible());
}

TEST_F(TrayTest, AnOlderShellGetsTheVersionItKnowsAndTheMouseAlwaysWorks) {
    const POINT pointer = {400, 300};
    g_newestVersion = 3;  // Windows 2000 and XP
    Minimise();
    ASSERT_EQ(Count(NIM_SETVERSION), 2);
    EXPECT_EQ(g_ops[1].version, 4u);
    EXPECT_EQ(g_ops[2].version, 3u);
    {
        // Version 3 sends the icon's id in wParam, no point: the keyboard's
        // menu opens at the pointer.
        MenuWatch watch(pointer);
        SendMessageW(f->hWnd(), APIStuff::TrayCallbackMessage, 0, WM_CONTEXTMENU);
        Pump(100);
        ASSERT_EQ(g_menus.size(), 1u);
        EXPECT_EQ(g_menus[0].left, pointer.x);
        EXPECT_EQ(g_menus[0].top, pointer.y);
    }
    Callback(NIN_KEYSELECT);
    EXPECT_TRUE(f->Visible());
    g_newestVersion = 0;  // a shell before Windows 2000: the buttons alone
    Minimise();
    {
        MenuWatch watch(pointer);
        Callback(WM_RBUTTONUP);
        Pump(100);
        EXPECT_EQ(g_menus.size(), 1u);
    }
    Callback(WM_LBUTTONUP);
    EXPECT_TRUE(f->Visible());
}

namespace {
WNDPROC g_beforeStranger = nullptr;
LRESULT CALLBACK Stranger(HWND h, UINT m, WPARAM w, LPARAM l) {
    return CallWindowProcA(g_beforeStranger, h, m, w, l);
}
}  // namespace

TEST_F(TrayTest, InstallAndRemoveNeverHookTwiceNorUnhookAStranger) {
    frmMenu& m = frmMenu::Instance();
    APIStuff::InstallTray(*f, m.RightMenu);
    EXPECT_TRUE(Hooked());
    WNDPROC saved = APIStuff::PrevWndProc();
    APIStuff::InstallTray(*f, m.RightMenu);
    EXPECT_EQ(APIStuff::PrevWndProc(), saved) << "our own procedure is never saved as the old one";
    APIStuff::RemoveTray();
    EXPECT_EQ(GetWindowLongPtrW(f->hWnd(), GWLP_WNDPROC), own);
    APIStuff::RemoveTray();
    EXPECT_EQ(GetWindowLongPtrW(f->hWnd(), GWLP_WNDPROC), own);
    EXPECT_TRUE(IsWindowUnicode(f->hWnd()));

    // Another program's hook on top of ours is left in place.
    APIStuff::InstallTray(*f, m.RightMenu);
    g_beforeStranger = reinterpret_cast<WNDPROC>(
        SetWindowLongA(f->hWnd(), GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Stranger)));
    APIStuff::RemoveTray();
    EXPECT_EQ(Proc(f->hWnd()), reinterpret_cast<LONG_PTR>(Stranger));
    SetWindowLongA(f->hWnd(), GWL_WNDPROC, reinterpret_cast<LONG_PTR>(g_beforeStranger));
    APIStuff::RemoveTray();
    EXPECT_EQ(GetWindowLongPtrW(f->hWnd(), GWLP_WNDPROC), own);
}

// Another program subclasses the window and takes its procedure away
// again, carelessly (putting back what it found), in any order with the
// trips to the tray: a left click on the icon still brings the window back.
TEST_F(TrayTest, AForeignSubclassComingAndGoingInAnyOrderLeavesTheTrayWorking) {
    enum Step { kOn, kOff, kMinimise, kClick, kWake };
    const std::vector<std::vector<Step>> orders = {
        {kOn, kMinimise, kOff, kWake},            // ours goes with it
        {kMinimise, kOn, kClick, kOff},           // it puts ours back, out of the tray
        {kOn, kMinimise, kClick, kOff},
        {kMinimise, kOn, kOff, kClick},
        {kMinimise, kOn, kClick, kMinimise, kClick, kOff},  // ours under it, minimised again
        {kOn, kMinimise, kClick, kMinimise, kOff, kWake},
    };
    for (size_t i = 0; i < orders.size(); ++i) {
        for (Step step : orders[i]) {
            switch (step) {
            case kOn:
                g_beforeStranger = reinterpret_cast<WNDPROC>(
                    SetWindowLongA(f->hWnd(), GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Stranger)));
                break;
            case kOff:
                SetWindowLongA(f->hWnd(), GWL_WNDPROC, reinterpret_cast<LONG_PTR>(g_beforeStranger));
                break;
            case kMinimise: Minimise(); break;
            case kClick: Callback(WM_LBUTTONUP); break;
            case kWake:  // a second start brings it back, whatever the tray does
                PostMessageW(f->hWnd(), host::Form::WakeMessage(), 0, 0);
                Pump(20);
                break;
            }
        }
        ASSERT_TRUE(f->Visible()) << "order " << i;
        Minimise();
        ASSERT_FALSE(f->Visible()) << "order " << i;
        Callback(WM_LBUTTONUP);
        EXPECT_TRUE(f->Visible()) << "order " << i << ": the icon's click reaches the tray";
        EXPECT_NE(APIStuff::PrevWndProc(), APIStuff::TrayWindowProc) << "order " << i;
    }
    EXPECT_EQ(GetWindowLongPtrW(f->hWnd(), GWLP_WNDPROC), own);
}

TEST_F(TrayTest, MenuHasItsThreeItemsAndSeparator) {
    const auto& items = frmMenu::Instance().RightMenu.Items();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0]->caption, L"恢复(&R)");
    EXPECT_EQ(items[1]->caption, L"-");
    EXPECT_EQ(items[2]->caption, L"关于(&A)");
    EXPECT_EQ(items[3]->caption, L"退出(&X)");
}

// About opens a message box and leaves the window in the tray: the tray's
// end-to-end script chooses it and reads the box.
TEST_F(TrayTest, ResumeRestores) {
    Minimise();
    EXPECT_FALSE(f->Visible());
    EXPECT_TRUE(Hooked());
    frmMenu::Instance().mnuResume_Click();
    Pump(0);
    EXPECT_TRUE(f->Visible());
    EXPECT_EQ(f->WindowState(), 0);
    EXPECT_FALSE(Hooked());
}

TEST_F(TrayTest, ExitRemovesTheIconAndTheHookBeforeUnloading) {
    Minimise();
    HWND h = f->hWnd();
    g_ops.clear();
    frmMenu::Instance().mnuExit_Click();
    Pump(0);
    ASSERT_FALSE(g_ops.empty());
    EXPECT_EQ(g_ops.front().op, static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(Frmmain::IsLoaded());
    EXPECT_FALSE(frmMenu::IsLoaded());
    EXPECT_EQ(host::App::LoadedFormCount(), 0);
    // Nothing of the tray points at the window that is gone.
    EXPECT_EQ(APIStuff::TrayForm, nullptr);
    EXPECT_EQ(APIStuff::TrayLastState, nullptr);
}

TEST_F(TrayTest, ExitWithANoticeOpenKeepsTheProgramAlive) {
    f->Text1.SetText(L"");
    f->Imgok0_Click();
    Minimise();
    frmMenu::Instance().mnuExit_Click();
    Pump(0);
    EXPECT_FALSE(Frmmain::IsLoaded());
    EXPECT_TRUE(frmok::IsLoaded());
    EXPECT_TRUE(frmok::Instance().Visible());
    EXPECT_EQ(host::App::LoadedFormCount(), 1);
}

TEST_F(TrayTest, AnOpenNoticeStandsInFrontOfTheWindowBackFromTheTray) {
    f->Text1.SetText(L"");
    f->Imgok0_Click();
    for (int how = 0; how < 2; ++how) {
        Minimise();
        ASSERT_FALSE(f->Visible());
        // Made anew on its own: no owner a window manager could remember.
        HWND alone = frmok::Instance().hWnd();
        EXPECT_EQ(GetWindow(alone, GW_OWNER), nullptr);
        EXPECT_TRUE(IsWindowVisible(alone));
        if (how == 0)
            Callback(WM_LBUTTONUP);
        else
            frmMenu::Instance().mnuResume_Click();
        Pump(20);
        EXPECT_TRUE(f->Visible());
        HWND notice = frmok::Instance().hWnd();
        EXPECT_EQ(GetWindow(notice, GW_OWNER), f->hWnd()) << (how ? "resume" : "left button");
        EXPECT_TRUE(Above(notice, f->hWnd())) << (how ? "resume" : "left button");
        EXPECT_EQ(GetFocus(), notice) << "it still waits for an answer";
    }
}

// Wine's own tray window, shown as the icon comes, may take the activation
// a moment after the notice was given it: the notice takes it back; from
// another program's window, or on the way to one (no window), never.
TEST_F(TrayTest, ANoticeLeftAloneTakesTheKeysBackFromWinesTrayOnly) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"__winex11_standalone_tray";
    RegisterClassW(&wc);
    wc.lpszClassName = L"QfOtherProgram";
    RegisterClassW(&wc);
    f->Text1.SetText(L"");
    f->Imgok0_Click();
    struct Case {
        const wchar_t* cls;  // nullptr: the activation goes to no window
        bool back;
    } cases[] = {{L"__winex11_standalone_tray", true}, {nullptr, false}, {L"QfOtherProgram", false}};
    for (const Case& c : cases) {
        Minimise();
        HWND alone = frmok::Instance().hWnd();
        ASSERT_EQ(GetForegroundWindow(), alone);
        HWND other = c.cls ? CreateWindowExW(0, c.cls, L"", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr,
                                             nullptr, wc.hInstance, nullptr)
                           : nullptr;
        if (other)
            SetForegroundWindow(other);
        else
            SetActiveWindow(nullptr);
        Pump(20);
        EXPECT_EQ(GetForegroundWindow(), c.back ? alone : other) << (c.cls ? "to a window" : "to none");
        if (other) DestroyWindow(other);
        frmMenu::Instance().mnuResume_Click();
        Pump(20);
    }
}

TEST_F(TrayTest, ASecondStartBringsTheWindowBackFromTheTrayReadyForANumber) {
    SetFocus(f->Text2.hWnd());
    Minimise();
    ASSERT_FALSE(f->Visible());
    PostMessageW(f->hWnd(), host::Form::WakeMessage(), 0, 0);
    Pump(20);
    EXPECT_TRUE(f->Visible());
    EXPECT_EQ(f->WindowState(), 0);
    EXPECT_TRUE(g_held.empty()) << "the icon goes with the window's return";
    EXPECT_FALSE(Hooked());
    EXPECT_EQ(GetFocus(), f->Text1.hWnd());
    // A window of a copy of another file hears another number, and stays.
    Minimise();
    PostMessageW(f->hWnd(), RegisterWindowMessageW(L"QfExchangeLookup-00000000-Wake"), 0, 0);
    Pump(20);
    EXPECT_FALSE(f->Visible());
}

namespace {
std::vector<std::wstring> g_loaded;
HMODULE WINAPI RecordLoad(LPCWSTR path, HANDLE file, DWORD flags) {
    g_loaded.push_back(path);
    return LoadLibraryExW(path, file, flags);
}
}  // namespace

TEST_F(TrayTest, TheShellsLibraryIsLoadedFromTheSystemFolderByItsFullPath) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    g_loaded.clear();
    {
        Override<host::LoadLibraryFn> loader(host::loadLibrary, RecordLoad);
        Minimise();
    }
    ASSERT_EQ(g_loaded.size(), 1u) << "the tray loads shell32 once, through the system loader";
    EXPECT_EQ(g_loaded[0], std::wstring(system) + L"\\shell32.dll");
}

TEST_F(TrayTest, ARefusedIconLeavesTheWindowMinimisedOnTheTaskbar) {
    g_refuseAdd = true;
    Minimise();
    EXPECT_EQ(f->WindowState(), 1);
    EXPECT_TRUE(f->Visible()) << "never hidden without an icon to bring it back";
    EXPECT_FALSE(Hooked());
    g_refuseAdd = false;
    f->SetWindowState(0);
    Pump(0);
    EXPECT_TRUE(f->Visible());
    EXPECT_EQ(f->WindowState(), 0);
    Minimise();  // and the tray works again afterwards
    EXPECT_FALSE(f->Visible());
    EXPECT_TRUE(Hooked());
}

TEST_F(TrayTest, AShellRestartPutsTheIconBackWithItsTooltip) {
    Minimise();
    g_held.clear();  // the new shell shows nothing
    g_ops.clear();
    SendMessageW(f->hWnd(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_EQ(g_ops.size(), 2u);
    EXPECT_EQ(g_ops[0].op, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(g_ops[1].op, static_cast<DWORD>(NIM_SETVERSION)) << "a new icon, a new version";
    EXPECT_EQ(g_ops[1].version, 4u);
    EXPECT_EQ(g_ops[0].rec.uFlags, 7u);
    EXPECT_EQ(std::string(g_ops[0].rec.szTip, 12),
              std::string("\xC7\xE0\xB7\xE3\xC8\xED\xBC\xFE\xCF\xB5\xC1\xD0"));
    EXPECT_FALSE(f->Visible());
    Callback(WM_LBUTTONUP);
    EXPECT_TRUE(g_held.empty()) << "the icon put back goes with the restore";
}

TEST_F(TrayTest, BroadcastsWhileTheIconIsThereKeepTheTrayWorking) {
    // Any program may broadcast it while the shell still shows the icon.
    const UINT created = RegisterWindowMessageW(L"TaskbarCreated");
    for (int round = 0; round < 3; ++round) {
        Minimise();
        ASSERT_FALSE(f->Visible());
        for (int i = 0; i < 3; ++i) SendMessageW(f->hWnd(), created, 0, 0);
        EXPECT_EQ(g_held.size(), 1u);
        Callback(WM_LBUTTONUP);
        EXPECT_TRUE(f->Visible());
        EXPECT_EQ(f->WindowState(), 0);
        EXPECT_TRUE(g_held.empty()) << "no dead icon after round " << round;
        EXPECT_FALSE(Hooked());
    }
}

TEST_F(TrayTest, TwoHundredCyclesLeaveOneWindowNoIconAndNoLeak) {
    Minimise();
    Callback(WM_LBUTTONUP);
    long objects = host::OwnedObjectCount();
    int adds = 0, deletes = 0;
    g_ops.clear();
    for (int i = 0; i < 200; ++i) {
        f->SetWindowState(1);
        Pump(0);
        ASSERT_FALSE(f->Visible()) << i;
        Callback(WM_LBUTTONUP);
        ASSERT_TRUE(f->Visible()) << i;
    }
    for (const auto& op : g_ops) {
        adds += op.op == NIM_ADD;
        deletes += op.op == NIM_DELETE;
    }
    EXPECT_EQ(adds, 200);
    EXPECT_EQ(deletes, 200);
    EXPECT_EQ(g_ops.back().op, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(GetWindowLongPtrW(f->hWnd(), GWLP_WNDPROC), own);
    EXPECT_EQ(host::OwnedObjectCount(), objects);
    int windows = CountVisibleWindows(L"青枫软件系列");
    EXPECT_EQ(windows, 1);
}

TEST_F(TrayTest, RestoringFromTheTrayGivesTheNormalStateAfterAMaximise) {
    SendMessageW(f->hWnd(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Pump(20);
    ASSERT_EQ(f->WindowState(), 2);
    Minimise();
    ASSERT_FALSE(f->Visible());
    Callback(WM_LBUTTONUP);
    EXPECT_EQ(f->WindowState(), 0);
    EXPECT_FALSE(IsZoomed(f->hWnd()));
    RECT r;
    GetWindowRect(f->hWnd(), &r);
    EXPECT_EQ(r.right - r.left, 359);
    EXPECT_EQ(f->LastState, 0);
    // The menu's resume does the same.
    SendMessageW(f->hWnd(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Minimise();
    frmMenu::Instance().mnuResume_Click();
    Pump(0);
    EXPECT_EQ(f->WindowState(), 0);
    EXPECT_TRUE(f->Visible());
}

TEST_F(TrayTest, TheHiddenMenuFormIgnoresACloseFromOutside) {
    Minimise();
    HWND menuForm = frmMenu::Instance().hWnd();
    SendMessageW(menuForm, WM_CLOSE, 0, 0);
    PostMessageW(menuForm, WM_CLOSE, 0, 0);
    Pump(0);
    EXPECT_TRUE(frmMenu::IsLoaded());
    EXPECT_TRUE(IsWindow(menuForm));
    EXPECT_EQ(APIStuff::TrayMenu, &frmMenu::Instance().RightMenu);
    Callback(WM_LBUTTONUP);
    EXPECT_TRUE(f->Visible());
}

TEST_F(TrayTest, TheTrayNeverUsesTheMenuOfAnUnloadedForm) {
    Minimise();
    frmMenu::Unload();
    Pump(0);
    EXPECT_EQ(APIStuff::TrayMenu, nullptr);
    Callback(WM_RBUTTONUP);  // opens nothing, touches nothing freed
    EXPECT_FALSE(f->Visible());
    Callback(WM_LBUTTONUP);
    EXPECT_TRUE(f->Visible());
    Minimise();  // a new menu form serves the next round
    EXPECT_EQ(APIStuff::TrayMenu, &frmMenu::Instance().RightMenu);
}

namespace {
// The shell's side of the soak: clicks on the icon sent from another
// thread, as the shell sends them, mixed with the menu's resume, which
// runs from this thread's message loop as a chosen menu item does.
struct ShellThread {
    HWND target = nullptr;
    HWND menuStandIn = nullptr;
    HANDLE thread = nullptr;
    volatile LONG stop = 0;
    volatile LONG clicks = 0;
    static DWORD WINAPI Run(void* p) {
        auto* self = static_cast<ShellThread*>(p);
        unsigned n = 0;
        while (!self->stop) {
            if (++n % 3 == 0)
                PostMessageW(self->menuStandIn, WM_APP, 0, 0);
            else
                SendMessageW(self->target, APIStuff::TrayCallbackMessage, 0, WM_LBUTTONUP);
            InterlockedIncrement(&self->clicks);
            if (n % 7 == 0) Sleep(0);
        }
        return 0;
    }
    static LRESULT CALLBACK MenuProc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_APP && frmMenu::IsLoaded()) {
            frmMenu::Instance().mnuResume.Click();
            return 0;
        }
        return DefWindowProcW(h, m, w, l);
    }
};

// The tray states a user can get out of.
std::string TrayState(Frmmain& f, LONG_PTR tray) {
    bool visible = f.Visible(), iconic = f.WindowState() == 1;
    bool hooked = GetWindowLongA(f.hWnd(), GWL_WNDPROC) == tray;
    bool icon = APIStuff::TrayIconShown();
    if (visible && !iconic && !hooked && !icon) return "restored";
    if (!visible && iconic && hooked && icon) return "in the tray";
    return "stuck: visible=" + std::to_string(visible) + " iconic=" + std::to_string(iconic) +
           " hooked=" + std::to_string(hooked) + " icon=" + std::to_string(icon);
}
}  // namespace

TEST_F(TrayTest, FullSpeedMinimiseAndMixedRestoresNeverGetStuck) {
    g_shellWaits = true;
    ShellThread shell;
    shell.target = f->hWnd();
    shell.menuStandIn = CreateWindowW(L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      nullptr, nullptr);
    SetWindowLongPtrW(shell.menuStandIn, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(ShellThread::MenuProc));
    int resumed = 0;
    frmMenu& menu = frmMenu::Instance();
    menu.mnuResume.Click = [&] {
        ++resumed;
        menu.mnuResume_Click();
    };
    int minimised = 0;
    // Enough rounds, however fast this machine takes them: the shell's
    // flood of clicks can leave the loop few turns on a busy machine.
    DWORD end = GetTickCount() + 30000;
    shell.thread = CreateThread(nullptr, 0, ShellThread::Run, &shell, 0, nullptr);
    std::string state;
    while (minimised <= 60 && static_cast<LONG>(end - GetTickCount()) > 0) {
        if (f->WindowState() == 0) {
            f->SetWindowState(1);
            ++minimised;
        }
        Pump(0);
        state = TrayState(*f, Tray());
        if (state.rfind("stuck", 0) == 0) break;
    }
    InterlockedExchange(&shell.stop, 1);
    while (WaitForSingleObject(shell.thread, 10) == WAIT_TIMEOUT) Pump(0);
    CloseHandle(shell.thread);
    Pump(50);
    DestroyWindow(shell.menuStandIn);
    EXPECT_NE(state.rfind("stuck", 0), 0u) << state;
    EXPECT_GT(minimised, 30);
    EXPECT_GT(shell.clicks, 200);
    // Whatever the last step was, one click brings the window back.
    if (!f->Visible()) Callback(WM_LBUTTONUP);
    EXPECT_EQ(TrayState(*f, Tray()), "restored");
    EXPECT_GT(resumed, 30) << "the menu's resume took part";
    std::printf("soak: %d minimises, %ld clicks on the icon, %d resumes from the menu\n",
                minimised, static_cast<long>(shell.clicks), resumed);
}
