#pragma once
// The lookup as the table reads: the first prefix, row by row and left to
// right, whose decimal text equals the lookup key. The reference for the
// program's index, and the benchmark's baseline.
#include <string>
#include <utility>
#include <vector>

#include "lookup/exchange_table.h"

namespace testref {

inline const wchar_t* FindExchangeInOrder(const std::wstring& number) {
    static const auto texts = [] {
        std::vector<std::pair<std::wstring, const wchar_t*>> t;
        for (const auto& row : lookup::ExchangeTable())
            for (int prefix : row.prefixes) t.emplace_back(std::to_wstring(prefix), row.text);
        return t;
    }();
    const std::wstring key = lookup::LookupKey(number);
    for (const auto& [text, exchange] : texts)
        if (text == key) return exchange;
    return lookup::kFallbackText;
}

}  // namespace testref
