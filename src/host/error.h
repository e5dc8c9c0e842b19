#pragma once
// Run-time errors of the host: a failing host call throws one. The window
// procedure boundary reports it and ends the program; only start-up traps it.
#include <stdexcept>
#include <string>

namespace host {

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(const std::wstring& what);
    const std::wstring& Message() const { return message_; }

private:
    std::wstring message_;
};

[[noreturn]] void Raise(const std::wstring& what);
// Raise with the text of the last Win32 error appended.
[[noreturn]] void RaiseLastError(const std::wstring& what);

// What happens to an error that reaches the window-procedure boundary.
// The default shows the host's message and ends the process; tests replace it.
using ErrorHandler = void (*)(const std::wstring& message);
void SetErrorHandler(ErrorHandler handler);
void ReportUnhandled(const std::wstring& message);

// Run f, turning any escaping exception into ReportUnhandled, so that no
// exception ever crosses into Win32.
template <class R, class F>
R GuardOr(R onError, F&& f) {
    try {
        return f();
    } catch (const RuntimeError& e) {
        ReportUnhandled(e.Message());
    } catch (const std::exception& e) {
        std::string s = e.what();
        ReportUnhandled(std::wstring(s.begin(), s.end()));
    } catch (...) {
        ReportUnhandled(L"unknown error");
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
