#pragma once
// The module APIStuff: the tray icon, the window hook that receives its
// notifications while the window is in the tray, and the topmost switch.
#include <windows.h>

#include <string>

#include "common/messages.h"
#include "host/controls.h"

namespace host {
class Form;
}

namespace APIStuff {

constexpr UINT TrayCallbackMessage = messages::kTrayCallback;
constexpr UINT TrayActionMessage = messages::kTrayAction;

// NOTIFYICONDATAA in its first, 88-byte form.
struct TrayRecord {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    char szTip[64];
};
static_assert(sizeof(TrayRecord) == 88, "the 88-byte tray record");

// The callback versions of NIM_SETVERSION (NOTIFYICON_VERSION and, for
// Vista and later, NOTIFYICON_VERSION_4, which XP's headers lack).
constexpr UINT kVersion2000 = 3;
constexpr UINT kVersionVista = 4;

extern host::Form* TrayForm;
// The window state to restore to (the form's LastState), as given.
extern const int* TrayLastState;
// What the form wants done once it is back from the tray, as given.
extern void (*TrayRestored)();
extern host::Menu* TrayMenu;
// The procedure the tray's hook replaced: the window's own.
WNDPROC PrevWndProc();
extern TrayRecord TrayIconData;

void InstallTray(host::Form& form, host::Menu& menu, const int* lastState = nullptr,
                 void (*restored)() = nullptr);
// What InstallTray keeps, without the icon: the form, the menu and the
// window's own procedure, hooked once and put back at once, so that a
// later RemoveTray is harmless at any time. The shell is not asked.
void PrimeTray(host::Form& form, host::Menu& menu, const int* lastState = nullptr,
               void (*restored)() = nullptr);
void SetTrayTip(const std::wstring& text);
void RemoveTray();
// The form goes: the tray lets go of it (icon, hook and every reference).
void ForgetTray(host::Form& form);
LRESULT CALLBACK TrayWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Brings the window back from the tray: normal state, visible, focused.
void RestoreFromTray();
// Whether the shell accepted the icon at the last InstallTray.
bool TrayIconShown();

void SetTopmost(host::Form& form, bool onTop);

// The shell's tray call; tests stand in for the shell here.
using ShellNotifyFn = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);
extern ShellNotifyFn shellNotify;

}  // namespace APIStuff
