#pragma once
// The fixed exchange prefix table and the lookup of a number's exchange.
// Pure logic: no window, no Win32, so it builds and is tested natively.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace lookup {

struct ExchangeRow {
    const wchar_t* text;
    std::initializer_list<int16_t> prefixes;  // four-digit prefixes, in search order
};

// The rows of the constant table.
struct ExchangeTableView {
    const ExchangeRow* rows;
    size_t count;
    const ExchangeRow* begin() const { return rows; }
    const ExchangeRow* end() const { return rows + count; }
    size_t size() const { return count; }
    const ExchangeRow& operator[](size_t i) const { return rows[i]; }
};

// The table in search order: row by row, and left to right within a row.
ExchangeTableView ExchangeTable();

// How many four-digit prefixes have an answer (one listed twice counts once).
size_t AnsweredPrefixCount();

// Answer for a number whose prefix is not in the table.
extern const wchar_t* const kFallbackText;
// First line of every answer shown in the result box.
extern const wchar_t* const kAnswerHeading;

// The lookup key: the first four UTF-16 units of the number, or all of it.
std::wstring LookupKey(const std::wstring& number);

// Exchange text for a number: the text of the first prefix whose decimal
// text equals the lookup key exactly, else the fallback text. O(1).
const wchar_t* FindExchange(const std::wstring& number);

// The full answer text: heading, CR LF, exchange text.
std::wstring AnswerText(const std::wstring& number);

}  // namespace lookup
