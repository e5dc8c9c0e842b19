#pragma once
// The text an edit box may hold. Pure logic.
#include <cwchar>
#include <string>

namespace common {

inline bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The first `maxLength` characters of `text` (all of it when shorter),
// read no further than that: a text from another program may be huge.
// A cut never leaves half of a character made of two UTF-16 units.
inline std::wstring Cut(const wchar_t* text, size_t maxLength) {
    size_t n = wcsnlen(text, maxLength);
    if (n == maxLength && n > 0 && IsHighSurrogate(text[n - 1])) --n;
    return std::wstring(text, n);
}

// The text up to its first line break (CR or LF), cut as Cut does.
inline std::wstring OneLine(const wchar_t* text, size_t maxLength) {
    std::wstring line = Cut(text, maxLength);
    size_t br = line.find_first_of(L"\r\n");
    if (br != std::wstring::npos) line.resize(br);
    return line;
}

}  // namespace common
