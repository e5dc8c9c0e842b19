// The clock line and the platform line.
#include "host/text_services.h"
#include "mainwindow/clock.h"
#include "mainwindow/clock_text.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/platform.h"
#include "mainwindow/version.h"

namespace mainwindow {
ReadClockFn readClock = ::GetLocalTime;
}

void Frmmain::Timer1_Timer() {
    SYSTEMTIME now;
    mainwindow::readClock(&now);
    const std::wstring time = mainwindow::ClockTime(now.wHour, now.wMinute, now.wSecond);
    std::wstring line = mainwindow::ClockLine(host::LongDate(now.wYear, now.wMonth, now.wDay), time);
    // A long date the user chose with the weekday (or a large font) runs
    // past the window's edge and cuts the seconds: the short date then,
    // the time alone last; the time is always whole.
    if (!Lbltime.FitsInWindow(line))
        line = mainwindow::ClockLine(host::ShortDate(now.wYear, now.wMonth, now.wDay), time);
    if (!Lbltime.FitsInWindow(line)) line = time;
    Lbltime.SetCaption(line);
}

void Frmmain::ShowPlatformLine() {
    platformName_ = version::GetPlatformName();
    Lblversion.SetCaption(mainwindow::PlatformLine(platformName_));
}
