// The form host itself: pictures, repaints, handle ownership, unloading.
#include <windows.h>
#include <commctrl.h>
#include <olectl.h>

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
    HWND tip = nullptr;
    // Our tooltip window belongs to this thread and carries the tools.
    for (HWND w = FindWindowExW(nullptr, nullptr, L"tooltips_class32", nullptr); w;
         w = FindWindowExW(nullptr, w, L"tooltips_class32", nullptr))
        if (GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId() &&
            SendMessageW(w, TTM_GETTOOLCOUNT, 0, 0) > 0)
            tip = w;
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
    host::SetErrorHandler(ErrorBoxThatPumps);
    Pump(1300);
    host::SetErrorHandler(nullptr);
    EXPECT_EQ(g_ticks, 1);
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0], L"失败") << "a standard exception's text, read as UTF-8";
    EXPECT_TRUE(host::Failed());
    LeftClick(f.Imgding0);
    EXPECT_FALSE(f.Topmost()) << "no handler runs any more";
    host::ClearFailure();
    Errors().clear();
    host::SetErrorHandler([](const std::wstring& m) { testenv::Errors().push_back(m); });
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

TEST(Picture, EveryGifHasItsTransparentColour) {
    for (int id : {IDP_CHK_EMPTY, IDP_CHK_TICKED, IDP_DING_NORMAL, IDP_DING_TOP}) {
        HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
        ASSERT_NE(res, nullptr);
        auto* d = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, res)));
        std::string data(reinterpret_cast<const char*>(d), SizeofResource(nullptr, res));
        size_t gce = data.find("\x21\xF9\x04");
        ASSERT_NE(gce, std::string::npos) << id;
        EXPECT_TRUE(static_cast<unsigned char>(data[gce + 3]) & 1) << id << " has no transparent colour";
    }
}

namespace {
// A picture drawn onto magenta in a 32-bit bitmap, top-down rows.
template <class Draw>
std::vector<uint32_t> Drawn(int w, int h, Draw draw) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    RECT all = {0, 0, w, h};
    FillRect(dc, &all, magenta);
    DeleteObject(magenta);
    draw(dc);
    GdiFlush();
    std::vector<uint32_t> px(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + w * h);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return px;
}
}  // namespace

TEST(Picture, OurDecoderDrawsWhatTheSystemsPictureLoaderDraws) {
    OleInitialize(nullptr);
    for (int id : {IDP_BODY, IDP_OK_NORMAL, IDP_OK_HOVER, IDP_END_NORMAL, IDP_END_HOVER,
                   IDP_MIN_NORMAL, IDP_MIN_HOVER, IDP_CLOSE_NORMAL, IDP_CLOSE_HOVER,
                   IDP_DING_NORMAL, IDP_DING_TOP, IDP_CHK_EMPTY, IDP_CHK_TICKED, IDP_NOTICE_BODY,
                   IDP_NOTICE_OK_NORMAL, IDP_NOTICE_OK_HOVER}) {
        HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
        DWORD size = SizeofResource(nullptr, res);
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(mem), LockResource(LoadResource(nullptr, res)), size);
        GlobalUnlock(mem);
        IStream* stream = nullptr;
        ASSERT_EQ(CreateStreamOnHGlobal(mem, TRUE, &stream), S_OK);
        IPicture* system = nullptr;
        ASSERT_EQ(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                 reinterpret_cast<void**>(&system)), S_OK) << id;
        stream->Release();
        host::StdPicture ours = host::StdPicture::FromResource(id);
        const int w = ours.WidthPx(), h = ours.HeightPx();
        OLE_XSIZE_HIMETRIC hw = 0;
        OLE_YSIZE_HIMETRIC hh = 0;
        system->get_Width(&hw);
        system->get_Height(&hh);
        auto theirs = Drawn(w, h, [&](HDC dc) { system->Render(dc, 0, 0, w, h, 0, hh, hw, -hh, nullptr); });
        auto mine = Drawn(w, h, [&](HDC dc) { ours.Render(dc, 0, 0); });
        system->Release();
        int worst = 0, differing = 0;
        for (size_t i = 0; i < mine.size(); ++i) {
            int d = 0;
            for (int shift : {0, 8, 16})
                d = std::max(d, std::abs(static_cast<int>((mine[i] >> shift) & 0xFF) -
                                         static_cast<int>((theirs[i] >> shift) & 0xFF)));
            worst = std::max(worst, d);
            differing += d != 0;
        }
        EXPECT_EQ(worst, 0) << "picture " << id << ": " << differing << " of " << mine.size()
                            << " pixels differ";
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
