#include "text_file.h"

#include "error.h"

namespace host {

DWORD shareRetryMilliseconds = 200;
WriteFileFn writeFile = ::WriteFile;
ReadFileFn readFile = ::ReadFile;

namespace {
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
}

AppendFile::AppendFile(const std::wstring& path) : path_(path) {
    if (path.empty()) Raise(L"文件没有路径");
    DWORD start = GetTickCount();
    for (;;) {
        // Read too: a record starts on a line of its own, after the last byte.
        h_ = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h_ != INVALID_HANDLE_VALUE) return;
        DWORD err = GetLastError();
        bool busy = err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION;
        if (!busy || GetTickCount() - start >= shareRetryMilliseconds) {
            SetLastError(err);
            RaiseLastError(L"无法打开 " + path);
        }
        Sleep(10);
    }
}

AppendFile::~AppendFile() { Close(); }

namespace {
// Writers of the file take turns on one byte far past its end: finding
// the end and writing there is then one step for each of them. (An
// append-only handle would do it on Windows, but Wine places such writes
// at an end read beforehand, and copies overwrite each other.) Readers
// are not held up: no byte of the data is locked.
OVERLAPPED TurnByte() {
    OVERLAPPED o = {};
    o.OffsetHigh = 0x7FFFFFFF;
    return o;
}
}  // namespace

void AppendFile::Write(const std::string& record, bool ownLine) {
    if (h_ == INVALID_HANDLE_VALUE) Raise(L"文件已关闭：" + path_);
    OVERLAPPED turn = TurnByte();
    DWORD start = GetTickCount();
    while (!LockFileEx(h_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &turn)) {
        DWORD err = GetLastError();
        if (err != ERROR_LOCK_VIOLATION || GetTickCount() - start >= 5 * shareRetryMilliseconds)
            RaiseLastError(L"无法写入 " + path_);
        Sleep(1);
        turn = TurnByte();
    }
    struct Unlock {
        HANDLE h;
        ~Unlock() {
            OVERLAPPED o = TurnByte();
            UnlockFileEx(h, 0, 1, 0, &o);
        }
    } unlock{h_};

    LARGE_INTEGER end = {}, zero = {};
    if (!SetFilePointerEx(h_, zero, &end, FILE_END)) RaiseLastError(L"无法定位 " + path_);
    std::string bytes = record;
    if (ownLine && end.QuadPart > 0) {
        // A last line written by hand may lack its line break: add the part
        // that is missing, and nothing else. A last byte that cannot be
        // read (another program holds a lock on it beyond a short wait)
        // counts as no break: a blank line at worst, never a record glued
        // onto the line before it, and the user is not kept waiting.
        LARGE_INTEGER last = end;
        --last.QuadPart;
        char c = 0;
        bool known = false;
        for (DWORD start = GetTickCount();;) {
            DWORD got = 0;
            if (SetFilePointerEx(h_, last, nullptr, FILE_BEGIN) && readFile(h_, &c, 1, &got, nullptr)) {
                known = got == 1;
                break;
            }
            if (GetLastError() != ERROR_LOCK_VIOLATION || GetTickCount() - start >= shareRetryMilliseconds)
                break;
            Sleep(10);
        }
        if (known && c == '\r')
            bytes.insert(0, "\n");
        else if (!known || c != '\n')
            bytes.insert(0, "\r\n");
        if (!SetFilePointerEx(h_, end, nullptr, FILE_BEGIN)) RaiseLastError(L"无法定位 " + path_);
    }
    DWORD written = 0;
    BOOL ok = writeFile(h_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    if (ok && written == bytes.size()) return;
    DWORD err = ok ? ERROR_HANDLE_DISK_FULL : GetLastError();
    // Never leave half a record behind.
    if (SetFilePointerEx(h_, end, nullptr, FILE_BEGIN)) SetEndOfFile(h_);
    SetLastError(err);
    RaiseLastError(L"无法写入 " + path_);
}

void AppendFile::Close() {
    if (h_ != INVALID_HANDLE_VALUE) {
        CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }
}

}  // namespace host
