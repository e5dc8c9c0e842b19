#include "frame.h"

#include <oleacc.h>

#include "app.h"
#include "contrast.h"
#include "error.h"
#include "handles.h"
#include "paint.h"
#include "twips.h"

namespace host {

const wchar_t Frame::kClassName[] = L"QfFrame";

Frame::Frame(ControlSite& owner, std::wstring name, TwipsRect rect, const wchar_t* caption)
    : Control(owner, std::move(name), rect), caption_(caption ? caption : L"") {}

long Frame::AccessibleSelfRole() const { return ROLE_SYSTEM_GROUPING; }

void Frame::SetBackColor(Colour c) {
    if (c == back_) return;
    back_ = c;
    RECT all;
    if (hwnd_ && GetClientRect(hwnd_, &all)) InvalidatePx(all);
}

void Frame::Realize() {
    static const bool registered = RegisterWindowClass(kClassName);
    if (!registered) RaiseLastError(L"无法注册框架的窗口类");
    RECT r = PixelRect();
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, caption_.c_str(),
                            WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, r.left,
                            r.top, r.right - r.left, r.bottom - r.top, Control::parent_->Window(),
                            nullptr, App::Instance(), static_cast<Container*>(this));
    if (!hwnd_) RaiseLastError(L"无法创建框架 " + name_);
    for (Control* c : children_)
        if (!c->Windowless()) c->Realize();
}

void Frame::AddTools(HWND tooltip) {
    for (Control* c : children_) c->AddTools(tooltip);
}

void Frame::DpiChanged() {
    if (!hwnd_) return;
    RECT r = PixelRect();
    MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void Frame::OwnMouseMove(int b, int s, float x, float y) {
    if (MouseMove) MouseMove(b, s, x, y);
}

LRESULT Frame::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        buffer_.Paint(hwnd_, [&](HDC dc) {
            RECT rc;
            GetClientRect(hwnd_, &rc);
            ColourBrush brush(HighContrast() ? kBtnFace : back_);
            FillRect(dc, &rc, brush.get());
            Selected font(dc, App::DefaultFont(false, Dpi()));
            TEXTMETRICW tm;
            GetTextMetricsW(dc, &tm);
            RECT border = rc;
            border.top = tm.tmHeight / 2;
            DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
            if (!caption_.empty()) {
                SIZE sz;
                GetTextExtentPoint32W(dc, caption_.c_str(), static_cast<int>(caption_.size()), &sz);
                const int in = common::ScalePixels(8, Dpi()), pad = common::ScalePixels(2, Dpi());
                RECT cap = {in, 0, in + sz.cx + 2 * pad, tm.tmHeight};
                FillRect(dc, &cap, brush.get());
                SetBkMode(dc, TRANSPARENT);
                SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
                TextOutW(dc, in + pad, 0, caption_.c_str(), static_cast<int>(caption_.size()));
            }
            PaintChildren(dc);
        });
        return 0;
    }
    return Default(msg, wp, lp);
}

}  // namespace host
