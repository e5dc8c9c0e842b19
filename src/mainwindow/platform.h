#pragma once
// Naming the Windows platform from the version record's fields.
#include <cstdint>
#include <string>

namespace mainwindow {

// The decision alone: platform id first, then major and minor version.
// From NT 6 on, the product type tells a server (2, a domain controller,
// and 3) from anything else (1, a workstation), and the build Windows 11
// from 10 and one server of NT 10.0 from the next.
std::wstring PlatformNameFor(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build = 0,
                             uint8_t productType = 1);

// The platform line: a fixed prefix directly followed by the name.
std::wstring PlatformLine(const std::wstring& platformName);

}  // namespace mainwindow
