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
inline bool IsBlank(wchar_t c) { return c == L' ' || c == 0x3000 || c == 0x00A0; }
// Blanks, hyphens, dots and dashes (en, em, the minus sign), full-width too.
inline bool IsParting(wchar_t c) {
    return IsBlank(c) || c == L'-' || c == L'.' || c == 0xFF0D || c == 0xFF0E || (c >= 0x2010 && c <= 0x2015) ||
           c == 0x2212 || c == 0xFE58 || c == 0xFE63;
}
// The bracket that closes one that opens a group, or 0.
inline wchar_t ClosingBracket(wchar_t c) {
    return c == L'(' ? L')' : c == L'[' ? L']' : c == 0xFF08 ? wchar_t(0xFF09) : c == 0xFF3B ? wchar_t(0xFF3D) : 0;
}
inline bool IsBracket(wchar_t c) {
    return ClosingBracket(c) || c == L')' || c == L']' || c == 0xFF09 || c == 0xFF3D;
}
inline bool IsDigitOrWide(wchar_t c) { return AsciiDigit(c) >= L'0' && AsciiDigit(c) <= L'9'; }

inline std::wstring DigitsOfWrittenNumber(const std::wstring& text) {
    auto blank = IsBlank;
    auto parting = IsParting;
    auto closing = ClosingBracket;
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

// The first telephone number of the city in a text with more around it: a
// label before it ("电话：", "Tel:"), an area code ("0" and two or three
// digits, or "+86"/"0086" and the code without its "0"), eight digits as
// one group or four and four; groups parted and bracketed as a written
// number's are, full-width or not. Its eight digits, or empty for none.
inline std::wstring TelephoneNumberIn(const std::wstring& text) {
    auto plus = [](wchar_t c) { return c == L'+' || c == 0xFF0B; };
    struct Group {
        size_t lead, to;  // in text: from a bracket or a plus before its digits, to its end
        size_t at, size;  // its digits in `digits`
        bool plus;
    } groups[24];
    size_t n = 0;
    std::wstring digits;  // of the run so far
    auto parse = [&](size_t s) -> std::wstring {
        // Eight digits from group k on: one group, or four and four.
        auto local = [&](size_t k, size_t& end) {
            if (k < n && groups[k].size == 8) return end = k, true;
            if (k + 1 < n && groups[k].size == 4 && groups[k + 1].size == 4) return end = k + 1, true;
            return false;
        };
        const Group& first = groups[s];
        const wchar_t* code = first.plus ? L"86" : L"0086";
        bool country = first.size == (first.plus ? 2u : 4u);
        for (size_t j = 0; country && j < first.size; ++j) country = digits[first.at + j] == code[j];
        size_t k = s + country, end = k;
        if (k >= n) return {};
        const size_t size = groups[k].size;
        const bool zero = digits[groups[k].at] == L'0';
        bool found = false;
        if ((zero && (size == 3 || size == 4)) || (country && !zero && (size == 2 || size == 3)))
            found = local(k + 1, end);  // an area code, then the number
        if (!found && ((zero && (size == 11 || size == 12)) || (country && !zero && (size == 10 || size == 11))))
            found = true;  // the area code written together with the number
        if (!found && !country) found = local(k, end);
        if (!found) return {};
        // The brackets and partings between must be a written number's.
        size_t to = groups[end].to;
        if (to < text.size() && IsBracket(text[to]) && !ClosingBracket(text[to])) ++to;
        const size_t from = first.lead + plus(text[first.lead]);
        if (DigitsOfWrittenNumber(text.substr(from, to - from)).empty()) return {};
        const size_t last = groups[end].at + groups[end].size;
        return digits.substr(last - 8, 8);
    };
    // Run by run: digit groups and what may stand between them.
    for (size_t i = 0; i <= text.size(); ++i) {
        const wchar_t c = i < text.size() ? text[i] : 0;
        if (IsDigitOrWide(c) && n < sizeof groups / sizeof *groups) {
            Group& g = groups[n++];
            g = {i, i, digits.size(), 0, false};
            for (size_t j = i; j-- > 0 && (IsParting(text[j]) || IsBracket(text[j]) || plus(text[j]));) {
                if (ClosingBracket(text[j]) || plus(text[j])) g.lead = j;
                g.plus = g.plus || plus(text[j]);
            }
            for (; i < text.size() && IsDigitOrWide(text[i]); ++i) digits += AsciiDigit(text[i]);
            g.size = digits.size() - g.at;
            g.to = i--;
        } else if (!(c && (IsParting(c) || IsBracket(c) || plus(c)))) {
            for (size_t s = 0; s < n; ++s)
                if (std::wstring found = parse(s); !found.empty()) return found;
            n = 0;
            digits.clear();
            if (c && IsDigitOrWide(c)) --i;  // a run of more groups than kept goes on anew
        }
    }
    return {};
}

// The digits a number box takes from a paste: the telephone number in it,
// or else the digits of its first line written as a number (a shorter one
// too), or empty when it is neither.
inline std::wstring DigitsOfPaste(const std::wstring& text) {
    std::wstring digits = TelephoneNumberIn(text);
    return digits.empty() ? DigitsOfWrittenNumber(text.substr(0, text.find_first_of(L"\r\n"))) : digits;
}

}  // namespace common
