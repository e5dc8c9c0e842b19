#include "form.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>

#include "accessible.h"
#include "contrast.h"
#include "dpi.h"
#include "error.h"
#include "messages.h"
#include "one_line.h"
#include "outside.h"
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
namespace {
const wchar_t kToolTipProp[] = L"QfToolTip";
}

Form::Form(const FormDesign& look) : look_(look) {}

Form::~Form() {
    if (loaded_) TearDown();
}

void Form::Load() {
    static const bool registered = RegisterWindowClass(kClassName);
    if (!registered) RaiseLastError(L"无法注册窗口类");

    // Laid out at the session's DPI; a monitor of another DPI corrects it
    // below, before anything is shown.
    SetDpi(SystemDpi());
    const int dpi = Dpi();
    int x = common::TwipsToPixels(look_.rect.left, dpi), y = common::TwipsToPixels(look_.rect.top, dpi);
    int w = common::TwipsToPixels(look_.rect.width, dpi), h = common::TwipsToPixels(look_.rect.height, dpi);
    CreateFormWindow(x, y, w, h, ExStyleFor(nullptr));
    try {
        const int monitorDpi = WindowDpi(hwnd_);
        if (monitorDpi != Dpi()) {
            SetDpi(monitorDpi);
            SetWindowPos(hwnd_, nullptr, 0, 0, common::TwipsToPixels(look_.rect.width, monitorDpi),
                         common::TwipsToPixels(look_.rect.height, monitorDpi),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        // Frames create the edit boxes they hold; the form creates its own.
        for (Control* c : children_)
            if (!c->Windowless()) c->Realize();
        for (size_t i = 0; i < timers_.size(); ++i)
            if (!SetTimer(hwnd_, kFormTimerBase + i, timers_[i]->Interval(), nullptr))
                RaiseLastError(L"无法启动计时器 " + timers_[i]->Name());
        auto order = TabOrder();
        focus_ = order.empty() ? nullptr : order.front();
        loaded_ = true;
        App::FormLoaded(this);
        Form_Load();
    } catch (...) {
        // No window is left that would still reach this object.
        TearDown();
        throw;
    }
}

void Form::CreateFormWindow(int x, int y, int w, int h, DWORD exStyle) {
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    if (look_.controlBox) style |= WS_SYSMENU | WS_MINIMIZEBOX;
    hwnd_ = CreateWindowExW(exStyle, kClassName, look_.caption, style, x, y, w, h,
                            look_.neverShown ? HWND_MESSAGE : nullptr, nullptr, App::Instance(),
                            static_cast<Container*>(this));
    if (!hwnd_) RaiseLastError(std::wstring(L"无法创建窗口 ") + look_.caption);
    // What the system tells screen readers of the edit boxes' focus, heard
    // on this thread for as long as it runs.
    static const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, Heard,
                                                      GetCurrentProcessId(), GetCurrentThreadId(),
                                                      WINEVENT_OUTOFCONTEXT);
    (void)hook;
}

void CALLBACK Form::Heard(HWINEVENTHOOK, DWORD, HWND w, LONG object, LONG child, DWORD, DWORD) {
    if (object != OBJID_CLIENT || child != CHILDID_SELF) return;
    for (Form* f : App::LoadedForms())
        for (Control* c : f->controls_)
            if (c->OwnWindow() == w) f->told_ = c;
}

// An unowned window is listed on the taskbar (and in Alt+Tab) unless it is
// a tool window; an owned one is not listed either way. A form that wants
// no button of its own has one all the same while it stands on its own:
// without it, a user who switched away could reach it only with the mouse.
DWORD Form::ExStyleFor(HWND owner) const {
    return look_.showInTaskbar || !owner ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
}

// A window manager learns of a window's owner when the window is mapped,
// and Wine never takes that hint away: a window that loses its owner after
// it was seen stays tied, for the window manager, to a window that may be
// gone, out of Alt+Tab and out of the keys' reach. So it is made anew: the
// same form, its controls and their text, in a window that never had an
// owner, where the old one stood, shown if that one was.
void Form::MakeWindowAnew() {
    RECT r;
    GetWindowRect(hwnd_, &r);
    const bool visible = IsWindowVisible(hwnd_) != FALSE;
    if (tooltip_) DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    tooltipsTried_ = false;
    DestroyWindowOfItsOwn();  // edit boxes keep their text; the hook lets go
    CreateFormWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, ExStyleFor(nullptr));
    for (Control* c : children_)
        if (!c->Windowless()) c->Realize();
    for (size_t i = 0; i < timers_.size(); ++i)
        if (!SetTimer(hwnd_, kFormTimerBase + i, timers_[i]->Interval(), nullptr))
            RaiseLastError(L"无法启动计时器 " + timers_[i]->Name());
    SetIcons();
    if (visible) {
        ShowWindow(hwnd_, SW_SHOWNA);
        UpdateWindow(hwnd_);
    }
}

// Tooltips come with the pointer's first move over the form: they load the
// common controls, which a window that is never pointed at does not need.
HWND Form::ToolTip() {
    if (tooltipsTried_ || !shown_) return tooltip_;
    tooltipsTried_ = true;
    bool anyTip = false;
    for (Control* c : controls_) anyTip = anyTip || !c->ToolTipText().empty();
    // Unowned: a window that owns a topmost tooltip cannot itself be made
    // topmost under Wine, and a tooltip is topmost on its own anyway.
    if (!anyTip || !App::LoadCommonControls()) return nullptr;
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                               App::Instance(), nullptr);
    if (!tooltip_) return nullptr;
    SetPropW(tooltip_, kToolTipProp, this);
    tipHook_.Install(tooltip_, ToolTipProc);
    SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(App::DefaultFont(false, Dpi())), FALSE);
    for (Control* c : children_) c->AddTools(tooltip_);
    return tooltip_;
}

// The tooltip's own messages carry this process's pointers (TTM_ADDTOOL a
// record to read), and another program may send or post them with any
// number in them: a wild one ends the program. Only this thread speaks to
// it so, and only the form destroys it.
LRESULT CALLBACK Form::ToolTipProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<Form*>(GetPropW(h, kToolTipProp));
    if (!self) return DefWindowProcW(h, msg, wp, lp);
    LRESULT answer = 0;
    if (RefusedFromOutside(h, msg, wp, lp, false, answer)) return answer;
    if (!FromThisThread(h, msg, wp, lp)) switch (msg) {
        case WM_NCCREATE:
            return TRUE;
        case WM_CREATE: case WM_DESTROY: case WM_NCDESTROY: case WM_CLOSE:
            return 0;
        default:
            if (msg >= WM_USER && msg < WM_APP) return 0;
        }
    const LRESULT r = self->tipHook_.CallPrevious(h, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        self->tipHook_.Remove();
        RemovePropW(h, kToolTipProp);
    }
    return r;
}

void Form::UpdateToolRect(Control& c) {
    if (!tooltip_ || c.ToolTipText().empty() || !c.Windowless()) return;
    TTTOOLINFOW ti = {};
    ti.cbSize = sizeof ti;
    ti.hwnd = c.Parent()->Window();
    ti.uId = static_cast<UINT_PTR>(c.Id());
    ti.rect = c.PixelRect();
    SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
}

LRESULT Form::AnswerEditObject(TextBox& box, AccessibleObject*& slot, WPARAM wp, LPARAM lp) {
    return host::AnswerEditObject(box, slot, wp, lp);
}

void Form::ForgetAccessible(AccessibleObject*& slot) { DisconnectAccessible(slot); }

void Form::Unload() {
    if (!loaded_) return;
    Form_Unload();
    if (!loaded_) return;  // a handler unloaded it meanwhile
    const bool hadKeys = GetForegroundWindow() == hwnd_ || GetActiveWindow() == hwnd_;
    host::Form* owner = Owner();
    // The forms it owns outlive it, on their own.
    for (host::Form* f : std::vector<host::Form*>(App::LoadedForms()))
        if (f != this && f->Owner() == this) f->SetOwner(nullptr);
    // The keys go at once to a shown form that is left, its owner first,
    // while this one is still there: the system would pick the next active
    // window itself, later (under Wine without a window manager 1.5 s
    // later), and not always one of ours.
    if (hadKeys) {
        host::Form* heir = owner && owner->Visible() && !IsIconic(owner->hwnd_) ? owner : nullptr;
        for (host::Form* f : App::LoadedForms())
            if (!heir && f != this && f->Visible() && !IsIconic(f->hwnd_)) heir = f;
        if (heir) heir->SetFocus();
    }
    TearDown();
    if (release_) release_(this);
}

void Form::DestroyWindowOfItsOwn() {
    destroying_ = true;
    DestroyWindow(hwnd_);
    destroying_ = false;
}

void Form::TearDown() {
    if (loaded_) App::FormUnloaded(this);
    loaded_ = false;
    focus_ = nullptr;
    told_ = nullptr;
    if (tooltip_) {
        DestroyWindow(tooltip_);
        tooltip_ = nullptr;
    }
    if (hwnd_) {
        for (size_t i = 0; i < timers_.size(); ++i) KillTimer(hwnd_, kFormTimerBase + i);
        DestroyWindowOfItsOwn();
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
    if (focus_) focus_->TakeFocus();
    if (!shown_) {
        shown_ = true;
        // Focus cues hide until the keyboard is used, unless the user asked
        // for them always. Windows decides by the last input (a mouse start
        // hides them) and says so in WM_UPDATEUISTATE; Wine keeps no such
        // state and says nothing, so they start hidden.
        cuesHidden_ = true;
        SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
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
    int size = SystemMetric(metric, Dpi());
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
    if (!hwnd_ || dpi < 48 || dpi > 480) return;
    if (IsIconic(hwnd_)) {
        // A minimised window (in the tray, say) has no place to lay out in:
        // the change waits for the window to come back.
        pendingDpi_ = dpi == Dpi() ? 0 : dpi;
        return;
    }
    pendingDpi_ = 0;
    if (dpi == Dpi()) return;
    SetDpi(dpi);
    RECT r;
    if (suggested) {
        r = *suggested;
    } else {
        GetWindowRect(hwnd_, &r);
        r.right = r.left + common::TwipsToPixels(look_.rect.width, Dpi());
        r.bottom = r.top + common::TwipsToPixels(look_.rect.height, Dpi());
    }
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (Control* c : controls_) c->DpiChanged();
    for (Control* c : controls_) UpdateToolRect(*c);  // a frame's own too
    if (tooltip_) SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(App::DefaultFont(false, Dpi())), FALSE);
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
    if (focus_)
        focus_->TakeFocus();
    else
        ::SetFocus(hwnd_);
}

void Form::SetOwner(host::Form* owner) {
    if (!hwnd_) Raise(L"窗体尚未加载");
    HWND to = owner ? owner->hwnd_ : nullptr;
    HWND from = GetWindow(hwnd_, GW_OWNER);
    if (from == to) return;
    if (from && !to && shown_) {
        MakeWindowAnew();
        aloneSince_ = GetTickCount() | 1;
        return;
    }
    // A window manager learns of an owner when the window is mapped: a
    // shown window is mapped again.
    const bool visible = IsWindowVisible(hwnd_) != FALSE;
    const bool active = GetActiveWindow() == hwnd_;
    if (visible) ShowWindow(hwnd_, SW_HIDE);
    SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(to));
    const DWORD ex = GetWindowLongW(hwnd_, GWL_EXSTYLE) & ~(WS_EX_APPWINDOW | WS_EX_TOOLWINDOW);
    SetWindowLongW(hwnd_, GWL_EXSTYLE, static_cast<LONG>(ex | ExStyleFor(to)));
    if (visible) ShowWindow(hwnd_, active ? SW_SHOW : SW_SHOWNA);
    if (owner) owner->KeepOwnedAbove();
}

host::Form* Form::Owner() const {
    HWND owner = hwnd_ ? GetWindow(hwnd_, GW_OWNER) : nullptr;
    if (owner)
        for (host::Form* f : App::LoadedForms())
            if (f->hwnd_ == owner) return f;
    return nullptr;
}

std::vector<Form*> Form::OwnedShown() const {
    std::vector<Form*> owned;
    for (host::Form* f : App::LoadedForms())
        if (f != this && f->hwnd_ && IsWindowVisible(f->hwnd_) && GetWindow(f->hwnd_, GW_OWNER) == hwnd_)
            owned.push_back(f);
    return owned;
}

UINT Form::WakeMessage() {
    static const UINT msg = RegisterWindowMessageW((App::InstanceName() + messages::kWakeSuffix).c_str());
    return msg;
}

namespace {
struct Waking {
    UINT msg;
    DWORD deadline;  // GetTickCount() when the asking stops
    std::vector<DWORD> others;  // processes that run another file
    bool answered = false;
};

BOOL CALLBACK WakeWindow(HWND w, LPARAM lp) {
    auto& wake = *reinterpret_cast<Waking*>(lp);
    wchar_t cls[16] = {};
    GetClassNameW(w, cls, 16);
    DWORD pid = 0;
    if (lstrcmpW(cls, Form::kClassName) != 0 || !GetWindowThreadProcessId(w, &pid) ||
        pid == GetCurrentProcessId() ||
        std::find(wake.others.begin(), wake.others.end(), pid) != wake.others.end())
        return TRUE;
    // Only a copy of this very file counts, asked of the system, not of the
    // window: any program may take the name, or answer the message.
    if (!App::RunsThisExecutable(pid)) {
        wake.others.push_back(pid);
        return TRUE;
    }
    // The copy that is asked may come forward: this one was just started
    // by the user and holds the right to give the foreground away.
    AllowSetForegroundWindow(pid);
    const LONG left = static_cast<LONG>(wake.deadline - GetTickCount());
    DWORD_PTR answer = 0;
    if (left > 0 && SendMessageTimeoutW(w, wake.msg, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(left), &answer) &&
        answer == messages::kWakeAnswer)
        wake.answered = true;
    return wake.answered ? FALSE : TRUE;
}
}  // namespace

bool Form::WakePrevInstance() {
    if (!WakeMessage()) return false;
    Waking wake{WakeMessage(), GetTickCount() + kWakeWaitMilliseconds, {}};
    // A copy that is still starting has no window yet, or does not answer:
    // ask again until the time is up.
    for (;;) {
        EnumWindows(WakeWindow, reinterpret_cast<LPARAM>(&wake));
        if (wake.answered) return true;
        if (static_cast<LONG>(wake.deadline - GetTickCount()) <= 0) return false;
        Sleep(50);
    }
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
    return common::PixelsToTwips(r.right - r.left, Dpi());
}

double Form::Height() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return common::PixelsToTwips(r.bottom - r.top, Dpi());
}

bool Form::PopupMenu(Menu& menu, const POINT* at) {
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
    if (at)
        pt = *at;
    else
        GetCursorPos(&pt);
    // The owner must be the foreground window, or a click elsewhere would
    // not close the menu; the null message afterwards lets it close cleanly.
    SetForegroundWindow(hwnd_);
    UINT chosen = static_cast<UINT>(TrackPopupMenu(
        popup.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
        pt.x, pt.y, 0, hwnd_, nullptr));
    PostMessageW(hwnd_, WM_NULL, 0, 0);
    popup.reset();
    if (chosen < 1 || chosen > menu.Items().size()) return false;
    MenuItem& item = *menu.Items()[chosen - 1];
    if (item.Click) item.Click();
    return true;
}

std::vector<Control*> Form::TabOrder() const {
    std::vector<Control*> stops;
    for (Control* c : controls_)
        if (c->TabStop() && (c->Windowless() || c->OwnWindow())) stops.push_back(c);
    std::stable_sort(stops.begin(), stops.end(),
                     [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    return stops;
}

void Form::TabFrom(Control* from, bool backwards) {
    // The keyboard is in use: from now on the focus shows.
    cuesHidden_ = false;
    SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    auto order = TabOrder();
    if (order.empty()) return;
    auto it = std::find(order.begin(), order.end(), from);
    size_t i = it == order.end() ? 0 : static_cast<size_t>(it - order.begin());
    size_t n = order.size();
    Control* to = order[backwards ? (i + n - 1) % n : (i + 1) % n];
    to->TakeFocus();
    to->TabbedInto();
}

void Form::FocusArrived(Control* c) {
    // An edit box took the keys: Wine may just have raised the window.
    if (c && !c->Windowless()) KeepOwnedAbove();
    if (c == focus_) return;
    Control* before = focus_;
    focus_ = c;
    if (!c || c->Windowless()) told_ = nullptr;  // told by the caller; a box by the system
    if (before && before->Windowless()) InvalidateCue(*before);
}

void Form::FocusOn(Control* c) {
    if (!c || !hwnd_) return;
    if (!c->Windowless()) {
        c->TakeFocus();
        return;
    }
    const bool moved = c != focus_;
    FocusArrived(c);
    if (GetFocus() != hwnd_) ::SetFocus(hwnd_);  // its WM_SETFOCUS shows the cue
    if (!moved || !HasFocus(*c)) return;
    // A move: told now, after the system's own event for the window if it
    // took the keys, and instead of any telling still waiting.
    KillTimer(hwnd_, messages::kFocusEventTimer);
    InvalidateCue(*c);
    c->Notify(EVENT_OBJECT_FOCUS);
    told_ = c;
}

// The window took the keys: screen readers hear once where they are when
// the activation is done, after the system's own event for the window, and
// never of a control that lost them meanwhile.
void Form::TellFocusSoon() { SetTimer(hwnd_, messages::kFocusEventTimer, 1, nullptr); }

// Under a window manager Wine can let the activation go to no window and
// take it back a few milliseconds later (the X focus leaves and returns):
// nothing else had the focus meanwhile, so a screen reader that heard this
// control has nothing new to hear.
bool Form::Bounced() const {
    // Signed: the mark, made odd to be non-zero, can be a millisecond ahead.
    return wentNowhereAt_ && focus_ == told_ &&
           static_cast<LONG>(GetTickCount() - wentNowhereAt_) < static_cast<LONG>(kBounceMilliseconds);
}

bool Form::HasFocus(const Control& c) const {
    if (&c != focus_ || !hwnd_) return false;
    HWND keys = GetFocus();
    return c.Windowless() ? keys == hwnd_ : keys && keys == c.OwnWindow();
}

bool Form::CuesHidden() const {
    BOOL always = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &always, 0);
    return !always && cuesHidden_;
}

bool Form::ShowsFocusCue(const Control& c) const {
    return c.Windowless() && HasFocus(c) && !CuesHidden();
}

void Form::InvalidateCue(const Control& c) { c.Parent()->InvalidatePx(c.CueRect()); }

namespace {
bool Topmost(HWND w) { return (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// The activation is with Wine's own tray window (with no panel to dock
// into, Wine shows its icons in a window of its own). With no window at
// all it may be on its way to one the user clicked: under a window manager
// the system has none for a moment.
bool TakenUnasked(HWND foreground) {
    wchar_t cls[32] = {};
    return foreground && GetClassNameW(foreground, cls, 32) &&
           lstrcmpW(cls, L"__winex11_standalone_tray") == 0;
}
}  // namespace

// The one rule for owned forms: while a form is on screen, every shown
// form it owns stands above it and shares its topmost state, as on Windows
// an owned window stands above its owner and an owner made topmost (or
// not) takes it along. Wine breaks the rule in three ways, and the host
// keeps it here and nowhere else:
// - Without a window manager, the window whose keys change is raised on
//   the X server over every other window, its owned ones too, just before
//   it hears WM_SETFOCUS, while the z-order the system keeps stays as it
//   was: the system sees nothing to put right.
// - Wine restacks a window on the X server only when it becomes the first
//   shown window of the z-order; a move to anywhere else, or to where the
//   system has it already, does not reach the screen.
// - A topmost state given to an owner may go to the windows it owns
//   instead, and an owner that lets go of it leaves them topmost, over
//   every other program.
// So in that same WM_SETFOCUS (of the form or of an edit box of it), when
// the form's topmost state changes (its owned forms sit the change out
// unowned: WM_WINDOWPOSCHANGING), and when it or an owned form is shown,
// each owned form lets go of the owner for a moment and takes the other
// topmost state and then the owner's: two real moves, one of which makes
// it the first window (raised on the screen), the last leaving it at the
// top of the owner's band, above the owner. Nothing is posted for later:
// once the message is handled the screen is right, whatever Wine and the
// window manager deliver afterwards (an expose that makes the system follow
// the screen for the owner is followed by one for the owned form).
void Form::KeepOwnedAbove() {
    if (stacking_ || !hwnd_ || !IsWindowVisible(hwnd_) || IsIconic(hwnd_)) return;
    auto owned = OwnedShown();
    if (owned.empty()) return;
    stacking_ = true;
    const bool topmost = Topmost(hwnd_);
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    for (host::Form* f : owned) {
        SetWindowLongPtrW(f->hwnd_, GWLP_HWNDPARENT, 0);
        SetWindowPos(f->hwnd_, topmost ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0, keep);
        SetWindowPos(f->hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, keep);
        SetWindowLongPtrW(f->hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(hwnd_));
    }
    stacking_ = false;
}

// Keys for the windowless control that has the focus: Tab moves on, and
// the control takes what it does (Space, Enter), else Enter presses the
// default button; a paste goes to the typing box. Held keys do not repeat
// a click.
bool Form::KeyToFocus(WPARAM key, LPARAM flags) {
    if (!focus_ || !focus_->Windowless() || GetFocus() != hwnd_) return false;
    const int shift = ShiftState();
    if (key == VK_TAB && !(shift & 2)) {
        TabFrom(focus_, shift & 1);
        return true;
    }
    if (typingBox_ && typingBox_->hWnd() && ((key == 'V' && shift == 2) || (key == VK_INSERT && shift == 1))) {
        TypeIntoBox();
        SendMessageW(typingBox_->hWnd(), WM_PASTE, 0, 0);
        return true;
    }
    if (shift & 6) return false;  // Ctrl or Alt with a key means something else
    const bool repeat = (flags & (1 << 30)) != 0;
    if ((key == VK_SPACE || key == VK_RETURN) && repeat) return true;
    if (focus_->KeyPressed(static_cast<int>(key))) return true;
    if (key != VK_RETURN || !defaultButton_) return false;
    defaultButton_->Press();
    // As after the button's own press by the keys: the next number is typed.
    if (typingBox_ && typingBox_->hWnd() && GetFocus() == hwnd_) TypeIntoBox();
    return true;
}

void Form::TypeIntoBox() {
    typingBox_->TakeFocus();
    typingBox_->TabbedInto();
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
// A release the system has received but not yet queued counts too (Wine
// queues what the X server sent only when the thread next waits, and a
// window manager would then move the window with the button up).
bool LeftButtonStillDown(HWND w) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_MOUSEBUTTON);
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
    c.Notify(EVENT_OBJECT_SHOW);
    c.Notify(EVENT_SYSTEM_ALERT);
}

void Form::CopyText(const std::wstring& text) {
    if (!hwnd_ || !OpenClipboard(hwnd_)) return;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* p = GlobalLock(g)) {
            memcpy(p, text.c_str(), bytes);
            GlobalUnlock(g);
            if (!SetClipboardData(CF_UNICODETEXT, g)) GlobalFree(g);  // else the system's now
        } else {
            GlobalFree(g);
        }
    }
    CloseClipboard();
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
        const bool plain = HighContrast();
        ColourBrush back(plain ? kBtnFace : look_.back);
        FillRect(dc, &rc, back.get());
        PaintChildren(dc);
        if (plain) {
            // In the system's colours a window without a border would melt
            // into a desktop of the same colour: a frame, as a window has.
            RECT all;
            GetClientRect(hwnd_, &all);
            const int t = std::max(1, common::ScalePixels(1, Dpi()));
            const HBRUSH frame = GetSysColorBrush(COLOR_WINDOWFRAME);
            const RECT sides[] = {{all.left, all.top, all.right, all.top + t},
                                  {all.left, all.bottom - t, all.right, all.bottom},
                                  {all.left, all.top, all.left + t, all.bottom},
                                  {all.right - t, all.top, all.right, all.bottom}};
            for (const RECT& side : sides) FillRect(dc, &side, frame);
        }
    });
}

LRESULT Form::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WakeMessage() && msg) {
        if (!Woken) return 0;  // not the form a copy comes forward with
        // Answered at once: coming forward can take seconds (from the tray
        // on a display without a window manager, behind a modal box), and
        // the new copy must not give up on a live one meanwhile.
        PostMessageW(hwnd_, messages::kComeForward, 0, 0);
        return messages::kWakeAnswer;
    }
    switch (msg) {
    case messages::kComeForward:
        if (Woken) Woken();
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:  // Alt with a key arrives as a system key
        if (msg == WM_KEYDOWN && KeyToFocus(wp, lp)) return 0;
        // A held key raises KeyDown once, at its press: its repeats would
        // do what it does again and again (close a notice, open the next).
        if (KeyDown && !(lp & (1 << 30))) {
            int code = static_cast<int>(wp);
            KeyDown(code, ShiftState());
            if (code == 0) return 0;
        }
        break;
    case WM_CHAR:
        // A digit typed on a control that takes no text starts a number.
        if (typingBox_ && typingBox_->hWnd() && focus_ && focus_->Windowless() && GetFocus() == hwnd_) {
            const wchar_t digit = common::AsciiDigit(static_cast<wchar_t>(wp));
            if (digit >= L'0' && digit <= L'9') {
                TypeIntoBox();
                return SendMessageW(typingBox_->hWnd(), WM_CHAR, wp, lp);
            }
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
        if (wp == messages::kFocusEventTimer) {
            KillTimer(hwnd_, wp);
            const bool bounced = Bounced();
            wentNowhereAt_ = 0;
            // A box is told here only where the system did not tell it.
            if (focus_ && HasFocus(*focus_) && !bounced && (focus_->Windowless() || told_ != focus_)) {
                focus_->Notify(EVENT_OBJECT_FOCUS);
                told_ = focus_;
            }
            return 0;
        }
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
        if (pendingDpi_ && state != kMinimised) ChangeDpi(pendingDpi_);
        if (state != lastState_) wentNowhereAt_ = 0;  // minimised or back: told again
        if (state != lastState_ || sz.cx != lastSize_.cx || sz.cy != lastSize_.cy) {
            lastSize_ = sz;
            RaiseResize();
        }
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            // A tip left showing would stand over the window that takes over.
            if (tooltip_) SendMessageW(tooltip_, TTM_POP, 0, 0);
            if (aloneSince_ && GetTickCount() - aloneSince_ < kAloneGraceMilliseconds)
                PostMessageW(hwnd_, messages::kKeysBack, 0, 0);
            // Gone to no window while still on screen: see kFocusEventTimer.
            wentNowhereAt_ = !GetForegroundWindow() && IsWindowVisible(hwnd_) && !IsIconic(hwnd_)
                                 ? GetTickCount() | 1
                                 : 0;
            break;
        }
        if (showing_ && focus_) return 0;  // Show gives the focus once painted
        // The control that had the keys has them again. A box that takes
        // them from another program is told by Windows, but not by Wine
        // (it tells only of a focus that comes from a window): told then.
        if (focus_ && !HIWORD(wp)) {
            const bool boxBack = !focus_->Windowless() && GetFocus() != focus_->OwnWindow() && !Bounced();
            if (boxBack) told_ = nullptr;
            focus_->TakeFocus();
            if (boxBack) TellFocusSoon();
            return 0;
        }
        break;
    case WM_WINDOWPOSCHANGING: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
        if (!stacking_ && !(pos->flags & SWP_NOZORDER) &&
            (pos->hwndInsertAfter == HWND_TOPMOST || pos->hwndInsertAfter == HWND_NOTOPMOST))
            for (host::Form* f : OwnedShown()) {  // see KeepOwnedAbove
                SetWindowLongPtrW(f->hwnd_, GWLP_HWNDPARENT, 0);
                carried_.push_back(f->hwnd_);
            }
        break;
    }
    case WM_WINDOWPOSCHANGED: {
        const LRESULT r = Default(msg, wp, lp);  // WM_SIZE and WM_MOVE come from here
        for (HWND w : carried_)
            if (IsWindow(w)) SetWindowLongPtrW(w, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(hwnd_));
        carried_.clear();
        if (reinterpret_cast<const WINDOWPOS*>(lp)->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))
            wentNowhereAt_ = 0;  // a real change: told again when the keys come
        const bool topmost = Topmost(hwnd_), turned = topmost != wasTopmost_;
        wasTopmost_ = topmost;
        if (turned || (reinterpret_cast<const WINDOWPOS*>(lp)->flags & SWP_SHOWWINDOW)) {
            KeepOwnedAbove();
            if (host::Form* owner = Owner()) owner->KeepOwnedAbove();
        }
        return r;
    }
    case WM_SETFOCUS:
        KeepOwnedAbove();  // Wine may just have raised the window
        [[fallthrough]];
    case WM_KILLFOCUS:
        // The cue of a windowless control shows while the window has the keys.
        if (focus_ && focus_->Windowless()) {
            InvalidateCue(*focus_);
            if (msg == WM_SETFOCUS) TellFocusSoon();
        }
        return 0;

    case WM_UPDATEUISTATE: {
        LRESULT r = Default(msg, wp, lp);
        cuesHidden_ = (SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
        if (focus_ && focus_->Windowless()) InvalidateCue(*focus_);
        return r;
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // High contrast on or off, or other colours: all drawn again in
        // them, at once, without a restart.
        RereadHighContrast();
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        break;
    case messages::kKeysBack:
        // Under Wine with a window manager, the tray's own window, shown as
        // its first icon comes, can take the activation a moment after a
        // form that came to stand alone was given it, while the X focus
        // stays with the form (two programs answer the window manager's
        // offer of the focus, in either order): the keys would then go to
        // the tray window, which does nothing with them. For a few seconds
        // the form takes the activation back from that window; from any
        // other, never.
        if (IsWindowVisible(hwnd_) && TakenUnasked(GetForegroundWindow())) SetFocus();
        return 0;
    case WM_CLOSE:
        if (QueryUnload)
            QueryUnload();
        else
            Unload();
        return 0;
    }
    return Default(msg, wp, lp);
}

}  // namespace host
