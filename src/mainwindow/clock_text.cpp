#include "mainwindow/clock_text.h"

#include "common/decimal.h"

namespace mainwindow {

std::wstring ClockTime(int hour, int minute, int second) {
    using common::Decimal;
    return Decimal(hour, 2) + L":" + Decimal(minute, 2) + L":" + Decimal(second, 2);
}

std::wstring ClockLine(const std::wstring& longDate, const std::wstring& time) {
    return longDate + L" " + time;
}

}  // namespace mainwindow
