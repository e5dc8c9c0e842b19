#include "host/error.h"

#include <windows.h>

#include "host/text_services.h"

namespace host {

RuntimeError::RuntimeError(const std::wstring& what)
    : std::runtime_error(ToUtf8(what)), message_(what) {}

void Raise(const std::wstring& what) { throw RuntimeError(what); }

void RaiseLastError(const std::wstring& what) {
    DWORD code = GetLastError();
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring msg = what + L" (" + std::to_wstring(code) + L")";
    if (text) {
        msg += L": ";
        msg += text;
        LocalFree(text);
    }
    throw RuntimeError(msg);
}

namespace {
void DefaultHandler(const std::wstring& message) {
    std::wstring text = L"运行时错误：\r\n" + message;
    MessageBoxW(nullptr, text.c_str(), L"青枫软件系列", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(1);
}
ErrorHandler g_handler = DefaultHandler;
}  // namespace

void SetErrorHandler(ErrorHandler handler) { g_handler = handler ? handler : DefaultHandler; }
void ReportUnhandled(const std::wstring& message) { g_handler(message); }

}  // namespace host
