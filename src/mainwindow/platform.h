#pragma once
// Naming the Windows platform from the version record's fields.
#include <cstdint>
#include <string>

namespace mainwindow {

// The decision alone: platform id first, then major and minor version.
std::wstring PlatformNameFor(uint32_t platformId, uint32_t major, uint32_t minor);

// The platform line: a fixed prefix directly followed by the name.
std::wstring PlatformLine(const std::wstring& platformName);

}  // namespace mainwindow
