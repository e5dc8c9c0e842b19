#include "host/text_file.h"

#include "host/error.h"

namespace host {

DWORD AppendFile::retryMilliseconds = 200;

AppendFile::AppendFile(const std::wstring& path) : path_(path) {
    if (path.empty()) Raise(L"the history file has no path");
    DWORD start = GetTickCount();
    for (;;) {
        h_ = CreateFileW(path.c_str(), GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h_ != INVALID_HANDLE_VALUE) return;
        DWORD err = GetLastError();
        bool busy = err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION;
        if (!busy || GetTickCount() - start >= retryMilliseconds) {
            SetLastError(err);
            RaiseLastError(L"cannot open " + path);
        }
        Sleep(10);
    }
}

AppendFile::~AppendFile() { Close(); }

void AppendFile::Write(const std::string& bytes) {
    if (h_ == INVALID_HANDLE_VALUE) Raise(L"the file is closed: " + path_);
    LARGE_INTEGER end = {}, zero = {};
    if (!SetFilePointerEx(h_, zero, &end, FILE_END)) RaiseLastError(L"cannot seek in " + path_);
    DWORD written = 0;
    BOOL ok = WriteFile(h_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    if (ok && written == bytes.size()) return;
    DWORD err = ok ? ERROR_HANDLE_DISK_FULL : GetLastError();
    // Never leave half a record behind.
    if (SetFilePointerEx(h_, end, nullptr, FILE_BEGIN)) SetEndOfFile(h_);
    SetLastError(err);
    RaiseLastError(L"cannot write " + path_);
}

void AppendFile::Close() {
    if (h_ != INVALID_HANDLE_VALUE) {
        CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }
}

}  // namespace host
