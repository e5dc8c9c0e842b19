#include "container.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "accessible.h"
#include "app.h"
#include "error.h"
#include "messages.h"
#include "outside.h"
#include "twips.h"

namespace host {

Container::~Container() {
    DisconnectAccessible(accessible_);
    DisconnectAccessible(windowAccessible_);
    // A window that outlives its object no longer reaches it, even where a
    // procedure over ours keeps ours in its chain.
    if (hwnd_) {
        hook_.Remove();
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    }
}

void Container::Add(Control* c) {
    for (Control* other : children_)
        if (other->Id() == c->Id()) Raise(L"控件 " + c->Name() + L" 与 " + other->Name() + L" 编号相同");
    children_.push_back(c);
    Top().Register(c);
}

void Container::SetReadingOrder(std::initializer_list<const Control*> named) {
    for (const Control* c : named)
        if (c->Parent() != this) Raise(L"控件 " + c->Name() + L" 不在此容器中");
    reading_.assign(named.begin(), named.end());
}

std::vector<Control*> Container::ReadingOrder() const {
    std::vector<Control*> order;
    for (const Control* named : reading_)
        for (Control* c : children_)
            if (c == named) order.push_back(c);
    for (Control* c : children_)
        if (std::find(reading_.begin(), reading_.end(), c) == reading_.end()) order.push_back(c);
    return order;
}

bool Container::FocusWithin() const {
    if (!hwnd_) return false;
    if (GetFocus() == hwnd_) return true;
    for (Control* c : children_)
        if (c->HoldsFocus()) return true;
    return false;
}

Control* Container::ChildById(long id) const {
    for (Control* c : children_)
        if (c->Id() == id) return c;
    return nullptr;
}

bool Container::HandleAccessibility(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_GETOBJECT:
        result = AnswerClientObject(*this, accessible_, wp, lp, [this] { return AccessibleSelfName(); },
                                    AccessibleSelfRole());
        if (!result)
            result = AnswerWindowObject(hwnd_, windowAccessible_, wp, lp, [this] { return FocusWithin(); },
                                        AccessibleIdInParent());
        return result != 0;
    case messages::kAccessiblePress:
        result = 0;
        if (Control* c = ChildById(static_cast<long>(wp)); c && IsWindowVisible(hwnd_)) c->Press();
        return true;
    case WM_NCDESTROY:
        DisconnectAccessible(accessible_);
        DisconnectAccessible(windowAccessible_);
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

// The class's own procedure: the window's first message hands it to its
// object, whose hook then has every message; what the object leaves comes
// back here and goes to the system.
LRESULT CALLBACK Container::Starter(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE && !GetWindowLongPtrW(h, GWLP_USERDATA)) {
        auto* self = static_cast<Container*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = h;
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hook_.Install(h, Thunk);
        return Thunk(h, msg, wp, lp);
    }
    return DefWindowProcW(h, msg, wp, lp);
}

// A window is created once, in order, inside CreateWindowEx, and destroyed
// once, while its form destroys it: the same messages sent or posted by
// another program would have it drop what it holds (its title, its hook,
// its object). They are answered as a live window answers and do nothing.
bool Container::SystemsOwn(UINT msg) {
    switch (msg) {
    case WM_NCCREATE:
        if (life_ != Life::kNone) return false;
        life_ = Life::kCreating;
        return true;
    case WM_CREATE:
        if (life_ != Life::kCreating) return false;
        life_ = Life::kLive;
        return true;
    case WM_DESTROY:
    case WM_NCDESTROY:
        return Top().Destroying();
    }
    return true;
}

LRESULT CALLBACK Container::Thunk(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Container*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!self) return DefWindowProcW(h, msg, wp, lp);
    if (Failed()) return FailingProc(h, msg, wp, lp);
    if (!self->SystemsOwn(msg)) return msg == WM_NCCREATE;
    LRESULT answer = 0;
    if (RefusedFromOutside(h, msg, wp, lp, (GetWindowLongW(h, GWL_STYLE) & WS_CHILD) != 0, answer)) return answer;
    QF_COUNT(messages);
    LRESULT r = GuardOr(LRESULT(0), [&] {
        LRESULT result = 0;
        if (self->HandleShared(msg, wp, lp, result)) return result;
        return self->WndProc(msg, wp, lp);
    });
    if (msg == WM_NCDESTROY) {
        self->hook_.Remove();
        self->hwnd_ = nullptr;
        self->life_ = Life::kNone;
    }
    return r;
}

bool Container::HandleShared(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (HandleAccessibility(msg, wp, lp, result) || HandleInput(msg, wp, lp, result)) return true;
    switch (msg) {
    case WM_ERASEBKGND:  // the paint covers it all, from a bitmap
        result = 1;
        return true;
    case WM_SETREDRAW:
        // Only another program sends it: the window would never paint
        // again and count as hidden, and so would the boxes in it.
        result = 0;
        return true;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:  // a read-only box
        for (Control* c : children_)
            if (HBRUSH b = c->ColoursFor(reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp))) {
                result = reinterpret_cast<LRESULT>(b);
                return true;
            }
        return false;
    case WM_COMMAND:
        if (HIWORD(wp) == EN_SETFOCUS)
            for (Control* c : children_)
                if (c->OwnWindow() && c->OwnWindow() == reinterpret_cast<HWND>(lp)) Top().FocusArrived(c);
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
    wc.lpfnWndProc = Starter;
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

namespace {
// A dotted frame as DrawFocusRect draws it, inverting every other pixel,
// with dots and lines `width` pixels wide at a larger scale.
void DrawFocusCue(HDC dc, const RECT& r, int width) {
    if (width <= 1) {
        DrawFocusRect(dc, &r);
        return;
    }
    const int n = 2 * width, stride = ((n + 15) / 16) * 2;
    std::string rows(static_cast<size_t>(stride * n), '\0');
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            if ((x / width + y / width) % 2 == 0)
                rows[static_cast<size_t>(y * stride + x / 8)] |= static_cast<char>(0x80 >> (x % 8));
    BitmapHandle dots(CreateBitmap(n, n, 1, 1, rows.data()));
    BrushHandle brush(CreatePatternBrush(dots.get()));
    if (!brush) return;
    COLORREF text = SetTextColor(dc, RGB(0, 0, 0)), back = SetBkColor(dc, RGB(255, 255, 255));
    // The brush's origin is in device pixels, and a paint buffer holds the
    // invalid part alone, wherever it starts: the grid starts at the
    // cue's own corner however much of the window is painted with it.
    POINT org, corner = {r.left, r.top};
    LPtoDP(dc, &corner, 1);
    SetBrushOrgEx(dc, corner.x, corner.y, &org);
    HGDIOBJ old = SelectObject(dc, brush.get());
    const int w = r.right - r.left, h = r.bottom - r.top;
    PatBlt(dc, r.left, r.top, w, width, PATINVERT);
    PatBlt(dc, r.left, r.bottom - width, w, width, PATINVERT);
    PatBlt(dc, r.left, r.top + width, width, h - 2 * width, PATINVERT);
    PatBlt(dc, r.right - width, r.top + width, width, h - 2 * width, PATINVERT);
    SelectObject(dc, old);
    SetBrushOrgEx(dc, org.x, org.y, nullptr);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
}
}  // namespace

void Container::PaintChildren(HDC dc) {
    RECT clip;
    GetClipBox(dc, &clip);
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        Control* c = *it;
        if (!c->Windowless()) continue;
        RECT r = c->PaintRect(), both;
        if (!IntersectRect(&both, &r, &clip)) continue;
        SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        c->Paint(dc);
        RestoreDC(dc, -1);
    }
    // Over the skin, never into its pictures.
    for (Control* c : children_)
        if (c->Windowless() && Top().ShowsFocusCue(*c))
            DrawFocusCue(dc, c->CueRect(), c->CueWidth());
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
    HWND tooltip = Top().ToolTip();
    if (tooltip && (tip || overTip_)) {
        MSG m = {};
        m.hwnd = hwnd_;
        m.message = msg;
        m.wParam = wp;
        m.lParam = lp;
        m.time = static_cast<DWORD>(GetMessageTime());
        m.pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(hwnd_, &m.pt);
        SendMessageW(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
    }
    overTip_ = tip;
}

bool Container::HandleInput(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    // The control under the pointer, found once for a mouse message.
    Control* under = nullptr;
    switch (msg) {
    case WM_MOUSEMOVE:
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
        // A press leaves the keys where they were: pictures and labels are
        // the skin's, and the next number is typed into the box that had
        // the keys.
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

}  // namespace host
