#pragma once
// Whole numbers as decimal text, without the C library's printf engine,
// which would otherwise be linked into the program for this alone.
#include <string>

namespace common {

// The number, its digits padded with zeros in front to at least
// `minDigits`, a minus sign before them.
inline std::wstring Decimal(long long v, int minDigits = 1) {
    wchar_t buf[20];  // the digits of the largest unsigned 64-bit value
    int i = 20;
    unsigned long long u = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    do {
        buf[--i] = static_cast<wchar_t>(L'0' + u % 10);
        u /= 10;
    } while (u);
    std::wstring out;
    if (v < 0) out += L'-';
    if (minDigits > 20 - i) out.append(static_cast<size_t>(minDigits - (20 - i)), L'0');
    out.append(buf + i, buf + 20);
    return out;
}

}  // namespace common
