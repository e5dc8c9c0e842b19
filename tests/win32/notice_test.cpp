// The notice dialog: layout, hover picture, closing and re-creation.
#include "notice/frmok.h"
#include "tests/win32/harness.h"

using namespace testenv;

namespace {
struct NoticeTest : FormsTest {
    frmok* n = nullptr;
    void SetUp() override {
        n = &frmok::Instance();
        n->Show();
        Pump(20);
    }
};
}  // namespace

TEST_F(NoticeTest, HasItsDesignSizePositionAndRedText) {
    RECT r;
    GetWindowRect(n->hWnd(), &r);
    EXPECT_EQ(r.left, 287);
    EXPECT_EQ(r.top, 240);
    EXPECT_EQ(r.right - r.left, 248);
    EXPECT_EQ(r.bottom - r.top, 92);
    EXPECT_FALSE(GetWindowLongW(n->hWnd(), GWL_STYLE) & WS_CAPTION);
    // On its own it has a taskbar button (the keyboard's way back to it);
    // owned by the main window, none.
    EXPECT_EQ(GetWindowLongW(n->hWnd(), GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_APPWINDOW),
              WS_EX_APPWINDOW);
    Frmmain& f = OpenMain();
    n->SetOwner(&f);
    EXPECT_EQ(GetWindowLongW(n->hWnd(), GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_APPWINDOW),
              WS_EX_TOOLWINDOW);
    EXPECT_EQ(n->Lblremind1.Caption(), L"你已经完成了0个操作！");
    EXPECT_EQ(n->Lblremind1.ForeColor(), 0x000000FFu);
    RECT ok = n->Imgok0.PixelRect();
    EXPECT_EQ(ok.left, 88);
    EXPECT_EQ(ok.top, 64);
    EXPECT_EQ(ok.right - ok.left, 73);
    EXPECT_EQ(ok.bottom - ok.top, 18);
    EXPECT_NE(n->Imgok0.Picture().Handle(), n->Imgok1.Picture().Handle()) << "its own copy";
    EXPECT_GE(n->Imgok1.PixelRect().top, 92) << "holders lie below the client area";
    EXPECT_GE(n->Imgok2.PixelRect().top, 92);
}

TEST_F(NoticeTest, HoverSwapsPicturesAndOnlyTheBackgroundRestores) {
    MouseMove(n->Imgok0);
    EXPECT_EQ(n->Imgok0.Picture().Handle(), n->Imgok2.Picture().Handle());
    MouseMove(n->Lblremind1);  // the label has no handler: the hover stays
    EXPECT_EQ(n->Imgok0.Picture().Handle(), n->Imgok2.Picture().Handle());
    MouseMove(n->Imgbody, 5, 85);
    EXPECT_EQ(n->Imgok0.Picture().Handle(), n->Imgok1.Picture().Handle());
    RECT ok = n->Imgok0.PixelRect();
    EXPECT_EQ(ok.right - ok.left, 73) << "the swap changes neither place nor size";
}

TEST_F(NoticeTest, ClosingOnTheHoverPictureThenReopeningShowsTheNormalOne) {
    MouseMove(n->Imgok0);
    LeftClick(n->Imgok0);
    Pump(0);
    EXPECT_FALSE(frmok::IsLoaded());
    frmok& again = frmok::Instance();
    again.Show();
    EXPECT_EQ(again.Lblremind1.Caption(), L"你已经完成了0个操作！");
    EXPECT_NE(again.Imgok0.Picture().Handle(), again.Imgok2.Picture().Handle());
    EXPECT_EQ(again.Imgok0.Picture().WidthPx(), 73);
}

TEST_F(NoticeTest, TheKeysOfItsButtonCloseItAndNoOthers) {
    struct Case {
        UINT vk, modifier;
        bool closes;
    } cases[] = {{VK_RETURN, 0, true}, {VK_ESCAPE, 0, true}, {VK_SPACE, 0, true},
                 {'O', 0, true},       {'O', VK_MENU, true}, {'O', VK_CONTROL, false},
                 {'X', 0, false},      {'6', 0, false},      {VK_F4, 0, false}};
    for (const Case& c : cases) {
        frmok& notice = frmok::Instance();
        notice.Show();
        notice.SetFocus();
        PressKey(notice.hWnd(), c.vk, c.modifier);
        Pump(0);
        EXPECT_EQ(!frmok::IsLoaded(), c.closes) << "key " << c.vk << " with " << c.modifier;
    }
}

TEST_F(NoticeTest, BothNoticesFitOnOneLineAndLongerTextIsCut) {
    for (const wchar_t* s : {L"电话号码输入有误，请重新输入！", L"你所输入的8位电话号码不合法！",
                             L"历史记录无法写入，本次查询未被记录！"}) {
        n->Lblremind1.SetCaption(s);
        EXPECT_EQ(n->Lblremind1.WrappedLines().size(), 1u);
    }
    n->Lblremind1.SetCaption(L"这是一条特别长的提示文字，它比标签宽得多，所以会折到第二行去");
    EXPECT_EQ(n->Lblremind1.WrappedLines().size(), 2u);
    // What the screen shows after a whole repaint: red text inside the
    // label, none below it.
    InvalidateRect(n->hWnd(), nullptr, FALSE);
    UpdateWindow(n->hWnd());
    RECT label = n->Lblremind1.PixelRect(), client;
    GetClientRect(n->hWnd(), &client);
    HDC screen = GetDC(n->hWnd());
    int inside = 0, below = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = label.left; x < label.right; ++x)
            if (GetPixel(screen, x, y) == RGB(255, 0, 0)) ++(y < label.bottom ? inside : below);
    ReleaseDC(n->hWnd(), screen);
    EXPECT_GT(inside, 20) << "the first line shows";
    EXPECT_EQ(below, 0) << "the second line lies outside the label and is cut";
}

TEST_F(NoticeTest, OpensAtTheSamePlaceWhereverTheMainWindowIs) {
    Frmmain& f = OpenMain();
    SetWindowPos(f.hWnd(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    frmok::Unload();
    Pump(0);
    frmok& again = frmok::Instance();
    again.Show();
    RECT r;
    GetWindowRect(again.hWnd(), &r);
    EXPECT_EQ(r.left, 287);
    EXPECT_EQ(r.top, 240);
}

namespace {
bool Topmost(HWND w) { return (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

struct NoticeOverMainTest : FormsTest {
    Frmmain* f = nullptr;
    void SetUp() override { f = &OpenMain(); }
    void BadQuery() {
        f->Text1.SetText(L"abc");
        PressKey(f->Text1.hWnd(), VK_RETURN);
        Pump(20);
    }
};
}  // namespace

TEST_F(NoticeOverMainTest, ANoticeStandsAboveThePinnedMainWindow) {
    LeftClick(f->Imgding0);  // pin
    ASSERT_TRUE(Topmost(f->hWnd()));
    BadQuery();
    HWND n = frmok::Instance().hWnd();
    EXPECT_TRUE(Topmost(n));
    EXPECT_TRUE(Above(n, f->hWnd()));
    EXPECT_EQ(GetForegroundWindow(), n);
    // Unpinning with the notice open keeps it in front of the main window.
    LeftClick(f->Imgding0);
    EXPECT_FALSE(Topmost(f->hWnd()));
    EXPECT_FALSE(Topmost(n));
    EXPECT_TRUE(Above(n, f->hWnd()));
    // And pinning again lifts it along, and the main window is pinned.
    LeftClick(f->Imgding0);
    EXPECT_TRUE(Topmost(f->hWnd()));
    EXPECT_TRUE(Topmost(n));
    EXPECT_TRUE(Above(n, f->hWnd()));
}

TEST_F(NoticeOverMainTest, ANoticeStaysInFrontOfItsMainWindowAndShownAgainTakesTheKeys) {
    BadQuery();
    HWND n = frmok::Instance().hWnd();
    // The user clicks the main window: it comes forward, the notice with it.
    SetWindowPos(f->hWnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(f->hWnd());
    Pump(20);
    EXPECT_EQ(GetActiveWindow(), f->hWnd()) << "the main window stays usable";
    EXPECT_TRUE(Above(n, f->hWnd()));
    BadQuery();
    EXPECT_EQ(frmok::Instance().hWnd(), n);
    EXPECT_TRUE(Above(n, f->hWnd()));
    EXPECT_EQ(GetActiveWindow(), n);
}

TEST_F(NoticeOverMainTest, AnUnpinnedNoticeIsAboveButNotTopmost) {
    BadQuery();
    HWND n = frmok::Instance().hWnd();
    EXPECT_FALSE(Topmost(n)) << "it does not cover other programs";
    EXPECT_TRUE(Above(n, f->hWnd()));
}

TEST_F(NoticeOverMainTest, TheNoticeHasNoSystemButtonsAndANoticeIsAlwaysShownRestored) {
    BadQuery();
    frmok& n = frmok::Instance();
    LONG style = GetWindowLongW(n.hWnd(), GWL_STYLE);
    EXPECT_FALSE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    // Minimised from outside all the same: the next notice is seen.
    ShowWindow(n.hWnd(), SW_MINIMIZE);
    Pump(20);
    ASSERT_TRUE(IsIconic(n.hWnd()));
    f->Text1.SetText(L"");
    PressKey(f->Text1.hWnd(), VK_RETURN);
    Pump(20);
    EXPECT_FALSE(IsIconic(n.hWnd()));
    EXPECT_TRUE(IsWindowVisible(n.hWnd()));
    EXPECT_EQ(n.Lblremind1.Caption(), L"电话号码输入有误，请重新输入！");
    EXPECT_TRUE(Above(n.hWnd(), f->hWnd()));
    EXPECT_EQ(GetFocus(), n.hWnd());
}
