// The clock line and the platform line.
#include "host/text_services.h"
#include "mainwindow/clock_text.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/platform.h"
#include "mainwindow/version.h"

void Frmmain::Timer1_Timer() {
    Lbltime.SetCaption(mainwindow::ClockLine(host::LongDateNow(), host::TimeNow()));
}

void Frmmain::ShowPlatformLine() {
    platformName_ = version::GetPlatformName();
    Lblversion.SetCaption(mainwindow::PlatformLine(platformName_));
}
