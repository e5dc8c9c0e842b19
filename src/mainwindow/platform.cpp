#include "mainwindow/platform.h"

namespace mainwindow {

namespace {
// NT 6 and later, as Microsoft names each release.
std::wstring ModernName(uint32_t major, uint32_t minor, uint32_t build, bool server) {
    if (major == 6) {
        static const wchar_t* const kNames[][2] = {{L"Windows Vista", L"Windows Server 2008"},
                                                   {L"Windows 7", L"Windows Server 2008 R2"},
                                                   {L"Windows 8", L"Windows Server 2012"},
                                                   {L"Windows 8.1", L"Windows Server 2012 R2"}};
        return minor < 4 ? kNames[minor][server] : L"";
    }
    if (major != 10 || minor != 0) return L"";
    if (!server) return build >= 22000 ? L"Windows 11" : L"Windows 10";
    return build >= 26100   ? L"Windows Server 2025"
           : build >= 20348 ? L"Windows Server 2022"
           : build >= 17763 ? L"Windows Server 2019"
                            : L"Windows Server 2016";
}
}  // namespace

std::wstring PlatformNameFor(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build,
                             uint8_t productType) {
    if (platformId == 1) {  // the 9x family: only the minor version tells
        if (minor == 0) return L"Windows 95";
        if (minor == 10) return L"Windows 98";
        if (minor == 90) return L"Windows Mellinnium";
        return L"";
    }
    if (platformId == 2) {  // the NT family
        if (major == 3) return L"Windows NT 3.51";
        if (major == 4) return L"Windows NT 4.0";
        if (major == 5) return minor == 0 ? L"Windows 2000" : L"Windows XP";
        return ModernName(major, minor, build, productType == 2 || productType == 3);
    }
    return L"Failed";
}

std::wstring PlatformLine(const std::wstring& platformName) {
    return L"你的操作平台是" + platformName;
}

}  // namespace mainwindow
