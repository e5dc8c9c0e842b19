#pragma once
// The clock line of the main window.
#include <windows.h>

namespace mainwindow {
// Where the clock reads the local time; tests stand in for it here.
using ReadClockFn = void(WINAPI*)(LPSYSTEMTIME);
extern ReadClockFn readClock;
}  // namespace mainwindow
