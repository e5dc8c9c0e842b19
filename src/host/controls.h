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

namespace host {

// Host colour value: 0x00BBGGRR, or the high bit set and a system colour
// index in the low byte.
using Colour = uint32_t;
constexpr Colour kBtnText = 0x80000012;
constexpr Colour kInfoBk = 0x80000018;
constexpr Colour kBtnFace = 0x8000000F;
COLORREF ToColorRef(Colour c);

struct TwipsRect {
    int left, top, width, height;
};

class Container;
class Form;

// Mouse events: button (1 left, 2 right, 4 middle), shift (1 Shift, 2 Ctrl,
// 4 Alt), and the position in twips relative to the control.
using MouseEvent = std::function<void(int button, int shift, float x, float y)>;
using KeyEvent = std::function<void(int& keyCode, int shift)>;

class Control {
public:
    Control(std::wstring name, TwipsRect rect) : name_(std::move(name)), rect_(rect) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::wstring& Name() const { return name_; }
    TwipsRect Rect() const { return rect_; }
    // The control's rectangle in pixels of its container's client area.
    virtual RECT PixelRect() const;
    // Where it paints: its rectangle, or more for a label that never wraps.
    virtual RECT PaintRect() const { return PixelRect(); }
    Container* Parent() const { return parent_; }
    virtual bool Windowless() const { return true; }

    const std::wstring& ToolTipText() const { return tooltip_; }
    void SetToolTipText(std::wstring t) { tooltip_ = std::move(t); }
    HCURSOR MousePointer() const { return cursor_; }
    void SetMousePointer(HCURSOR c) { cursor_ = c; }

    std::function<void()> Click;
    MouseEvent MouseMove, MouseDown, MouseUp;

protected:
    friend class Container;
    friend class Form;
    friend class Frame;
    virtual void Paint(HDC) {}
    virtual void Realize() {}
    void Invalidate(const RECT& r);
    void InvalidateSelf() { Invalidate(PaintRect()); }

    std::wstring name_;
    TwipsRect rect_;
    Container* parent_ = nullptr;
    std::wstring tooltip_;
    HCURSOR cursor_ = nullptr;
};

class Image : public Control {
public:
    using Control::Control;
    const StdPicture& Picture() const { return picture_; }
    // Shares the picture object; takes its size. Repaints only on a change.
    void SetPicture(const StdPicture& p);
    RECT PixelRect() const override;

protected:
    void Paint(HDC dc) override;

private:
    StdPicture picture_;
};

class Label : public Control {
public:
    using Control::Control;
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
    // The caption as painted: wrapped to the label's width, each line.
    std::vector<std::wstring> WrappedLines() const;
    // How many of those lines show, the last one perhaps clipped.
    int VisibleLineCount() const;

protected:
    void Paint(HDC dc) override;

private:
    std::wstring caption_;
    Colour fore_ = kBtnText;
    bool underline_ = false;
    bool centred_ = false;
    bool wrap_ = true;
};

class TextBox : public Control {
public:
    TextBox(std::wstring name, TwipsRect rect, bool multiLine, int maxLength, int tabIndex);
    bool Windowless() const override { return false; }
    HWND hWnd() const { return hwnd_; }
    std::wstring Text() const;
    void SetText(const std::wstring& t);
    int TabIndex() const { return tabIndex_; }
    Colour BackColor() const { return back_; }
    void SetBackColor(Colour c);
    HBRUSH BackBrush() const;

    KeyEvent KeyDown;

protected:
    void Realize() override;

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);
    void EnforceOneLine();
    HWND hwnd_ = nullptr;
    WNDPROC editProc_ = nullptr;  // the edit class's own procedure
    std::wstring pendingText_;
    bool multiLine_;
    int maxLength_;
    int tabIndex_;
    Colour back_ = 0xFFFFFFFF;  // unset: the system's window colour
    BrushHandle brush_;
};

class Timer {
public:
    Timer(std::wstring name, unsigned intervalMs) : name_(std::move(name)), interval_(intervalMs) {}
    const std::wstring& Name() const { return name_; }
    unsigned Interval() const { return interval_; }
    std::function<void()> Tick;

private:
    std::wstring name_;
    unsigned interval_;
};

struct MenuItem {
    std::wstring name;
    std::wstring caption;  // "-" draws a separator
    std::function<void()> Click;
};

class Menu {
public:
    Menu(std::wstring name, std::wstring caption)
        : name_(std::move(name)), caption_(std::move(caption)) {}
    const std::wstring& Name() const { return name_; }
    MenuItem& Add(std::wstring name, std::wstring caption);
    const std::vector<std::unique_ptr<MenuItem>>& Items() const { return items_; }

private:
    std::wstring name_, caption_;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

}  // namespace host
