#pragma once
#include <windows.h>

namespace mainwindow {
// The shell call behind the mail link; tests put a recorder here.
using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
extern ShellExecuteFn shellExecute;
// Where the clock reads the local time; tests put a fixed "now" here.
using ReadClockFn = void(WINAPI*)(LPSYSTEMTIME);
extern ReadClockFn readClock;
}  // namespace mainwindow
