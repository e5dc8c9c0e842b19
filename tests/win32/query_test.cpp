// The query command through real key and mouse messages.
#include <windows.h>
#include <commctrl.h>

#include <random>

#include "host/text_services.h"
#include "lookup/exchange_table.h"
#include "notice/frmok.h"
#include "tests/win32/harness.h"

using namespace testenv;

namespace {
const std::wstring kHeading = L"你所查询电话号码的归属地是：\r\n";
const RECT kTiny = {0, 0, 1, 1};

struct QueryTest : FormsTest {
    Frmmain* f = nullptr;
    void SetUp() override { f = &OpenMain(); }
    void Enter(const std::wstring& number, bool shift = false) {
        f->Text1.SetText(number);
        PressKey(f->Text1.hWnd(), VK_RETURN, shift ? VK_SHIFT : 0);
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
    EXPECT_EQ(GetWindow(n.hWnd(), GW_OWNER), f->hWnd()) << "above its main window, as a dialog";
    EXPECT_TRUE(IsWindowEnabled(f->hWnd())) << "the main window stays usable: modeless";
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
    int notices = CountVisibleWindows(L"霁岚通");
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(GetFocus(), first);
}

TEST_F(QueryTest, ANoticeClosedByAKeyHandsTheFocusBackToTheNumberBox) {
    Enter(L"");
    ASSERT_EQ(GetFocus(), frmok::Instance().hWnd());
    PressKey(GetFocus(), VK_ESCAPE);
    Pump(20);
    EXPECT_FALSE(frmok::IsLoaded());
    EXPECT_EQ(GetFocus(), f->Text1.hWnd());
    // The key held on: its repeats are no typing. A key held down in the
    // box repeats as ever.
    const HWND box = f->Text1.hWnd();
    const auto scan = [](UINT vk) { return static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16; };
    const LPARAM repeat = 1 << 30;
    SendMessageW(box, WM_CHAR, L'o', scan('O') | repeat | 1);  // Space's: daily_use_test.sh
    SendMessageW(box, WM_KEYDOWN, '6', scan('6') | 1);
    SendMessageW(box, WM_CHAR, L'6', scan('6') | 1);
    SendMessageW(box, WM_CHAR, L'6', scan('6') | repeat | 1);
    EXPECT_EQ(f->Text1.Text(), L"66");
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

TEST_F(QueryTest, EachInputGetsItsAnswerOrItsNotice) {
    const std::wstring empty = L"电话号码输入有误，请重新输入！";
    const std::wstring invalid = L"你所输入的8位电话号码不合法！";
    const std::wstring unknown = kHeading + L"未知数据，请与作者联系";
    struct Case {
        const wchar_t* input;
        std::wstring answer, notice;  // one of the two is empty
    } cases[] = {
        {L"65251234", kHeading + L"电信东区： 凉城", L""},
        {L"", L"", empty},
        {L"6525", kHeading + L"电信东区： 凉城", L""},
        {L"abc", L"", invalid},
        {L"55081111", kHeading + L"电信东区：政肃", L""},
        {L"   ", L"", invalid},
        {L"68930000", kHeading + L"浦东新区：北蔡", L""},
        {L"6525x", L"", invalid},
        {L"6525.5", kHeading + L"电信东区： 凉城", L""},  // a number; its key is 6525
        {L"65-25", L"", invalid},
        {L"12345678", unknown, L""},
        {L"--1", L"", invalid},
        {L" 6525", unknown, L""},  // a number whose key is " 652"
        {L"1a", L"", invalid},
        {L"+6525123", unknown, L""},
        {L"1e5", unknown, L""},
        {L"-1", unknown, L""},
        {L"0", unknown, L""},
    };
    for (const Case& c : cases) {
        f->Text1.SetText(c.input);
        f->Text2.SetText(L"");
        // A notice left open by the case before is blanked: each refusal
        // must write its own text into it.
        if (frmok::IsLoaded()) frmok::Instance().Lblremind1.SetCaption(L"");
        f->Imgok0_Click();
        const std::wstring notice = frmok::IsLoaded() ? frmok::Instance().Lblremind1.Caption() : L"";
        EXPECT_EQ(f->Text2.Text(), c.answer) << host::ToUtf8(c.input);
        EXPECT_EQ(notice, c.notice) << host::ToUtf8(c.input);
    }
}

TEST_F(QueryTest, AltEnterQueriesAsEnterDoes) {
    f->Text1.SetText(L"55081111");
    PressKey(f->Text1.hWnd(), VK_RETURN, VK_MENU);
    Pump(0);
    EXPECT_EQ(f->Text2.Text(), kHeading + L"电信东区：政肃");
    EXPECT_EQ(f->Text1.Text(), L"55081111");
}

namespace {
std::pair<DWORD, DWORD> Selection(HWND box) {
    DWORD from = 0, to = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    return {from, to};
}
}  // namespace

TEST_F(QueryTest, AfterEveryQueryTheNumberIsSelectedAndTheNextOneReplacesIt) {
    HWND box = f->Text1.hWnd();
    for (const wchar_t* number : {L"65251234", L"6525", L"abc"}) {
        Enter(number);
        EXPECT_EQ(Selection(box), std::make_pair(DWORD{0}, static_cast<DWORD>(wcslen(number))));
        if (frmok::IsLoaded()) frmok::Unload();
    }
    f->Text1.SetText(L"65251234");
    LeftClick(f->Imgok0);
    TypeText(box, L"55081111");
    PressKey(box, VK_RETURN);
    EXPECT_EQ(f->Text1.Text(), L"55081111") << "typing replaced the full box";
    EXPECT_EQ(f->Text2.Text(), kHeading + L"电信东区：政肃");
}

TEST_F(QueryTest, CtrlASelectsAllInBothBoxesAndTypesNothing) {
    Enter(L"65251234");
    for (host::TextBox* b : {&f->Text1, &f->Text2}) {
        const std::wstring before = b->Text();
        SendMessageW(b->hWnd(), EM_SETSEL, 2, 2);
        PressKey(b->hWnd(), 'A', VK_CONTROL);
        EXPECT_EQ(Selection(b->hWnd()), std::make_pair(DWORD{0}, static_cast<DWORD>(before.size())));
        EXPECT_EQ(b->Text(), before);
    }
}

TEST_F(QueryTest, AClickCountsOnlyWhenPressAndReleaseLandOnTheButton) {
    f->Text1.SetText(L"55081111");
    HWND w = ContainerOf(f->Imgok0);
    POINT on = PointIn(f->Imgok0), off = PointIn(f->Imgbody, 5, 250);
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(on.x, on.y));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(off.x, off.y));
    EXPECT_EQ(f->Text2.Text(), L"") << "released outside: no click";
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(off.x, off.y));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(on.x, on.y));
    EXPECT_EQ(f->Text2.Text(), L"") << "pressed outside: no click";
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(on.x, on.y));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(on.x + 3, on.y + 3));
    EXPECT_EQ(f->Text2.Text(), kHeading + L"电信东区：政肃");
}

TEST_F(QueryTest, TheNumberBoxHoldsOneLineOfEightWhateverWayTextArrives) {
    HWND box = f->Text1.hWnd();
    // Set by another program, as automation and paste tools do.
    std::wstring longText(5000, L'6');
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(longText.c_str()));
    EXPECT_EQ(f->Text1.Text(), L"66666666");
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"6525\r\n"));
    EXPECT_EQ(f->Text1.Text(), L"6525");
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"65\n251234"));
    EXPECT_EQ(f->Text1.Text(), L"65");
    // Pasted: the text before the first line break, at the caret.
    f->Text1.SetText(L"12");
    SendMessageW(box, EM_SETSEL, 1, 1);
    SetClipboardText(L"34\r\n5678");
    SendMessageW(box, WM_PASTE, 0, 0);
    EXPECT_EQ(f->Text1.Text(), L"1342");
    f->Text1.SetText(L"");
    SetClipboardText(L"6525\r\n");
    SendMessageW(box, WM_PASTE, 0, 0);
    EXPECT_EQ(f->Text1.Text(), L"6525");
    // Replaced selection and Ctrl+Enter's line feed.
    SendMessageW(box, EM_SETSEL, 4, 4);
    SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"1\r2"));
    EXPECT_EQ(f->Text1.Text(), L"65251");
    SendMessageW(box, WM_CHAR, L'\n', 1);
    EXPECT_EQ(f->Text1.Text(), L"65251");
    SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"23456789"));
    EXPECT_EQ(f->Text1.Text(), L"65251234");
    // The program's own text goes through the same door.
    f->Text1.SetText(L"6525\r");
    EXPECT_EQ(f->Text1.Text(), L"6525");
    // The answer box keeps its lines.
    f->Text2.SetText(L"a\r\nb");
    EXPECT_EQ(f->Text2.Text(), L"a\r\nb");
}

// One set of rules whatever way text arrives: the number box holds one
// line without tabs or control characters, full-width digits as ASCII, a
// pasted number without its partings; no box keeps a lone half of a pair.
TEST_F(QueryTest, EveryWayInFollowsTheSameRules) {
    enum Way { kSet, kReplace, kPaste, kChar, kUnichar, kImeChar };
    const wchar_t hi = 0xD83D, lo = 0xDE00;
    struct Case {
        bool answerBox;
        Way way;
        std::wstring before, in, after;
    } cases[] = {
        {false, kSet, L"", L"12\t34", L"12 34"},
        {false, kReplace, L"", L"\t\t\t9", L"   9"},
        {false, kSet, L"", L"\t6525123", L" 6525123"},
        {false, kSet, L"", L"65\x01\x1B" L"25\x7F", L"6525"},
        {false, kSet, L"", L"\xFF16\xFF15\xFF12\xFF15\xFF11\xFF12\xFF13\xFF14", L"65251234"},
        {false, kReplace, L"65", L"\xFF12\xFF15", L"6525"},
        {false, kChar, L"", L"\xFF16\xFF15", L"65"},
        {false, kUnichar, L"", L"\xFF12\xFF15", L"25"},
        {false, kImeChar, L"", L"\xFF11\xFF12", L"12"},
        {false, kChar, L"1", L"\x7F\x01", L"1"},
        {false, kPaste, L"", L"6525-1234", L"65251234"},
        {false, kPaste, L"", L"(6525)1234\r\n", L"65251234"},
        {false, kPaste, L"", L" 6525 1234 ", L"65251234"},
        {false, kPaste, L"", L"\xFF16\xFF15\xFF12\xFF15\xFF0D\xFF11\xFF12\xFF13\xFF14", L"65251234"},
        {false, kPaste, L"12", L"6525-1234", L"12652512"},  // what fits
        {false, kPaste, L"", L"65a5-1234", L"65a5-123"},    // not a number: kept, and refused
        {false, kPaste, L"", L"6525\t1234", L"6525 123"},
        {false, kReplace, L"", L"6525-1234", L"6525-123"},  // another program's text is its own
        {true, kSet, L"", std::wstring(L"a") + hi + L"b" + lo + L"c", L"abc"},
        {true, kReplace, L"a", std::wstring(1, lo) + L"b" + hi, L"ab"},
        {true, kPaste, L"", std::wstring(L"x") + hi + L"\r\ny", L"x\r\ny"},
        {true, kChar, L"", std::wstring(1, lo), L""},
        {true, kChar, L"", std::wstring(1, hi) + L"x", L"x"},  // its second half never came
        {true, kChar, L"", std::wstring(1, hi) + lo, std::wstring(1, hi) + lo},
        {true, kUnichar, L"", std::wstring(1, lo), L""},
    };
    for (const Case& c : cases) {
        host::TextBox& box = c.answerBox ? f->Text2 : f->Text1;
        HWND h = box.hWnd();
        box.SetText(c.before);
        SendMessageW(h, EM_SETSEL, c.before.size(), c.before.size());
        switch (c.way) {
        case kSet: SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.in.c_str())); break;
        case kReplace: SendMessageW(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(c.in.c_str())); break;
        case kPaste:
            SetClipboardText(c.in);
            SendMessageW(h, WM_PASTE, 0, 0);
            break;
        default:
            for (wchar_t ch : c.in) {
                SendMessageW(h, c.way == kChar ? WM_CHAR : c.way == kUnichar ? WM_UNICHAR : WM_IME_CHAR, ch, 1);
                if (c.way == kImeChar) Pump(0);  // the system posts it on as a character
            }
        }
        EXPECT_EQ(box.Text(), c.after) << "case " << (&c - cases);
    }
    // A first half stays only while its second half is the next thing typed.
    HWND answer = f->Text2.hWnd();
    f->Text2.SetText(L"ab");
    SendMessageW(answer, EM_SETSEL, 1, 1);
    SendMessageW(answer, WM_CHAR, hi, 1);
    EXPECT_EQ(f->Text2.Text(), std::wstring(L"a") + hi + L"b");
    SendMessageW(answer, EM_SETSEL, 2, 2);  // the caret still after it, but something else came
    EXPECT_EQ(f->Text2.Text(), L"ab");
    // A number pasted with its partings is queried, and answered.
    f->Text1.SetText(L"");
    SetClipboardText(L"6525-1234");
    SendMessageW(f->Text1.hWnd(), WM_PASTE, 0, 0);
    PressKey(f->Text1.hWnd(), VK_RETURN);
    EXPECT_EQ(f->Text2.Text(), kHeading + L"电信东区： 凉城");
}

namespace {
// Another program's message arrives from another thread: sent from one here,
// while this thread handles it.
struct Sending {
    HWND to;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    LRESULT result;
};
DWORD WINAPI SendIt(void* p) {
    auto* s = static_cast<Sending*>(p);
    s->result = SendMessageW(s->to, s->msg, s->wp, s->lp);
    return 0;
}
LRESULT SendFromOutside(HWND to, UINT msg, WPARAM wp, LPARAM lp) {
    Sending s{to, msg, wp, lp, 0};
    HANDLE t = CreateThread(nullptr, 0, SendIt, &s, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &t, FALSE, 10000, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG m;
        PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(t);
    return s.result;
}
}  // namespace

// What another program sends the boxes to take them over, or that Wine's
// edit control answers with a fault, is refused: each box keeps its text,
// shows it as before and takes typing.
TEST_F(QueryTest, ForeignMessagesLeaveTheBoxesWorking) {
    WORD line[64] = {40};  // EM_GETLINE: room for 40 characters
    CREATESTRUCTW zeroed = {};
    const LPARAM made = reinterpret_cast<LPARAM>(&zeroed);
    struct Case {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
        LRESULT answer;
        bool posted = false;  // a fault in a posted message ends the program
    } cases[] = {
        {EM_SETHANDLE, 0x1234, 0, 0},
        {EM_GETHANDLE, 0, 0, 0},
        {EM_SETWORDBREAKPROC, 0, 0x1234, 0},
        {EM_GETLINE, 0, reinterpret_cast<LPARAM>(line), 0},
        {EM_GETTHUMB, 0, 0, 0, true},
        {WM_VSCROLL, EM_GETTHUMB, 0, 0, true},
        {EM_SETREADONLY, TRUE, 0, 0},
        {EM_SETPASSWORDCHAR, L'*', 0, 0},
        {EM_SETRECT, 0, reinterpret_cast<LPARAM>(&kTiny), 0},
        {EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&kTiny), 0},
        {EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(400, 400), 0},
        {WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FIXED_FONT)), TRUE, 0},
        // A life the system alone begins and ends, and its modal loops.
        {WM_NCCREATE, 0, made, TRUE},
        {WM_CREATE, 0, made, 0},
        {WM_NCDESTROY, 0, 0, 0},
        {WM_CLOSE, 0, 0, 0},
        {WM_NCLBUTTONDOWN, HTCAPTION, 0, 0},
        {WM_SYSCOMMAND, SC_MOVE, 0, 0},
        {WM_CONTEXTMENU, 0, -1, 0},
        {EM_SETLIMITTEXT, 1, 0, 0},  // too small to type a number
        {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4), 0, true},  // no button is down
    };
    // The answer box with each number of lines up to more than it shows:
    // one of them is as many as it shows.
    std::wstring lines = L"1";
    for (int n = 1; n <= 8; ++n, lines += L"\r\n" + std::to_wstring(n)) {
        for (host::TextBox* box : {&f->Text1, &f->Text2}) {
            HWND h = box->hWnd();
            const std::wstring text = box == &f->Text2 ? lines : L"6525";
            box->SetText(text);
            RECT rect = {};
            SendMessageW(h, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
            const LRESULT font = SendMessageW(h, WM_GETFONT, 0, 0);
            const LRESULT margins = SendMessageW(h, EM_GETMARGINS, 0, 0);
            for (const Case& c : cases) {
                if (c.posted) {
                    PostMessageW(h, c.msg, c.wp, c.lp);
                    Pump(0);
                } else {
                    EXPECT_EQ(SendFromOutside(h, c.msg, c.wp, c.lp), c.answer) << c.msg;
                }
                RECT now = {};
                SendMessageW(h, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&now));
                EXPECT_TRUE(EqualRect(&now, &rect)) << c.msg;
                EXPECT_EQ(SendMessageW(h, WM_GETFONT, 0, 0), font) << c.msg;
                EXPECT_EQ(SendMessageW(h, EM_GETMARGINS, 0, 0), margins) << c.msg;
                EXPECT_EQ(SendMessageW(h, EM_GETPASSWORDCHAR, 0, 0), 0) << c.msg;
                EXPECT_EQ(GetWindowLongW(h, GWL_STYLE) & (ES_READONLY | WS_VISIBLE), WS_VISIBLE) << c.msg;
                EXPECT_EQ(box->Text(), text) << c.msg;
                EXPECT_NE(GetCapture(), h) << c.msg;
            }
            box->SetText(L"");
            TypeText(h, L"7 7");  // wrapped at a blank in the answer box
            EXPECT_EQ(box->Text(), L"7 7");
        }
    }
    // The frame and the window around them stay shown, hooked and named.
    for (HWND w : {f->Frame1.hWnd(), f->hWnd()}) {
        for (UINT m : {WM_SETREDRAW, WM_NCCREATE, WM_CREATE, WM_NCDESTROY}) SendFromOutside(w, m, 0, made);
        EXPECT_TRUE(GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE);
        EXPECT_EQ(w == f->hWnd() ? f->hWnd() : f->Frame1.hWnd(), w);
    }
    // Nor does the tooltip read another program's record: a wild one ends it.
    ASSERT_TRUE(f->ToolTip());
    PostMessageW(f->ToolTip(), TTM_ADDTOOLA, 0, 0x105);
    Pump(0);
    wchar_t title[32] = {};
    GetWindowTextW(f->hWnd(), title, 32);
    EXPECT_STREQ(title, L"青枫软件系列");
    f->Text1.SetFocus();  // a second start does this
}

TEST_F(QueryTest, ForeignTextsNeverBreakTheOneLineRule) {
    std::mt19937 rng(8);
    std::uniform_int_distribution<int> len(0, 600), pick(0, 13);
    const wchar_t pool[] = L"0123456789\r\n a";
    HWND box = f->Text1.hWnd();
    for (int i = 0; i < 300; ++i) {
        std::wstring s(static_cast<size_t>(len(rng)), L' ');
        for (auto& c : s) c = pool[pick(rng)];
        const bool set = i % 2 != 0;
        if (set)
            SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.c_str()));
        else
            SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(s.c_str()));
        std::wstring t = f->Text1.Text();
        ASSERT_LE(t.size(), 8u) << i;
        ASSERT_EQ(t.find_first_of(L"\r\n"), std::wstring::npos) << i;
        if (set) {
            // Set from outside: the text's start, ended by the eighth
            // character, a line break or the text's end, whichever comes first.
            ASSERT_EQ(s.compare(0, t.size(), t), 0) << i;
            ASSERT_TRUE(t.size() == 8 || t.size() == s.size() || s[t.size()] == L'\r' ||
                        s[t.size()] == L'\n')
                << i;
        }
    }
}

namespace {
// A window class of this module named EDIT stands in front of the system's
// for the edit boxes created after it: it sees what reaches the control.
WNDPROC g_systemEdit = nullptr;
int g_lineBreaksSeen = 0;
LRESULT CALLBACK SpyEdit(HWND h, UINT m, WPARAM w, LPARAM l) {
    if ((m == WM_CHAR || m == WM_SYSCHAR) && (w == L'\r' || w == L'\n')) ++g_lineBreaksSeen;
    return CallWindowProcW(g_systemEdit, h, m, w, l);
}
struct EditSpy {
    EditSpy() {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        GetClassInfoExW(nullptr, L"EDIT", &wc);
        g_systemEdit = wc.lpfnWndProc;
        wc.lpfnWndProc = SpyEdit;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.style &= ~CS_GLOBALCLASS;
        wc.lpszClassName = L"EDIT";
        registered = RegisterClassExW(&wc) != 0;
        g_lineBreaksSeen = 0;
    }
    ~EditSpy() { UnregisterClassW(L"EDIT", GetModuleHandleW(nullptr)); }
    bool registered;
};
}  // namespace

TEST_F(FormsTest, EnterNeverReachesTheOneLineEditControl) {
    EditSpy spy;
    ASSERT_TRUE(spy.registered);
    Frmmain& f = OpenMain();
    f.Text1.SetText(L"6525");
    PressKey(f.Text1.hWnd(), VK_RETURN);
    SendMessageW(f.Text1.hWnd(), WM_SYSCHAR, L'\r', 1 | (1 << 29));
    SendMessageW(f.Text1.hWnd(), WM_CHAR, L'\n', 1);
    EXPECT_EQ(g_lineBreaksSeen, 0) << "no beep, no line break in a one-line box";
    PressKey(f.Text2.hWnd(), VK_RETURN);
    EXPECT_EQ(g_lineBreaksSeen, 1) << "the spy sees what the answer box gets";
    UnloadAll();
}
