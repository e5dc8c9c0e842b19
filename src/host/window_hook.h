#pragma once
// The one way the program takes over a window's procedure: the window's
// messages go to a procedure of the program's, which hands what it does
// not take to the procedure it replaced. The container windows, the edit
// boxes and the tray all go through it.
#include <windows.h>

namespace host {

class WindowHook {
public:
    // A hook set with the ANSI calls sees messages as an ANSI procedure
    // does (the tray's: its record and its callback are ANSI).
    enum class Charset { kUnicode, kAnsi };
    explicit WindowHook(Charset charset = Charset::kUnicode) : charset_(charset) {}
    ~WindowHook() { Remove(); }
    WindowHook(const WindowHook&) = delete;
    WindowHook& operator=(const WindowHook&) = delete;

    // Puts `proc` in place of the window's procedure, keeping the one it
    // replaces. Installing it again while it is still in the window's chain
    // (on top, or under a procedure installed over it since that hands
    // messages on) changes nothing: it never becomes its own previous
    // procedure. Out of the chain (a procedure installed under it was taken
    // away and took it along), it goes on top again. `proc` hands the
    // messages it does not take to CallPrevious.
    void Install(HWND window, WNDPROC proc);
    // Puts the replaced procedure back, while `proc` is still the window's:
    // a procedure installed over it since then stays, and so does this
    // hook's place in the chain. True when it was put back.
    bool Remove();
    // Whether the window's procedure is this hook's now.
    bool InPlace() const;
    // The procedure it replaced, given a message.
    LRESULT CallPrevious(HWND w, UINT msg, WPARAM wp, LPARAM lp) const;
    WNDPROC Previous() const { return previous_; }

private:
    LONG_PTR Current() const;
    // Whether the window's messages still reach `proc_`: it is the window's
    // procedure, or a message sent to the window comes down to it.
    bool Reached() const;
    Charset charset_;
    HWND window_ = nullptr;
    WNDPROC proc_ = nullptr;
    WNDPROC previous_ = nullptr;
    bool inChain_ = false;
    mutable bool heard_ = false;
};

}  // namespace host
