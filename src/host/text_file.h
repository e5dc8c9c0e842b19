#pragma once
// An append-only text file in the ANSI code page. It is opened so that
// other programs may read, write, rename or delete it meanwhile, and a
// write goes to the file whole or not at all.
#include <windows.h>

#include <string>

namespace host {

// The write call; tests stand in for it (a disk that fills up half-way
// through a record).
using WriteFileFn = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
extern WriteFileFn writeFile;
// The read of the file's last byte; tests stand in for it (Windows refuses
// to read a byte another program has locked; Wine reads it all the same).
using ReadFileFn = BOOL(WINAPI*)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
extern ReadFileFn readFile;
// How long a file that another program holds is waited for.
extern DWORD shareRetryMilliseconds;

class AppendFile {
public:
    // Opens for appending, creating the file when missing. A sharing
    // violation is retried for up to 200 ms; any failure raises an error.
    explicit AppendFile(const std::wstring& path);
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Appends the bytes in one write that lands at the end of the file as
    // one step, also while another copy of the program appends to it. A
    // write that fails part-way is cut back, so no partial record stays,
    // and raises an error. `ownLine`: the bytes start a line of their own,
    // after a line break added where the file's last line lacks one, or
    // where its last byte stays locked by another program.
    void Write(const std::string& bytes, bool ownLine = false);
    void Close();

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
    std::wstring path_;
};

}  // namespace host
