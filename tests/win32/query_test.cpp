// The query command through real key and mouse messages.
#include <random>

#include "host/text_services.h"
#include "notice/frmok.h"
#include "tests/win32/harness.h"

using namespace testenv;

namespace {
const std::wstring kHeading = L"你所查询电话号码的归属地是：\r\n";

struct QueryTest : FormsTest {
    Frmmain* f = nullptr;
    void SetUp() override { f = &OpenMain(); }
    void Enter(const std::wstring& number, bool shift = false) {
        f->Text1.SetText(number);
        PressKey(f->Text1.hWnd(), VK_RETURN, shift);
        Pump(0);
    }
};
}  // namespace

TEST_F(QueryTest, EnterInTheInputBoxShowsTheExchange) {
    f->Text1.SetText(L"");
    TypeText(f->Text1.hWnd(), L"65251234");
    PressKey(f->Text1.hWnd(), VK_RETURN);
    EXPECT_EQ(f->Text2.Text(), kHeading + L"电信东区： 凉城");
    EXPECT_EQ(f->Text1.Text(), L"65251234") << "the input keeps its text";
    EXPECT_EQ(SendMessageW(f->Text2.hWnd(), EM_GETLINECOUNT, 0, 0), 2);

    Enter(L"55081111", /*shift=*/true);
    EXPECT_EQ(f->Text2.Text(), kHeading + L"电信东区：政肃") << "Enter with Shift queries too";
    EXPECT_FALSE(frmok::IsLoaded());
}

TEST_F(QueryTest, ClickOnTheQueryPictureShowsTheExchange) {
    f->Text1.SetText(L"68930000");
    LeftClick(f->Imgok0);
    EXPECT_EQ(f->Text2.Text(), kHeading + L"浦东新区：北蔡");
    f->Text1.SetText(L"6525");
    LeftClick(f->Imgok0);
    EXPECT_EQ(f->Text2.Text(), kHeading + L"电信东区： 凉城") << "four digits are enough";
}

TEST_F(QueryTest, NumericInputWithoutFourLeadingDigitsGetsTheFallback) {
    for (const wchar_t* s : {L"+6525123", L" 6525", L"652", L"1e5", L"06525123", L"12345678"}) {
        f->Text2.SetText(L"");
        Enter(s);
        EXPECT_EQ(f->Text2.Text(), kHeading + L"未知数据，请与作者联系") << host::ToUtf8(s);
    }
    EXPECT_FALSE(frmok::IsLoaded()) << "numeric input is never refused";
}

TEST_F(QueryTest, EmptyInputOpensTheNoticeWithFocusAndKeepsTheAnswer) {
    Enter(L"65251234");
    const std::wstring answer = f->Text2.Text();
    Enter(L"");
    ASSERT_TRUE(frmok::IsLoaded());
    frmok& n = frmok::Instance();
    EXPECT_TRUE(n.Visible());
    EXPECT_EQ(n.Lblremind1.Caption(), L"电话号码输入有误，请重新输入！");
    EXPECT_EQ(GetFocus(), n.hWnd());
    EXPECT_EQ(f->Text2.Text(), answer);
    EXPECT_EQ(GetWindow(n.hWnd(), GW_OWNER), nullptr) << "modeless, without owner";
    EXPECT_TRUE(IsWindowEnabled(f->hWnd())) << "the main window stays usable";
}

TEST_F(QueryTest, NonNumericInputOpensTheInvalidNotice) {
    for (const wchar_t* s : {L" ", L"abc", L"65-25", L"6525x"}) {
        Enter(s);
        ASSERT_TRUE(frmok::IsLoaded()) << host::ToUtf8(s);
        EXPECT_EQ(frmok::Instance().Lblremind1.Caption(), L"你所输入的8位电话号码不合法！");
        EXPECT_EQ(f->Text2.Text(), L"");
    }
}

TEST_F(QueryTest, TwoBadQueriesLeaveOneNoticeWithTheSecondText) {
    Enter(L"");
    HWND first = frmok::Instance().hWnd();
    Enter(L"abc");
    EXPECT_EQ(frmok::Instance().hWnd(), first);
    EXPECT_EQ(frmok::Instance().Lblremind1.Caption(), L"你所输入的8位电话号码不合法！");
    int notices = CountVisibleWindows(L"Form1");
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(GetFocus(), first);
}

TEST_F(QueryTest, InputBoxRefusesANinthCharacterTypedOrPasted) {
    HWND box = f->Text1.hWnd();
    f->Text1.SetText(L"");
    TypeText(box, L"123456789");
    EXPECT_EQ(f->Text1.Text(), L"12345678");
    f->Text1.SetText(L"");
    SetClipboardText(L"6525123456789");
    SendMessageW(box, WM_PASTE, 0, 0);
    EXPECT_EQ(f->Text1.Text(), L"65251234");
}

TEST(NumericTest, FollowsTheLocaleAwareConversion) {
    for (const wchar_t* s : {L"12", L" 12 ", L"+1", L"-1", L"1.5", L"1e5", L"65251234"})
        EXPECT_TRUE(host::IsNumeric(s)) << host::ToUtf8(s);
    for (const wchar_t* s : {L"", L"   ", L"abc", L"1a", L"--1", L"1 2 3x"})
        EXPECT_FALSE(host::IsNumeric(s)) << host::ToUtf8(s);
}

TEST_F(QueryTest, TenThousandRandomInputsNeverCrash) {
    std::mt19937 rng(20261207);
    const wchar_t pool[] = L"0123456789 +-.,eEdD$&H%()abcxyz\t０１９。，电信\xD800\xDC00\xFFFF";
    std::uniform_int_distribution<int> len(0, 8), pick(0, static_cast<int>(wcslen(pool)) - 1);
    std::uniform_int_distribution<int> any(1, 0xFFFF);
    int answered = 0, refused = 0;
    for (int i = 0; i < 10000; ++i) {
        std::wstring s;
        int n = len(rng);
        for (int k = 0; k < n; ++k) s.push_back(i % 4 == 0 ? static_cast<wchar_t>(any(rng)) : pool[pick(rng)]);
        host::IsNumeric(s);  // must simply return
        f->Text1.SetText(s);
        f->Text2.SetText(L"");
        f->Imgok0_Click();
        const std::wstring out = f->Text2.Text();
        if (out.empty()) {
            ++refused;
            ASSERT_TRUE(frmok::IsLoaded());
        } else {
            ++answered;
            ASSERT_EQ(out.rfind(kHeading, 0), 0u);
        }
        if (i % 500 == 0) Pump(0);
    }
    EXPECT_EQ(answered + refused, 10000);
    EXPECT_GT(answered, 100);
    EXPECT_GT(refused, 100);
}
