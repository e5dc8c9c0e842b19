#include "exchange_table.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "decimal.h"

namespace lookup {

const wchar_t* const kFallbackText = L"未知数据，请与作者联系";
const wchar_t* const kAnswerHeading = L"你所查询电话号码的归属地是：";

std::wstring LookupKey(const std::wstring& number) {
    return number.substr(0, 4);
}

namespace {

// Index over all 10,000 four-digit keys: one more than the table row of
// the first equal prefix, or 0. Keys of any other shape can never equal a
// prefix text. Zero-filled storage, filled in at the first lookup; the
// table's 93 rows fit a byte.
struct KeyIndex {
    uint8_t row[10000];
    KeyIndex() : row() {
        const auto table = ExchangeTable();
        for (size_t r = 0; r < table.size(); ++r)
            for (int prefix : table[r].prefixes)
                if (prefix >= 0 && prefix < 10000 && !row[prefix]) row[prefix] = static_cast<uint8_t>(r + 1);
    }
};

const KeyIndex& Index() {
    static const KeyIndex index;
    return index;
}

}  // namespace

size_t AnsweredPrefixCount() {
    size_t n = 0;
    for (uint8_t r : Index().row) n += r != 0;
    return n;
}

const wchar_t* FindExchange(const std::wstring& number) {
    if (number.size() < 4) return kFallbackText;
    int key = 0;
    for (size_t i = 0; i < 4; ++i) {
        wchar_t c = number[i];
        if (c < L'0' || c > L'9') return kFallbackText;
        key = key * 10 + (c - L'0');
    }
    int r = Index().row[key];
    return r == 0 ? kFallbackText : ExchangeTable()[r - 1].text;
}

std::wstring AnswerText(const std::wstring& number) {
    return std::wstring(kAnswerHeading) + L"\r\n" + FindExchange(number);
}

}  // namespace lookup
