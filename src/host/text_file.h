#pragma once
// An append-only text file in the ANSI code page. It is opened so that
// other programs may read, write, rename or delete it meanwhile, and a
// write goes to the file whole or not at all.
#include <windows.h>

#include <string>

namespace host {

class AppendFile {
public:
    // Opens for appending, creating the file when missing. A sharing
    // violation is retried for up to 200 ms; any failure raises an error.
    explicit AppendFile(const std::wstring& path);
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Appends the bytes in one write. A write that fails part-way is cut
    // back to the earlier end of the file and raises an error.
    void Write(const std::string& bytes);
    void Close();

    // Test seam: how long a sharing violation is retried.
    static DWORD retryMilliseconds;

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
    std::wstring path_;
};

}  // namespace host
