#include "container.h"

#include <commctrl.h>
#include <windowsx.h>

#include "accessible.h"
#include "app.h"
#include "error.h"
#include "messages.h"
#include "twips.h"

namespace host {

Container::~Container() { DisconnectAccessible(accessible_); }

void Container::Add(Control* c) {
    children_.push_back(c);
    Register(c);
}

void Container::Notify(DWORD event, const Control& c) { NotifyAccessible(event, c); }

LRESULT Container::AnswerEditObject(TextBox& box, AccessibleObject*& slot, WPARAM wp, LPARAM lp) {
    return host::AnswerEditObject(box, slot, wp, lp);
}

void Container::ForgetAccessible(AccessibleObject*& slot) { DisconnectAccessible(slot); }

bool Container::HandleAccessibility(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_GETOBJECT:
        result = AnswerClientObject(*this, accessible_, wp, lp);
        return result != 0;
    case messages::kAccessiblePress:
        result = 0;
        if (wp < children_.size() && IsWindowVisible(hwnd_)) children_[wp]->Press();
        return true;
    case WM_NCDESTROY:
        DisconnectAccessible(accessible_);
        return false;
    }
    return false;
}

namespace {
// While the error box is up, windows only paint their default and keep
// still: the program ends when the box is closed.
LRESULT FailingProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE || msg == WM_TIMER) return 0;
    return DefWindowProcW(h, msg, wp, lp);
}
}  // namespace

LRESULT CALLBACK Container::Thunk(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Container*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = h;
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Container*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!self) return DefWindowProcW(h, msg, wp, lp);
    if (Failed()) return FailingProc(h, msg, wp, lp);
    QF_COUNT(messages);
    LRESULT r = GuardOr(LRESULT(0), [&] {
        LRESULT result = 0;
        if (self->HandleShared(msg, wp, lp, result)) return result;
        return self->WndProc(msg, wp, lp);
    });
    if (msg == WM_NCDESTROY) self->hwnd_ = nullptr;
    return r;
}

bool Container::HandleShared(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (HandleAccessibility(msg, wp, lp, result) || HandleInput(msg, wp, lp, result)) return true;
    switch (msg) {
    case WM_ERASEBKGND:  // the paint covers it all, from a bitmap
        result = 1;
        return true;
    case WM_CTLCOLOREDIT:
        result = HandleCtlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
        return true;
    case WM_COMMAND:
        if (HIWORD(wp) == EN_SETFOCUS) NoteFocus(reinterpret_cast<HWND>(lp));
        return false;
    }
    return false;
}

bool Container::RegisterWindowClass(const wchar_t* name) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.hInstance = App::Instance();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Thunk;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

Control* Container::HitTest(POINT px) const {
    for (Control* c : children_) {
        if (!c->Windowless()) continue;
        RECT r = c->PixelRect();
        if (PtInRect(&r, px)) return c;
    }
    return nullptr;
}

void Container::InvalidatePx(const RECT& r) {
    QF_COUNT(invalidations);
    if (hwnd_) InvalidateRect(hwnd_, &r, FALSE);
}

void Container::PaintChildren(HDC dc) {
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        Control* c = *it;
        if (!c->Windowless()) continue;
        RECT r = c->PaintRect();
        RECT clip;
        GetClipBox(dc, &clip);
        RECT both;
        if (!IntersectRect(&both, &r, &clip)) continue;
        SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        c->Paint(dc);
        RestoreDC(dc, -1);
    }
}

namespace {
int ButtonsOf(WPARAM wp) {
    return ((wp & MK_LBUTTON) ? 1 : 0) | ((wp & MK_RBUTTON) ? 2 : 0) | ((wp & MK_MBUTTON) ? 4 : 0);
}
}  // namespace

// The tooltip hears of the pointer over a control that has a tip, and once
// more when it leaves one; moves over the rest of the window, most of them,
// cost it nothing.
void Container::RelayToTip(UINT msg, WPARAM wp, LPARAM lp, const Control* over) {
    const bool tip = over && !over->ToolTipText().empty();
    if (tooltip_ && (tip || overTip_)) {
        MSG m = {};
        m.hwnd = hwnd_;
        m.message = msg;
        m.wParam = wp;
        m.lParam = lp;
        m.time = static_cast<DWORD>(GetMessageTime());
        m.pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(hwnd_, &m.pt);
        SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
    }
    overTip_ = tip;
}

bool Container::HandleInput(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    // The control under the pointer, found once for a mouse message.
    Control* under = nullptr;
    switch (msg) {
    case WM_MOUSEMOVE:
        PointerArrived();
        [[fallthrough]];
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        under = HitTest(pt);
        RelayToTip(msg, wp, lp, under);
        break;
    }
    auto local = [&](Control* c, float& x, float& y) {
        RECT r = c->PixelRect();
        x = static_cast<float>(common::PixelsToTwips(pt.x - r.left, Dpi()));
        y = static_cast<float>(common::PixelsToTwips(pt.y - r.top, Dpi()));
    };
    int button = 0;
    switch (msg) {
    case WM_MOUSEMOVE: {
        Control* c = pressed_ ? pressed_ : under;
        float x, y;
        if (c) {
            local(c, x, y);
            if (c->MouseMove) c->MouseMove(ButtonsOf(wp), ShiftState(), x, y);
        } else {
            OwnMouseMove(ButtonsOf(wp), ShiftState(), static_cast<float>(common::PixelsToTwips(pt.x, Dpi())),
                         static_cast<float>(common::PixelsToTwips(pt.y, Dpi())));
        }
        result = 0;
        return true;
    }
    case WM_LBUTTONDOWN: button = 1; [[fallthrough]];
    case WM_RBUTTONDOWN: if (!button) button = 2; [[fallthrough]];
    case WM_MBUTTONDOWN: {
        if (!button) button = 4;
        Control* c = under;
        result = 0;
        if (!c) return true;
        pressed_ = c;
        SetCapture(hwnd_);
        float x, y;
        local(c, x, y);
        if (c->MouseDown) c->MouseDown(button, ShiftState(), x, y);
        // A handler that started a system move loop has taken the capture
        // and swallowed the release: forget the press.
        if (GetCapture() != hwnd_) pressed_ = nullptr;
        return true;
    }
    case WM_LBUTTONUP: button = 1; [[fallthrough]];
    case WM_RBUTTONUP: if (!button) button = 2; [[fallthrough]];
    case WM_MBUTTONUP: {
        if (!button) button = 4;
        result = 0;
        Control* c = pressed_;
        if (!c) return true;
        if (!(wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
            pressed_ = nullptr;
            if (GetCapture() == hwnd_) ReleaseCapture();
        }
        float x, y;
        local(c, x, y);
        RECT r = c->PixelRect();
        bool over = PtInRect(&r, pt) != FALSE;
        if (c->MouseUp) c->MouseUp(button, ShiftState(), x, y);
        if (button == 1 && over && c->Click) c->Click();
        return true;
    }
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != hwnd_) pressed_ = nullptr;
        return false;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && reinterpret_cast<HWND>(wp) == hwnd_) {
            POINT p;
            GetCursorPos(&p);
            ScreenToClient(hwnd_, &p);
            Control* c = HitTest(p);
            SetCursor(c && c->MousePointer() ? c->MousePointer() : LoadCursor(nullptr, IDC_ARROW));
            result = TRUE;
            return true;
        }
        return false;
    }
    return false;
}

LRESULT Container::HandleCtlColor(HDC dc, HWND child) {
    for (Control* c : children_) {
        auto* tb = dynamic_cast<TextBox*>(c);
        if (tb && tb->hWnd() == child) {
            SetBkColor(dc, ToColorRef(tb->BackColor() == kUnsetColour ? kWindowBack : tb->BackColor()));
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(tb->BackBrush());
        }
    }
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

void Container::RegisterTools(HWND tooltip) {
    tooltip_ = tooltip;
    if (!tooltip_) return;
    for (size_t i = 0; i < children_.size(); ++i) {
        Control* c = children_[i];
        if (c->ToolTipText().empty()) continue;
        TTTOOLINFOW ti = {};
        ti.cbSize = sizeof ti;
        ti.hwnd = hwnd_;
        ti.lpszText = const_cast<wchar_t*>(c->ToolTipText().c_str());
        if (auto* tb = dynamic_cast<TextBox*>(c)) {
            // An edit box is a window of its own: the tooltip listens to it.
            ti.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
            ti.uId = reinterpret_cast<UINT_PTR>(tb->hWnd());
        } else {
            ti.uId = i + 1;
            ti.rect = c->PixelRect();
        }
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void Container::UpdateToolRect(Control* c) {
    if (!tooltip_ || c->ToolTipText().empty()) return;
    for (size_t i = 0; i < children_.size(); ++i) {
        if (children_[i] != c) continue;
        TTTOOLINFOW ti = {};
        ti.cbSize = sizeof ti;
        ti.hwnd = hwnd_;
        ti.uId = i + 1;
        ti.rect = c->PixelRect();
        SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

}  // namespace host
