#include "text_services.h"

#include <windows.h>
#include <oleauto.h>

#include "error.h"
#include "system_library.h"


namespace host {

bool IsNumeric(const std::wstring& text) {
    if (text.empty()) return false;
    // The automation library decides what reads as a number, as it does for
    // every Windows program; it is loaded at the first query, not at start-up.
    static const auto parse =
        SystemFunction<decltype(&::VarR8FromStr)>(L"oleaut32.dll", "VarR8FromStr");
    if (!parse) Raise(L"无法加载系统组件 oleaut32.dll");
    double value = 0;
    return parse(const_cast<OLECHAR*>(text.c_str()), LOCALE_USER_DEFAULT, 0, &value) == S_OK;
}

namespace {
std::wstring FormattedDate(int year, int month, int day, DWORD form) {
    SYSTEMTIME t = {};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    wchar_t buf[128] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, form, &t, nullptr, buf, 128);
    return buf;
}
}  // namespace

std::wstring LongDate(int year, int month, int day) { return FormattedDate(year, month, day, DATE_LONGDATE); }

std::wstring ShortDate(int year, int month, int day) { return FormattedDate(year, month, day, DATE_SHORTDATE); }

}  // namespace host
