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
    Lbltime.SetCaption(mainwindow::ClockLine(host::LongDate(now.wYear, now.wMonth, now.wDay),
                                             mainwindow::ClockTime(now.wHour, now.wMinute,
                                                                   now.wSecond)));
}

void Frmmain::ShowPlatformLine() {
    platformName_ = version::GetPlatformName();
    Lblversion.SetCaption(mainwindow::PlatformLine(platformName_));
}
