#pragma once
#include <string>

namespace tray {

constexpr size_t kTipChars = 64;

// The tooltip as the tray record keeps it: the text, one NUL, then blanks
// up to 64 characters; a longer text is cut to 64.
std::wstring PaddedTip(const std::wstring& text);

// The 64-byte ANSI field from the ANSI bytes of the padded tip, cut to 64
// bytes; when no NUL is left in them, the last byte becomes one.
std::string TipField(const std::string& ansiPadded);

}  // namespace tray
