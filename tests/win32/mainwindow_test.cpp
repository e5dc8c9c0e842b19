// The main window: design, start-up, outline, chrome and hover feedback.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <regex>
#include <string>
#include <vector>

#include "host/contrast.h"
#include "host/error.h"
#include "host/text_services.h"
#include "mainwindow/chrome.h"
#include "mainwindow/clock.h"
#include "notice/frmok.h"
#include "tests/win32/harness.h"

using namespace testenv;

namespace {
struct MainWindowTest : FormsTest {
    Frmmain* f = nullptr;
    void SetUp() override { f = &OpenMain(); }
    uintptr_t H(const host::Image& i) { return i.Picture().Handle(); }
};

// What the window shows over a control.
std::vector<COLORREF> Shown(const host::Control& c) {
    RECT r = c.PixelRect();
    HDC dc = GetDC(c.Parent()->Window());
    std::vector<COLORREF> px;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) px.push_back(GetPixel(dc, x, y));
    ReleaseDC(c.Parent()->Window(), dc);
    return px;
}

RECT FormRect(const host::Control& c) {
    RECT r = c.PixelRect();
    POINT p = {r.left, r.top};
    MapWindowPoints(c.Parent()->Window(), GetAncestor(c.Parent()->Window(), GA_ROOT), &p, 1);
    return {p.x, p.y, p.x + (r.right - r.left), p.y + (r.bottom - r.top)};
}
}  // namespace

TEST_F(MainWindowTest, OpensBorderlessAtItsDesignPlaceWithFocusInTheInputBox) {
    RECT r;
    GetWindowRect(f->hWnd(), &r);
    EXPECT_EQ(r.left, 226);
    EXPECT_EQ(r.top, 135);
    EXPECT_EQ(r.right - r.left, 359);
    EXPECT_EQ(r.bottom - r.top, 293);
    LONG style = GetWindowLongW(f->hWnd(), GWL_STYLE);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_TRUE(GetWindowLongW(f->hWnd(), GWL_EXSTYLE) & WS_EX_APPWINDOW) << "taskbar button";
    wchar_t title[64];
    GetWindowTextW(f->hWnd(), title, 64);
    EXPECT_STREQ(title, L"青枫软件系列");
    EXPECT_EQ(GetFocus(), f->Text1.hWnd());
    EXPECT_NE(f->Icon(), nullptr);
    EXPECT_EQ(SendMessageW(f->hWnd(), WM_GETICON, ICON_BIG, 0),
              reinterpret_cast<LRESULT>(f->Icon())) << "the taskbar shows the beetle";
}

TEST_F(MainWindowTest, ControlsStandWhereTheDesignPutsThem) {
    RECT t1 = FormRect(f->Text1);
    EXPECT_EQ(t1.left, 120);  // 1800 twips: frame 240 + 1560
    EXPECT_EQ(t1.top, 96);
    EXPECT_EQ(t1.right - t1.left, 209);
    EXPECT_EQ(t1.bottom - t1.top, 18);
    RECT t2 = FormRect(f->Text2);
    EXPECT_EQ(t2.top, 136);
    EXPECT_EQ(t2.bottom - t2.top, 57);
    LONG s2 = GetWindowLongW(f->Text2.hWnd(), GWL_STYLE);
    EXPECT_TRUE(s2 & ES_MULTILINE);
    EXPECT_FALSE(s2 & (WS_VSCROLL | WS_HSCROLL | ES_READONLY));
    EXPECT_EQ(SendMessageW(f->Text1.hWnd(), EM_GETLIMITTEXT, 0, 0), 8);
    int edits = 0;
    for (HWND c = GetWindow(f->Frame1.hWnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++edits;
    EXPECT_EQ(edits, 2) << "exactly one window per edit box";
    POINT inText2 = {FormRect(f->Text2).left + 20, FormRect(f->Text2).top + 20};
    ClientToScreen(f->hWnd(), &inText2);
    EXPECT_EQ(WindowFromPoint(inText2), f->Text2.hWnd()) << "clicks reach the box itself";
    EXPECT_EQ(FormRect(f->Imgok0).left, 192);
    EXPECT_EQ(FormRect(f->Imgok0).top, 240);
    EXPECT_EQ(FormRect(f->Imgbody).bottom, 291) << "the lowest 2 pixels show the form colour";
    EXPECT_EQ(f->Label1.WrappedLines().size(), 2u);
    EXPECT_EQ(f->Label2.WrappedLines().size(), 2u);
    EXPECT_EQ(f->Lblmail.WrappedLines().size(), 1u) << "the mail line fits its label";
    EXPECT_EQ(f->Lbltitle.Caption(), L"霁岚通1.0.0829");
    EXPECT_EQ(f->Lbltitle.WrappedLines().size(), 1u);
}

TEST_F(MainWindowTest, PictureHoldersAndThePlatformLineLieOutsideTheClientArea) {
    for (const host::Control* c : std::initializer_list<const host::Control*>{&f->Imgchk2, &f->Imgchk1, &f->Lblversion, &f->Imgend1,
          &f->Imgok1, &f->Imgclose2, &f->Imgmin2, &f->Imgclose1, &f->Imgmin1, &f->Imgding2,
          &f->Imgding1, &f->Imgend2, &f->Imgok2}) {
        RECT r = FormRect(*c);
        EXPECT_TRUE(r.left >= 359 || r.top >= 293) << host::ToUtf8(c->Name());
    }
    // Shown controls carry their own copies, not the holders' objects.
    EXPECT_NE(H(f->Imgok0), H(f->Imgok1));
    EXPECT_NE(H(f->imghistory), H(f->Imgchk1));
}

TEST_F(MainWindowTest, StartUpCutsTheTopCornersAndColoursTheFrame) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(f->hWnd(), rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 1, 1));
    EXPECT_FALSE(PtInRegion(rgn, 357, 1));
    EXPECT_TRUE(PtInRegion(rgn, 6, 6));
    EXPECT_TRUE(PtInRegion(rgn, 180, 1));
    EXPECT_TRUE(PtInRegion(rgn, 0, 292)) << "bottom corners stay square";
    EXPECT_TRUE(PtInRegion(rgn, 358, 292));
    DeleteObject(rgn);
    EXPECT_EQ(f->Frame1.BackColor(), 0x00ECECECu);
    EXPECT_EQ(f->Lblversion.Caption().rfind(L"你的操作平台是", 0), 0u);
}

TEST_F(MainWindowTest, PictureButtonsLightUpAndTheRestingResetPutsThemBack) {
    f->Timer1_Timer();  // a clock repaint, of another shape, comes first
    UpdateWindow(f->hWnd());
    MouseMove(f->Imgok0);
    UpdateWindow(f->hWnd());
    EXPECT_EQ(H(f->Imgok0), H(f->Imgok2));
    // What the small repaint shows is what a whole one shows.
    std::vector<COLORREF> lit = Shown(f->Imgok0);
    RedrawWindow(f->hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(lit == Shown(f->Imgok0)) << "the lit button was painted whole";
    MouseMove(f->Imgend0);
    EXPECT_EQ(H(f->Imgend0), H(f->Imgend2));
    EXPECT_EQ(H(f->Imgok0), H(f->Imgok2)) << "no memory: the query button stays lit";
    MouseMove(f->Imgmin0);
    EXPECT_EQ(H(f->Imgmin0), H(f->Imgmin2));
    MouseMove(f->Imgclose0);  // straight from minimise onto close
    EXPECT_EQ(H(f->Imgclose0), H(f->Imgclose2));
    EXPECT_EQ(H(f->Imgmin0), H(f->Imgmin1));
    MouseMove(f->Lblmail);
    EXPECT_TRUE(f->Lblmail.FontUnderline());
    EXPECT_EQ(f->Lblmail.ForeColor(), 0x00FF0000u);

    MouseMove(f->Imgbody, 5, 250);  // the background, away from every control
    EXPECT_EQ(H(f->Imgok0), H(f->Imgok1));
    EXPECT_EQ(H(f->Imgend0), H(f->Imgend1));
    EXPECT_EQ(H(f->Imgclose0), H(f->Imgclose1));
    EXPECT_FALSE(f->Lblmail.FontUnderline());
    EXPECT_EQ(f->Lblmail.ForeColor(), 0x80000012u);

    MouseMove(f->Imgmin0);
    MouseMove(f->Lbltitle, 20, 5);  // the title resets as well
    EXPECT_EQ(H(f->Imgmin0), H(f->Imgmin1));
}

TEST_F(MainWindowTest, HintLineShowsThePlatformAndThePinHint) {
    MouseMove(f->Lblabout);
    EXPECT_EQ(f->Lblabout.Caption(), f->Lblversion.Caption());
    MouseMove(f->Imgding0);
    EXPECT_EQ(f->Lblabout.Caption(), L"窗体最前/普通窗体");
    MouseMove(f->Imgbody, 5, 250);
    EXPECT_EQ(f->Lblabout.Caption(), L"青枫软件系列");
}

TEST_F(MainWindowTest, CheckBoxLabelsTurnBlueUntilTheFrameResetsThem) {
    MouseMove(f->LblMouse);
    MouseMove(f->Lblhistory);
    EXPECT_EQ(f->LblMouse.ForeColor(), 0x00FF0000u);
    EXPECT_EQ(f->Lblhistory.ForeColor(), 0x00FF0000u);
    MouseMove(f->Imgbody, 5, 250);
    EXPECT_EQ(f->Lblhistory.ForeColor(), 0x00FF0000u) << "the resting reset leaves them";
    MouseMoveAt(f->Frame1.hWnd(), {5, 100});
    EXPECT_EQ(f->LblMouse.ForeColor(), 0x80000012u);
    EXPECT_EQ(f->Lblhistory.ForeColor(), 0x80000012u);
}

TEST_F(MainWindowTest, TitleBandRoutesTheMouseFrontToBack) {
    RECT min = f->Imgmin0.PixelRect();
    EXPECT_EQ(f->HitTest({min.left + 3, min.top + 3}), &f->Imgmin0);
    EXPECT_EQ(f->HitTest({min.left - 3, min.top + 3}), &f->Lbltitle);
    EXPECT_EQ(f->HitTest({5, 250}), &f->Imgbody);
    MouseMoveAt(f->hWnd(), {min.left + 3, min.top + 3});
    EXPECT_EQ(H(f->Imgmin0), H(f->Imgmin2));
    MouseMoveAt(f->hWnd(), {min.left - 3, min.top + 3});
    EXPECT_EQ(H(f->Imgmin0), H(f->Imgmin1));
}

TEST_F(MainWindowTest, CloseButtonShrinksOnItsRightSideWhenLit) {
    RECT before = f->Imgclose0.PixelRect();
    EXPECT_EQ(before.right - before.left, 20);
    MouseMove(f->Imgclose0);
    RECT lit = f->Imgclose0.PixelRect();
    EXPECT_EQ(lit.right - lit.left, 19);
    EXPECT_EQ(lit.left, before.left);
    EXPECT_EQ(lit.top, before.top);
}

TEST_F(MainWindowTest, PinTogglesTheTopmostStateAndItsPicture) {
    LeftClick(f->Imgding0);
    EXPECT_TRUE(GetWindowLongW(f->hWnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(H(f->Imgding0), H(f->Imgding2));
    MouseMove(f->Imgbody, 5, 250);
    EXPECT_EQ(H(f->Imgding0), H(f->Imgding2)) << "the resting reset leaves the pin";
    LeftClick(f->Imgding0);
    EXPECT_FALSE(GetWindowLongW(f->hWnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(H(f->Imgding0), H(f->Imgding1));
    RECT r;
    GetWindowRect(f->hWnd(), &r);
    EXPECT_EQ(r.left, 226) << "pinning never moves the window";
}

TEST_F(MainWindowTest, OnlyTheLeftButtonInTheNormalStateDrags) {
    RECT before, after;
    GetWindowRect(f->hWnd(), &before);
    POINT p = PointIn(f->Lbltitle, 40, 5);
    SendMessageW(f->hWnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(f->hWnd(), WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    SendMessageW(f->hWnd(), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(f->hWnd(), WM_MBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    GetWindowRect(f->hWnd(), &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(GetCapture(), nullptr);
}

namespace {
struct ShellCall {
    HWND hwnd;
    std::string op, file, params, dir;
    bool paramsNull;
    int show;
};
std::vector<ShellCall> g_shell;
HINSTANCE WINAPI RecordShell(HWND h, LPCSTR op, LPCSTR file, LPCSTR params, LPCSTR dir, INT show) {
    g_shell.push_back({h, op, file, params ? params : "", dir ? dir : "", params == nullptr, show});
    return reinterpret_cast<HINSTANCE>(33);
}
}  // namespace

TEST_F(MainWindowTest, MailLinkOpensAnAnsiMailtoWithTheSubject) {
    REQUIRE_ACP_936();
    Override<mainwindow::ShellExecuteFn> shell(mainwindow::shellExecute, RecordShell);
    POINT p = PointIn(f->Lblmail);
    SendMessageW(f->hWnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(f->hWnd(), WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    ASSERT_EQ(g_shell.size(), 1u) << "any button's release opens the link";
    // Enter and Space on the focused link open it as its click does.
    f->Lblmail.TakeFocus();
    PressKey(f->hWnd(), VK_RETURN);
    PressKey(f->hWnd(), VK_SPACE);
    ASSERT_EQ(g_shell.size(), 3u);
    EXPECT_EQ(g_shell[2].file, g_shell[0].file);
    const ShellCall& c = g_shell[0];
    EXPECT_EQ(c.hwnd, f->hWnd());
    EXPECT_EQ(c.op, "Open");
    // 晴川助手使用情况回复 in code page 936, not percent-encoded.
    EXPECT_EQ(c.file, std::string("mailto:qf@qf.test?subject=") +
                          "\xC7\xE7\xB4\xA8\xD6\xFA\xCA\xD6\xCA\xB9\xD3\xC3\xC7\xE9\xBF\xF6"
                          "\xBB\xD8\xB8\xB4");
    EXPECT_EQ(c.params, "");
    EXPECT_FALSE(c.paramsNull);
    EXPECT_EQ(c.dir, host::ToAnsi(host::App::Path()));
    EXPECT_EQ(c.show, SW_SHOWNORMAL);
    EXPECT_EQ(f->Lblmail.Caption(), L"E-mail:qf@qf.test");
}

namespace {
SYSTEMTIME g_now;
void WINAPI FixedNow(LPSYSTEMTIME t) { *t = g_now; }
struct FixedClock {
    FixedClock(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s) {
        g_now = {};
        g_now.wYear = y, g_now.wMonth = mo, g_now.wDay = d;
        g_now.wHour = h, g_now.wMinute = mi, g_now.wSecond = s;
    }
    Override<mainwindow::ReadClockFn> clock{mainwindow::readClock, FixedNow};
};

// Dark (text) pixels of the window in a column range of the label's row.
int DarkPixels(HWND w, const host::Label& l, int fromX, int toX) {
    RECT r = l.PixelRect();
    HDC dc = GetDC(w);
    int dark = 0;
    for (int x = fromX; x < toX; ++x)
        for (int y = r.top; y < r.bottom; ++y) {
            COLORREF c = GetPixel(dc, x, y);
            if (c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 300) ++dark;
        }
    ReleaseDC(w, dc);
    return dark;
}
}  // namespace

TEST_F(MainWindowTest, ClockShowsTheLongDateABlankAndTheTime) {
    REQUIRE_ACP_936();
    FixedClock now(2026, 3, 5, 9, 5, 3);
    f->Timer1_Timer();
    EXPECT_EQ(f->Lbltime.Caption(), L"2026年3月5日 09:05:03");
    FixedClock later(2031, 1, 1, 0, 0, 0);
    f->Timer1_Timer();
    EXPECT_EQ(f->Lbltime.Caption(), L"2031年1月1日 00:00:00");
}

TEST_F(MainWindowTest, TheWidestClockLineShowsWholeOnOneLineInsideTheWindow) {
    REQUIRE_ACP_936();
    FixedClock now(2026, 12, 28, 23, 58, 58);
    f->Timer1_Timer();
    Pump(20);
    const host::Label& t = f->Lbltime;
    EXPECT_EQ(t.Caption(), L"2026年12月28日 23:58:58");
    EXPECT_EQ(t.WrappedLines().size(), 1u);
    RECT design = t.PixelRect(), painted = t.PaintRect(), client;
    GetClientRect(f->hWnd(), &client);
    EXPECT_GT(painted.right, design.right) << "wider than the label's design width";
    EXPECT_LE(painted.right, client.right) << "yet inside the window";
    UpdateWindow(f->hWnd());
    EXPECT_GT(DarkPixels(f->hWnd(), t, design.right, painted.right), 0)
        << "the seconds are drawn past the design width";
    EXPECT_EQ(DarkPixels(f->hWnd(), t, painted.right, client.right - 4), 0);
    // Other labels still wrap: the two box captions take two lines.
    EXPECT_EQ(f->Label1.WrappedLines().size(), 2u);
    EXPECT_TRUE(f->Label1.WordWrap());
    // A long date with the weekday is too wide: the time stays whole, at
    // every scale.
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLONGDATE, L"yyyy'年'M'月'd'日'dddd");
    for (int dpi : {96, 192}) {
        f->ChangeDpi(dpi);
        f->Timer1_Timer();
        GetClientRect(f->hWnd(), &client);
        EXPECT_EQ(t.Caption().size() - t.Caption().rfind(L" 23:58:58"), 9u) << "a date, the time whole: " << dpi;
        EXPECT_LE(t.PaintRect().right, client.right) << dpi;
    }
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLONGDATE, L"yyyy'年'M'月'd'日'");
    f->ChangeDpi(96);
}

TEST_F(MainWindowTest, AShorterClockLineRepaintsWhereTheLongerOneWas) {
    REQUIRE_ACP_936();
    FixedClock now(2026, 12, 28, 23, 58, 58);
    f->Timer1_Timer();
    Pump(20);
    UpdateWindow(f->hWnd());
    FixedClock next(2027, 1, 1, 0, 0, 0);
    f->Timer1_Timer();
    UpdateWindow(f->hWnd());
    RECT r = f->Lbltime.PaintRect();
    EXPECT_EQ(DarkPixels(f->hWnd(), f->Lbltime, r.right, f->Lbltime.PixelRect().right + 8), 0)
        << "no trace of the wider line is left";
}

TEST_F(MainWindowTest, TimerTicksEverySecondIntoTheClockLine) {
    Frmmain::Unload();
    Pump(0);
    f = &Frmmain::Instance();
    f->Show();
    EXPECT_EQ(f->Lbltime.Caption(), L"") << "empty until the first tick";
    long ticks = host::App::Stats().timerTicks;
    Pump(2300);
    EXPECT_FALSE(f->Lbltime.Caption().empty());
    EXPECT_EQ(host::App::Stats().timerTicks - ticks, 2) << "one tick a second";
}

TEST_F(MainWindowTest, TabVisitsEveryControlInReadingOrderAndShiftTabGoesBack) {
    const host::Control* cycle[] = {&f->Text2,   &f->ImgMouse, &f->imghistory, &f->Imgok0,
                                    &f->Imgend0, &f->Lblmail,  &f->Imgding0,   &f->Text1};
    ::SetFocus(f->Text1.hWnd());
    for (const host::Control* c : cycle) {
        PressKey(GetFocus(), VK_TAB);
        EXPECT_TRUE(f->HasFocus(*c)) << host::ToUtf8(c->Name());
    }
    for (int i = 6; i >= -1; --i) {
        PressKey(GetFocus(), VK_TAB, VK_SHIFT);
        EXPECT_TRUE(f->HasFocus(*cycle[i < 0 ? 7 : i])) << i;
    }
}

namespace {
// A window's client pixels as the screen shows them, 0x00RRGGBB each.
struct Pixels {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    uint32_t At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

Pixels Grab(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pixels p;
    RECT rc;
    GetClientRect(hwnd, &rc);
    p.w = rc.right;
    p.h = rc.bottom;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = p.w;
    bi.bmiHeader.biHeight = -p.h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, dib);
    HDC dc = GetDC(hwnd);
    BitBlt(mem, 0, 0, p.w, p.h, dc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, dc);
    GdiFlush();
    const auto* from = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < p.w * p.h; ++i) p.px.push_back(from[i] & 0xFFFFFFu);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(dib);
    return p;
}

// With QF_SHOTS set, a picture of the window for people to look at.
void Keep(const Pixels& p, const std::string& name) {
    const char* dir = getenv("QF_SHOTS");
    if (!dir || !*dir) return;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = p.w;
    ih.biHeight = -p.h;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(p.px.size() * 4);
    if (FILE* f = fopen((std::string(dir) + "/" + name + ".bmp").c_str(), "wb")) {
        fwrite(&fh, sizeof fh, 1, f);
        fwrite(&ih, sizeof ih, 1, f);
        fwrite(p.px.data(), 4, p.px.size(), f);
        fclose(f);
    }
}

// The pixels inside `area` that differ between two pictures of a window.
std::vector<POINT> Changed(const Pixels& a, const Pixels& b, RECT area) {
    std::vector<POINT> d;
    for (int y = std::max(0L, area.top); y < std::min<long>(a.h, area.bottom); ++y)
        for (int x = std::max(0L, area.left); x < std::min<long>(a.w, area.right); ++x)
            if (a.At(x, y) != b.At(x, y)) d.push_back({x, y});
    return d;
}

RECT Bounds(const std::vector<POINT>& pts) {
    RECT r = {LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (POINT p : pts) {
        r.left = std::min(r.left, p.x);
        r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x + 1);
        r.bottom = std::max(r.bottom, p.y + 1);
    }
    return r;
}

// Whether the changed pixels are one dotted rectangle of `dot`-pixel lines:
// nothing inside its lines, and every dot a whole dot-by-dot square on the
// grid that starts at its top-left corner (no steps, no half dots).
std::string NotOneCrispRectangle(const std::vector<POINT>& cue, int dot) {
    if (cue.empty()) return "no cue";
    const RECT b = Bounds(cue);
    const long w = b.right - b.left, h = b.bottom - b.top;
    if (w % dot || h % dot) return "a side of " + std::to_string(w) + " x " + std::to_string(h) + " is no whole number of dots";
    std::vector<char> on(static_cast<size_t>(w * h), 0);
    for (POINT p : cue) {
        const long x = p.x - b.left, y = p.y - b.top;
        if (x >= dot && x < w - dot && y >= dot && y < h - dot)
            return "a pixel inside the lines at " + std::to_string(p.x) + "," + std::to_string(p.y);
        on[static_cast<size_t>(y * w + x)] = 1;
    }
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x)
            if (on[static_cast<size_t>(y * w + x)] != on[static_cast<size_t>((y / dot * dot) * w + x / dot * dot)])
                return "half a dot at " + std::to_string(b.left + x) + "," + std::to_string(b.top + y);
    return "";
}
}  // namespace

// Tab from stop to stop at 100, 150 and 200 %: each cue is one dotted
// rectangle of whole dots (one pixel, then two), a label's cue keeps clear
// of every pixel its text inks, and a picture's of its face.
TEST_F(MainWindowTest, TheCueIsOneCrispRectangleAroundTheInkAtEveryScale) {
    struct Stop {
        const host::Control* control;
        const host::Label* text;  // the text the cue goes around
    };
    const Stop stops[] = {{&f->ImgMouse, &f->LblMouse}, {&f->imghistory, &f->Lblhistory},
                          {&f->Imgok0, nullptr},       {&f->Imgend0, nullptr},
                          {&f->Lblmail, &f->Lblmail},  {&f->Imgding0, nullptr}};
    for (int dpi : {96, 144, 192}) {
        const int dot = dpi == 96 ? 1 : 2;
        f->ChangeDpi(dpi);
        SendMessageW(f->hWnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        ::SetFocus(f->Text2.hWnd());
        Pump(0);
        const Pixels formBefore = Grab(f->hWnd()), frameBefore = Grab(f->Frame1.hWnd());
        // Where each text inks: what changes with its colour.
        std::vector<RECT> ink;
        for (const Stop& s : stops) {
            if (!s.text) {
                ink.push_back({});
                continue;
            }
            auto* label = const_cast<host::Label*>(s.text);
            const host::Colour colour = label->ForeColor();
            label->SetForeColor(0x00FF00FF);
            const Pixels magenta = Grab(ContainerOf(*label));
            label->SetForeColor(colour);
            RECT area = label->PixelRect();
            InflateRect(&area, 8 * dot, 8 * dot);
            ink.push_back(Bounds(Changed(magenta, Grab(ContainerOf(*label)), area)));
            EXPECT_LT(ink.back().left, ink.back().right) << dpi << " " << host::ToUtf8(label->Name());
        }
        for (size_t i = 0; i < sizeof stops / sizeof stops[0]; ++i) {
            const host::Control& c = *stops[i].control;
            PressKey(GetFocus(), VK_TAB);
            Pump(0);
            ASSERT_TRUE(f->HasFocus(c)) << dpi << " " << host::ToUtf8(c.Name());
            const HWND in = ContainerOf(c);
            const Pixels now = Grab(in);
            Keep(now, "cue-" + std::to_string(dpi) + "-" + host::ToUtf8(c.Name()));
            RECT area = c.PixelRect();
            if (stops[i].text) {
                const RECT label = stops[i].text->PixelRect();
                UnionRect(&area, &area, &label);
            }
            InflateRect(&area, 8 * dot, 8 * dot);
            const auto cue = Changed(in == f->hWnd() ? formBefore : frameBefore, now, area);
            EXPECT_EQ(NotOneCrispRectangle(cue, dot), "") << dpi << " DPI, " << host::ToUtf8(c.Name());
            if (stops[i].text && !cue.empty()) {
                RECT inner = Bounds(cue);
                InflateRect(&inner, -dot, -dot);
                const RECT& t = ink[i];
                EXPECT_TRUE(t.left >= inner.left && t.top >= inner.top && t.right <= inner.right &&
                            t.bottom <= inner.bottom)
                    << dpi << " DPI, " << host::ToUtf8(c.Name()) << ": ink " << t.left << "," << t.top << "-"
                    << t.right << "," << t.bottom << " past the cue's lines " << inner.left << ","
                    << inner.top << "-" << inner.right << "," << inner.bottom;
            }
            if (!stops[i].text) {  // a picture's face, its caption too, keeps clear of it
                const RECT face = c.PixelRect();
                for (POINT p : cue)
                    if (PtInRect(&face, p)) {
                        ADD_FAILURE() << dpi << " DPI, " << host::ToUtf8(c.Name()) << ": the cue at " << p.x
                                      << "," << p.y << " lies on the face";
                        break;
                    }
            }
            // Painted again with more of the window, the cue is the same.
            RECT more = Bounds(cue);
            more.left -= 3;
            InvalidateRect(in, &more, FALSE);
            const Pixels again = Grab(in);
            EXPECT_TRUE(Changed(now, again, {0, 0, now.w, now.h}).empty()) << dpi << " DPI, " << host::ToUtf8(c.Name());
        }
    }
    f->ChangeDpi(96);
}

namespace {
// The system's answer with high contrast on (Wine never gives it).
BOOL WINAPI HighContrastOn(UINT action, UINT param, PVOID out, UINT flags) {
    if (action != SPI_GETHIGHCONTRAST || !out) return SystemParametersInfoW(action, param, out, flags);
    auto* hc = static_cast<HIGHCONTRASTW*>(out);
    hc->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
    hc->lpszDefaultScheme = nullptr;
    return TRUE;
}

constexpr uint32_t kLeftOut = 0xFF000000u;  // no colour a window shows

// A high-contrast scheme of the system's colours while it lives, each one
// told apart from the others; the user's own are put back however the test
// ends. Setting them tells every window (WM_SYSCOLORCHANGE).
struct ContrastScheme {
    static constexpr int kCount = 13;
    const int index[kCount] = {COLOR_BTNFACE,   COLOR_BTNTEXT,     COLOR_WINDOW,     COLOR_WINDOWTEXT,
                               COLOR_WINDOWFRAME, COLOR_HOTLIGHT,  COLOR_HIGHLIGHT,  COLOR_HIGHLIGHTTEXT,
                               COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT,
                               COLOR_GRAYTEXT};
    const COLORREF scheme[kCount] = {RGB(0, 0, 0),       RGB(255, 255, 255), RGB(0, 0, 0x50),
                                     RGB(0xF0, 0xF0, 0xF0), RGB(0xE0, 0xE0, 0xE0), RGB(255, 255, 0),
                                     RGB(0, 0xC0, 0xFF),  RGB(0x10, 0x10, 0x10), RGB(0x80, 0x80, 0x80),
                                     RGB(0xC0, 0xC0, 0xC0), RGB(0x60, 0x60, 0x60), RGB(0xA0, 0xA0, 0xA0),
                                     RGB(0x3F, 0xF2, 0x3F)};
    COLORREF saved[kCount];
    ContrastScheme() {
        for (int i = 0; i < kCount; ++i) saved[i] = GetSysColor(index[i]);
        SetSysColors(kCount, index, scheme);
        Pump(0);
    }
    ~ContrastScheme() {
        SetSysColors(kCount, index, saved);
        Pump(0);
    }
    static uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
    static uint32_t Of(int colour) { return Rgb(GetSysColor(colour)); }
    // A pixel of no colour of the scheme, in `area` of a picture.
    std::string Foreign(const Pixels& p, RECT area) const {
        for (int y = std::max(0L, area.top); y < std::min<long>(p.h, area.bottom); ++y)
            for (int x = std::max(0L, area.left); x < std::min<long>(p.w, area.right); ++x) {
                const uint32_t c = p.At(x, y);
                if (c == kLeftOut) continue;
                if (std::none_of(scheme, scheme + kCount, [&](COLORREF s) { return Rgb(s) == c; }))
                    return std::to_string(x) + "," + std::to_string(y) + " is " + std::to_string(c);
            }
        return "";
    }
};

int Count(const Pixels& p, RECT area, uint32_t colour) {
    int n = 0;
    for (int y = std::max(0L, area.top); y < std::min<long>(p.h, area.bottom); ++y)
        for (int x = std::max(0L, area.left); x < std::min<long>(p.w, area.right); ++x) n += p.At(x, y) == colour;
    return n;
}

// The pixels of a window, child windows (the edit boxes, whose caret
// blinks, and the frame that holds them) and what lies outside the
// window's outline left out.
Pixels Still(HWND w, std::initializer_list<HWND> children) {
    Pixels p = Grab(w);
    for (HWND child : children) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
        for (int y = std::max(0L, r.top); y < std::min<long>(p.h, r.bottom); ++y)
            for (int x = std::max(0L, r.left); x < std::min<long>(p.w, r.right); ++x)
                p.px[static_cast<size_t>(y) * p.w + x] = kLeftOut;
    }
    HRGN outline = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(w, outline) != ERROR)
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x)
                if (!PtInRegion(outline, x, y)) p.px[static_cast<size_t>(y) * p.w + x] = kLeftOut;
    DeleteObject(outline);
    return p;
}

}  // namespace

// High contrast on, at 100 and 200 %: the main window and the notice are
// drawn in the system's colours alone, the pictures as the system's own
// controls that show their state; off again, both are as they were, with
// no restart.
TEST_F(MainWindowTest, InHighContrastEverythingTakesTheSystemsColoursAndGoesBackWithoutARestart) {
    f->Timer1.Tick = [] {};  // the clock stands still
    for (int dpi : {96, 192}) {
        f->ChangeDpi(dpi);
        const std::string at = std::to_string(dpi) + " DPI: ";
        const HWND main = f->hWnd(), frame = f->Frame1.hWnd();
        ::SetFocus(f->Text1.hWnd());
        const Pixels mainBefore = Still(main, {frame}), frameBefore = Still(frame, {f->Text1.hWnd(), f->Text2.hWnd()});
        const RECT all = {0, 0, mainBefore.w, mainBefore.h}, inFrame = {0, 0, frameBefore.w, frameBefore.h};
        {
            ContrastScheme scheme;
            // The colours first, then the setting, each told to the window.
            Override<host::SystemParametersFn> on(host::systemParameters, HighContrastOn);
            SendMessageW(main, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
            Pump(0);
            const Pixels plain = Still(main, {frame}), plainFrame = Still(frame, {f->Text1.hWnd(), f->Text2.hWnd()});
            Keep(Grab(main), "contrast-main-" + std::to_string(dpi));
            EXPECT_EQ(scheme.Foreign(plain, all), "") << at << "the main window";
            EXPECT_EQ(plain.At(plain.w / 2, plain.h - 1), ContrastScheme::Of(COLOR_WINDOWFRAME)) << at << "a border";
            EXPECT_EQ(scheme.Foreign(plainFrame, inFrame), "") << at << "the frame";
            // The buttons with their captions, inside their borders.
            for (const host::Image* b : {&f->Imgok0, &f->Imgend0}) {
                RECT face = b->PixelRect();
                InflateRect(&face, -3 * dpi / 96, -3 * dpi / 96);
                EXPECT_GT(Count(plain, face, ContrastScheme::Of(COLOR_BTNTEXT)), 20) << at << host::ToUtf8(b->Name());
            }
            // The boxes in the window's colours, whatever the design says.
            HDC dc = GetDC(f->Text2.hWnd());
            RECT box;
            GetClientRect(f->Text2.hWnd(), &box);
            EXPECT_EQ(ContrastScheme::Rgb(GetPixel(dc, box.right - 4, box.bottom - 4)), ContrastScheme::Of(COLOR_WINDOW));
            ReleaseDC(f->Text2.hWnd(), dc);
            // A tick, the pin pressed in and a hover show, in the system's colours.
            LeftClick(f->ImgMouse);
            LeftClick(f->Imgding0);
            MouseMove(f->Lblhistory);
            const Pixels ticked = Still(frame, {f->Text1.hWnd(), f->Text2.hWnd()}), pinned = Still(main, {frame});
            Keep(Grab(main), "contrast-main-ticked-pinned-hover-" + std::to_string(dpi));
            EXPECT_FALSE(Changed(plainFrame, ticked, f->ImgMouse.PixelRect()).empty()) << at << "the tick shows";
            EXPECT_EQ(scheme.Foreign(ticked, inFrame), "") << at << "ticked";
            EXPECT_GT(Count(ticked, f->Lblhistory.PaintRect(), ContrastScheme::Of(COLOR_HOTLIGHT)), 20) << at << "hover";
            EXPECT_EQ(Count(plainFrame, f->Lblhistory.PaintRect(), ContrastScheme::Of(COLOR_HOTLIGHT)), 0) << at;
            EXPECT_GT(Count(plain, f->Lblmail.PaintRect(), ContrastScheme::Of(COLOR_HOTLIGHT)), 20) << at << "a link";
            EXPECT_GT(Count(pinned, f->Imgding0.PixelRect(), ContrastScheme::Of(COLOR_HIGHLIGHT)), 20) << at << "pinned";
            EXPECT_EQ(Count(plain, f->Imgding0.PixelRect(), ContrastScheme::Of(COLOR_HIGHLIGHT)), 0) << at;
            EXPECT_EQ(scheme.Foreign(pinned, all), "") << at << "pinned";
            LeftClick(f->ImgMouse);
            LeftClick(f->Imgding0);
            MouseMoveAt(frame, {4, 4});
            // The focus cue shows on a plain button.
            PressKey(f->Text1.hWnd(), VK_TAB, VK_SHIFT);  // to the pin, by the keyboard
            PressKey(GetFocus(), VK_TAB, VK_SHIFT);       // the link
            PressKey(GetFocus(), VK_TAB, VK_SHIFT);       // 取消
            ASSERT_TRUE(f->HasFocus(f->Imgend0)) << at;
            RECT around = f->Imgend0.PixelRect();
            InflateRect(&around, 4, 4);
            EXPECT_GT(Changed(plain, Still(main, {frame}), around).size(), 20u) << at << "the cue";
            ::SetFocus(f->Text1.hWnd());
            // The notice: its face, its message and its button.
            f->Text1.SetText(L"");
            f->Imgok0_Click();
            Pump(20);
            frmok& notice = frmok::Instance();
            notice.ChangeDpi(dpi);
            const Pixels note = Still(notice.hWnd(), {});
            Keep(Grab(notice.hWnd()), "contrast-notice-" + std::to_string(dpi));
            EXPECT_EQ(scheme.Foreign(note, {0, 0, note.w, note.h}), "") << at << "the notice";
            EXPECT_GT(Count(note, notice.Lblremind1.PaintRect(), ContrastScheme::Of(COLOR_BTNTEXT)), 40) << at;
            frmok::Unload();
            Pump(0);
        }
        // Off again, told by the colours going back alone: as before.
        ::SetFocus(f->Text1.hWnd());
        EXPECT_TRUE(Changed(mainBefore, Still(main, {frame}), all).empty()) << at << "the main window is back";
        EXPECT_TRUE(Changed(frameBefore, Still(frame, {f->Text1.hWnd(), f->Text2.hWnd()}), inFrame).empty()) << at << "the frame";
    }
    f->ChangeDpi(96);
}
