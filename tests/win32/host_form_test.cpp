// The host on its own: a small form of its own, not the program's.
#include <memory>

#include "host/form.h"
#include "host/frame.h"
#include "res/resource.h"
#include "tests/win32/harness.h"

using namespace testenv;

namespace {
const host::FormDesign kLook = {L"HostTestForm", {1500, 1500, 3000, 3000}, 0, false};

struct TestForm : host::Form {
    TestForm() : Form(kLook) {}
    host::Timer Tick{*this, L"Tick", 50};
    host::Frame Box{*this, L"Box", {150, 1650, 2700, 1200}, L"框"};
    host::TextBox Second{Box, L"Second", {150, 700, 1200, 300}, 0, 4, 2};
    host::TextBox First{Box, L"First", {150, 300, 1200, 300}, 0, 4, 1};
    host::Label Caption{*this, L"Caption", {150, 150, 1500, 300}, L"标签"};
    host::Image Front{*this, L"Front", {150, 750, 1050, 285}, IDP_OK_NORMAL};
    host::Image Back{*this, L"Back", {750, 750, 1050, 285}, IDP_END_NORMAL};
};

// The same names, declared the other way round.
struct Reordered : host::Form {
    Reordered() : Form(kLook) {}
    host::Image Back{*this, L"Back", {750, 750, 1050, 285}, IDP_END_NORMAL};
    host::Image Front{*this, L"Front", {150, 750, 1050, 285}, IDP_OK_NORMAL};
};

struct HostFormTest : ::testing::Test {
    std::unique_ptr<TestForm> f;
    void SetUp() override {
        f = std::make_unique<TestForm>();
        f->Load();
        f->Show();
        Pump(20);
    }
    void TearDown() override {
        Close();
        EXPECT_TRUE(Errors().empty());
        Errors().clear();
        host::ClearFailure();
    }
    void Close() {
        if (f) f->Unload();
        f.reset();
        Pump(0);
    }
    void Press(POINT p) { SendMessageW(f->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y)); }
    void Release(POINT p) { SendMessageW(f->hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y)); }
};
}  // namespace

TEST_F(HostFormTest, ControlsTakeTheirPlacesInDeclarationOrder) {
    const auto& kids = f->Children();
    ASSERT_EQ(kids.size(), 4u);  // the frame, the label and the two pictures
    EXPECT_EQ(kids[0], &f->Box);
    EXPECT_EQ(kids[1], &f->Caption);
    EXPECT_EQ(kids[2], &f->Front);
    EXPECT_EQ(kids[3], &f->Back);
    EXPECT_EQ(f->Box.Children().size(), 2u);
    EXPECT_EQ(f->First.Parent(), &f->Box);
    EXPECT_EQ(f->Front.PixelRect().right - f->Front.PixelRect().left, 70) << "the picture's size";
    // A screen reader's id for a control is its name's, not its place's.
    Reordered r;
    EXPECT_EQ(r.Front.Id(), f->Front.Id());
    EXPECT_EQ(r.Back.Id(), f->Back.Id());
}

TEST_F(HostFormTest, HitTestingGoesFrontToBack) {
    POINT overlap = PointIn(f->Back, 5, 5);  // inside both pictures
    EXPECT_EQ(f->HitTest(overlap), &f->Front);
    EXPECT_EQ(f->HitTest(PointIn(f->Back, 60, 5)), &f->Back);
    EXPECT_EQ(f->HitTest({2, 180}), nullptr);
}

TEST_F(HostFormTest, AClickNeedsPressAndReleaseOnTheSameControl) {
    int front = 0, back = 0;
    f->Front.Click = [&] { ++front; };
    f->Back.Click = [&] { ++back; };
    POINT onFront = PointIn(f->Front), onBack = PointIn(f->Back, 60, 5);
    Press(onFront);
    Release(onBack);
    EXPECT_EQ(front + back, 0);
    Press(onBack);
    Release(onFront);
    EXPECT_EQ(front + back, 0);
    Press(onBack);
    Release(onBack);
    EXPECT_EQ(back, 1);
    EXPECT_EQ(front, 0);
}

TEST_F(HostFormTest, OnlyAChangeRepaints) {
    long before = host::App::Stats().invalidations;
    for (int i = 0; i < 50; ++i) {
        f->Caption.SetCaption(L"标签");
        f->Caption.SetForeColor(f->Caption.ForeColor());
        f->Front.SetPicture(f->Front.Picture());
    }
    EXPECT_EQ(host::App::Stats().invalidations, before);
    f->Caption.SetCaption(L"别的");
    f->Back.SetPicture(f->Front.Picture());
    EXPECT_EQ(host::App::Stats().invalidations, before + 2);
}

TEST_F(HostFormTest, TabFollowsTheTabIndexNotTheDeclarationOrder) {
    EXPECT_EQ(GetFocus(), f->First.hWnd()) << "the lowest tab index has the focus first";
    PressKey(f->First.hWnd(), VK_TAB);
    EXPECT_EQ(GetFocus(), f->Second.hWnd());
    PressKey(f->Second.hWnd(), VK_TAB);
    EXPECT_EQ(GetFocus(), f->First.hWnd());
    PressKey(f->First.hWnd(), VK_TAB, VK_SHIFT);
    EXPECT_EQ(GetFocus(), f->Second.hWnd());
}

TEST_F(HostFormTest, TimersTickIntoTheirHandlers) {
    int ticks = 0;
    f->Tick.Tick = [&] { ++ticks; };
    Pump(300);
    EXPECT_GE(ticks, 3);
}

namespace {
// A control whose window cannot be made: the form's load fails after the
// form's own window exists.
struct Unmakeable : host::Control {
    using Control::Control;
    bool Windowless() const override { return false; }
    void Realize() override { host::Raise(L"无法创建"); }
};
struct FailingForm : host::DefaultInstance<FailingForm> {
    FailingForm() : DefaultInstance(host::FormDesign{L"FailingForm", {1500, 1500, 3000, 3000}, 0, false}) {}
    Unmakeable Broken{*this, L"Broken", {0, 0, 300, 300}};
};
}  // namespace

TEST(HostLoad, ALoadThatFailsLeavesNoWindowAndNoInstance) {
    EXPECT_THROW(FailingForm::Instance(), host::RuntimeError);
    EXPECT_FALSE(FailingForm::IsLoaded());
    EXPECT_EQ(FindWindowW(host::Form::kClassName, L"FailingForm"), nullptr);
    EXPECT_EQ(host::App::LoadedFormCount(), 0);
}
