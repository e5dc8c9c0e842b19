#pragma once
// A window that holds windowless controls: paints them back to front,
// hit-tests them front to back and routes mouse events to them.
#include <windows.h>

#include <string>
#include <vector>

#include "controls.h"
#include "paint.h"
#include "site.h"

namespace host {

class Container : public ControlSite {
public:
    virtual ~Container();
    HWND Window() const override { return hwnd_; }
    int Dpi() const override { return dpi_; }
    const std::vector<Control*>& Children() const override { return children_; }
    void Add(Control* c) override;
    Control* HitTest(POINT px) const override;
    void InvalidatePx(const RECT& r) override;
    // Every control of the form, frame children too, is registered with
    // the form as it is constructed; a frame passes its own on.
    virtual void Register(Control*) {}
    // An edit box took the focus: it gets it back when the form is
    // activated again.
    virtual void NoteFocus(HWND) {}

    // The window procedure of every container window: attaches the object
    // at WM_NCCREATE (pass the Container* as the creation parameter) and
    // guards every call, so that no exception reaches Win32.
    static LRESULT CALLBACK Thunk(HWND, UINT, WPARAM, LPARAM);
    // Registers a window class of containers (their procedure is Thunk).
    static bool RegisterWindowClass(const wchar_t* name);
    // Tooltips of the windowless children, given the tooltip window.
    void RegisterTools(HWND tooltip);
    void UpdateToolRect(Control* c) override;
    HDC PictureDc() override { return buffer_.PictureDc(); }
    void Notify(DWORD event, const Control& c) override;
    LRESULT AnswerEditObject(TextBox& box, AccessibleObject*& slot, WPARAM wp,
                             LPARAM lp) override;
    void ForgetAccessible(AccessibleObject*& slot) override;

protected:
    // What the form and the frame do alike: mouse, cursor, screen readers,
    // the edit boxes' colours and focus, no background erase. True when it
    // handled the message.
    bool HandleShared(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
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
    int dpi_ = 96;  // a form's; a frame asks its form (Dpi())
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
