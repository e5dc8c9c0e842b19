#pragma once
// Run-time errors of the host: a failing host call throws one. The window
// procedure boundary reports it and ends the program; only start-up traps it.
#include <exception>
#include <new>
#include <string>

namespace host {

// A standard exception of its own, not a std::runtime_error: that one
// keeps its text in the library's old string type and would link all of it.
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(const std::wstring& what);
    const std::wstring& Message() const { return message_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    std::wstring message_;
    std::string what_;  // UTF-8
};

[[noreturn]] void Raise(const std::wstring& what);
// A failure the C++ library reports, under its own technical text.
[[noreturn]] void RaiseInternal(const char* what);
// The message of a standard exception, read as UTF-8 (ours are) or else
// in the ANSI code page.
std::wstring WhatText(const std::exception& e);
// Raise with the text of the last Win32 error appended.
[[noreturn]] void RaiseLastError(const std::wstring& what);

// What happens to an error that reaches the window-procedure boundary.
// The default shows the host's message and ends the process; tests replace it.
using ErrorHandler = void (*)(const std::wstring& message);
// The caption of the host's error box: the program's name.
void SetErrorCaption(const std::wstring& caption);
void SetErrorHandler(ErrorHandler handler);
// Reports the first unhandled error; after it, the program is failing: no
// further event handler runs (timer ticks would otherwise stack a new
// error box every second) and later errors are not reported.
void ReportUnhandled(const std::wstring& message);
bool Failed();
// Tests that provoke an error on purpose go on with a working host.
void ClearFailure();

// Run f, turning any escaping exception into ReportUnhandled, so that no
// exception ever crosses into Win32. Once the program is failing, f does
// not run at all.
template <class R, class F>
R GuardOr(R onError, F&& f) {
    if (Failed()) return onError;
    try {
        return f();
    } catch (const RuntimeError& e) {
        ReportUnhandled(e.Message());
    } catch (const std::bad_alloc&) {
        ReportUnhandled(L"内存不足");
    } catch (const std::exception& e) {
        ReportUnhandled(WhatText(e));
    } catch (...) {
        ReportUnhandled(L"未知错误");
    }
    return onError;
}

template <class F>
void Guard(F&& f) {
    GuardOr(0, [&] {
        f();
        return 0;
    });
}

}  // namespace host
