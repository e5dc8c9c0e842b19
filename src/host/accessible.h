#pragma once
// What screen readers see (Microsoft Active Accessibility). Windowless
// controls have no window for the system to describe, so each container
// answers WM_GETOBJECT for its client area itself: its child windows first,
// as the system lists them, then its visible windowless controls, front to
// back, as simple children. An edit box answers with the system's own
// object under the name of its caption label.
#include <windows.h>

namespace host {

class ControlSite;
class Control;
class TextBox;

// The accessible object of one window: made on the first request, cut off
// from its window when the window goes, whoever still holds it.
class AccessibleObject;
void DisconnectAccessible(AccessibleObject*& slot);

// WM_GETOBJECT: the reply for the client area, 0 for any other object.
LRESULT AnswerClientObject(ControlSite& owner, AccessibleObject*& slot, WPARAM wp, LPARAM lp);
LRESULT AnswerEditObject(TextBox& box, AccessibleObject*& slot, WPARAM wp, LPARAM lp);

// The child id a control has in its container's object: 0 when it is not
// listed (outside the client area, or no role).
long AccessibleChildId(const Control& c);
// Tells accessibility clients (screen readers) of a change of a control.
void NotifyAccessible(DWORD event, const Control& c);

}  // namespace host
