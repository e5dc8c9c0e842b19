#pragma once
#include <windows.h>

namespace mainwindow {
// The shell call behind the mail link; tests stand in for it here.
using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
extern ShellExecuteFn shellExecute;
}  // namespace mainwindow
