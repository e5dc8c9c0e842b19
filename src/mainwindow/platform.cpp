#include "mainwindow/platform.h"

namespace mainwindow {

std::wstring PlatformNameFor(uint32_t platformId, uint32_t major, uint32_t minor) {
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
        return L"";
    }
    return L"Failed";
}

std::wstring PlatformLine(const std::wstring& platformName) {
    return L"你的操作平台是" + platformName;
}

}  // namespace mainwindow
