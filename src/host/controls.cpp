#include "controls.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "app.h"
#include "contrast.h"
#include "error.h"
#include "messages.h"
#include "one_line.h"
#include "outside.h"
#include "twips.h"

namespace host {

namespace {
const wchar_t kTextBoxProp[] = L"QfTextBox";
}

int ShiftState() {
    return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

COLORREF ToColorRef(Colour c) {
    if (IsSystemColour(c)) return GetSysColor(SystemColourIndex(c));
    return static_cast<COLORREF>(c & 0x00FFFFFF);
}

ColourBrush::ColourBrush(Colour c) {
    if (IsSystemColour(c))
        system_ = GetSysColorBrush(SystemColourIndex(c));
    else
        own_ = BrushHandle(CreateSolidBrush(ToColorRef(c)));
}

namespace {
// The same number for the same name, whatever the order of the design;
// never 0 (the window itself to a screen reader) nor a small number, which
// a screen reader that counts children 1..N means as a place.
long IdFromName(const std::wstring& name) {
    uint32_t h = 2166136261u;  // FNV-1a
    for (wchar_t c : name) {
        h ^= static_cast<uint32_t>(c);
        h *= 16777619u;
    }
    return static_cast<long>((h & 0x3FFFFFFFu) | 0x40000000u);
}
}  // namespace

Control::Control(ControlSite& parent, std::wstring name, TwipsRect rect)
    : name_(std::move(name)), id_(IdFromName(name_)), rect_(rect), parent_(&parent) {
    parent.Add(this);
}

RECT Control::PixelRect() const {
    RECT r;
    const int dpi = parent_->Dpi();
    r.left = common::TwipsToPixels(rect_.left, dpi);
    r.top = common::TwipsToPixels(rect_.top, dpi);
    r.right = r.left + common::TwipsToPixels(rect_.width, dpi);
    r.bottom = r.top + common::TwipsToPixels(rect_.height, dpi);
    return r;
}

HCURSOR Control::MousePointer() const { return hand_ && !cursor_ ? App::HandCursor() : cursor_; }

void Control::SetAccessible(AccRole role, std::wstring name, std::wstring value) {
    accRole_ = role;
    accName_ = std::move(name);
    accValue_ = std::move(value);
}

AccRole Control::AccessibleRole() const {
    return accRole_ != AccRole::kAuto ? accRole_ : DefaultRole();
}

AccRole Control::DefaultRole() const {
    return Click || MouseDown || MouseUp ? AccRole::kPushButton : AccRole::kGraphic;
}

std::wstring Control::AccessibleName() const { return accName_.empty() ? tooltip_ : accName_; }

bool Control::Listed() const {
    if (!Windowless() || AccessibleRole() == AccRole::kNone) return false;
    RECT client, r = PixelRect(), both;
    return GetClientRect(parent_->Window(), &client) && IntersectRect(&both, &r, &client);
}

void Control::Notify(DWORD event) const {
    if (HWND own = OwnWindow())  // as the system tells of a window's own
        NotifyWinEvent(event, own, OBJID_CLIENT, CHILDID_SELF);
    else if (parent_->Window() && Listed())
        NotifyWinEvent(event, parent_->Window(), OBJID_CLIENT, id_);
}

void Control::Press() {
    RECT r = PixelRect();
    const int dpi = parent_->Dpi();
    const float x = static_cast<float>(common::PixelsToTwips((r.right - r.left) / 2, dpi));
    const float y = static_cast<float>(common::PixelsToTwips((r.bottom - r.top) / 2, dpi));
    HWND window = parent_->Window();
    // A handler may close the window (the close button does on the press
    // itself); then, as with the mouse, nothing more arrives.
    if (MouseDown) MouseDown(1, 0, x, y);
    if (!window || !IsWindow(window)) return;
    if (MouseUp) MouseUp(1, 0, x, y);
    if (!IsWindow(window)) return;
    if (Click) Click();
}

bool Control::KeyPressed(int key) {
    const AccRole role = AccessibleRole();
    const bool button = role == AccRole::kPushButton || role == AccRole::kLink;
    if ((key == VK_SPACE && (button || role == AccRole::kCheckButton)) || (key == VK_RETURN && button)) {
        Press();
        return true;
    }
    return false;
}

int Control::CueWidth() const { return std::max(1, common::ScalePixels(1, parent_->Dpi())); }

RECT Control::FocusRect() const {
    RECT r = PixelRect();
    InflateRect(&r, CueWidth(), CueWidth());
    return r;
}

RECT Control::CueRect() const {
    // The dots lie on a grid from the top-left corner: a side that is not
    // a whole number of dots would end the right or bottom line half a dot
    // off the grid, in steps.
    RECT r = FocusRect();
    const int w = CueWidth();
    r.right = r.left + (std::max(0L, r.right - r.left) + w - 1) / w * w;
    r.bottom = r.top + (std::max(0L, r.bottom - r.top) + w - 1) / w * w;
    return r;
}

void Control::AddTools(HWND tooltip) {
    if (tooltip_.empty()) return;
    TTTOOLINFOW ti = {};
    ti.cbSize = sizeof ti;
    ti.hwnd = parent_->Window();
    ti.uId = static_cast<UINT_PTR>(id_);
    ti.lpszText = const_cast<wchar_t*>(tooltip_.c_str());
    ti.rect = PixelRect();
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Control::Invalidate(const RECT& r) { parent_->InvalidatePx(r); }

// ---- Image -------------------------------------------------------------

Image::Image(ControlSite& parent, std::wstring name, TwipsRect rect, int picture,
             const wchar_t* tooltip)
    : Control(parent, std::move(name), rect) {
    if (picture) SetPicture(StdPicture::FromResource(picture));
    if (tooltip) SetToolTipText(tooltip);
}

RECT Image::PixelRect() const {
    RECT r = Control::PixelRect();
    if (!picture_.Empty()) {
        r.right = r.left + picture_.WidthPx(parent_->Dpi());
        r.bottom = r.top + picture_.HeightPx(parent_->Dpi());
    }
    return r;
}

void Image::SetPicture(const StdPicture& p) {
    if (p.SameObject(picture_)) {
        picture_ = p;  // share the object all the same; nothing to repaint
        return;
    }
    RECT before = PixelRect();
    long stateBefore = AccessibleState();
    picture_ = p;
    RECT after = PixelRect();
    RECT both;
    UnionRect(&both, &before, &after);
    Invalidate(both);
    if (!EqualRect(&before, &after)) parent_->Top().UpdateToolRect(*this);
    // Checked and pressed are news to a screen reader; the hover is not,
    // and the hover path stays short.
    const long told = ~static_cast<long>(STATE_SYSTEM_HOTTRACKED);
    if ((AccessibleState() & told) != (stateBefore & told)) Notify(EVENT_OBJECT_STATECHANGE);
}

void Image::SetStateWhenShowing(const Image& holder, long state) {
    states_.emplace_back(&holder, state);
}

long Image::AccessibleState() const {
    long state = 0;
    for (const auto& s : states_)
        if (!picture_.Empty() && picture_.SameObject(s.first->picture_)) state |= s.second;
    return state;
}

RECT Image::FocusRect() const {
    RECT r = PixelRect();
    const int w = CueWidth();
    InflateRect(&r, w, w);
    if (beside_) {
        RECT label = beside_->FocusRect();
        UnionRect(&r, &r, &label);
    }
    return r;
}

void Image::Paint(HDC dc) {
    RECT r = PixelRect();
    if (plain_ != Plain::kPicture && HighContrast())
        PaintPlain(dc, r);
    else
        picture_.Render(dc, r.left, r.top, parent_->Dpi(), parent_->PictureDc());
}

void Image::PaintPlain(HDC dc, const RECT& r) const {
    const long state = AccessibleState();
    RECT box = r;
    switch (plain_) {
    case Plain::kPicture:
        break;
    case Plain::kFace:
        FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
        break;
    case Plain::kButton: {
        DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONPUSH);
        Selected font(dc, App::DefaultFont(false, parent_->Dpi()));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextW(dc, plainCaption_.c_str(), -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        break;
    }
    case Plain::kCheckBox:
        DrawFrameControl(dc, &box, DFC_BUTTON,
                         DFCS_BUTTONCHECK | ((state & STATE_SYSTEM_CHECKED) ? DFCS_CHECKED : 0));
        break;
    case Plain::kToggle: {
        // In, it takes the selection's colours, as a chosen item does.
        const bool in = (state & STATE_SYSTEM_PRESSED) != 0;
        FillRect(dc, &box, GetSysColorBrush(in ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        DrawEdge(dc, &box, in ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        picture_.RenderShape(dc, r.left, r.top, parent_->Dpi(), GetSysColor(in ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT),
                             parent_->PictureDc());
        break;
    }
    case Plain::kMinimise:
    case Plain::kClose: {
        // The glyph is drawn here, crisp at every scale and in the text
        // colour: a symbol font's would be smoothed, where it is there.
        DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONPUSH);
        const int dpi = parent_->Dpi();
        const int t = std::max(1, common::ScalePixels(2, dpi)), n = common::ScalePixels(7, dpi);
        const int x = (box.left + box.right - n) / 2, y = (box.top + box.bottom - n) / 2;
        const HBRUSH ink = GetSysColorBrush(COLOR_BTNTEXT);
        if (plain_ == Plain::kMinimise) {
            RECT bar = {x, y + n - t, x + n, y + n};
            FillRect(dc, &bar, ink);
        } else {
            for (int i = 0; i + t <= n; ++i) {
                RECT down = {x + i, y + i, x + i + t, y + i + t};
                RECT up = {x + n - t - i, y + i, x + n - i, y + i + t};
                FillRect(dc, &down, ink);
                FillRect(dc, &up, ink);
            }
        }
        break;
    }
    }
}

// ---- Label -------------------------------------------------------------

Label::Label(ControlSite& parent, std::wstring name, TwipsRect rect, const wchar_t* caption,
             unsigned flags, const wchar_t* tooltip, Colour fore)
    : Control(parent, std::move(name), rect), fore_(fore), designFore_(fore) {
    if (caption) caption_ = caption;
    centred_ = (flags & kCentred) != 0;
    wrap_ = (flags & kSingleLine) == 0;
    quiet_ = (flags & kQuiet) != 0;
    if (tooltip) SetToolTipText(tooltip);
    if (flags & kHandCursor) SetHandPointer();
}

void Label::SetCaption(const std::wstring& c) {
    if (c == caption_) return;
    RECT before = PaintRect();
    caption_ = c;
    textWidth_ = -1;
    RECT after = PaintRect(), both;
    UnionRect(&both, &before, &after);
    Invalidate(both);
    if (!quiet_) Notify(EVENT_OBJECT_NAMECHANGE);
}

void Label::SetForeColor(Colour c) {
    if (c == fore_) return;
    fore_ = c;
    InvalidateSelf();
}

void Label::SetFontUnderline(bool u) {
    if (u == underline_) return;
    underline_ = u;
    textWidth_ = -1;
    InvalidateSelf();
}

namespace {
bool BreaksAnywhere(wchar_t c) { return c >= 0x2E80; }  // CJK and full-width forms

// Greedy wrapping: between any two Chinese characters, at blanks elsewhere,
// and inside a word only when a word is wider than the whole line.
std::vector<std::wstring> Wrap(HDC dc, const std::wstring& text, int width) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        std::wstring para = text.substr(start, end == std::wstring::npos ? std::wstring::npos
                                                                          : end - start);
        if (!para.empty() && para.back() == L'\r') para.pop_back();
        size_t i = 0;
        if (para.empty()) lines.emplace_back();
        while (i < para.size()) {
            int fit = 0;
            SIZE sz;
            GetTextExtentExPointW(dc, para.c_str() + i, static_cast<int>(para.size() - i), width,
                                  &fit, nullptr, &sz);
            size_t n = static_cast<size_t>(fit);
            if (i + n >= para.size()) {
                lines.push_back(para.substr(i));
                break;
            }
            if (n == 0) n = 1;
            size_t cut = i + n;
            if (!BreaksAnywhere(para[cut - 1]) && !BreaksAnywhere(para[cut])) {
                size_t sp = para.rfind(L' ', cut);
                if (sp != std::wstring::npos && sp > i) cut = sp + 1;
            }
            std::wstring line = para.substr(i, cut - i);
            while (!line.empty() && line.back() == L' ') line.pop_back();
            lines.push_back(line);
            i = cut;
            while (i < para.size() && para[i] == L' ') ++i;
        }
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return lines;
}

int LineHeight(HDC dc) {
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    return tm.tmHeight;
}
}  // namespace

RECT Label::PaintRect() const {
    RECT r = PixelRect();
    if (wrap_ || caption_.empty()) return r;
    if (textWidth_ < 0) {  // measured once per caption, not at every paint
        ScreenDc dc;
        Selected font(dc.get(), App::DefaultFont(underline_, parent_->Dpi()));
        SIZE sz = {};
        GetTextExtentPoint32W(dc.get(), caption_.c_str(), static_cast<int>(caption_.size()), &sz);
        textWidth_ = sz.cx;
    }
    if (r.left + textWidth_ > r.right) r.right = r.left + textWidth_;
    return r;
}

bool Label::FitsInWindow(const std::wstring& caption) const {
    RECT client;
    if (!parent_->Window() || !GetClientRect(parent_->Window(), &client)) return true;
    ScreenDc dc;
    Selected font(dc.get(), App::DefaultFont(underline_, parent_->Dpi()));
    SIZE sz = {};
    GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &sz);
    return PixelRect().left + sz.cx <= client.right;
}

std::wstring Label::AccessibleName() const { return accName_.empty() ? caption_ : accName_; }

RECT Label::FocusRect() const {
    // Around each line's advance where Paint puts it, and around every
    // pixel the text inks: a glyph may ink before its origin or past its
    // advance (a "t" whose bar runs on, an italic), by as much as the
    // renderer draws it, inside the rectangle the text is clipped to.
    RECT r = PaintRect();
    ScreenDc dc;
    Selected font(dc.get(), App::DefaultFont(underline_, parent_->Dpi()));
    const int lh = LineHeight(dc.get());
    RECT text = {r.right, r.top, r.left, r.top};
    int y = r.top;
    for (const auto& line : WrappedLines()) {
        if (y >= r.bottom) break;
        SIZE sz = {};
        GetTextExtentPoint32W(dc.get(), line.c_str(), static_cast<int>(line.size()), &sz);
        const LONG x = centred_ ? r.left + ((r.right - r.left) - sz.cx) / 2 : r.left;
        text.left = std::min(text.left, x);
        text.right = std::max(text.right, x + sz.cx);
        y += lh;
    }
    if (text.left > text.right) text.left = text.right = r.left;  // no line shows
    text.bottom = std::min<LONG>(r.bottom, y);
    const RECT ink = InkRect(r);
    if (!IsRectEmpty(&ink)) UnionRect(&text, &text, &ink);
    text.left = std::max(text.left, r.left);
    text.right = std::min(text.right, r.right);
    InflateRect(&text, CueWidth(), CueWidth());
    return text;
}

RECT Label::InkRect(const RECT& r) const {
    const int dpi = parent_->Dpi();
    if (ink_.valid && ink_.caption == caption_ && ink_.underline == underline_ && ink_.dpi == dpi &&
        EqualRect(&ink_.in, &r))
        return ink_.ink;
    // Drawn as Paint draws it, black on white, into a bitmap of its own.
    RECT ink = {};
    const int w = r.right - r.left, h = r.bottom - r.top;
    void* bits = nullptr;
    BitmapHandle dib = w > 0 && h > 0 && !caption_.empty() ? Dib32(w, h, &bits) : BitmapHandle();
    DcHandle dc(dib ? CreateCompatibleDC(nullptr) : nullptr);
    if (dc && bits) {
        Selected into(dc.get(), dib.get());
        memset(bits, 0xFF, static_cast<size_t>(w) * h * 4);
        SetViewportOrgEx(dc.get(), -r.left, -r.top, nullptr);
        DrawCaption(dc.get(), r, RGB(0, 0, 0));
        GdiFlush();
        const auto* px = static_cast<const uint32_t*>(bits);
        ink = {w, h, 0, 0};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if ((px[static_cast<size_t>(y) * w + x] & 0xFFFFFFu) != 0xFFFFFFu) {
                    ink.left = std::min<LONG>(ink.left, x);
                    ink.top = std::min<LONG>(ink.top, y);
                    ink.right = std::max<LONG>(ink.right, x + 1);
                    ink.bottom = std::max<LONG>(ink.bottom, y + 1);
                }
        if (ink.left < ink.right)
            OffsetRect(&ink, r.left, r.top);
        else
            SetRectEmpty(&ink);
    }
    ink_ = {true, caption_, underline_, dpi, r, ink};
    return ink;
}

std::vector<std::wstring> Label::WrappedLines() const {
    ScreenDc dc;
    Selected font(dc.get(), App::DefaultFont(underline_, parent_->Dpi()));
    RECT r = PaintRect();
    return wrap_ ? Wrap(dc.get(), caption_, r.right - r.left) : std::vector<std::wstring>{caption_};
}

void Label::Paint(HDC dc) {
    if (caption_.empty()) return;
    // In high contrast the system's text colour, and its hot-track colour,
    // the colour of links, for a link and where a hover has changed the
    // label's own.
    const bool hot = fore_ != designFore_ || AccessibleRole() == AccRole::kLink;
    const COLORREF colour = !HighContrast() ? ToColorRef(fore_) : GetSysColor(hot ? COLOR_HOTLIGHT : COLOR_BTNTEXT);
    DrawCaption(dc, PaintRect(), colour);
}

void Label::DrawCaption(HDC dc, const RECT& r, COLORREF colour) const {
    Selected font(dc, App::DefaultFont(underline_, parent_->Dpi()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    int lh = LineHeight(dc);
    int y = r.top;
    auto lines = wrap_ ? Wrap(dc, caption_, r.right - r.left) : std::vector<std::wstring>{caption_};
    for (const auto& line : lines) {
        if (y >= r.bottom) break;
        int x = r.left;
        if (centred_) {
            SIZE sz;
            GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &sz);
            x = r.left + ((r.right - r.left) - sz.cx) / 2;
        }
        ExtTextOutW(dc, x, y, ETO_CLIPPED, &r, line.c_str(), static_cast<UINT>(line.size()),
                    nullptr);
        y += lh;
    }
}

// ---- TextBox -----------------------------------------------------------

TextBox::TextBox(ControlSite& parent, std::wstring name, TwipsRect rect, unsigned flags,
                 int maxLength, int tabIndex, Colour back, const wchar_t* tooltip)
    : Control(parent, std::move(name), rect), multiLine_((flags & kMultiLine) != 0),
      number_((flags & kNumber) != 0 && !multiLine_), maxLength_(maxLength) {
    tabIndex_ = tabIndex;
    SetBackColor(back);
    if (tooltip) SetToolTipText(tooltip);
}

TextBox::~TextBox() {
    parent_->Top().ForgetAccessible(accessible_);
    // A window that outlives its object goes back to the edit class alone.
    if (hwnd_) {
        hook_.Remove();
        RemovePropW(hwnd_, kTextBoxProp);
    }
}

void TextBox::TakeFocus() {
    if (hwnd_) ::SetFocus(hwnd_);
}

void TextBox::AddTools(HWND tooltip) {
    if (ToolTipText().empty() || !hwnd_) return;
    // A window of its own: the tooltip listens to it.
    TTTOOLINFOW ti = {};
    ti.cbSize = sizeof ti;
    ti.hwnd = parent_->Window();
    ti.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
    ti.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    ti.lpszText = const_cast<wchar_t*>(ToolTipText().c_str());
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

HBRUSH TextBox::ColoursFor(HWND child, HDC dc) const {
    if (child != hwnd_) return nullptr;
    // In high contrast the system's window colours, whatever the design says.
    const bool plain = HighContrast();
    SetBkColor(dc, ToColorRef(plain || back_ == kUnsetColour ? kWindowBack : back_));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return plain ? GetSysColorBrush(COLOR_WINDOW) : BackBrush();
}

std::wstring TextBox::Text() const {
    if (!hwnd_) return pendingText_;
    int n = GetWindowTextLengthW(hwnd_);
    std::wstring t(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(hwnd_, &t[0], n + 1);
    t.resize(static_cast<size_t>(n));
    return t;
}

void TextBox::SetText(const std::wstring& t) {
    if (!hwnd_) {
        pendingText_ = t;
        return;
    }
    if (Text() == t) return;
    SetWindowTextW(hwnd_, t.c_str());
    // The answer box changes without the user typing: tell screen readers.
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

void TextBox::SelectAll() {
    if (hwnd_) SendMessageW(hwnd_, EM_SETSEL, 0, -1);
}

void TextBox::SetFocus() {
    if (!hwnd_ || !IsWindowVisible(hwnd_)) Raise(L"无效的过程调用：编辑框不可见");
    ::SetFocus(hwnd_);
}

void TextBox::SetBackColor(Colour c) {
    if (c == back_) return;
    back_ = c;
    brush_.reset();
    if (c != kUnsetColour) brush_ = std::make_unique<ColourBrush>(c);
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

HBRUSH TextBox::BackBrush() const {
    return brush_ ? brush_->get() : GetSysColorBrush(COLOR_WINDOW);
}

void TextBox::TakeFont() {
    ownFont_ = true;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(App::DefaultFont(false, parent_->Dpi())), FALSE);
    ownFont_ = false;
}

void TextBox::DpiChanged() {
    if (!hwnd_) return;
    RECT r = PixelRect();
    TakeFont();
    MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void TextBox::Realize() {
    if (hwnd_) return;
    RECT r = PixelRect();
    DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP;
    style |= multiLine_ ? (ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN) : ES_AUTOHSCROLL;
    hwnd_ = CreateWindowExW(0, L"EDIT", pendingText_.c_str(), style, r.left, r.top,
                            r.right - r.left, r.bottom - r.top, parent_->Window(), nullptr,
                            App::Instance(), nullptr);
    if (!hwnd_) RaiseLastError(L"无法创建编辑框 " + name_);
    TakeFont();
    SendMessageW(hwnd_, EM_SETLIMITTEXT, Limit(), 0);
    // Subclassed with user32 alone, so that start-up need not load comctl32.
    SetPropW(hwnd_, kTextBoxProp, this);
    hook_.Install(hwnd_, SubclassProc);
}

namespace {
// What a box without a maximum length holds at most. Wine's multi-line edit
// takes time that grows faster than the square of a line's length (30,000
// characters keep a window busy for 40 s, 2,000 for 0.1 s); 1,000 it lays
// out in 15 ms, with room to spare on a slow machine.
constexpr size_t kLongestText = 1000;

// The start of the clipboard's text, read no further than `most`
// characters: a clipboard may hold hundreds of millions of them, and a box
// takes only what it has room for.
std::wstring ClipboardHead(HWND owner, size_t most) {
    std::wstring text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            size_t held = GlobalSize(data) / sizeof(wchar_t);
            text.assign(p, wcsnlen(p, held < most ? held : most));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace

size_t TextBox::Limit() const {
    return maxLength_ > 0 ? static_cast<size_t>(maxLength_) : kLongestText;
}

unsigned TextBox::Rules() const {
    return multiLine_ ? common::kAnyBox : number_ ? common::kNumberBox : common::kOneLineBox;
}

// Room for what replaces the selection.
size_t TextBox::Room() const {
    size_t length = static_cast<size_t>(hook_.CallPrevious(hwnd_, WM_GETTEXTLENGTH, 0, 0));
    DWORD start = 0, end = 0;
    hook_.CallPrevious(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                    reinterpret_cast<LPARAM>(&end));
    size_t kept = length - (end > start && end - start <= length ? end - start : 0);
    return kept < Limit() ? Limit() - kept : 0;
}

// What a paste puts in place of the selection: what fits of the
// clipboard's text, as the box's rules take it (a one-line box the text
// before the first line break, as a one-line box on Windows pastes it).
// A number box takes the telephone number in the text (after a label, an
// area code, written with partings) as its digits alone.
std::wstring TextBox::Pasted() const {
    // Enough for a number with its label and partings, or for what fits.
    std::wstring head = ClipboardHead(hwnd_, 4 * Limit() + 256);
    const size_t room = Room();
    if (number_) {
        std::wstring digits = common::DigitsOfPaste(head);
        if (!digits.empty()) return digits.substr(0, room);
    }
    return common::Admit(head.c_str(), room, Rules());
}

// Whatever message arrived, the box holds what its rules allow (see
// common::Admit), at most its limit: a cut goes one before a pair's second
// half, and a first half stays only while its second one may still be
// typed: just typed, before the caret, with room left. (A keyboard's pair
// arrives as two characters in a row; any other message in between means
// the second half is not coming.)
void TextBox::EnforceBounds() {
    if (!hwnd_ || enforcing_) return;
    enforcing_ = true;
    size_t length = static_cast<size_t>(hook_.CallPrevious(hwnd_, WM_GETTEXTLENGTH, 0, 0));
    DWORD start = 0, end = 0;
    hook_.CallPrevious(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    // At most a little over the limit: the edit control keeps to it.
    std::wstring text(length + 1, L'\0');
    text.resize(static_cast<size_t>(
        hook_.CallPrevious(hwnd_, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]))));
    std::wstring fixed = common::Admit(text.c_str(), Limit(), Rules(),
                                       halfTyped_ && start > 0 ? start - 1 : std::wstring::npos);
    if (fixed != text) {
        hook_.CallPrevious(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fixed.c_str()));
        DWORD caret = start < fixed.size() ? start : static_cast<DWORD>(fixed.size());
        hook_.CallPrevious(hwnd_, EM_SETSEL, caret, caret);
    }
    enforcing_ = false;
}

LRESULT CALLBACK TextBox::SubclassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<TextBox*>(GetPropW(h, kTextBoxProp));
    if (!self) return DefWindowProcW(h, msg, wp, lp);
    const WindowHook& edit = self->hook_;
    const bool oneLine = !self->multiLine_;
    std::wstring replaced;
    LRESULT refused = 0;
    if (RefusedFromOutside(h, msg, wp, lp, true, refused)) return refused;
    switch (msg) {
    // The box was made before it was hooked, and goes only with its form:
    // these come from another program, and the edit control would drop
    // its state for a new one (no border, no text rectangle, no parent)
    // and then corrupt memory at the next character.
    case WM_NCCREATE:
        return TRUE;
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        if (!self->parent_->Top().Destroying()) return 0;
        break;
    // What other programs may not do to a box: each of these is refused,
    // answered as a box without the feature would answer. The program
    // never sends them (its own font excepted).
    case EM_SETHANDLE:
    case EM_GETHANDLE:
    case EM_SETWORDBREAKPROC:
        // Their parameters or answers are this process's memory or code,
        // and another program may send or post them with any number in
        // them (Wine delivers them as they are): a wild handle leaves the
        // box without its text, or ends the program.
        return 0;
    case EM_GETLINE:
        // From another thread or program, the buffer is Wine's copy of the
        // caller's, and when the caller's count of characters is 0 the
        // copy holds no count at all: the control reads what was there
        // before and writes the line past the copy's end, over the stack
        // (the program ends). Other programs read the text with
        // WM_GETTEXT, screen readers through the box's object.
        if (InSendMessage()) return 0;
        break;
    case EM_GETTHUMB:
        // Wine's edit control divides by zero working it out for a box
        // without scroll bars whose lines all show (the program ends), and
        // so it does for a scroll message that asks for it; the boxes have
        // no scroll bar, whose thumb would be at 0.
        return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
        if (LOWORD(wp) == EM_GETTHUMB) return 0;
        break;
    case EM_SETREADONLY:  // the box would take no more typing
    case EM_SETPASSWORDCHAR:  // it would show a number as stars
    case EM_SETRECT:  // it would lay out its text where it does not show
    case EM_SETRECTNP:
    case EM_SETMARGINS:
        return 0;
    case WM_SETFONT:  // a font of another process, of any size
        if (!self->ownFont_) return 0;
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {  // Alt with a key arrives as a system key
        if (!(lp & (1 << 30))) self->pressed_ = (lp >> 16) & 0x1FF;
        int shift = ShiftState();
        if (msg == WM_KEYDOWN && wp == VK_TAB && !(shift & 2)) {
            self->parent_->Top().TabFrom(self, shift & 1);
            return 0;
        }
        if (msg == WM_KEYDOWN && wp == 'A' && shift == 2) {  // Ctrl+A
            self->SelectAll();
            return 0;
        }
        // A held key raises KeyDown once, at its press: a held Enter runs
        // the query once.
        if (self->KeyDown && !(lp & (1 << 30))) {
            int code = static_cast<int>(wp);
            Guard([&] { self->KeyDown(code, shift); });
            if (code == 0) return 0;
            wp = static_cast<WPARAM>(code);
        }
        break;
    }
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_UNICHAR:
    case WM_IME_CHAR:
        // Tab moves the focus; Enter or Ctrl+Enter in a one-line box would
        // only beep, or put a line break where none belongs.
        if (msg == WM_CHAR && wp == L'\t' && !(GetKeyState(VK_CONTROL) < 0)) return 0;
        if (msg == WM_CHAR && wp == 1) return 0;  // Ctrl+A, taken at its key
        // The repeats of a key held down since before the box had the keys
        // (Space or O that closed the notice) are not typing.
        if (msg == WM_CHAR && (lp & (1 << 30)) && ((lp >> 16) & 0x1FF) != self->pressed_) return 0;
        if (oneLine && (wp == L'\r' || wp == L'\n')) return 0;
        if (wp == L'\t') wp = L' ';  // see common::BoxRules
        self->halfTyped_ = common::IsHighSurrogate(static_cast<wchar_t>(wp));
        break;  // the rest of the rules: EnforceBounds
    case EM_SETLIMITTEXT:  // and EM_LIMITTEXT: the box's own limit stands
        // A smaller one from another program (1, say) would take the box's
        // typing away.
        wp = self->Limit();
        break;
    case WM_SETTEXT:
    case EM_REPLACESEL:
        // The edit control's own limit binds typing only.
        if (lp) {
            size_t room = msg == WM_SETTEXT ? self->Limit() : self->Room();
            replaced = common::Admit(reinterpret_cast<const wchar_t*>(lp), room, self->Rules());
            lp = reinterpret_cast<LPARAM>(replaced.c_str());
        }
        break;
    case WM_PASTE:
        if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
            replaced = self->Pasted();
            edit.CallPrevious(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(replaced.c_str()));
            self->halfTyped_ = false;
            self->EnforceBounds();
        }
        return 0;
    case WM_GETOBJECT:
        if (LRESULT r = self->parent_->Top().AnswerEditObject(*self, self->accessible_, wp, lp))
            return r;
        break;
    case WM_MOUSEMOVE:
        // A window that comes up under the pointer sees it first here.
        self->parent_->Top().ToolTip();
        break;
    case WM_SETFOCUS:
        self->parent_->Top().FocusArrived(self);  // the form remembers it
        break;
    case WM_NCDESTROY:
        if (!self->parent_->Top().Destroying()) return 0;
        self->parent_->Top().ForgetAccessible(self->accessible_);
        self->pendingText_ = self->Text();
        self->hwnd_ = nullptr;
        self->hook_.Remove();
        RemovePropW(h, kTextBoxProp);
        return edit.CallPrevious(h, msg, wp, lp);
    }
    LRESULT result = edit.CallPrevious(h, msg, wp, lp);
    // Reads and the caret's ticks change nothing; any other message may
    // have, whoever sent it.
    switch (msg) {
    case WM_GETTEXT: case WM_GETTEXTLENGTH: case EM_GETSEL: case WM_PAINT: case WM_NCPAINT:
    case WM_NCHITTEST: case WM_SETCURSOR: case WM_MOUSEMOVE: case WM_GETOBJECT: case WM_TIMER:
    case 0x0118:  // WM_SYSTIMER, the caret's blink
        break;
    default:
        if (msg != WM_CHAR && msg != WM_SYSCHAR && msg != WM_UNICHAR && msg != WM_IME_CHAR)
            self->halfTyped_ = false;
        self->EnforceBounds();
    }
    return result;
}

// ---- Menu ----------------------------------------------------

MenuItem::MenuItem(Menu& menu, std::wstring text) : caption(std::move(text)) {
    menu.items_.push_back(this);
}

}  // namespace host
