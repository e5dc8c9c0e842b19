#pragma once
// Controls of the form host. Pictures and labels are windowless: their
// container paints them back to front and hit-tests them front to back.
// Edit boxes and frames are child windows of their own.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "handles.h"
#include "picture.h"
#include "site.h"
#include "window_hook.h"

namespace host {

// Host colour value: 0x00BBGGRR, or the high bit set and a system colour
// index in the low byte.
using Colour = uint32_t;
constexpr Colour kSystemColourBit = 0x80000000u;
constexpr bool IsSystemColour(Colour c) { return (c & kSystemColourBit) != 0; }
constexpr int SystemColourIndex(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr Colour kWindowBack = 0x80000005;
constexpr Colour kBtnText = 0x80000012;
constexpr Colour kInfoBk = 0x80000018;
constexpr Colour kBtnFace = 0x8000000F;
COLORREF ToColorRef(Colour c);

// A brush of a host colour: the system's own brush for a system colour,
// else one of its own, freed with it.
class ColourBrush {
public:
    explicit ColourBrush(Colour c);
    HBRUSH get() const { return system_ ? system_ : own_.get(); }

private:
    HBRUSH system_ = nullptr;
    BrushHandle own_;
};

// Key codes the forms use.
constexpr int kKeyReturn = 13;

// Window states of a form.
enum WindowStates : int { kNormal = 0, kMinimised = 1, kMaximised = 2 };

struct TwipsRect {
    int left, top, width, height;
};

// Design flags of labels and edit boxes.
enum DesignFlags : unsigned {
    kCentred = 1,     // label text centred
    kHandCursor = 2,  // the program's hand pointer over it
    kMultiLine = 4,   // edit box of several lines
    kSingleLine = 8,  // a label that never wraps
    kQuiet = 16,      // a label whose changes screen readers are not told of (a clock)
    kNumber = 32,     // a one-line edit box for a number (common::kNumberBox)
};

// What a screen reader is told a windowless control is. kAuto: a label is
// static text; a picture that reacts to a click is a push button, any
// other a graphic.
enum class AccRole { kAuto, kNone, kGraphic, kPushButton, kCheckButton, kStaticText, kLink };

// The "no colour set" value of a property that has a default.
constexpr Colour kUnsetColour = 0xFFFFFFFF;


// Mouse events: button (1 left, 2 right, 4 middle), shift (1 Shift, 2 Ctrl,
// 4 Alt), and the position in twips relative to the control.
using MouseEvent = std::function<void(int button, int shift, float x, float y)>;
using KeyEvent = std::function<void(int& keyCode, int shift)>;
// The shift argument of mouse and key events, from the keys held now.
int ShiftState();

// A control is a member of its form, declared with its design: it takes its
// place in its container (the form or a frame) in declaration order. That
// order is front-to-back order: the container paints back to front and
// hit-tests front to back. It also breaks ties between equal tab indexes,
// and it is the reading order (what screen readers list and step through)
// only of the controls their container's reading order does not name:
// those follow the named ones (Container::SetReadingOrder).
class Control {
public:
    Control(ControlSite& parent, std::wstring name, TwipsRect rect);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::wstring& Name() const { return name_; }
    // The control's own number, made from its name: its tooltip's id and
    // its child id for screen readers, whatever its place in the design.
    long Id() const { return id_; }
    TwipsRect Rect() const { return rect_; }
    // The control's rectangle in pixels of its container's client area.
    virtual RECT PixelRect() const;
    // Where it paints: its rectangle, or more for a label that never wraps.
    virtual RECT PaintRect() const { return PixelRect(); }
    ControlSite* Parent() const { return parent_; }
    virtual bool Windowless() const { return true; }
    // The window of a windowed control (an edit box, a frame), once made.
    virtual HWND OwnWindow() const { return nullptr; }

    const std::wstring& ToolTipText() const { return tooltip_; }
    void SetToolTipText(std::wstring t) { tooltip_ = std::move(t); }
    HCURSOR MousePointer() const;
    void SetMousePointer(HCURSOR c) { cursor_ = c; }
    // The program's hand, loaded when the pointer first needs it: a cursor
    // costs Wine tens of milliseconds to load, too much for start-up.
    void SetHandPointer() { hand_ = true; }

    std::function<void()> Click;
    MouseEvent MouseMove, MouseDown, MouseUp;

    // The keyboard: a control with a tab index is a tab stop of its form.
    int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int index) { tabIndex_ = index; }
    bool TabStop() const { return tabIndex_ >= 0; }
    // Takes the keyboard focus; a windowless control through its form,
    // whose window then has the keys.
    virtual void TakeFocus() { parent_->Top().FocusOn(this); }
    // Tab or Shift+Tab has just brought the focus here.
    virtual void TabbedInto() {}
    // Whether the keys are with it, or with a control inside it.
    virtual bool HoldsFocus() const { return parent_->Top().HasFocus(*this); }
    // A key pressed while the windowless control has the focus. Space does
    // what a click does; Enter too, on a push button or a link. True if
    // taken.
    virtual bool KeyPressed(int key);
    // Where the focus cue goes, in its container's pixels: around it.
    virtual RECT FocusRect() const;
    // The cue as drawn: FocusRect grown to whole dots, so that its dotted
    // sides meet at the corners without a step at any scale.
    RECT CueRect() const;
    // The cue's line and dot width at the window's DPI.
    int CueWidth() const;

    // Accessibility. The name is, unless given, a label's caption or a
    // picture's tooltip; the value is a link's address.
    void SetAccessible(AccRole role, std::wstring name = {}, std::wstring value = {});
    AccRole AccessibleRole() const;
    virtual std::wstring AccessibleName() const;
    const std::wstring& AccessibleValue() const { return accValue_; }
    virtual long AccessibleState() const { return 0; }  // STATE_SYSTEM_* bits
    // Whether screen readers find it: a windowless control in sight.
    bool Listed() const;
    // Tells screen readers of a change of it.
    void Notify(DWORD event) const;
    // What a left click does: MouseDown, MouseUp and Click, as the mouse
    // would raise them at the control's centre.
    void Press();

    // Called by the container: draw a windowless control, create the window
    // of a windowed one.
    virtual void Paint(HDC) {}
    virtual void Realize() {}
    // The form's tooltip window is made: a control with a tip adds it; a
    // control that holds controls (a frame) adds theirs.
    virtual void AddTools(HWND tooltip);
    // A windowed control gives the brush and colours it is drawn in when
    // its window asks its container (WM_CTLCOLOR...); null for others.
    virtual HBRUSH ColoursFor(HWND, HDC) const { return nullptr; }
    // The form's DPI changed: a windowed control moves to its new pixel
    // rectangle and takes the font for it; a label measures again.
    virtual void DpiChanged() {}

protected:
    // What a screen reader is told it is when the design says nothing.
    virtual AccRole DefaultRole() const;
    void Invalidate(const RECT& r);
    void InvalidateSelf() { Invalidate(PaintRect()); }

    std::wstring name_;
    long id_;
    TwipsRect rect_;
    ControlSite* parent_;
    std::wstring tooltip_;
    HCURSOR cursor_ = nullptr;
    bool hand_ = false;
    int tabIndex_ = -1;
    AccRole accRole_ = AccRole::kAuto;
    std::wstring accName_, accValue_;
};

class Image : public Control {
public:
    // `picture`: a picture resource of the executable, or 0 for none.
    Image(ControlSite& parent, std::wstring name, TwipsRect rect, int picture = 0,
          const wchar_t* tooltip = nullptr);
    const StdPicture& Picture() const { return picture_; }
    // Shares the picture object; takes its size. Repaints only on a change.
    void SetPicture(const StdPicture& p);
    RECT PixelRect() const override;
    // While it shows the holder's picture, a screen reader reads the state
    // given: checked for a ticked box, hot for a hover picture.
    void SetStateWhenShowing(const Image& holder, long state);
    long AccessibleState() const override;
    // Its focus cue goes around the picture, and around the label beside
    // it for a check box: never over the picture, whose caption may reach
    // the edge of its face.
    void SetCueBeside(const Control* beside) { beside_ = beside; }
    RECT FocusRect() const override;
    // A toggle (a button that stays in) leaves Enter to the default button.
    bool KeyPressed(int key) override {
        return !(key == VK_RETURN && plain_ == Plain::kToggle) && Control::KeyPressed(key);
    }
    // What it is drawn as in high contrast, where the skin gives way to the
    // system's own controls in the system's colours; the state is read as
    // a screen reader reads it (checked, pressed).
    enum class Plain {
        kPicture,   // its picture, as it is
        kFace,      // the window's face, under everything
        kButton,    // a push button with the caption given
        kCheckBox,  // a check box, ticked while checked
        kToggle,    // its picture's shape on a button that stays in while pressed
        kMinimise,  // the system's caption buttons
        kClose,
    };
    void SetPlain(Plain look, std::wstring caption = {}) {
        plain_ = look;
        plainCaption_ = std::move(caption);
    }

protected:
    void Paint(HDC dc) override;

private:
    void PaintPlain(HDC dc, const RECT& r) const;
    StdPicture picture_;
    std::vector<std::pair<const Image*, long>> states_;
    const Control* beside_ = nullptr;
    Plain plain_ = Plain::kPicture;
    std::wstring plainCaption_;
};

class Label : public Control {
public:
    void DpiChanged() override { textWidth_ = -1; }
    Label(ControlSite& parent, std::wstring name, TwipsRect rect, const wchar_t* caption,
          unsigned flags = 0, const wchar_t* tooltip = nullptr, Colour fore = kBtnText);
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& c);
    Colour ForeColor() const { return fore_; }
    void SetForeColor(Colour c);
    bool FontUnderline() const { return underline_; }
    void SetFontUnderline(bool u);
    void SetCentred(bool c) { centred_ = c; }
    // A one-line label never wraps: its caption runs past its right edge
    // as far as the container lets it, instead of losing the rest.
    bool WordWrap() const { return wrap_; }
    void SetWordWrap(bool w) { wrap_ = w; }
    RECT PaintRect() const override;
    // Whether a caption on one line would end inside the window the label
    // lies in, at its font and DPI: seen whole, not cut at the edge.
    bool FitsInWindow(const std::wstring& caption) const;
    // The caption as painted: wrapped to the label's width, each line.
    std::vector<std::wstring> WrappedLines() const;
    std::wstring AccessibleName() const override;
    // Around the text itself: every glyph's ink, an overhang past the
    // advance (an italic tail, a stroke of a "t") too.
    RECT FocusRect() const override;

protected:
    void Paint(HDC dc) override;
    AccRole DefaultRole() const override { return AccRole::kStaticText; }

private:
    // The caption's lines in `r`, clipped to it, in one colour.
    void DrawCaption(HDC dc, const RECT& r, COLORREF colour) const;
    // The pixels the caption inks when drawn in `r` (empty for none),
    // measured once for each caption, font and place.
    RECT InkRect(const RECT& r) const;
    struct Ink {
        bool valid;
        std::wstring caption;
        bool underline;
        int dpi;
        RECT in, ink;
    };
    mutable Ink ink_ = {};
    std::wstring caption_;
    Colour fore_ = kBtnText;
    Colour designFore_ = kBtnText;  // its colour at rest
    bool underline_ = false;
    bool centred_ = false;
    bool wrap_ = true;
    bool quiet_ = false;
    mutable int textWidth_ = -1;  // of the caption on one line, once measured
};

class TextBox : public Control {
public:
    void DpiChanged() override;
    TextBox(ControlSite& parent, std::wstring name, TwipsRect rect, unsigned flags, int maxLength,
            int tabIndex, Colour back = kUnsetColour, const wchar_t* tooltip = nullptr);
    ~TextBox() override;
    bool Windowless() const override { return false; }
    HWND OwnWindow() const override { return hwnd_; }
    HWND hWnd() const { return hwnd_; }
    void TakeFocus() override;
    // As in a dialog: all of the text, so that what is typed replaces it.
    void TabbedInto() override { SelectAll(); }
    void AddTools(HWND tooltip) override;
    HBRUSH ColoursFor(HWND child, HDC dc) const override;
    std::wstring Text() const;
    void SetText(const std::wstring& t);
    // Selects all of the text, so that what is typed next replaces it.
    void SelectAll();
    void SetFocus();
    Colour BackColor() const { return back_; }
    void SetBackColor(Colour c);
    HBRUSH BackBrush() const;
    // The label whose caption names the box for a screen reader, as a
    // label just before an edit box names it in a dialog.
    void SetCaptionLabel(const Label* l) { captionLabel_ = l; }
    const Label* CaptionLabel() const { return captionLabel_; }

    KeyEvent KeyDown;

protected:
    void Realize() override;

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);
    size_t Limit() const;
    size_t Room() const;
    unsigned Rules() const;
    std::wstring Pasted() const;
    void TakeFont();
    void EnforceBounds();
    HWND hwnd_ = nullptr;
    WindowHook hook_;  // over the edit class's own procedure
    std::wstring pendingText_;
    bool multiLine_;
    bool number_;
    int maxLength_;
    Colour back_ = kUnsetColour;  // the system's window colour
    std::unique_ptr<ColourBrush> brush_;
    const Label* captionLabel_ = nullptr;
    AccessibleObject* accessible_ = nullptr;  // made on the first request
    bool enforcing_ = false;
    bool ownFont_ = false;  // while the box takes its font from the program
    bool halfTyped_ = false;  // the last character typed is a pair's first half
    UINT pressed_ = 0;  // the scan code of the last key pressed down in the box
};

class Menu;

struct MenuItem {
    MenuItem(Menu& menu, std::wstring caption);
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;
    std::wstring caption;  // "-" draws a separator
    std::function<void()> Click;
};

// A pop-up menu: its items are declared after it, in menu order.
class Menu {
public:
    Menu() = default;
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;
    const std::vector<MenuItem*>& Items() const { return items_; }

private:
    friend struct MenuItem;
    std::vector<MenuItem*> items_;
};

}  // namespace host
