#pragma once
// What any program may send or post to a window of ours and the window
// must not act on: the presses, commands and requests that would start one
// of the system's modal loops (a move, a size, a menu, help mode) where the
// system never starts one, or close a child window. A window's creation
// and destruction are told apart where each window handles them
// (Container::Thunk, TextBox::SubclassProc).
#include <windows.h>

namespace host {

// Whether the message comes from this thread, as the system sends it: not
// sent by another thread or program, and not posted into the queue (the
// system sends commands and context menus, it never posts them).
bool FromThisThread(HWND h, UINT msg, WPARAM wp, LPARAM lp);

// True when the message is refused; `answer` is then what a window answers
// that does nothing with it.
//  - a press outside the client area (left, right, middle, double click)
//    whose hit code is not the window's own answer at that point: a child
//    has no caption, sizing border or system menu to press; a form may also
//    be dragged by its title from this thread (Form::DragMove);
//  - a system command to a child from anywhere but this thread (Alt with
//    a key in a box comes so); to a form, a size loop or help mode, which
//    no form offers;
//  - a context menu from anywhere but this thread (a right click or the
//    menu key comes so);
//  - a close request to a child: the system would destroy the child;
//  - a button press the user did not make (sent by another program, or
//    posted while the button is up): the window would keep the mouse, and
//    the user's next click would go to it.
bool RefusedFromOutside(HWND h, UINT msg, WPARAM wp, LPARAM lp, bool child, LRESULT& answer);

}  // namespace host
