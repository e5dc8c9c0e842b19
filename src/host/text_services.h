#pragma once
// Text services of the host: numeric test, dates and times, code pages.
#include <string>

namespace host {

// True when OLE Automation's locale-aware conversion reads the text as a
// number (blanks around it, a sign, decimals and exponents are fine).
bool IsNumeric(const std::wstring& text);

// A day in the user's long date format ("dddddd").
std::wstring LongDate(int year, int month, int day);

// Conversions to and from the system ANSI code page (CP_ACP) and UTF-8.
std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const std::string& text);
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace host
