// The form host itself: pictures, repaints, handle ownership, unloading.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <vector>
#include <stdexcept>
#include <string>

#include "host/form.h"
#include "notice/frmok.h"
#include "tray/frmmenu.h"
#include "res/resource.h"
#include "tests/win32/gdi_census.h"
#include "tests/win32/harness.h"

using namespace testenv;

namespace {
// Our tooltip window: it belongs to this thread and carries the tools.
HWND OurToolTip() {
    HWND tip = nullptr;
    for (HWND w = FindWindowExW(nullptr, nullptr, L"tooltips_class32", nullptr); w;
         w = FindWindowExW(nullptr, w, L"tooltips_class32", nullptr))
        if (GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId() &&
            SendMessageW(w, TTM_GETTOOLCOUNT, 0, 0) > 0)
            tip = w;
    return tip;
}
}  // namespace

TEST(Picture, EachLoadIsItsOwnObjectAndSharingKeepsTheHandle) {
    host::StdPicture a = host::StdPicture::FromResource(IDP_OK_NORMAL);
    host::StdPicture b = host::StdPicture::FromResource(IDP_OK_NORMAL);
    EXPECT_NE(a.Handle(), 0u);
    EXPECT_NE(a.Handle(), b.Handle());
    host::StdPicture c = a;
    EXPECT_EQ(c.Handle(), a.Handle());
    EXPECT_EQ(a.WidthPx(), 70);
    EXPECT_EQ(a.HeightPx(), 19);
    host::StdPicture gif = host::StdPicture::FromResource(IDP_CHK_TICKED);
    EXPECT_EQ(gif.WidthPx(), 13);
    EXPECT_THROW(host::StdPicture::FromResource(9999), host::RuntimeError);
}

TEST_F(FormsTest, PicturesAreDrawnWithTheirTransparentColour) {
    Frmmain& f = OpenMain();
    RedrawWindow(f.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(f.Frame1.hWnd());
    RECT box = f.imghistory.PixelRect();
    COLORREF corner = GetPixel(dc, box.left, box.top);
    COLORREF inside = GetPixel(dc, box.left + 6, box.top + 6);
    ReleaseDC(f.Frame1.hWnd(), dc);
    EXPECT_EQ(corner, RGB(0xEC, 0xEC, 0xEC)) << "the frame shows through the box's cut corner";
    EXPECT_NE(inside, RGB(0xEC, 0xEC, 0xEC));
    EXPECT_NE(inside, RGB(255, 0, 255));
}

// Moved to a monitor of 200 %: the window takes the rectangle the system
// suggests and everything in it scales; back at 100 % it is as designed.
TEST_F(FormsTest, ADpiChangeLaysTheWindowOutAgain) {
    Frmmain& f = OpenMain();
    HWND w = f.hWnd();
    ASSERT_EQ(f.Dpi(), 96) << "the test prefix runs at 96 DPI";
    RECT r;
    GetWindowRect(w, &r);
    // A rectangle far from the window's size at that DPI is no system's
    // suggestion (any program may send the message): the window takes its
    // size for the DPI where it stands.
    for (RECT wild : {RECT{r.left, r.top, r.left + 12, r.top + 9}, RECT{r.left, r.top, r.left + 718, r.top + 9000}}) {
        SendMessageW(w, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&wild));
        RECT now;
        GetWindowRect(w, &now);
        EXPECT_EQ(now.right - now.left, 718);
        EXPECT_EQ(now.bottom - now.top, 586);
        f.ChangeDpi(96);
    }
    MouseMove(f.Imgbody, 5, 250);  // the tooltips come with the pointer
    GetWindowRect(w, &r);
    RECT suggested = {r.left, r.top, r.left + 718, r.top + 586};
    SendMessageW(w, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, 718);
    EXPECT_EQ(r.bottom - r.top, 586);
    // Twips at 192 DPI: 7.5 a pixel.
    RECT ok = f.Imgok0.PixelRect();
    EXPECT_EQ(ok.left, 384);  // 2880 twips
    EXPECT_EQ(ok.top, 480);   // 3600 twips
    EXPECT_EQ(ok.right - ok.left, 140);
    EXPECT_EQ(ok.bottom - ok.top, 38);
    RECT box;
    GetWindowRect(f.Text1.hWnd(), &box);
    MapWindowPoints(nullptr, f.Frame1.hWnd(), reinterpret_cast<POINT*>(&box), 2);
    EXPECT_EQ(box.left, 208);
    EXPECT_EQ(box.top, 48);
    EXPECT_EQ(box.right - box.left, 418);
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(f.Text1.hWnd(), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -24) << "9 points at 192 DPI";
    // The outline is cut 12 pixels deep and reaches the new width.
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(w, rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 4, 4));
    EXPECT_TRUE(PtInRegion(rgn, 703, 1));
    DeleteObject(rgn);
    // The body is drawn where only the larger window reaches.
    HDC dc = GetDC(w);
    EXPECT_EQ(GetPixel(dc, 700, 300), RGB(0xE9, 0xEC, 0xF1));
    ReleaseDC(w, dc);
    // A tip of the frame's label covers its new place: 1800 + 150 twips,
    // 1935 + 225 in the frame, outside the label's 96-DPI place.
    HWND tip = OurToolTip();
    ASSERT_NE(tip, nullptr);
    TTHITTESTINFOW hit = {};
    wchar_t text[80] = {};
    hit.hwnd = f.Frame1.hWnd();
    hit.pt = {260, 288};
    hit.ti.cbSize = sizeof hit.ti;
    hit.ti.lpszText = text;
    EXPECT_TRUE(SendMessageW(tip, TTM_HITTESTW, 0, reinterpret_cast<LPARAM>(&hit)));
    // And the pointer there is 150, 225 twips into the label, as at 96 DPI.
    float tx = 0, ty = 0;
    f.LblMouse.MouseMove = [&](int, int, float x, float y) { tx = x, ty = y; };
    MouseMoveAt(f.Frame1.hWnd(), hit.pt);
    EXPECT_EQ(tx, 150.0f);
    EXPECT_EQ(ty, 225.0f);
    // The hover lands on the scaled picture, at a point outside its 96-DPI place.
    MouseMoveAt(w, {ok.left + 100, ok.top + 30});
    EXPECT_TRUE(f.Imgok0.Picture().SameObject(f.Imgok2.Picture()));
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(f.SmallIcon(), &info));
    BITMAP bm = {};
    GetObjectW(info.hbmColor, sizeof bm, &bm);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_EQ(bm.bmWidth, 2 * GetSystemMetrics(SM_CXSMICON)) << "the small icon for 200 %";

    f.ChangeDpi(96);
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, 359);
    EXPECT_EQ(r.bottom - r.top, 293);
    EXPECT_EQ(f.Imgok0.PixelRect().left, 192);
    MouseMove(f.Imgbody, 5, 250);  // at rest
    ASSERT_FALSE(f.Imgok0.Picture().SameObject(f.Imgok2.Picture()));
    MouseMoveAt(w, {192 + 65, 240 + 15});  // inside its 96-DPI place only
    EXPECT_TRUE(f.Imgok0.Picture().SameObject(f.Imgok2.Picture()));
}

TEST_F(FormsTest, MovesOverTheWindowAtRestRepaintNothing) {
    Frmmain& f = OpenMain();
    MouseMove(f.Imgbody, 5, 250);  // the first reset shares the holders' pictures
    long before = host::App::Stats().invalidations;
    for (int i = 0; i < 50; ++i) MouseMove(f.Imgbody, 5, 250);  // already at rest
    EXPECT_EQ(host::App::Stats().invalidations, before);
    MouseMove(f.Imgok0);
    EXPECT_EQ(host::App::Stats().invalidations, before + 1);
}

TEST_F(FormsTest, HoverSwapsAndClockTicksLeakNoHandles) {
    Frmmain& f = OpenMain();
    RedrawWindow(f.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    MouseMove(f.Imgok0);  // the shown buttons give up their own first copies
    MouseMove(f.Imgend0);
    Pump(0);  // and their hover pictures are drawn, so decoded, once
    long start = host::OwnedObjectCount(), live = LiveGdiObjects();
    for (int i = 0; i < 10000; ++i) {
        MouseMove(i % 2 ? f.Imgok0 : f.Imgend0);
        if (i % 100 == 0) Pump(0);
    }
    for (int i = 0; i < 3600; ++i) {
        f.Timer1_Timer();
        if (i % 100 == 0) Pump(0);
    }
    Pump(0);
    EXPECT_EQ(host::OwnedObjectCount(), start);
    EXPECT_EQ(LiveGdiObjects(), live) << "raw handles included";
}

TEST_F(FormsTest, UnloadingAFormFreesEverythingItOwned) {
    OpenMain();
    UnloadAll();
    long base = host::OwnedObjectCount(), live = LiveGdiObjects();
    for (int i = 0; i < 5; ++i) {
        Frmmain& f = OpenMain();  // start-up shapes the window with a region
        frmok::Instance().Show();
        MouseMove(f.Imgok0);
        RedrawWindow(f.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump(10);
        UnloadAll();
    }
    EXPECT_EQ(host::OwnedObjectCount(), base);
    EXPECT_EQ(LiveGdiObjects(), live) << "raw handles included";
    EXPECT_EQ(host::App::LoadedFormCount(), 0);
}

TEST_F(FormsTest, AFormThatUnloadsItselfInAHandlerReturnsSafely) {
    frmok& n = frmok::Instance();
    n.Show();
    HWND h = n.hWnd();
    LeftClick(n.Imgok0);  // unloads inside its own click handler
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(frmok::IsLoaded());
    EXPECT_EQ(host::App::LoadedFormCount(), 0);
    Pump(0);
}

TEST(AppObject, PathIsTheExecutablesFolderWithoutTrailingBackslash) {
    std::wstring p = host::App::Path();
    ASSERT_GE(p.size(), 3u);
    EXPECT_NE(p.back(), L'\\');
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    EXPECT_EQ(std::wstring(exe).rfind(p + L"\\", 0), 0u);
}

TEST(AppObject, TheEnvironmentUsesCodePage936) { REQUIRE_ACP_936(); }

TEST_F(FormsTest, OnlyTheCheckBoxLabelsShowTheHand) {
    Frmmain& f = OpenMain();
    EXPECT_NE(f.Lblhistory.MousePointer(), nullptr);
    EXPECT_EQ(f.Lblhistory.MousePointer(), f.LblMouse.MousePointer());
    EXPECT_EQ(f.Label1.MousePointer(), nullptr);
    EXPECT_EQ(f.Imgok0.MousePointer(), nullptr);
    ICONINFO ii = {};
    ASSERT_TRUE(GetIconInfo(f.LblMouse.MousePointer(), &ii));
    EXPECT_FALSE(ii.fIcon);
    EXPECT_EQ(ii.xHotspot, 5u) << "the fingertip";
    EXPECT_EQ(ii.yHotspot, 0u);
    if (ii.hbmMask) DeleteObject(ii.hbmMask);
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
}

TEST_F(FormsTest, ClosingTheMainWindowFromOutsideEndsTheProgram) {
    Frmmain& f = OpenMain();
    SendMessageW(f.hWnd(), WM_CLOSE, 0, 0);
    Pump(0);
    EXPECT_FALSE(Frmmain::IsLoaded());
    EXPECT_FALSE(frmMenu::IsLoaded()) << "no hidden form keeps the process alive";
    EXPECT_EQ(host::App::LoadedFormCount(), 0);
}

TEST(Executable, CarriesItsVersionRecordInSimplifiedChinese) {
    HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16) /*RT_VERSION*/);
    ASSERT_NE(res, nullptr);
    const auto* data = static_cast<const wchar_t*>(LockResource(LoadResource(nullptr, res)));
    std::wstring text(data, SizeofResource(nullptr, res) / sizeof(wchar_t));
    EXPECT_NE(text.find(L"080404B0"), std::wstring::npos);
    EXPECT_NE(text.find(L"1.08.0089"), std::wstring::npos);
    // The fixed part follows the key, aligned to 32 bits: byte 40.
    const auto* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(
        reinterpret_cast<const char*>(data) + 40);
    ASSERT_EQ(text.find(L"VS_VERSION_INFO"), 3u);
    ASSERT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010008u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000059u);  // 1.8.0.89
}

TEST_F(FormsTest, TooltipsCoverEveryControlThatHasOne) {
    Frmmain& f = OpenMain();
    MouseMove(f.Imgbody, 5, 250);  // the tooltips come with the pointer
    HWND tip = OurToolTip();
    ASSERT_NE(tip, nullptr);
    // Text1, LblMouse, Imgclose0, Imgmin0, Lblmail, Imgding0, Lblabout.
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 7);
    TTTOOLINFOW ti = {};
    ti.cbSize = sizeof ti;
    ti.hwnd = f.Text1.Parent()->Window();
    ti.uId = reinterpret_cast<UINT_PTR>(f.Text1.hWnd());
    wchar_t text[80] = {};
    ti.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, L"按回车键可以直接确认");
}

namespace {
DWORD WINAPI SendClose(void* hwnd) {
    Sleep(100);
    SendMessageW(static_cast<HWND>(hwnd), WM_CLOSE, 0, 0);  // sent, not posted
    return 0;
}
DWORD g_loopThread = 0;
DWORD WINAPI Watchdog(void*) {
    Sleep(3000);
    PostThreadMessageW(g_loopThread, WM_QUIT, 0, 0);
    return 0;
}
}  // namespace

TEST_F(FormsTest, TheLoopEndsWhenTheLastFormGoesInsideASentMessage) {
    frmok& n = frmok::Instance();
    n.Show();
    Pump(20);
    g_loopThread = GetCurrentThreadId();
    HANDLE closer = CreateThread(nullptr, 0, SendClose, n.hWnd(), 0, nullptr);
    HANDLE dog = CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    DWORD t0 = GetTickCount();
    host::App::Run();
    DWORD took = GetTickCount() - t0;
    EXPECT_LT(took, 2000u) << "the message loop went on after the last form was gone";
    EXPECT_EQ(host::App::LoadedFormCount(), 0);
    WaitForSingleObject(closer, 5000);
    TerminateThread(dog, 0);
    CloseHandle(closer);
    CloseHandle(dog);
    MSG m;
    while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

namespace {
int g_ticks = 0;
void ErrorBoxThatPumps(const std::wstring& message) {
    testenv::Errors().push_back(message);
    testenv::Pump(2600);  // the box stays up while the timer goes on
}
}  // namespace

TEST_F(FormsTest, AfterTheFirstRunTimeErrorNoHandlerRunsAndOneBoxIsShown) {
    Frmmain& f = OpenMain();
    g_ticks = 0;
    f.Timer1.Tick = [] {
        ++g_ticks;
        throw std::runtime_error("\xE5\xA4\xB1\xE8\xB4\xA5");  // 失败 in UTF-8
    };
    {
        ErrorHandlerWhile box(ErrorBoxThatPumps);
        Pump(1300);
    }
    EXPECT_EQ(g_ticks, 1);
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0], L"失败") << "a standard exception's text, read as UTF-8";
    EXPECT_TRUE(host::Failed());
    LeftClick(f.Imgding0);
    EXPECT_FALSE(f.Topmost()) << "no handler runs any more";
    host::ClearFailure();
    Errors().clear();
}

namespace {
struct Mean {
    double r = 0, g = 0, b = 0;
};
Mean MeanColour(int id) {
    host::StdPicture p = host::StdPicture::FromResource(id);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, p.WidthPx(), p.HeightPx());
    HGDIOBJ old = SelectObject(dc, bmp);
    p.Render(dc, 0, 0);
    Mean m;
    int n = 0;
    for (int y = 0; y < p.HeightPx(); ++y)
        for (int x = 0; x < p.WidthPx(); ++x, ++n) {
            COLORREF c = GetPixel(dc, x, y);
            m.r += GetRValue(c), m.g += GetGValue(c), m.b += GetBValue(c);
        }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    m.r /= n, m.g /= n, m.b /= n;
    return m;
}
}  // namespace

TEST(Picture, HoverPicturesDifferFromTheNormalOnesInShadingOnly) {
    const int pairs[][2] = {{IDP_MIN_NORMAL, IDP_MIN_HOVER},
                            {IDP_CLOSE_NORMAL, IDP_CLOSE_HOVER},
                            {IDP_OK_NORMAL, IDP_OK_HOVER},
                            {IDP_END_NORMAL, IDP_END_HOVER},
                            {IDP_NOTICE_OK_NORMAL, IDP_NOTICE_OK_HOVER}};
    for (const auto& pair : pairs) {
        Mean normal = MeanColour(pair[0]), hover = MeanColour(pair[1]);
        // The same hue family: blue stays the strongest channel and red the
        // weakest, in both.
        EXPECT_GE(normal.b, normal.r) << pair[0];
        EXPECT_GE(hover.b, hover.r) << pair[1] << " turns away from the skin's colour";
        EXPECT_LT(std::abs((hover.b - hover.r) - (normal.b - normal.r)), 60.0) << pair[1];
    }
}

namespace {
const int kAllPictures[] = {IDP_BODY, IDP_OK_NORMAL, IDP_OK_HOVER, IDP_END_NORMAL, IDP_END_HOVER,
                            IDP_MIN_NORMAL, IDP_MIN_HOVER, IDP_CLOSE_NORMAL, IDP_CLOSE_HOVER,
                            IDP_DING_NORMAL, IDP_DING_TOP, IDP_CHK_EMPTY, IDP_CHK_TICKED,
                            IDP_NOTICE_BODY, IDP_NOTICE_OK_NORMAL, IDP_NOTICE_OK_HOVER};

const BITMAPINFOHEADER* Header(int id) {
    HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_BITMAP);
    return res ? static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, res)))
               : nullptr;
}

// A picture drawn onto `back` in a 32-bit bitmap, top-down rows.
template <class Draw>
std::vector<uint32_t> Drawn(int w, int h, COLORREF back, Draw draw) {
    void* bits = nullptr;
    host::BitmapHandle bmp = host::Dib32(w, h, &bits);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp.get());
    HBRUSH brush = CreateSolidBrush(back);
    RECT all = {0, 0, w, h};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    draw(dc);
    GdiFlush();
    std::vector<uint32_t> px(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + w * h);
    SelectObject(dc, old);
    DeleteDC(dc);
    return px;
}

// A picture resource as the system draws it, untouched by the program.
std::vector<uint32_t> Stored(int resource, int w, int h) {
    HBITMAP raw = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    auto px = Drawn(w, h, RGB(0, 0, 0), [&](HDC dc) {
        HDC src = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(src, raw);
        BitBlt(dc, 0, 0, w, h, src, 0, 0, SRCCOPY);
        SelectObject(src, old);
        DeleteDC(src);
    });
    DeleteObject(raw);
    return px;
}

double MeanGreen(const std::vector<uint32_t>& px) {
    double sum = 0;
    for (uint32_t p : px) sum += (p >> 8) & 0xFF;
    return sum / px.size();
}
}  // namespace

// Each picture is drawn for 100, 125, 150 and 200 %, at its size there as
// the program rounds it, compressed so that the system loads it; magenta
// marks the see-through pixels of exactly the pictures that have them.
TEST(Picture, EverySetIsDrawnAtItsScaledSize) {
    const int setDpi[] = {96, 120, 144, 192};
    for (int id : kAllPictures) {
        const BITMAPINFOHEADER* base = Header(id);
        ASSERT_NE(base, nullptr) << id;
        const bool seeThrough = id == IDP_DING_NORMAL || id == IDP_DING_TOP ||
                                id == IDP_CHK_EMPTY || id == IDP_CHK_TICKED;
        for (int k = 0; k < 4; ++k) {
            const BITMAPINFOHEADER* h = Header(id + 1000 * k);
            ASSERT_NE(h, nullptr) << id << " at " << setDpi[k];
            EXPECT_EQ(h->biWidth, std::nearbyint(base->biWidth * setDpi[k] / 96.0)) << id << " at " << setDpi[k];
            EXPECT_EQ(h->biHeight, std::nearbyint(base->biHeight * setDpi[k] / 96.0)) << id << " at " << setDpi[k];
            EXPECT_EQ(h->biCompression, static_cast<DWORD>(BI_RLE8)) << id;
            const auto* table = reinterpret_cast<const RGBQUAD*>(h + 1);
            bool magenta = false;
            for (DWORD i = 0; i < h->biClrUsed; ++i)
                magenta |= table[i].rgbRed == 255 && table[i].rgbGreen == 0 && table[i].rgbBlue == 255;
            EXPECT_EQ(magenta, seeThrough) << id << " at " << setDpi[k];
        }
    }
    // At a set's own DPI the program draws that set, pixel for pixel, not
    // the next one reduced.
    host::StdPicture ok = host::StdPicture::FromResource(IDP_OK_NORMAL);
    for (int k = 0; k < 4; ++k) {
        const int w = ok.WidthPx(setDpi[k]), h = ok.HeightPx(setDpi[k]);
        auto drawn = Drawn(w, h, RGB(0, 0, 0), [&](HDC dc) { ok.Render(dc, 0, 0, setDpi[k]); });
        EXPECT_TRUE(drawn == Stored(IDP_OK_NORMAL + host::kPictureSetStride * k, w, h)) << "at " << setDpi[k];
    }
}

// At 175 % (168 DPI) a picture is the 200 % set reduced: the same colours
// on the whole, and see-through where the drawing is, with no key colour
// left at the edges.
TEST(Picture, BetweenTwoSetsTheLargerOneIsReduced) {
    host::StdPicture ok = host::StdPicture::FromResource(IDP_OK_NORMAL);
    ASSERT_EQ(ok.WidthPx(168), 122);  // 70 x 1.75 = 122.5, to the even pixel
    ASSERT_EQ(ok.HeightPx(168), 33);  // 19 x 1.75 = 33.25
    auto reduced = Drawn(122, 33, RGB(0, 0, 0), [&](HDC dc) { ok.Render(dc, 0, 0, 168); });
    EXPECT_NEAR(MeanGreen(reduced), MeanGreen(Stored(IDP_OK_NORMAL + 3000, 140, 38)), 6.0);

    host::StdPicture box = host::StdPicture::FromResource(IDP_CHK_TICKED);
    const int n = box.WidthPx(168);
    ASSERT_EQ(n, 23);  // 13 x 1.75 = 22.75
    const COLORREF green = RGB(0, 200, 0);
    auto px = Drawn(n, n, green, [&](HDC dc) { box.Render(dc, 0, 0, 168); });
    auto at = [&](int x, int y) { return px[static_cast<size_t>(y) * n + x] & 0xFFFFFF; };
    EXPECT_EQ(at(0, 0), 0x00C800u) << "the cut corner shows what lies behind";
    EXPECT_NE(at(n / 2, n / 2), 0x00C800u);
    for (uint32_t p : px) {
        int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        EXPECT_FALSE(r > 160 && b > 160 && g < 100) << std::hex << p << ": the key colour shows";
    }
}

TEST(StandardLibrary, ItsOwnErrorsArriveAsHostErrors) {
    // A bad index or an impossible size in the C++ library raises the
    // host's error, which the window-procedure boundary reports.
    std::wstring text = L"abc";
    EXPECT_THROW(text.at(5), host::RuntimeError);
    std::vector<int> v;
    EXPECT_THROW(v.reserve(v.max_size() + 1), host::RuntimeError);
}
