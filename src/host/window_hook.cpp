#include "window_hook.h"

#include "messages.h"

namespace host {

LONG_PTR WindowHook::Current() const {
    return charset_ == Charset::kAnsi ? GetWindowLongPtrA(window_, GWLP_WNDPROC)
                                      : GetWindowLongPtrW(window_, GWLP_WNDPROC);
}

namespace {
// Sent down a window's chain to find out whether it still reaches a hook:
// wParam names the hook.
UINT ProbeMessage() {
    static const UINT msg = RegisterWindowMessageW(messages::kHookProbe);
    return msg;
}
}  // namespace

bool WindowHook::Reached() const {
    if (Current() == reinterpret_cast<LONG_PTR>(proc_)) return true;
    // A procedure of another program's over ours: it may have kept ours
    // as its previous one, or taken ours out along with itself.
    heard_ = false;
    if (ProbeMessage()) {
        if (charset_ == Charset::kAnsi)
            SendMessageA(window_, ProbeMessage(), reinterpret_cast<WPARAM>(this), 0);
        else
            SendMessageW(window_, ProbeMessage(), reinterpret_cast<WPARAM>(this), 0);
    }
    return heard_;
}

void WindowHook::Install(HWND window, WNDPROC proc) {
    if (inChain_ && window_ == window && proc_ == proc && IsWindow(window) && Reached()) return;
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
    if (msg == ProbeMessage() && msg && wp == reinterpret_cast<WPARAM>(this)) {
        heard_ = true;
        return 0;
    }
    if (!previous_)
        return charset_ == Charset::kAnsi ? DefWindowProcA(w, msg, wp, lp) : DefWindowProcW(w, msg, wp, lp);
    return charset_ == Charset::kAnsi ? CallWindowProcA(previous_, w, msg, wp, lp)
                                      : CallWindowProcW(previous_, w, msg, wp, lp);
}

}  // namespace host
