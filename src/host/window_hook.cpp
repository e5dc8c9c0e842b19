#include "window_hook.h"

namespace host {

LONG_PTR WindowHook::Current() const {
    return charset_ == Charset::kAnsi ? GetWindowLongPtrA(window_, GWLP_WNDPROC)
                                      : GetWindowLongPtrW(window_, GWLP_WNDPROC);
}

void WindowHook::Install(HWND window, WNDPROC proc) {
    if (inChain_ && window_ == window && proc_ == proc && IsWindow(window)) return;
    window_ = window;
    proc_ = proc;
    inChain_ = true;
    const auto p = reinterpret_cast<LONG_PTR>(proc);
    previous_ = reinterpret_cast<WNDPROC>(charset_ == Charset::kAnsi
                                              ? SetWindowLongPtrA(window, GWLP_WNDPROC, p)
                                              : SetWindowLongPtrW(window, GWLP_WNDPROC, p));
}

bool WindowHook::InPlace() const {
    return window_ && IsWindow(window_) && Current() == reinterpret_cast<LONG_PTR>(proc_);
}

bool WindowHook::Remove() {
    if (window_ && !IsWindow(window_)) inChain_ = false;  // the window is gone, and its chain
    if (!InPlace() || !previous_) return false;
    const auto p = reinterpret_cast<LONG_PTR>(previous_);
    if (charset_ == Charset::kAnsi)
        SetWindowLongPtrA(window_, GWLP_WNDPROC, p);
    else
        SetWindowLongPtrW(window_, GWLP_WNDPROC, p);
    inChain_ = false;
    return true;
}

LRESULT WindowHook::CallPrevious(HWND w, UINT msg, WPARAM wp, LPARAM lp) const {
    if (!previous_)
        return charset_ == Charset::kAnsi ? DefWindowProcA(w, msg, wp, lp) : DefWindowProcW(w, msg, wp, lp);
    return charset_ == Charset::kAnsi ? CallWindowProcA(previous_, w, msg, wp, lp)
                                      : CallWindowProcW(previous_, w, msg, wp, lp);
}

}  // namespace host
