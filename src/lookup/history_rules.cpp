#include "history_rules.h"

#include "decimal.h"

namespace lookup {

const wchar_t* const kHistoryFileName = L"历史查询纪录.txt";

std::wstring HistoryPath(const std::wstring& folder) {
    std::wstring path = folder;
    if (path.empty() || path.back() != L'\\') path.push_back(L'\\');
    return path + kHistoryFileName;
}

std::wstring HistoryRecord(int64_t recordNumber, const std::wstring& number) {
    std::wstring r = common::Decimal(recordNumber) + L".记录   \r\n";
    r += number + L"\r\n";
    r += std::wstring(30, L'-') + L"\r\n";
    return r;
}

}  // namespace lookup
