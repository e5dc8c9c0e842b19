#pragma once
// The screen's dots per inch, asked the newest way the system offers:
// Windows 10 knows a DPI a monitor, older systems one for the session,
// Windows XP only the screen's.
#include <windows.h>

namespace host {

// The DPI of the session (the primary monitor's when the program started).
int SystemDpi();
// The DPI of the monitor the window is on, when the system tells it apart.
int WindowDpi(HWND w);
// A system metric (SM_CXICON, ...) at `dpi`.
int SystemMetric(int index, int dpi);

}  // namespace host
