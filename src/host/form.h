#pragma once
// A top-level borderless window with windowless controls, child edit boxes
// and frames, timers and pop-up menus: one form of the program.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "container.h"
#include "controls.h"
#include "error.h"
#include "handles.h"

namespace host {

struct FormDesign {
    const wchar_t* caption;
    TwipsRect rect;  // screen position and client size, twips
    int icon = 0;    // icon resource id, 0 for none
    bool showInTaskbar = true;
    Colour back = kBtnFace;
    // A system menu with Minimise (Alt+Space, the taskbar's menu); a form
    // without one has no way into the minimised state.
    bool controlBox = true;
    // A form that is never shown, only holds something (a menu), lives as
    // a message-only window: the system makes no screen window for it, which
    // under Wine saves start-up several milliseconds.
    bool neverShown = false;
};

// A timer of a form: it ticks into its handler while the form is loaded.
class Timer {
public:
    Timer(Form& form, std::wstring name, unsigned intervalMs);
    const std::wstring& Name() const { return name_; }
    unsigned Interval() const { return interval_; }
    std::function<void()> Tick;

private:
    std::wstring name_;
    unsigned interval_;
};

// The life of a form, and why a handler may unload its own form:
// - A form of the program is its class's default instance
//   (DefaultInstance<T>::Instance()): the first reference loads it (Load:
//   its window, its controls' windows, its timers, then Form_Load).
// - Unload() (or DefaultInstance<T>::Unload(), or a close request, whose
//   QueryUnload unloads unless a form says otherwise) runs Form_Unload,
//   then destroys the window at once: no message reaches the form again.
// - The object itself outlives its window until the message loop comes
//   round again (App::Bury, App::CollectGarbage), so a handler that unloads
//   its own form returns through live code. The next reference loads a
//   new default instance.
// - A load that fails (a window or timer the system refuses) tears the
//   window down at once, without Form_Unload, and leaves no instance:
//   Form_Load undoes its own steps or, as the main window's start-up does,
//   traps its errors itself.
// The program ends when no form is loaded any more.
class Form : public Container, public FormSite {
public:
    static const wchar_t kClassName[];
    explicit Form(const FormDesign& look);
    ~Form() override;

    HWND hWnd() const { return hwnd_; }
    FormSite& Top() override { return *this; }

    void Load();
    void Unload();
    bool Loaded() const { return loaded_; }
    // A close request (Alt+F4, the taskbar, another program): unloads the
    // form unless the form sets something else.
    std::function<void()> QueryUnload;

    void Show();
    void SetFocus();
    bool Visible() const;
    void SetVisible(bool v);
    int WindowState() const;  // WindowStates: kNormal, kMinimised, kMaximised
    void SetWindowState(int s);
    double Width() const;   // outer size, twips
    double Height() const;  // outer size, twips
    // The large icon, loaded when the shown window is first idle.
    HICON Icon() const { return icon_.get(); }
    // The icon drawn for the small-icon size at the window's DPI (the
    // tray's size), loaded when first asked for.
    HICON SmallIcon();
    // Lays the form out again at `dpi`: at the rectangle the system
    // suggests, or at its design size where it stands.
    void ChangeDpi(int dpi, const RECT* suggested = nullptr);
    // Brings the window in front of the other windows of the desktop,
    // without taking the focus.
    void ZOrder();
    // An owned form stands above its owner, as a dialog does (the rule is
    // told at KeepOwnedAbove), and has no taskbar button of its own;
    // unowned (null) it stands on its own, with a button, so that the
    // keyboard can reach it. A form's owned forms outlive it unowned.
    void SetOwner(host::Form* owner);
    host::Form* Owner() const;
    // Opens the menu at the pointer, or at a screen point given (where the
    // keyboard asked for it); the chosen item's Click runs before this
    // returns. False when the menu closed with nothing chosen.
    bool PopupMenu(Menu& menu, const POINT* at = nullptr);
    // With the keys on a control that takes no text: Enter where the
    // control has no use for it (a check box, a toggle) presses the default
    // button, as in a dialog; digits and a paste go into the typing box as
    // though Tab had brought the keys there, its text selected.
    void SetDefaultButton(Control* c) { defaultButton_ = c; }
    void SetTypingBox(TextBox* box) { typingBox_ = box; }
    // Keys that reach the form itself, while no edit box of it has the
    // focus (a dialog without edit boxes). A handler that sets the code to
    // 0 takes the key.
    KeyEvent KeyDown;
    // Another copy of the program was started and ended at once, asking
    // this one to come forward (WakePrevInstance).
    std::function<void()> Woken;
    // Asks a copy of this executable that runs already to come forward,
    // and lets it take the foreground; waits up to kWakeWaitMilliseconds
    // for one to answer (a copy starting too may not be up yet). True when
    // one did: a live copy of this very file.
    static bool WakePrevInstance();
    static constexpr DWORD kWakeWaitMilliseconds = 2000;
    // How long a form that came to stand alone takes back an activation
    // that went where the user did not send it (see messages::kKeysBack).
    static constexpr DWORD kAloneGraceMilliseconds = 5000;
    // How long the keys may be gone to no window at all and still count,
    // when they come back, as never having left (see kFocusEventTimer).
    static constexpr DWORD kBounceMilliseconds = 500;
    // The message WakePrevInstance sends, known to copies of this file only.
    static UINT WakeMessage();

    void Register(Timer* t) { timers_.push_back(t); }

    // FormSite: every control of the form, the keyboard focus, tooltips.
    void Register(Control* c) override { controls_.push_back(c); }
    void FocusArrived(Control* c) override;
    bool Destroying() const override { return destroying_; }
    void FocusOn(Control* c) override;
    bool HasFocus(const Control& c) const override;
    bool ShowsFocusCue(const Control& c) const override;
    void TabFrom(Control* from, bool backwards) override;
    HWND ToolTip() override;
    void UpdateToolRect(Control& c) override;
    LRESULT AnswerEditObject(TextBox& box, AccessibleObject*& slot, WPARAM wp, LPARAM lp) override;
    void ForgetAccessible(AccessibleObject*& slot) override;

    // Cuts the window's outline to a polygon of window pixels.
    void SetOutline(const POINT* vertices, int count);
    // Lets the user move the window with the mouse, as by a caption bar,
    // while the left button is still down.
    void DragMove();
    // The label whose caption a screen reader calls the window by.
    void SetAccessibleTitle(const Label* l) { titleLabel_ = l; }
    std::wstring AccessibleSelfName() const override;
    // Tells screen readers the form has come up with this control's text
    // to read, as a message box does.
    void Announce(const Control& c);
    // Puts text on the clipboard, for other programs to paste.
    void CopyText(const std::wstring& text);

protected:
    virtual void Form_Load() {}
    virtual void Form_Resize() {}
    virtual void Form_DpiChanged() {}
    virtual void Form_Unload() {}

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    template <class T>
    friend class DefaultInstance;
    void TearDown();
    void Paint();
    bool SuggestedRect(LPARAM lp, int dpi, RECT& out) const;
    void RaiseResize();
    // What the first paint does not need: the icons, once idle.
    void IdleWork();
    IconHandle LoadIconFor(int metric) const;
    void SetIcons();
    std::vector<Control*> TabOrder() const;
    bool CuesHidden() const;
    void InvalidateCue(const Control& c);
    void CreateFormWindow(int x, int y, int w, int h, DWORD exStyle);
    DWORD ExStyleFor(HWND owner) const;
    void MakeWindowAnew();
    std::vector<Form*> OwnedShown() const;
    void KeepOwnedAbove();
    void TellFocusSoon();
    bool Bounced() const;
    static void CALLBACK Heard(HWINEVENTHOOK, DWORD, HWND w, LONG object, LONG child, DWORD, DWORD);
    bool KeyToFocus(WPARAM key, LPARAM flags);
    void TypeIntoBox();
    void DestroyWindowOfItsOwn();

    // Set by the default instance: forgets the unloaded form and buries it.
    void (*release_)(host::Form*) = nullptr;
    FormDesign look_;
    std::vector<Control*> controls_;  // declaration order: front to back
    std::vector<Timer*> timers_;
    IconHandle icon_, smallIcon_;
    HWND tooltip_ = nullptr;
    WindowHook tipHook_;  // over the common controls' tooltip procedure
    static LRESULT CALLBACK ToolTipProc(HWND, UINT, WPARAM, LPARAM);
    // The control that has the keys while the form is active, and gets
    // them back when it is activated again.
    Control* focus_ = nullptr;
    bool destroying_ = false;  // while DestroyWindow of its own runs
    Control* defaultButton_ = nullptr;
    TextBox* typingBox_ = nullptr;
    // The control screen readers last heard of as having the focus, and
    // GetTickCount() when the activation last went to no window (0: since
    // then it went somewhere, or the window was hidden or shown).
    const Control* told_ = nullptr;
    DWORD wentNowhereAt_ = 0;
    const Label* titleLabel_ = nullptr;
    bool loaded_ = false;
    bool shown_ = false;
    bool showing_ = false;  // inside Show, before the first paint is done
    bool tooltipsTried_ = false;
    bool cuesHidden_ = true;  // until the keyboard is used (WM_UPDATEUISTATE)
    int lastState_ = -1;
    int pendingDpi_ = 0;  // a DPI change met while minimised
    // Owned forms let go while this form's topmost state changes, the
    // topmost state at the last change of place, and whether the owned
    // forms are being put in place now.
    std::vector<HWND> carried_;
    bool wasTopmost_ = false;
    bool stacking_ = false;
    // GetTickCount() when the form last came to stand alone (0: never).
    DWORD aloneSince_ = 0;
    SIZE lastSize_ = {-1, -1};
};

// A form class of the program, whose single default instance is created
// on first reference and created afresh on the next reference after an
// unload. Within the class and from outside, Unload() unloads that one.
template <class T>
class DefaultInstance : public Form {
public:
    explicit DefaultInstance(const FormDesign& look) : Form(look) {}
    static T& Instance() {
        auto& p = Slot();
        T* loaded = p.get();
        if (!p) {
            p.reset(new T());
            loaded = p.get();
            p->release_ = [](host::Form* f) {
                auto& slot = Slot();
                if (slot.get() != f) return;
                App::Bury(slot.release(), [](void* o) { delete static_cast<T*>(o); });
            };
            try {
                p->Load();
            } catch (...) {
                if (p.get() == loaded) p.reset();  // Load left no window behind
                throw;
            }
        }
        // Alive even where Form_Load unloaded it: buried, not yet collected.
        return *loaded;
    }
    static bool IsLoaded() { return Slot() != nullptr; }
    static void Unload() {
        if (auto& p = Slot()) p->Form::Unload();
    }

private:
    static std::unique_ptr<T>& Slot() {
        static std::unique_ptr<T> p;
        return p;
    }
};

}  // namespace host

#include "app.h"
