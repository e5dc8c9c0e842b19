#include "form.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>

#include "accessible.h"
#include "dpi.h"
#include "error.h"
#include "messages.h"
#include "paint.h"
#include "twips.h"

// Windows 8.1's message; the headers offer it only to programs that need
// Windows 8.1, and this one runs on XP.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace host {

namespace {
using messages::kFormTimerBase;
using messages::kIdleWorkTimer;
}  // namespace

Timer::Timer(Form& form, std::wstring name, unsigned intervalMs)
    : name_(std::move(name)), interval_(intervalMs) {
    form.Register(this);
}

// ---- Form --------------------------------------------------------------

const wchar_t Form::kClassName[] = L"QfForm";

Form::Form(const FormDesign& look) : look_(look) {}

Form::~Form() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyForm();
}

void Form::LoadForm() {
    static const bool registered = RegisterWindowClass(kClassName);
    if (!registered) RaiseLastError(L"无法注册窗口类");

    // An unowned window is listed on the taskbar unless it is a tool window.
    DWORD ex = look_.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    if (look_.controlBox) style |= WS_SYSMENU | WS_MINIMIZEBOX;
    // Laid out at the session's DPI; a monitor of another DPI corrects it
    // below, before anything is shown.
    dpi_ = SystemDpi();
    int x = common::TwipsToPixels(look_.rect.left, dpi_), y = common::TwipsToPixels(look_.rect.top, dpi_);
    int w = common::TwipsToPixels(look_.rect.width, dpi_), h = common::TwipsToPixels(look_.rect.height, dpi_);
    hwnd_ = CreateWindowExW(ex, kClassName, look_.caption, style, x, y, w, h,
                            look_.neverShown ? HWND_MESSAGE : nullptr, nullptr, App::Instance(),
                            static_cast<Container*>(this));
    if (!hwnd_) RaiseLastError(std::wstring(L"无法创建窗口 ") + look_.caption);
    const int monitorDpi = WindowDpi(hwnd_);
    if (monitorDpi != dpi_) {
        dpi_ = monitorDpi;
        SetWindowPos(hwnd_, nullptr, 0, 0, common::TwipsToPixels(look_.rect.width, dpi_),
                     common::TwipsToPixels(look_.rect.height, dpi_),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Frames create the edit boxes they hold; the form creates its own.
    for (Control* c : children_)
        if (!c->Windowless()) c->Realize();

    for (size_t i = 0; i < timers_.size(); ++i)
        if (!SetTimer(hwnd_, kFormTimerBase + i, timers_[i]->Interval(), nullptr))
            RaiseLastError(L"无法启动计时器 " + timers_[i]->Name());

    auto order = TabOrder();
    lastFocus_ = order.empty() ? nullptr : order.front()->hWnd();

    loaded_ = true;
    App::FormLoaded(this);
    Form_Load();
}

// Tooltips come with the pointer's first move over the form: they load the
// common controls, which a window that is never pointed at does not need.
void Form::CreateToolTips() {
    if (tooltipsTried_ || !shown_) return;
    tooltipsTried_ = true;
    bool anyTip = false;
    for (Control* c : controls_) anyTip = anyTip || !c->ToolTipText().empty();
    // Unowned: a window that owns a topmost tooltip cannot itself be made
    // topmost under Wine, and a tooltip is topmost on its own anyway.
    if (!anyTip || !App::LoadCommonControls()) return;
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                               App::Instance(), nullptr);
    if (!tip) return;
    SendMessageW(tip, WM_SETFONT, reinterpret_cast<WPARAM>(App::DefaultFont(false, dpi_)), FALSE);
    RegisterTools(tip);
    for (Control* c : controls_) c->ShareToolTip(tip);
}

void Form::DestroyForm() {
    if (!loaded_) return;
    loaded_ = false;
    App::FormUnloaded(this);
    if (tooltip_) {
        DestroyWindow(tooltip_);
        tooltip_ = nullptr;
    }
    if (hwnd_) {
        for (size_t i = 0; i < timers_.size(); ++i) KillTimer(hwnd_, kFormTimerBase + i);
        HWND h = hwnd_;
        DestroyWindow(h);
    }
}

void Form::Show() {
    if (!hwnd_) Raise(L"窗体尚未加载");
    if (IsWindowVisible(hwnd_)) return;
    // The window paints before its edit box takes the focus, which brings
    // the input method's context along: the paint need not wait for that.
    showing_ = true;
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);  // paint now, not after every other queued message
    showing_ = false;
    if (lastFocus_) ::SetFocus(lastFocus_);
    if (!shown_) {
        shown_ = true;
        // The icons (the system converts them for the taskbar) wait until
        // the window is idle: a timer fires only when no other message is
        // waiting. The tooltips wait for the pointer.
        if (!SetTimer(hwnd_, kIdleWorkTimer, 1, nullptr)) IdleWork();  // no timer: now
        RaiseResize();
    }
}

// The icon's image drawn for the size the system asks for at this DPI:
// SM_CXICON for Alt+Tab and the taskbar, SM_CXSMICON for the window's
// corner and the tray.
IconHandle Form::LoadIconFor(int metric) const {
    int size = SystemMetric(metric, dpi_);
    IconHandle icon(static_cast<HICON>(LoadImageW(App::Instance(), MAKEINTRESOURCEW(look_.icon),
                                                  IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (!icon) RaiseLastError(L"无法载入窗口图标");
    return icon;
}

HICON Form::SmallIcon() {
    if (!smallIcon_ && look_.icon) smallIcon_ = LoadIconFor(SM_CXSMICON);
    return smallIcon_.get();
}

// Both icons wait until the shown window is first idle: nothing before the
// first paint needs them, and the tray asks for the small one when it
// needs it.
void Form::IdleWork() {
    KillTimer(hwnd_, kIdleWorkTimer);
    if (!look_.icon) return;
    if (!icon_) icon_ = LoadIconFor(SM_CXICON);
    SmallIcon();
    SetIcons();
}

void Form::SetIcons() {
    if (!icon_ || !smallIcon_) return;
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

// The rectangle the system suggests with a DPI change, when it is one: a
// readable RECT of this process (another program may send the message
// with any number in place of the pointer), about the size the form has at
// that DPI, on a monitor. Anything else is not taken.
bool Form::SuggestedRect(LPARAM lp, int dpi, RECT& out) const {
    MEMORY_BASIC_INFORMATION m = {};
    const auto* p = reinterpret_cast<const BYTE*>(lp);
    if (!p || !VirtualQuery(p, &m, sizeof m) || m.State != MEM_COMMIT ||
        (m.Protect & (PAGE_GUARD | PAGE_NOACCESS)) ||
        !(m.Protect & (PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                       PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) ||
        p + sizeof(RECT) > static_cast<const BYTE*>(m.BaseAddress) + m.RegionSize)
        return false;
    out = *reinterpret_cast<const RECT*>(p);
    const long w = out.right - out.left, h = out.bottom - out.top;
    const long designW = common::TwipsToPixels(look_.rect.width, dpi);
    const long designH = common::TwipsToPixels(look_.rect.height, dpi);
    auto about = [](long v, long want) { return v * 4 >= want * 3 && v * 3 <= want * 4; };
    return about(w, designW) && about(h, designH) && MonitorFromRect(&out, MONITOR_DEFAULTTONULL);
}

void Form::ChangeDpi(int dpi, const RECT* suggested) {
    // From 50 % to 500 %, as far as Windows goes; a DPI outside that is no
    // monitor's.
    if (!hwnd_ || dpi < 48 || dpi > 480 || dpi == dpi_) return;
    dpi_ = dpi;
    RECT r;
    if (suggested) {
        r = *suggested;
    } else {
        GetWindowRect(hwnd_, &r);
        r.right = r.left + common::TwipsToPixels(look_.rect.width, dpi_);
        r.bottom = r.top + common::TwipsToPixels(look_.rect.height, dpi_);
    }
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (Control* c : controls_) c->DpiChanged();
    for (Control* c : controls_) c->Parent()->UpdateToolRect(c);  // a frame's own too
    if (tooltip_) SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(App::DefaultFont(false, dpi_)), FALSE);
    if (icon_ || smallIcon_) {
        // The new pair is loaded before the old one is let go: a load that
        // fails leaves the window with icons that still exist.
        IconHandle big = LoadIconFor(SM_CXICON), small = LoadIconFor(SM_CXSMICON);
        std::swap(icon_, big);
        std::swap(smallIcon_, small);
        SetIcons();  // the window lets go of the old ones before they go
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
    Form_DpiChanged();
}

void Form::SetFocus() {
    if (!hwnd_ || !IsWindowVisible(hwnd_)) Raise(L"无效的过程调用：窗体不可见");
    SetForegroundWindow(hwnd_);
    SetActiveWindow(hwnd_);
    ::SetFocus(lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : hwnd_);
}

UINT Form::WakeMessage() {
    static const UINT msg = RegisterWindowMessageW((App::InstanceName() + messages::kWakeSuffix).c_str());
    return msg;
}

namespace {
BOOL CALLBACK WakeWindow(HWND w, LPARAM) {
    wchar_t cls[16] = {};
    GetClassNameW(w, cls, 16);
    DWORD pid = 0;
    if (lstrcmpW(cls, Form::kClassName) != 0 || !GetWindowThreadProcessId(w, &pid) ||
        pid == GetCurrentProcessId())
        return TRUE;
    // The copy that is asked may come forward: this one was just started
    // by the user and holds the right to give the foreground away.
    AllowSetForegroundWindow(pid);
    // Windows of copies of other files know another number and ignore it.
    PostMessageW(w, Form::WakeMessage(), 0, 0);
    return TRUE;
}
}  // namespace

void Form::WakePrevInstance() {
    if (WakeMessage()) EnumWindows(WakeWindow, 0);
}

void Form::ZOrder() {
    if (!hwnd_) Raise(L"窗体尚未加载");
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool Form::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

void Form::SetVisible(bool v) {
    if (!hwnd_) Raise(L"窗体尚未加载");
    if (v == Visible()) return;
    if (v && !shown_) {
        Show();
        return;
    }
    ShowWindow(hwnd_, v ? SW_SHOW : SW_HIDE);
}

int Form::WindowState() const {
    if (!hwnd_) Raise(L"窗体尚未加载");
    if (IsIconic(hwnd_)) return kMinimised;
    if (IsZoomed(hwnd_)) return kMaximised;
    return kNormal;
}

void Form::SetWindowState(int s) {
    if (!hwnd_) Raise(L"窗体尚未加载");
    if (s < kNormal || s > kMaximised) Raise(L"无效的窗口状态");
    if (s == WindowState()) return;
    if (s == kNormal && IsIconic(hwnd_)) {
        // Normal means normal: the system would bring a window that was
        // maximised before it was minimised back maximised.
        WINDOWPLACEMENT p = {};
        p.length = sizeof p;
        if (GetWindowPlacement(hwnd_, &p) && (p.flags & WPF_RESTORETOMAXIMIZED)) {
            p.flags &= ~WPF_RESTORETOMAXIMIZED;
            p.showCmd = SW_SHOWNORMAL;
            SetWindowPlacement(hwnd_, &p);
        }
    }
    if (s != WindowState())
        ShowWindow(hwnd_, s == kMinimised ? SW_MINIMIZE : s == kMaximised ? SW_MAXIMIZE : SW_RESTORE);
    if (s == kNormal && IsZoomed(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
}

double Form::Width() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return common::PixelsToTwips(r.right - r.left, dpi_);
}

double Form::Height() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return common::PixelsToTwips(r.bottom - r.top, dpi_);
}

void Form::PopupMenu(Menu& menu) {
    MenuHandle popup(CreatePopupMenu());
    if (!popup) RaiseLastError(L"无法创建弹出菜单");
    UINT id = 1;
    for (auto& item : menu.Items()) {
        if (item->caption == L"-")
            AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(popup.get(), MF_STRING, id, item->caption.c_str());
        ++id;
    }
    POINT pt;
    GetCursorPos(&pt);
    // The owner must be the foreground window, or a click elsewhere would
    // not close the menu; the null message afterwards lets it close cleanly.
    SetForegroundWindow(hwnd_);
    UINT chosen = static_cast<UINT>(TrackPopupMenu(
        popup.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
        pt.x, pt.y, 0, hwnd_, nullptr));
    PostMessageW(hwnd_, WM_NULL, 0, 0);
    popup.reset();
    if (chosen >= 1 && chosen <= menu.Items().size()) {
        MenuItem& item = *menu.Items()[chosen - 1];
        if (item.Click) item.Click();
    }
}

std::vector<TextBox*> Form::TabOrder() {
    std::vector<TextBox*> boxes;
    for (Control* c : controls_)
        if (auto* tb = dynamic_cast<TextBox*>(c)) boxes.push_back(tb);
    std::stable_sort(boxes.begin(), boxes.end(),
                     [](TextBox* a, TextBox* b) { return a->TabIndex() < b->TabIndex(); });
    return boxes;
}

void Form::TabFrom(TextBox* from, bool backwards) {
    auto order = TabOrder();
    if (order.empty()) return;
    auto it = std::find(order.begin(), order.end(), from);
    size_t i = it == order.end() ? 0 : static_cast<size_t>(it - order.begin());
    size_t n = order.size();
    size_t next = backwards ? (i + n - 1) % n : (i + 1) % n;
    if (order[next]->hWnd()) ::SetFocus(order[next]->hWnd());
}

void Form::SetOutline(const POINT* vertices, int count) {
    if (!hwnd_) Raise(L"窗体尚未加载");
    // A window whose outline cannot be cut stays rectangular: start-up goes on.
    RegionHandle region(CreatePolygonRgn(vertices, count, WINDING));
    // Once applied, the window owns the region; otherwise it is ours to free.
    if (region && SetWindowRgn(hwnd_, region.get(), TRUE)) region.release();
}

namespace {
// The left button is held now, not only in the message being handled: a
// press and its release that arrive together (a tap on a touchpad, a remote
// desktop) must not start a move loop that waits for a release already gone.
bool LeftButtonStillDown(HWND w) {
    MSG up;
    if (PeekMessageW(&up, w, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE)) return false;
    int vk = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return GetAsyncKeyState(vk) < 0;
}
}  // namespace

void Form::DragMove() {
    if (!hwnd_ || !LeftButtonStillDown(hwnd_)) return;
    // The system's own move loop, as for a caption bar.
    ReleaseCapture();
    SendMessageA(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

std::wstring Form::AccessibleSelfName() const {
    return titleLabel_ ? titleLabel_->Caption() : std::wstring();
}

void Form::Announce(const Control& c) {
    NotifyAccessible(EVENT_OBJECT_SHOW, c);
    NotifyAccessible(EVENT_SYSTEM_ALERT, c);
}

void Form::RaiseResize() {
    if (!loaded_ || !shown_) return;
    lastState_ = WindowState();
    Form_Resize();
}

void Form::Paint() {
    buffer_.Paint(hwnd_, [&](HDC dc) {
        RECT rc;
        GetClipBox(dc, &rc);  // the invalid part only
        ColourBrush back(look_.back);
        FillRect(dc, &rc, back.get());
        PaintChildren(dc);
    });
}

LRESULT Form::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WakeMessage() && msg) {
        if (Woken) Woken();
        return 0;
    }
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:  // Alt with a key arrives as a system key
        if (KeyDown) {
            int code = static_cast<int>(wp);
            KeyDown(code, ShiftState());
            if (code == 0) return 0;
        }
        break;
    case WM_SYSCOMMAND:
        // Alt pressed and released alone would put the window into menu
        // mode and take the keys that follow; Alt+Space still opens the
        // system menu.
        if ((wp & 0xFFF0) == SC_KEYMENU && lp == 0) return 0;
        break;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_DPICHANGED: {  // moved to a monitor of another DPI, or its DPI changed
        RECT r;
        ChangeDpi(HIWORD(wp), SuggestedRect(lp, HIWORD(wp), r) ? &r : nullptr);
        return 0;
    }
    case WM_TIMER:
        if (wp == kIdleWorkTimer) {
            IdleWork();
            return 0;
        }
        if (wp >= kFormTimerBase && wp < kFormTimerBase + timers_.size()) {
            QF_COUNT(timerTicks);
            Timer& t = *timers_[wp - kFormTimerBase];
            if (t.Tick) t.Tick();
            return 0;
        }
        break;
    case WM_SIZE: {
        SIZE sz = {LOWORD(lp), HIWORD(lp)};
        int state = WindowState();
        if (state != lastState_ || sz.cx != lastSize_.cx || sz.cy != lastSize_.cy) {
            lastSize_ = sz;
            RaiseResize();
        }
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND f = GetFocus();
            if (f && IsChild(hwnd_, f)) lastFocus_ = f;
            // A tip left showing would stand over the window that takes over.
            if (tooltip_) SendMessageW(tooltip_, TTM_POP, 0, 0);
        } else if (showing_ && lastFocus_) {
            return 0;  // Show gives the focus once the window is painted
        } else if (lastFocus_ && IsWindow(lastFocus_) && !HIWORD(wp)) {
            ::SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_CLOSE:
        if (RequestUnload) RequestUnload();
        return 0;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace host
