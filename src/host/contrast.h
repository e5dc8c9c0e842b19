#pragma once
// High contrast: whether the user has asked the system for it. While it is
// on, the forms draw with the system's colours and plain system controls
// instead of the skin's pictures and colours.
#include <windows.h>

namespace host {

// The state as last read: at the first question, and again whenever a
// form hears that the system's colours or settings changed.
bool HighContrast();
// Reads the state again (a form heard WM_SYSCOLORCHANGE or
// WM_SETTINGCHANGE).
void RereadHighContrast();

// The system's answer to SPI_GETHIGHCONTRAST. Tests stand in for it: Wine
// refuses to switch high contrast on.
using SystemParametersFn = BOOL(WINAPI*)(UINT action, UINT param, PVOID out, UINT flags);
extern SystemParametersFn systemParameters;

}  // namespace host
