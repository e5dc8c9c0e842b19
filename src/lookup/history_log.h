#pragma once
// The query history of one run: where the file is, the number of the next
// record and the last number logged. Pure logic; the file itself is
// written by the query command.
#include <cstdint>
#include <string>

#include "history_rules.h"

namespace lookup {

class HistoryLog {
public:
    HistoryLog() = default;
    explicit HistoryLog(std::wstring path, int64_t nextRecord = 0)
        : path_(std::move(path)), next_(nextRecord) {}

    const std::wstring& Path() const { return path_; }
    int64_t RecordNumber() const { return next_; }
    const std::wstring& LastLogged() const { return last_; }

    // A number equal to the last one logged is not logged again.
    bool Repeats(const std::wstring& number) const { return number == last_; }
    // The record that logs `number` next.
    std::wstring NextRecord(const std::wstring& number) const {
        return HistoryRecord(next_, number);
    }
    // The record went to the file whole: count it.
    void Logged(const std::wstring& number) {
        ++next_;
        last_ = number;
    }

private:
    std::wstring path_;
    int64_t next_ = 0;
    std::wstring last_;
};

}  // namespace lookup
