#pragma once
// Every private window message and timer id of the program, in one place,
// so that no two of them ever share a number.
#include <windows.h>

namespace messages {

// The tray icon's callback message, as the shell knows it (a fixed number).
constexpr UINT kTrayCallback = 2025;
// A click on the tray icon, acted on when the message loop reaches it.
constexpr UINT kTrayAction = WM_APP + 25;
// A press by a screen reader, run from the loop as a click is; wParam is
// the control's id.
constexpr UINT kAccessiblePress = WM_USER + 0x100;
// A form that has just come to stand alone looks whether the activation it
// lost went where the user did not send it (see Form::WndProc).
constexpr UINT kKeysBack = WM_USER + 0x101;
// Another start of the program was answered: the form comes forward when
// the loop reaches this.
constexpr UINT kComeForward = WM_USER + 0x102;


// Timers of a form window: the one-shot idle work after the first paint,
// then the form's own timers, one id each from kFormTimerBase on.
constexpr UINT_PTR kIdleWorkTimer = 99;
// The window took the keys for a windowless control: screen readers hear
// of it once the activation is done.
constexpr UINT_PTR kFocusEventTimer = 98;
constexpr UINT_PTR kFormTimerBase = 100;

// Registered messages, by name: the shell's restart, and another start of
// the same executable (the name ends with the instance's own key).
constexpr const wchar_t* kTaskbarCreated = L"TaskbarCreated";
constexpr const wchar_t* kWakeSuffix = L"-Wake";
// What a running copy answers to it, before it comes forward.
constexpr LRESULT kWakeAnswer = 0x4A4C54;
// Sent down a window's chain of procedures: does it still reach our hook?
constexpr const wchar_t* kHookProbe = L"QfWindowHookProbe";

}  // namespace messages
