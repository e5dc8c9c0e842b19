#include "tray/apistuff.h"

#include <shellapi.h>

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

BOOL Notify(DWORD op) {
    return shellNotify(op, reinterpret_cast<PNOTIFYICONDATAA>(&TrayIconData));
}

// Adds the icon; the shell refuses to add one it holds already (after a
// "TaskbarCreated" that any program may broadcast), and then takes the
// record as a change. Either way the record says what the shell shows.
void AddIcon() {
    g_iconShown = Notify(NIM_ADD) != FALSE || Notify(NIM_MODIFY) != FALSE;
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
            if (msg == TrayCallbackMessage && (lp == WM_LBUTTONUP || lp == WM_RBUTTONUP)) {
                // The shell's message is sent, and is handled wherever this
                // thread waits, in the middle of a minimise or a restore
                // too. Act from the message loop instead, one step after
                // the other.
                PostMessageA(hwnd, TrayActionMessage, 0, lp);
                return 0;
            }
            if (msg == TrayActionMessage && lp == WM_LBUTTONUP) {
                RestoreFromTray();
                return 0;  // the hook may be gone by now: touch nothing more
            }
            if (msg == TrayActionMessage && lp == WM_RBUTTONUP) {
                if (TrayForm && TrayMenu) TrayForm->PopupMenu(*TrayMenu);
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
