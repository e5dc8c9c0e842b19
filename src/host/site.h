#pragma once
// What a control asks of the window it lies in (a form, or a frame inside
// a form), and what a screen reader's view of that window reads. Controls
// know their window through this alone.
#include <windows.h>

#include <string>
#include <vector>

namespace host {

class AccessibleObject;
class Control;
class TextBox;

class ControlSite {
public:
    virtual HWND Window() const = 0;
    // The dots per inch the window is laid out at: twips become pixels,
    // fonts and pictures are chosen for it.
    virtual int Dpi() const = 0;
    // Controls in front-to-back order (the order they were added).
    virtual const std::vector<Control*>& Children() const = 0;
    // The frontmost windowless control under a client-area point.
    virtual Control* HitTest(POINT px) const = 0;
    // A control takes its place in the window as it is constructed.
    virtual void Add(Control* c) = 0;
    virtual void InvalidatePx(const RECT& r) = 0;
    // Where windowless pictures are copied from while the window paints.
    virtual HDC PictureDc() = 0;
    // A child's rectangle moved or changed size: its tooltip follows.
    virtual void UpdateToolRect(Control* c) = 0;
    // An edit box passes Tab on: the form moves the focus in tab order.
    virtual void TabFrom(TextBox* from, bool backwards) = 0;
    // The pointer is over the window or one of its edit boxes.
    virtual void PointerArrived() = 0;

    // Screen readers: what the window is called and what it is (empty and
    // 0 leave it to the system); a change of a control; an edit box's
    // object, made on the first request and cut off when the box goes.
    virtual std::wstring AccessibleSelfName() const { return {}; }
    virtual long AccessibleSelfRole() const { return 0; }
    virtual void Notify(DWORD event, const Control& c) = 0;
    virtual LRESULT AnswerEditObject(TextBox& box, AccessibleObject*& slot, WPARAM wp,
                                     LPARAM lp) = 0;
    virtual void ForgetAccessible(AccessibleObject*& slot) = 0;

protected:
    ~ControlSite() = default;
};

}  // namespace host
