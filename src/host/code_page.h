#pragma once
// Conversions to and from the system ANSI code page (CP_ACP) and UTF-8.
#include <string>

namespace host {

std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const std::string& text);
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace host
