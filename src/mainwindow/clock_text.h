#pragma once
#include <string>

namespace mainwindow {

// hh:mm:ss, 24-hour, two digits each, whatever the regional settings.
std::wstring ClockTime(int hour, int minute, int second);

// The clock line: the long date, one blank, the time.
std::wstring ClockLine(const std::wstring& longDate, const std::wstring& time);

}  // namespace mainwindow
