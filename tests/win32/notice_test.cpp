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

TEST_F(NoticeTest, KeysDoNotCloseIt) {
    n->SetFocus();
    PressKey(n->hWnd(), VK_RETURN);
    PressKey(n->hWnd(), VK_ESCAPE);
    Pump(10);
    EXPECT_TRUE(frmok::IsLoaded());
    EXPECT_TRUE(n->Visible());
}

TEST_F(NoticeTest, BothNoticesFitOnOneLineAndLongerTextIsCut) {
    for (const wchar_t* s : {L"电话号码输入有误，请重新输入！", L"你所输入的8位电话号码不合法！",
                             L"历史记录无法写入，本次查询未被记录！"}) {
        n->Lblremind1.SetCaption(s);
        EXPECT_EQ(n->Lblremind1.WrappedLines().size(), 1u);
    }
    n->Lblremind1.SetCaption(L"这是一条特别长的提示文字，它比标签宽得多，所以会折到第二行去");
    EXPECT_EQ(n->Lblremind1.WrappedLines().size(), 2u);
    EXPECT_EQ(n->Lblremind1.VisibleLineCount(), 1) << "the second line lies outside the label";
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
