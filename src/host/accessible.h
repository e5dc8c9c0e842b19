#pragma once
// What screen readers see (Microsoft Active Accessibility). Windowless
// controls have no window for the system to describe, so each container
// answers WM_GETOBJECT for its client area itself: its child windows and
// its visible windowless controls in reading order, each child by its
// control's own id. An edit box answers with the system's own object under
// the name of its caption label. The objects of the windows as a whole
// (a container's, an edit box's) are the system's, but for the focus,
// which they lead on into the client area.
#include <windows.h>

#include <functional>
#include <string>

namespace host {

class ControlSite;
class TextBox;

// The accessible object of one window: made on the first request, cut off
// from its window when the window goes, whoever still holds it.
class AccessibleObject;
void DisconnectAccessible(AccessibleObject*& slot);

// WM_GETOBJECT: the reply for the client area, 0 for any other object. The
// window is called `name()` and is a `role` (empty and 0: the system's).
LRESULT AnswerClientObject(ControlSite& owner, AccessibleObject*& slot, WPARAM wp, LPARAM lp,
                           std::function<std::wstring()> name, long role);
// WM_GETOBJECT for the window as a whole (OBJID_WINDOW), 0 for any other
// object; `holdsFocus` tells whether the keys are with it or inside it,
// and `idInParent` is the child id its parent's client lists it by (0 for
// a top-level window).
LRESULT AnswerWindowObject(HWND window, AccessibleObject*& slot, WPARAM wp, LPARAM lp,
                           std::function<bool()> holdsFocus, long idInParent = 0);
// For the client area and the window as a whole.
LRESULT AnswerEditObject(TextBox& box, AccessibleObject*& slot, WPARAM wp, LPARAM lp);

}  // namespace host
