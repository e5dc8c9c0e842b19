#include "mainwindow/version.h"

#include <windows.h>

#include <cstring>

#include "mainwindow/platform.h"

static_assert(sizeof(OSVERSIONINFOA) == 148, "the 148-byte version record");

namespace version {

std::wstring GetPlatformName() {
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof info);
    std::memset(info.szCSDVersion, ' ', sizeof info.szCSDVersion);
    info.dwOSVersionInfoSize = sizeof info;
    // A failed call leaves the fields at zero, which names "Failed".
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&info);
#pragma GCC diagnostic pop
    return mainwindow::PlatformNameFor(info.dwPlatformId, info.dwMajorVersion,
                                       info.dwMinorVersion);
}

}  // namespace version
