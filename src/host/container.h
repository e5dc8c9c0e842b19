#pragma once
// A window that holds windowless controls: paints them back to front,
// hit-tests them front to back, routes mouse events to them, and draws the
// focus cue of the one that has the keys.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "controls.h"
#include "paint.h"
#include "site.h"
#include "window_hook.h"

namespace host {

class Container : public ControlSite {
public:
    virtual ~Container();
    HWND Window() const override { return hwnd_; }
    int Dpi() const override { return dpi_; }
    const std::vector<Control*>& Children() const override { return children_; }
    // The controls named here come first in reading order, in this order;
    // the others follow in declaration order.
    void SetReadingOrder(std::initializer_list<const Control*> named);
    std::vector<Control*> ReadingOrder() const override;
    void Add(Control* c) override;
    Control* HitTest(POINT px) const override;
    void InvalidatePx(const RECT& r) override;
    HDC PictureDc() override { return buffer_.PictureDc(); }

    // Registers a window class of containers. Its windows are created with
    // the Container* as their creation parameter: from their first message
    // on, the object has them (through a WindowHook).
    static bool RegisterWindowClass(const wchar_t* name);

    // What a screen reader calls the window and what it is (empty and 0
    // leave it to the system).
    virtual std::wstring AccessibleSelfName() const { return {}; }
    virtual long AccessibleSelfRole() const { return 0; }
    // The id its window is listed by in its parent's client area (0 for a
    // form, which has none).
    virtual long AccessibleIdInParent() const { return 0; }
    // Whether the keys are with the window itself or with one of its
    // controls (a windowless one has them through its form's window).
    bool FocusWithin() const;

protected:
    // What the form and the frame do alike: mouse, cursor, screen readers,
    // the edit boxes' colours and focus, no background erase. True when it
    // handled the message.
    bool HandleShared(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) = 0;
    // The window's default handling: the procedure the hook replaced.
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) { return hook_.CallPrevious(hwnd_, msg, wp, lp); }
    // Paints the children back to front, then the focus cue over them.
    void PaintChildren(HDC dc);
    // Mouse moves over no control reach the container itself.
    virtual void OwnMouseMove(int, int, float, float) {}
    Control* ChildById(long id) const;

    // A form lays itself out at a DPI; a frame is at its form's (Dpi()).
    void SetDpi(int dpi) { dpi_ = dpi; }

    HWND hwnd_ = nullptr;
    std::vector<Control*> children_;
    Control* pressed_ = nullptr;
    bool overTip_ = false;  // the last pointer event was over a control with a tip
    PaintBuffer buffer_;

private:
    static LRESULT CALLBACK Starter(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK Thunk(HWND, UINT, WPARAM, LPARAM);
    // Returns true when the message was a mouse or cursor message it handled.
    bool HandleInput(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void RelayToTip(UINT msg, WPARAM wp, LPARAM lp, const Control* over);
    // Requests of screen readers: the window's object, and presses.
    bool HandleAccessibility(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // Whether a message of the window's creation or destruction is the
    // system's own (see Thunk).
    bool SystemsOwn(UINT msg);
    WindowHook hook_;
    enum class Life { kNone, kCreating, kLive } life_ = Life::kNone;
    AccessibleObject* accessible_ = nullptr;  // its client area's
    AccessibleObject* windowAccessible_ = nullptr;  // the window's as a whole
    std::vector<const Control*> reading_;
    int dpi_ = 96;
};

}  // namespace host
