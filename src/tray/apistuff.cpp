#include "tray/apistuff.h"

#include <shellapi.h>

#include <initializer_list>

#include "host/error.h"
#include "host/text_services.h"
#include "host/form.h"
#include "host/system_library.h"
#include "host/window_hook.h"
#include "tray/tray_tip.h"

namespace APIStuff {

host::Form* TrayForm = nullptr;
const int* TrayLastState = nullptr;
void (*TrayRestored)() = nullptr;
host::Menu* TrayMenu = nullptr;
TrayRecord TrayIconData = {};
namespace {
// The tray's record and its callback are ANSI: so is its hook.
host::WindowHook g_hook(host::WindowHook::Charset::kAnsi);
// The shell's library is held from the icon's installing to its removal
// (each call takes it, cheaply while it is held); after that it is let go:
// the icon lives in the shell's own process, and a program that is not in
// the tray need not keep shell32 and the libraries it brings in memory.
HMODULE g_shell = nullptr;

BOOL WINAPI NotifyThroughShell(DWORD op, PNOTIFYICONDATAA data) {
    host::BorrowedFunction<decltype(&::Shell_NotifyIconA)> notify(L"shell32.dll", "Shell_NotifyIconA");
    return notify ? notify.get()(op, data) : FALSE;
}
}  // namespace

ShellNotifyFn shellNotify = NotifyThroughShell;

namespace {
bool g_iconShown = false;
// The callbacks the shell agreed to send (NIM_SETVERSION): 0 the mouse's
// alone; from 3 (Windows 2000) the keyboard's select and context menu
// too; 4 (Vista) with the point of a keyboard's menu in wParam.
UINT g_version = 0;
// The right button's release has opened the menu; the context menu the
// shell sends right after it is the same click's.
bool g_menuFromButton = false;

BOOL Notify(DWORD op) {
    return shellNotify(op, reinterpret_cast<PNOTIFYICONDATAA>(&TrayIconData));
}

// Asks for the newest callbacks the system has; the shell keeps them for
// this icon until it is deleted. The request needs the larger record that
// Windows 2000 reads: the version lies past the first 88 bytes.
void SetVersion() {
    NOTIFYICONDATAA v = {};
    v.cbSize = NOTIFYICONDATAA_V2_SIZE;
    v.hWnd = TrayIconData.hWnd;
    v.uID = TrayIconData.uID;
    // Version 4 is Vista's: XP is not asked for what it never offered.
    const bool vista = LOBYTE(LOWORD(GetVersion())) >= 6;
    g_version = 0;
    for (UINT version : {kVersionVista, kVersion2000}) {
        if (version == kVersionVista && !vista) continue;
        v.uVersion = version;
        if (shellNotify(NIM_SETVERSION, &v)) {
            g_version = version;
            return;
        }
    }
}

// Adds the icon; the shell refuses to add one it holds already (after a
// "TaskbarCreated" that any program may broadcast), and then takes the
// record as a change. Either way the record says what the shell shows.
void AddIcon() {
    g_iconShown = Notify(NIM_ADD) != FALSE || Notify(NIM_MODIFY) != FALSE;
    g_menuFromButton = false;
    if (g_iconShown) SetVersion();
}

UINT TaskbarCreated() {
    static const UINT msg = RegisterWindowMessageW(messages::kTaskbarCreated);
    return msg;
}
}  // namespace

namespace {
void Hook(host::Form& form, host::Menu& menu, const int* lastState, void (*restored)()) {
    TrayForm = &form;
    TrayLastState = lastState;
    TrayRestored = restored;
    TrayMenu = &menu;
    g_hook.Install(form.hWnd(), TrayWindowProc);  // once: never its own previous
}
}  // namespace

void PrimeTray(host::Form& form, host::Menu& menu, const int* lastState, void (*restored)()) {
    // An icon added and deleted at once shows nothing, but costs a round
    // trip to the shell's process (two seconds where no window manager
    // runs) and loads the shell's library before the window is up.
    Hook(form, menu, lastState, restored);
    RemoveTray();
}

void InstallTray(host::Form& form, host::Menu& menu, const int* lastState, void (*restored)()) {
    Hook(form, menu, lastState, restored);
    HWND h = form.hWnd();
    TrayIconData.uID = 0;
    TrayIconData.cbSize = sizeof(TrayRecord);
    TrayIconData.hWnd = h;
    TrayIconData.hIcon = form.SmallIcon();  // drawn for the tray's size
    TrayIconData.uCallbackMessage = TrayCallbackMessage;
    TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON;
    if (!g_shell) g_shell = host::LoadSystemLibrary(L"shell32.dll");
    AddIcon();
}

WNDPROC PrevWndProc() { return g_hook.Previous(); }

void SetTrayTip(const std::wstring& text) {
    // The text and its NUL fit the 64 bytes whole: a cut inside a character
    // would leave half of it before the NUL.
    std::wstring fit = text;
    while (!fit.empty() && host::ToAnsi(fit).size() >= tray::kTipChars) fit.pop_back();
    std::string field = tray::TipField(host::ToAnsi(tray::PaddedTip(fit)));
    memcpy(TrayIconData.szTip, field.data(), sizeof TrayIconData.szTip);
    TrayIconData.uFlags = NIF_TIP;
    Notify(NIM_MODIFY);
}

void RemoveTray() {
    TrayIconData.uFlags = 0;
    // Only an icon that is there is taken away: removing none would load
    // the shell's library for nothing, as every restore to the normal
    // state would (and the first one comes right after start-up).
    if (g_iconShown) Notify(NIM_DELETE);
    g_iconShown = false;
    if (g_shell) FreeLibrary(g_shell);
    g_shell = nullptr;
    // The old procedure goes back only while ours is the one in place.
    g_hook.Remove();
}

void ForgetTray(host::Form& form) {
    if (TrayForm != &form) return;
    RemoveTray();
    TrayForm = nullptr;
    TrayLastState = nullptr;
    TrayRestored = nullptr;
}

bool TrayIconShown() { return g_iconShown; }

void RestoreFromTray() {
    if (!TrayForm) return;
    host::Form& form = *TrayForm;
    if (form.WindowState() == host::kMinimised)
        form.SetWindowState(TrayLastState ? *TrayLastState : host::kNormal);
    form.SetVisible(true);
    form.SetFocus();
    if (TrayRestored) TrayRestored();
}

LRESULT CALLBACK TrayWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (host::Failed()) return g_hook.CallPrevious(hwnd, msg, wp, lp);
    return host::GuardOr(
        LRESULT(0), [&]() -> LRESULT {
            if (msg == TrayCallbackMessage) {
                // From version 4 on the icon's id rides above the event.
                const UINT what = LOWORD(lp);
                // A left click and the keyboard's select (Enter, Space)
                // restore; the select the shell adds after a left click
                // is the same click's. A right click opens the menu at
                // the pointer, the keyboard's context menu (the menu key,
                // Shift+F10) at the icon.
                if (what == WM_RBUTTONUP) g_menuFromButton = true;
                if (what == WM_CONTEXTMENU && g_menuFromButton) {
                    g_menuFromButton = false;
                    return 0;
                }
                if (what == WM_LBUTTONUP || what == WM_RBUTTONUP ||
                    (g_version && (what == NIN_KEYSELECT || what == WM_CONTEXTMENU))) {
                    // The shell's message is sent, and is handled wherever
                    // this thread waits, in the middle of a minimise or a
                    // restore too. Act from the message loop instead, one
                    // step after the other.
                    PostMessageA(hwnd, TrayActionMessage, wp, what);
                    return 0;
                }
            }
            if (msg == TrayActionMessage && (lp == WM_LBUTTONUP || lp == NIN_KEYSELECT)) {
                RestoreFromTray();
                return 0;  // the hook may be gone by now: touch nothing more
            }
            if (msg == TrayActionMessage && (lp == WM_RBUTTONUP || lp == WM_CONTEXTMENU)) {
                if (!TrayForm || !TrayMenu) return 0;
                // Version 3 names no point: the keyboard's menu opens at
                // the pointer there, as the mouse's does.
                const bool keyboard = lp == WM_CONTEXTMENU;
                POINT icon = {static_cast<short>(LOWORD(wp)), static_cast<short>(HIWORD(wp))};
                const bool chosen =
                    TrayForm->PopupMenu(*TrayMenu, keyboard && g_version >= kVersionVista ? &icon : nullptr);
                // Closed with Esc, the keys go back to the icon they came
                // from, as the shell asks; a click elsewhere keeps them.
                if (keyboard && !chosen && g_iconShown && GetForegroundWindow() == hwnd)
                    Notify(NIM_SETFOCUS);
                return 0;
            }
            if (msg == TaskbarCreated() && TrayForm) {
                // The shell restarted: put the icon back with its tooltip.
                TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
                AddIcon();
            }
            return g_hook.CallPrevious(hwnd, msg, wp, lp);
        });
}

void SetTopmost(host::Form& form, bool onTop) {
    SetWindowPos(form.hWnd(), onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE);
}

}  // namespace APIStuff
