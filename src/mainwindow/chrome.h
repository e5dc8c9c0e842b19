#pragma once
#include <windows.h>

namespace mainwindow {
// The shell call behind the mail link; tests put a recorder here.
using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
extern ShellExecuteFn shellExecute;
}  // namespace mainwindow
