#pragma once
// The history file's name, place and record layout. Pure logic.
#include <cstdint>
#include <string>

namespace lookup {

extern const wchar_t* const kHistoryFileName;

// The folder, a backslash unless it already ends with one, the file name.
std::wstring HistoryPath(const std::wstring& folder);

// One record: header line, the number as typed, 30 hyphens; each line
// ended by CR LF, so the record can go to the file in a single write.
std::wstring HistoryRecord(int64_t recordNumber, const std::wstring& number);

}  // namespace lookup
