#pragma once
// The text an edit box may hold, whatever way it arrives: typed, pasted,
// set or replaced by another program. Pure logic.
#include <cwchar>
#include <string>

namespace common {

inline bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
// C0 and C1 control characters, and DEL.
inline bool IsControl(wchar_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// A full-width digit (an input method in full-width mode types them, as
// Chinese systems often are) stands for its ASCII digit.
inline wchar_t AsciiDigit(wchar_t c) {
    return c >= 0xFF10 && c <= 0xFF19 ? static_cast<wchar_t>(L'0' + (c - 0xFF10)) : c;
}

// The rules of a box: any box turns tabs into blanks (Wine lays out a line
// of tabs slowly, 250 of them take 0.7 s, and in a number or an answer a
// tab means no more than a blank) and keeps no lone half of a character
// made of two UTF-16 units. A one-line box also ends at the first line
// break and drops other control characters; a number box is a one-line
// box that takes full-width digits as ASCII ones.
enum BoxRules : unsigned { kAnyBox = 0, kOneLineBox = 1, kNumberBox = 3 };

// What a box of `rules` takes of `text`: at most `room` characters, read no
// further than needed (a text from another program may be huge), never
// half of a pair. A first half alone stays only at `typing` (the index of
// the character before the caret, while its second half may still be
// typed) and only with room for that second half.
inline std::wstring Admit(const wchar_t* text, size_t room, unsigned rules,
                          size_t typing = std::wstring::npos) {
    std::wstring kept;
    for (size_t i = 0; text[i] && kept.size() < room; ++i) {
        wchar_t c = text[i];
        if (IsHighSurrogate(c)) {
            if (IsLowSurrogate(text[i + 1])) {
                if (kept.size() + 2 > room) break;  // a cut never parts a pair
                kept += c;
                kept += text[++i];
            } else if (i == typing && kept.size() + 1 < room) {
                kept += c;
            }
            continue;
        }
        if (IsLowSurrogate(c)) continue;  // the second half of nothing
        if (rules & kOneLineBox) {
            if (c == L'\r' || c == L'\n') break;
            if (c != L'\t' && IsControl(c)) continue;
        }
        if (c == L'\t') c = L' ';
        if ((rules & kNumberBox) == kNumberBox) c = AsciiDigit(c);
        kept += c;
    }
    return kept;
}

// The digits of a number written as address books and web pages write it:
// digit groups parted by blanks, hyphens or dots, a group perhaps in
// brackets ("6525-1234", "6525 1234", "(6525)1234"), full-width or not,
// blanks around it. Empty for any other text, or a text without a digit.
inline std::wstring DigitsOfWrittenNumber(const std::wstring& text) {
    auto blank = [](wchar_t c) { return c == L' ' || c == 0x3000 || c == 0x00A0; };
    auto parting = [&](wchar_t c) { return blank(c) || c == L'-' || c == L'.' || c == 0xFF0D || c == 0xFF0E; };
    auto closing = [](wchar_t c) -> wchar_t {
        return c == L'(' ? L')' : c == L'[' ? L']' : c == 0xFF08 ? wchar_t(0xFF09) : 0;
    };
    size_t from = 0, to = text.size();
    while (from < to && blank(text[from])) ++from;
    while (to > from && blank(text[to - 1])) --to;
    enum { kStart, kDigit, kParting, kOpen, kClose } last = kStart;
    wchar_t close = 0;  // the bracket that closes the open group
    std::wstring digits;
    for (size_t i = from; i < to; ++i) {
        const wchar_t c = text[i], d = AsciiDigit(c);
        if (d >= L'0' && d <= L'9') {
            digits += d;
            last = kDigit;
        } else if (closing(c)) {
            if (close || (last != kStart && last != kParting)) return {};
            close = closing(c);
            last = kOpen;
        } else if (c == close && close) {
            if (last != kDigit) return {};
            close = 0;
            last = kClose;
        } else if (parting(c)) {
            if (last == kStart || last == kOpen) return {};  // a sign, not a parting
            last = kParting;
        } else {
            return {};
        }
    }
    if (close || last == kParting) return {};
    return digits;
}

}  // namespace common
