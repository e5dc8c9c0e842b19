#pragma once
// A window that holds windowless controls: paints them back to front,
// hit-tests them front to back and routes mouse events to them.
#include <windows.h>

#include <string>
#include <vector>

#include "controls.h"
#include "paint.h"

namespace host {

class AccessibleObject;

class Container {
public:
    virtual ~Container();
    HWND Window() const { return hwnd_; }
    // Controls in front-to-back order (the order they were added).
    const std::vector<Control*>& Children() const { return children_; }
    void Add(Control* c);
    // The frontmost windowless control under a client-area point.
    Control* HitTest(POINT px) const;
    void InvalidatePx(const RECT& r);
    virtual Form* OwnerForm() = 0;

    // The window procedure of every container window: attaches the object
    // at WM_NCCREATE (pass the Container* as the creation parameter) and
    // guards every call, so that no exception reaches Win32.
    static LRESULT CALLBACK Thunk(HWND, UINT, WPARAM, LPARAM);
    // Tooltips of the windowless children, given the tooltip window.
    void RegisterTools(HWND tooltip);
    // A child's rectangle moved or changed size.
    void UpdateToolRect(Control* c);
    // What a screen reader calls the window and what it says it is; empty
    // and 0 leave it to the system.
    virtual std::wstring AccessibleSelfName() const { return {}; }
    virtual long AccessibleSelfRole() const { return 0; }
    // The pointer is over the window: the form makes its tooltips now, if
    // it has not yet.
    virtual void PointerArrived() {}
    // Where its windowless pictures are copied from while it paints.
    HDC PictureDc() { return buffer_.PictureDc(); }

protected:
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) = 0;
    void PaintChildren(HDC dc);
    // Returns true when the message was a mouse or cursor message it handled.
    bool HandleInput(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    LRESULT HandleCtlColor(HDC dc, HWND child);
    void RelayToTip(UINT msg, WPARAM wp, LPARAM lp, const Control* over);
    // Mouse moves over no control reach the container itself.
    virtual void OwnMouseMove(int, int, float, float) {}

    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    std::vector<Control*> children_;
    Control* pressed_ = nullptr;
    bool overTip_ = false;  // the last pointer event was over a control with a tip
    PaintBuffer buffer_;

private:
    // Requests of screen readers: the window's object, and presses.
    bool HandleAccessibility(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    AccessibleObject* accessible_ = nullptr;
};

}  // namespace host
