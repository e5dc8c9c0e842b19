#pragma once
// Functions of system libraries looked up when first needed, so that a
// library the program may never use is not loaded when it starts.
#include <windows.h>

namespace host {

// Loads a library of the system by its full path in the system folder, so
// that a file of the same name beside the program (a Downloads folder) is
// never loaded in its place; the libraries it needs in turn are looked for
// beside it, in the system folder, not beside the program. Windows XP has
// no LOAD_LIBRARY_SEARCH_* flags; LOAD_WITH_ALTERED_SEARCH_PATH it has.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Where the system offers it (Windows 7 with its update, 8 and later),
// every library the process loads from now on, the system's own imports
// included, comes from the system folder only. Called once, first thing.
void RestrictLibrarySearch();

// The loader itself; tests stand in for it to see the paths it is given.
using LoadLibraryFn = HMODULE(WINAPI*)(LPCWSTR, HANDLE, DWORD);
extern LoadLibraryFn loadLibrary;

// The function, its library loaded for the rest of the run; null when the
// library or the function is missing.
template <class F>
F SystemFunction(const wchar_t* library, const char* name) {
    HMODULE m = LoadSystemLibrary(library);
    return m ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
}

// The function for one call: its library is let go again afterwards.
template <class F>
class BorrowedFunction {
public:
    BorrowedFunction(const wchar_t* library, const char* name) : module_(LoadSystemLibrary(library)) {
        if (module_) fn_ = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }
    ~BorrowedFunction() {
        if (module_) FreeLibrary(module_);
    }
    BorrowedFunction(const BorrowedFunction&) = delete;
    BorrowedFunction& operator=(const BorrowedFunction&) = delete;
    explicit operator bool() const { return fn_ != nullptr; }
    F get() const { return fn_; }

private:
    HMODULE module_;
    F fn_ = nullptr;
};

}  // namespace host
