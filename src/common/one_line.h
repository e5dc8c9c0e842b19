#pragma once
// The text a one-line edit box may hold. Pure logic.
#include <string>

namespace common {

// The text up to its first line break (CR or LF), cut to `maxLength`
// characters unless that is 0.
inline std::wstring OneLine(const std::wstring& text, size_t maxLength) {
    std::wstring line = text.substr(0, text.find_first_of(L"\r\n"));
    if (maxLength > 0 && line.size() > maxLength) line.resize(maxLength);
    return line;
}

}  // namespace common
