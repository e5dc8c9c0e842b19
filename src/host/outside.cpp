#include "outside.h"

#include "app.h"

namespace host {

bool FromThisThread(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    return !InSendMessage() && !App::Dispatching(h, msg, wp, lp);
}

bool RefusedFromOutside(HWND h, UINT msg, WPARAM wp, LPARAM lp, bool child, LRESULT& answer) {
    answer = 0;
    switch (msg) {
    case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK: case WM_NCLBUTTONUP:
    case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK: case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK: case WM_NCMBUTTONUP:
        if (!child && msg == WM_NCLBUTTONDOWN && wp == HTCAPTION && FromThisThread(h, msg, wp, lp)) return false;
        return static_cast<WPARAM>(SendMessageW(h, WM_NCHITTEST, 0, lp)) != wp;
    case WM_SYSCOMMAND:
        if (child) return !FromThisThread(h, msg, wp, lp);
        wp &= 0xFFF0;
        return wp == SC_SIZE || wp == SC_CONTEXTHELP;
    case WM_CONTEXTMENU:
        return !FromThisThread(h, msg, wp, lp);
    case WM_CLOSE:
        return child;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: {
        // The button's state moves with the input the thread reads, not
        // with a message posted to it.
        const int button = msg <= WM_LBUTTONDBLCLK ? VK_LBUTTON : msg <= WM_RBUTTONDBLCLK ? VK_RBUTTON : VK_MBUTTON;
        return InSendMessage() || (App::Dispatching(h, msg, wp, lp) && GetKeyState(button) >= 0);
    }
    }
    return false;
}

}  // namespace host
