#include "mainwindow/clock_text.h"

#include <cwchar>

namespace mainwindow {

std::wstring ClockTime(int hour, int minute, int second) {
    wchar_t buf[16];
    std::swprintf(buf, 16, L"%02d:%02d:%02d", hour, minute, second);
    return buf;
}

std::wstring ClockLine(const std::wstring& longDate, const std::wstring& time) {
    return longDate + L" " + time;
}

}  // namespace mainwindow
