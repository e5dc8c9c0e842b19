#include "system_library.h"

namespace host {

LoadLibraryFn loadLibrary = ::LoadLibraryExW;

HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t path[MAX_PATH + 32];
    UINT n = GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH || lstrlenW(name) > 30) return nullptr;  // no guessing
    if (path[n - 1] != L'\\') path[n++] = L'\\';
    lstrcpyW(path + n, name);
    return loadLibrary(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void RestrictLibrarySearch() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return;
    using SetDefault = BOOL(WINAPI*)(DWORD);
    using SetDirectory = BOOL(WINAPI*)(LPCWSTR);
    constexpr DWORD kSystem32Only = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    if (auto set = reinterpret_cast<SetDefault>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories"))))
        set(kSystem32Only);
    // Older systems (XP SP1 on) can at least drop the current folder.
    if (auto dir = reinterpret_cast<SetDirectory>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryW"))))
        dir(L"");
}

}  // namespace host
