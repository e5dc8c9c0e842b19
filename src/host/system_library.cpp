#include "system_library.h"

namespace host {

LoadLibraryFn loadLibrary = ::LoadLibraryW;

HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t path[MAX_PATH + 32];
    UINT n = GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH || lstrlenW(name) > 30) return nullptr;  // no guessing
    if (path[n - 1] != L'\\') path[n++] = L'\\';
    lstrcpyW(path + n, name);
    return loadLibrary(path);
}

}  // namespace host
