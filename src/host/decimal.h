#pragma once
// Whole numbers as decimal text, without the C library's printf engine,
// which would otherwise be linked into the program for this alone.
#include <string>

namespace host {

inline std::wstring Decimal(long long v, int minDigits = 1) {
    wchar_t buf[24];
    int i = 24;
    unsigned long long u = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    do {
        buf[--i] = static_cast<wchar_t>(L'0' + u % 10);
        u /= 10;
    } while (u || 24 - i < minDigits);
    if (v < 0) buf[--i] = L'-';
    return std::wstring(buf + i, buf + 24);
}

}  // namespace host
