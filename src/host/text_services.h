#pragma once
// Text services of the host: numeric test, dates, and the code pages.
#include <string>

#include "code_page.h"

namespace host {

// True when OLE Automation's locale-aware conversion reads the text as a
// number (blanks around it, a sign, decimals and exponents are fine).
bool IsNumeric(const std::wstring& text);

// A day in the user's long date format ("dddddd").
std::wstring LongDate(int year, int month, int day);
// The same day in the user's short date format.
std::wstring ShortDate(int year, int month, int day);

}  // namespace host
