#pragma once
// The module that names the Windows platform the program runs on.
#include <string>

namespace version {
std::wstring GetPlatformName();
}
