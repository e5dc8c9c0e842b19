#include "error.h"

#include "decimal.h"

#include <windows.h>

#include <new>
#include <typeinfo>

#include "code_page.h"

namespace host {

RuntimeError::RuntimeError(const std::wstring& what)
    : message_(what), what_(ToUtf8(what)) {}

void Raise(const std::wstring& what) { throw RuntimeError(what); }

// The library's own text names the function that failed: a technical name,
// kept inside a Chinese message.
void RaiseInternal(const char* what) { Raise(L"程序内部错误（" + FromUtf8(what) + L"）"); }

std::wstring WhatText(const std::exception& e) {
    const char* what = e.what();
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, what, -1, nullptr, 0);
    UINT cp = n > 0 ? CP_UTF8 : CP_ACP;
    n = MultiByteToWideChar(cp, 0, what, -1, nullptr, 0);
    std::wstring text(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
    if (n > 0) MultiByteToWideChar(cp, 0, what, -1, &text[0], n);
    text.resize(text.size() - 1);
    return text;
}

void RaiseLastError(const std::wstring& what) {
    DWORD code = GetLastError();
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring msg = what + L" (" + common::Decimal(code) + L")";
    if (text) {
        std::wstring system = text;
        LocalFree(text);
        while (!system.empty() && (system.back() == L'\n' || system.back() == L'\r' ||
                                   system.back() == L' '))
            system.pop_back();
        msg += L": " + system;
    }
    throw RuntimeError(msg);
}

namespace {
std::wstring g_caption;

void DefaultHandler(const std::wstring& message) {
    std::wstring text = L"运行时错误：\r\n" + message;
    MessageBoxW(nullptr, text.c_str(), g_caption.c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(1);
}
ErrorHandler g_handler = DefaultHandler;
bool g_failed = false;
}  // namespace

void SetErrorCaption(const std::wstring& caption) { g_caption = caption; }

void SetErrorHandler(ErrorHandler handler) { g_handler = handler ? handler : DefaultHandler; }

void ReportUnhandled(const std::wstring& message) {
    if (g_failed) return;
    g_failed = true;
    g_handler(message);
}

bool Failed() { return g_failed; }
void ClearFailure() { g_failed = false; }

}  // namespace host

// The C++ library reports its own failures (a string or vector grown past
// its maximum, a bad index) through these functions. Its versions throw
// std::logic_error and its relatives, which keep their text in the
// library's old reference-counted string and link all of it, and its
// formatter. These throw the host's error instead: the same boundary
// reports it. Every one of them is defined here, so the library's own file
// is never linked beside them.
namespace std {
void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* s) { host::RaiseInternal(s); }
void __throw_domain_error(const char* s) { host::RaiseInternal(s); }
void __throw_invalid_argument(const char* s) { host::RaiseInternal(s); }
void __throw_length_error(const char* s) { host::RaiseInternal(s); }
void __throw_out_of_range(const char* s) { host::RaiseInternal(s); }
void __throw_out_of_range_fmt(const char* s, ...) { host::RaiseInternal(s); }
void __throw_runtime_error(const char* s) { host::RaiseInternal(s); }
void __throw_range_error(const char* s) { host::RaiseInternal(s); }
void __throw_overflow_error(const char* s) { host::RaiseInternal(s); }
void __throw_underflow_error(const char* s) { host::RaiseInternal(s); }
}  // namespace std
