#pragma once
// What a control asks of the window it lies in (a form, or a frame inside
// a form), and what it asks of its form as a whole. Controls know their
// window and their form through these alone.
#include <windows.h>

#include <string>
#include <vector>

namespace host {

class AccessibleObject;
class Control;
class FormSite;
class TextBox;

// The window a control lies in: where it is drawn and found.
class ControlSite {
public:
    virtual HWND Window() const = 0;
    // The dots per inch the window is laid out at: twips become pixels,
    // fonts and pictures are chosen for it.
    virtual int Dpi() const = 0;
    // A control takes its place in the window as it is constructed; the
    // controls in front-to-back order.
    virtual void Add(Control* c) = 0;
    virtual const std::vector<Control*>& Children() const = 0;
    // The controls in the order a person reads the window: what screen
    // readers list and step through.
    virtual std::vector<Control*> ReadingOrder() const = 0;
    // The frontmost windowless control under a client-area point.
    virtual Control* HitTest(POINT px) const = 0;
    virtual void InvalidatePx(const RECT& r) = 0;
    // Where windowless pictures are copied from while the window paints.
    virtual HDC PictureDc() = 0;
    // The form the window belongs to: keys, focus and tooltips are the
    // form's matters, whichever of its windows a control lies in.
    virtual FormSite& Top() = 0;

protected:
    ~ControlSite() = default;
};

// The form as its controls see it.
class FormSite {
public:
    // Every control of the form, frame children too, is registered with the
    // form as it is constructed.
    virtual void Register(Control* c) = 0;
    // A control took the keyboard focus (an edit box tells of it), or a
    // windowless one asks for it.
    virtual void FocusArrived(Control* c) = 0;
    // Whether the form is destroying its window (its children go with it):
    // the only time its windows are told they are destroyed.
    virtual bool Destroying() const = 0;
    virtual void FocusOn(Control* c) = 0;
    // Whether the control has the keyboard focus now, and whether its focus
    // cue shows (unless the user has the cues hidden).
    virtual bool HasFocus(const Control& c) const = 0;
    virtual bool ShowsFocusCue(const Control& c) const = 0;
    // Tab and Shift+Tab: the next control in tab order takes the focus.
    virtual void TabFrom(Control* from, bool backwards) = 0;
    // The form's tooltip window, made when the pointer first comes over
    // one of the form's windows (every call then is such a coming); null
    // before the form is shown, or where no control has a tip.
    virtual HWND ToolTip() = 0;
    // A control's rectangle moved or changed size: its tooltip follows.
    virtual void UpdateToolRect(Control& c) = 0;
    // Screen readers: an edit box's object, made on the first request and
    // cut off when the box goes.
    virtual LRESULT AnswerEditObject(TextBox& box, AccessibleObject*& slot, WPARAM wp, LPARAM lp) = 0;
    virtual void ForgetAccessible(AccessibleObject*& slot) = 0;

protected:
    ~FormSite() = default;
};

}  // namespace host
