#pragma once
// What screen readers see (Microsoft Active Accessibility). Windowless
// controls have no window for the system to describe, so each container
// answers WM_GETOBJECT for its client area itself: its child windows first,
// then its visible windowless controls, front to back, each child by its
// control's own id. An edit box answers with the system's own object under
// the name of its caption label.
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
LRESULT AnswerEditObject(TextBox& box, AccessibleObject*& slot, WPARAM wp, LPARAM lp);

}  // namespace host
