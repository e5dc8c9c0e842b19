#include "mainwindow/version.h"

#include <windows.h>

#include <cstring>

#include "mainwindow/platform.h"

static_assert(sizeof(OSVERSIONINFOA) == 148, "the 148-byte version record");

namespace version {

std::wstring GetPlatformName() {
    // NT's own record: GetVersionEx reports 6.2 from Windows 8.1 on to a
    // program that does not declare the newer systems, and a version-lie
    // fix of the compatibility settings rewrites what it says.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
        auto get = reinterpret_cast<RtlGetVersionFn>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
        OSVERSIONINFOEXW nt;
        std::memset(&nt, 0, sizeof nt);
        nt.dwOSVersionInfoSize = sizeof nt;
        if (get && get(&nt) == 0)
            return mainwindow::PlatformNameFor(nt.dwPlatformId, nt.dwMajorVersion, nt.dwMinorVersion,
                                               nt.dwBuildNumber, nt.wProductType);
    }
    // Windows 95, 98 and Me have no ntdll to ask.
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
