// What a screen reader finds: the windows' accessible objects, read the way
// a screen reader reads them (names, roles, states, places, hit tests),
// pressing through them, and the events that tell of changes.
#include <oleacc.h>

#include <algorithm>
#include <tuple>

#include "host/accessible.h"
#include "host/text_services.h"
#include "notice/frmok.h"
#include "tests/win32/harness.h"

using namespace testenv;

namespace {

VARIANT Id(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

struct Element {
    IAccessible* acc;
    long id;
    std::wstring path;
};

IAccessible* ClientOf(HWND w) {
    IAccessible* a = nullptr;
    AccessibleObjectFromWindow(w, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&a));
    return a;
}

std::wstring Text(const Element& e, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
    BSTR b = nullptr;
    (e.acc->*get)(Id(e.id), &b);
    std::wstring s = b ? std::wstring(b, SysStringLen(b)) : L"";
    SysFreeString(b);
    return s;
}
std::wstring Name(const Element& e) { return Text(e, &IAccessible::get_accName); }

long Int4(const Element& e, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
    VARIANT v;
    VariantInit(&v);
    (e.acc->*get)(Id(e.id), &v);
    return v.vt == VT_I4 ? v.lVal : -1;
}
long Role(const Element& e) { return Int4(e, &IAccessible::get_accRole); }
long State(const Element& e) { return Int4(e, &IAccessible::get_accState); }

std::wstring Action(const Element& e) { return Text(e, &IAccessible::get_accDefaultAction); }

RECT Location(const Element& e) {
    long l = 0, t = 0, w = 0, h = 0;
    e.acc->accLocation(&l, &t, &w, &h, Id(e.id));
    return RECT{l, t, l + w, t + h};
}

// The whole tree in reading order; child windows are read through their
// client objects, as screen readers do.
struct Tree {
    std::vector<Element> all;
    explicit Tree(HWND w) { Walk(ClientOf(w), L""); }
    ~Tree() {
        for (auto& e : all) e.acc->Release();
    }
    void Walk(IAccessible* acc, const std::wstring& path) {
        if (!acc) return;
        all.push_back({acc, CHILDID_SELF, path});
        long count = 0, got = 0;
        acc->get_accChildCount(&count);
        std::vector<VARIANT> kids(static_cast<size_t>(count));
        AccessibleChildren(acc, 0, count, kids.data(), &got);
        for (long i = 0; i < got; ++i) {
            std::wstring sub = (path.empty() ? L"" : path + L".") + std::to_wstring(i + 1);
            VARIANT& k = kids[static_cast<size_t>(i)];
            if (k.vt == VT_DISPATCH && k.pdispVal) {
                IAccessible* child = nullptr;
                HWND w = nullptr;
                k.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&child));
                if (child) WindowFromAccessibleObject(child, &w);
                if (child) child->Release();
                Walk(w ? ClientOf(w) : nullptr, sub);
            } else if (k.vt == VT_I4) {
                acc->AddRef();
                all.push_back({acc, k.lVal, sub});
            }
            VariantClear(&k);
        }
    }
    const Element& Named(long role, const std::wstring& name) const {
        for (auto& e : all)
            if (Role(e) == role && Name(e) == name) return e;
        ADD_FAILURE() << "no element of role " << role << " named as asked";
        return all.front();
    }
};

RECT ScreenRect(const host::Control& c) {
    RECT r = c.PixelRect();
    MapWindowPoints(ContainerOf(c), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Accessibility events of this process, as an out-of-context hook gets them.
struct Events {
    struct Event {
        DWORD event;
        HWND hwnd;
        LONG object, child;
    };
    static std::vector<Event>& Seen() {
        static std::vector<Event> seen;
        return seen;
    }
    static void CALLBACK Proc(HWINEVENTHOOK, DWORD ev, HWND h, LONG obj, LONG child, DWORD, DWORD) {
        Seen().push_back({ev, h, obj, child});
    }
    HWINEVENTHOOK hook;
    Events() {
        Seen().clear();
        hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, Proc, GetCurrentProcessId(), 0,
                               WINEVENT_OUTOFCONTEXT);
    }
    ~Events() { UnhookWinEvent(hook); }
    int Count(DWORD ev, HWND h, LONG child) {
        Pump(30);
        return static_cast<int>(std::count_if(Seen().begin(), Seen().end(), [&](const Event& e) {
            return e.event == ev && e.hwnd == h && e.object == OBJID_CLIENT && e.child == child;
        }));
    }
};

struct AccessibilityTest : FormsTest {};

}  // namespace

TEST_F(AccessibilityTest, MainWindowListsEveryVisibleControlWithItsNameRoleAndPlace) {
    Frmmain& f = OpenMain();
    Pump(20);
    Tree t(f.hWnd());
    const long kButton = ROLE_SYSTEM_PUSHBUTTON, kCheck = ROLE_SYSTEM_CHECKBUTTON,
               kText = ROLE_SYSTEM_STATICTEXT;
    // Every visible control, the frame's inside the frame (depth 2), none
    // of the picture holders or the platform line; found by what a screen
    // reader reads, whatever order the design declares them in.
    const std::vector<std::tuple<size_t, long, std::wstring, const host::Control*>> want = {
        {0, ROLE_SYSTEM_CLIENT, L"霁岚通1.0.0829", nullptr},
        {1, ROLE_SYSTEM_GROUPING, L"归属地查询", &f.Frame1},
        {2, ROLE_SYSTEM_TEXT, L"电话号码信息查询结果：", &f.Text2},
        {2, ROLE_SYSTEM_TEXT, L"请输入8位电话号码：", &f.Text1},
        {2, kText, L"保留历史记录", &f.Lblhistory},
        {2, kCheck, L"保留历史记录", &f.imghistory},
        {2, kCheck, L"用鼠标获取号码", &f.ImgMouse},
        {2, kText, L"用鼠标获取号码", &f.LblMouse},
        {2, kText, L"电话号码信息查询结果：", &f.Label2},
        {2, kText, L"请输入8位电话号码：", &f.Label1},
        {1, kText, f.Lbltime.Caption(), &f.Lbltime},
        {1, kButton, L"关闭", &f.Imgclose0},
        {1, kButton, L"最小化", &f.Imgmin0},
        {1, ROLE_SYSTEM_LINK, L"E-mail:qf@qf.test", &f.Lblmail},
        {1, kText, L"霁岚通1.0.0829", &f.Lbltitle},
        {1, kButton, L"窗体最前", &f.Imgding0},
        {1, kText, L"青枫软件系列", &f.Lblabout},
        {1, kButton, L"取消", &f.Imgend0},
        {1, kButton, L"确定", &f.Imgok0},
        {1, ROLE_SYSTEM_GRAPHIC, L"", &f.Imgbody},
    };
    ASSERT_EQ(t.all.size(), want.size());
    for (const auto& [depth, role, name, control] : want) {
        SCOPED_TRACE(host::ToUtf8(name));
        const Element& e = t.Named(role, name);
        EXPECT_EQ(e.path.empty() ? 0 : std::count(e.path.begin(), e.path.end(), L'.') + 1,
                  static_cast<long>(depth));
        if (control && control->Windowless()) {
            EXPECT_EQ(e.id, control->Id());
            RECT got = Location(e), r = ScreenRect(*control);
            EXPECT_TRUE(EqualRect(&got, &r)) << got.left << "," << got.top << " " << got.right << ","
                                             << got.bottom;
        }
    }
    // Actions a screen reader offers, and what it says of the link.
    const Element& link = t.Named(ROLE_SYSTEM_LINK, L"E-mail:qf@qf.test");
    EXPECT_EQ(Action(t.Named(kButton, L"确定")), L"按下");
    EXPECT_EQ(Action(t.Named(kCheck, L"保留历史记录")), L"选中");
    EXPECT_EQ(Action(link), L"跳转");
    EXPECT_EQ(Action(t.Named(kText, L"青枫软件系列")), L"");
    BSTR value = nullptr;
    link.acc->get_accValue(Id(link.id), &value);
    EXPECT_STREQ(value, L"mailto:qf@qf.test");
    SysFreeString(value);
    EXPECT_TRUE(State(t.Named(ROLE_SYSTEM_TEXT, L"请输入8位电话号码：")) & STATE_SYSTEM_FOCUSED)
        << "the input box has the focus";
}

TEST_F(AccessibilityTest, NoticeListsItsMessageAndItsButton) {
    Frmmain& f = OpenMain();
    f.Text1.SetText(L"");
    f.Imgok0_Click();
    Pump(20);
    frmok& n = frmok::Instance();
    Tree t(n.hWnd());
    ASSERT_EQ(t.all.size(), 4u);
    t.Named(ROLE_SYSTEM_STATICTEXT, L"电话号码输入有误，请重新输入！");
    t.Named(ROLE_SYSTEM_GRAPHIC, L"");
    const Element& ok = t.Named(ROLE_SYSTEM_PUSHBUTTON, L"确定");
    RECT got = Location(ok), r = ScreenRect(n.Imgok0);
    EXPECT_TRUE(EqualRect(&got, &r));
    // Both 确定 are called Imgok0, each at another place of its design: a
    // screen reader knows them by the same child id.
    Tree main(f.hWnd());
    EXPECT_EQ(ok.id, main.Named(ROLE_SYSTEM_PUSHBUTTON, L"确定").id);
    EXPECT_NE(ok.id, t.Named(ROLE_SYSTEM_STATICTEXT, L"电话号码输入有误，请重新输入！").id);
}

namespace {
// A child as a screen reader tells them apart: a simple child by its id, a
// child window by its handle.
long Key(const VARIANT& v) {
    if (v.vt == VT_I4) return v.lVal;
    HWND w = nullptr;
    IAccessible* child = nullptr;
    if (v.vt == VT_DISPATCH && v.pdispVal &&
        SUCCEEDED(v.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&child)))) {
        WindowFromAccessibleObject(child, &w);
        child->Release();
    }
    return static_cast<long>(reinterpret_cast<intptr_t>(w));
}
}  // namespace

TEST_F(AccessibilityTest, ChildrenComeInReadingOrderHoweverAClientAsks) {
    Frmmain& f = OpenMain();
    Pump(1100);  // the clock's first tick: it is read too
    for (HWND w : {f.hWnd(), f.Frame1.hWnd()}) {
        IAccessible* client = ClientOf(w);
        ASSERT_NE(client, nullptr);
        long count = 0, got = 0;
        ASSERT_EQ(client->get_accChildCount(&count), S_OK);
        std::vector<VARIANT> kids(static_cast<size_t>(count));
        // Another reader walking the window meanwhile moves no place of this one's.
        IEnumVARIANT* places = nullptr;
        ASSERT_EQ(client->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&places)), S_OK);
        places->Reset();
        IAccessible* other = ClientOf(w);
        AccessibleChildren(other, 0, count, kids.data(), &got);
        for (VARIANT& k : kids) VariantClear(&k);
        other->Release();
        ULONG fetched = 0;
        places->Next(static_cast<ULONG>(count), kids.data(), &fetched);
        places->Release();
        ASSERT_EQ(static_cast<long>(fetched), count);
        std::vector<long> listed;
        std::vector<bool> window;
        for (VARIANT& k : kids) {
            listed.push_back(Key(k));
            window.push_back(k.vt == VT_DISPATCH);
            VariantClear(&k);
        }
        // A client that counts 1..N finds the same children in that order.
        for (long i = 1; i <= count; ++i) {
            SCOPED_TRACE(i);
            const long key = listed[static_cast<size_t>(i - 1)];
            VARIANT child;
            VariantInit(&child);
            const HRESULT hr = client->get_accChild(Id(i), &child.pdispVal);
            if (window[static_cast<size_t>(i - 1)]) {
                child.vt = VT_DISPATCH;
                EXPECT_EQ(hr, S_OK);
                EXPECT_EQ(Key(child), key);
                VariantClear(&child);
                Element byPlace{client, i, L""};
                EXPECT_FALSE(Name(byPlace).empty()) << "a window, named";
                RECT a = Location(byPlace);
                EXPECT_FALSE(IsRectEmpty(&a)) << "a window, placed";
                continue;
            }
            EXPECT_EQ(hr, S_FALSE) << "a simple child";
            Element byPlace{client, i, L""}, byId{client, key, L""};
            EXPECT_EQ(Name(byPlace), Name(byId));
            RECT a = Location(byPlace), b = Location(byId);
            EXPECT_TRUE(EqualRect(&a, &b));
            EXPECT_FALSE(IsRectEmpty(&a));
        }
        // Stepping from child to child, forwards from the first and
        // backwards from the last; a step starts from a simple child's id,
        // or a window's place.
        auto walk = [&](long first, long dir) {
            std::vector<long> seen;
            VARIANT at;
            VariantInit(&at);
            client->accNavigate(first, Id(CHILDID_SELF), &at);
            while (at.vt != VT_EMPTY && seen.size() <= listed.size()) {
                seen.push_back(Key(at));
                const bool isWindow = at.vt == VT_DISPATCH;
                const long place = static_cast<long>(
                    std::find(listed.begin(), listed.end(), seen.back()) - listed.begin()) + 1;
                VariantClear(&at);
                client->accNavigate(dir, Id(isWindow ? place : seen.back()), &at);
            }
            return seen;
        };
        std::vector<long> backwards = walk(NAVDIR_LASTCHILD, NAVDIR_PREVIOUS);
        std::reverse(backwards.begin(), backwards.end());
        EXPECT_EQ(walk(NAVDIR_FIRSTCHILD, NAVDIR_NEXT), listed);
        EXPECT_EQ(backwards, listed);
        // A client that holds objects steps from each to the next by the
        // object itself, a child window's object too, and reads the same
        // names in the same order.
        std::vector<std::wstring> names, stepped;
        for (long i = 1; i <= count; ++i) names.push_back(Name(Element{client, i, L""}));
        VARIANT at;
        VariantInit(&at);
        client->accNavigate(NAVDIR_FIRSTCHILD, Id(CHILDID_SELF), &at);
        while (at.vt != VT_EMPTY && stepped.size() <= names.size()) {
            IAccessible* object = nullptr;
            if (at.vt == VT_DISPATCH)
                at.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&object));
            const Element e = object ? Element{object, CHILDID_SELF, L""} : Element{client, at.lVal, L""};
            stepped.push_back(Name(e));
            VariantClear(&at);
            e.acc->accNavigate(NAVDIR_NEXT, Id(e.id), &at);
            if (object) object->Release();
        }
        EXPECT_EQ(stepped, names);
        client->Release();
    }
}

TEST_F(AccessibilityTest, HitTestingFindsWhatTheMouseFinds) {
    Frmmain& f = OpenMain();
    Pump(20);
    Tree t(f.hWnd());
    int tried = 0;
    for (const Element& e : t.all) {
        if (e.id == CHILDID_SELF) continue;
        RECT r = Location(e);
        POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        // The mouse's answer: the frontmost control under the point.
        IAccessible* acc = e.acc;
        HWND container = nullptr;
        WindowFromAccessibleObject(acc, &container);
        POINT local = centre;
        ScreenToClient(container, &local);
        host::Container* owner = container == f.hWnd() ? static_cast<host::Container*>(&f)
                                                       : static_cast<host::Container*>(&f.Frame1);
        host::Control* front = owner->HitTest(local);
        HWND above = ChildWindowFromPointEx(container, local, CWP_SKIPINVISIBLE);
        VARIANT hit;
        VariantInit(&hit);
        ASSERT_EQ(acc->accHitTest(centre.x, centre.y, &hit), S_OK);
        if (above && above != container) {
            // A child window lies over what the container paints.
            EXPECT_EQ(hit.vt, VT_DISPATCH) << "at " << centre.x << "," << centre.y;
            VariantClear(&hit);
        } else {
            ASSERT_EQ(hit.vt, VT_I4);
            ASSERT_NE(front, nullptr);
            EXPECT_EQ(hit.lVal, front->Id()) << "at " << centre.x << "," << centre.y;
        }
        ++tried;
    }
    EXPECT_EQ(tried, 16);
    // Over the frame, the main window answers with the frame's own object;
    // outside the window, with nothing.
    IAccessible* main = ClientOf(f.hWnd());
    RECT frame;
    GetWindowRect(f.Frame1.hWnd(), &frame);
    VARIANT hit;
    VariantInit(&hit);
    ASSERT_EQ(main->accHitTest(frame.left + 3, frame.bottom - 3, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_DISPATCH);
    VariantClear(&hit);
    RECT win;
    GetWindowRect(f.hWnd(), &win);
    EXPECT_EQ(main->accHitTest(win.right + 5, win.top + 5, &hit), S_FALSE);
    EXPECT_EQ(hit.vt, VT_EMPTY);
    main->Release();
}

TEST_F(AccessibilityTest, PressingRunsTheClickFromTheLoopAndStatesFollow) {
    Frmmain& f = OpenMain();
    Pump(20);
    Tree t(f.hWnd());
    const Element& history = t.Named(ROLE_SYSTEM_CHECKBUTTON, L"保留历史记录");
    EXPECT_FALSE(State(history) & STATE_SYSTEM_CHECKED);
    LeftClick(f.imghistory);
    EXPECT_TRUE(State(history) & STATE_SYSTEM_CHECKED) << "a mouse click ticks it";
    EXPECT_EQ(Action(history), L"清除");
    // A press is posted: nothing runs inside the caller's request.
    ASSERT_EQ(history.acc->accDoDefaultAction(Id(history.id)), S_OK);
    EXPECT_TRUE(State(history) & STATE_SYSTEM_CHECKED);
    Pump(20);
    EXPECT_FALSE(State(history) & STATE_SYSTEM_CHECKED);
    EXPECT_FALSE(f.HistoryChecked());

    f.Text1.SetText(L"65251234");
    const Element& ok = t.Named(ROLE_SYSTEM_PUSHBUTTON, L"确定");
    ASSERT_EQ(ok.acc->accDoDefaultAction(Id(ok.id)), S_OK);
    EXPECT_EQ(f.Text2.Text(), L"");
    Pump(20);
    EXPECT_EQ(f.Text2.Text(), L"你所查询电话号码的归属地是：\r\n电信东区： 凉城");
    const Element& answer = t.Named(ROLE_SYSTEM_TEXT, L"电话号码信息查询结果：");
    BSTR value = nullptr;
    answer.acc->get_accValue(Id(CHILDID_SELF), &value);
    EXPECT_STREQ(value, L"你所查询电话号码的归属地是：\r\n电信东区： 凉城");
    SysFreeString(value);

    const Element& pin = t.Named(ROLE_SYSTEM_PUSHBUTTON, L"窗体最前");
    pin.acc->accDoDefaultAction(Id(pin.id));
    Pump(20);
    EXPECT_TRUE(f.Topmost());
    EXPECT_TRUE(State(pin) & STATE_SYSTEM_PRESSED);
    EXPECT_TRUE(GetWindowLongW(f.hWnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    pin.acc->accDoDefaultAction(Id(pin.id));
    Pump(20);
    EXPECT_FALSE(State(pin) & STATE_SYSTEM_PRESSED);

    // Static text has nothing to press; a hover picture reads as hot.
    const Element& hint = t.Named(ROLE_SYSTEM_STATICTEXT, L"青枫软件系列");
    EXPECT_EQ(hint.acc->accDoDefaultAction(Id(hint.id)), DISP_E_MEMBERNOTFOUND);
    MouseMove(f.Imgok0);
    EXPECT_TRUE(State(ok) & STATE_SYSTEM_HOTTRACKED);
    MouseMove(f.Imgbody, 5, 200);
    EXPECT_FALSE(State(ok) & STATE_SYSTEM_HOTTRACKED);
}

TEST_F(AccessibilityTest, EventsTellOfTheHintTheAnswerTheBoxesAndTheNoticeButNotTheClock) {
    Frmmain& f = OpenMain();
    Pump(20);
    Events ev;
    MouseMove(f.Imgding0);
    EXPECT_EQ(ev.Count(EVENT_OBJECT_NAMECHANGE, f.hWnd(), f.Lblabout.Id()), 1);
    f.Timer1_Timer();
    f.Timer1_Timer();
    EXPECT_EQ(ev.Count(EVENT_OBJECT_NAMECHANGE, f.hWnd(), f.Lbltime.Id()), 0);
    LeftClick(f.ImgMouse);
    EXPECT_EQ(ev.Count(EVENT_OBJECT_STATECHANGE, f.Frame1.hWnd(), f.ImgMouse.Id()), 1);
    f.Text1.SetText(L"65251234");
    f.Imgok0_Click();
    EXPECT_EQ(ev.Count(EVENT_OBJECT_VALUECHANGE, f.Text2.hWnd(), CHILDID_SELF), 1);
    f.Text1.SetText(L"");
    f.Imgok0_Click();
    HWND notice = frmok::Instance().hWnd();
    const long message = frmok::Instance().Lblremind1.Id();
    EXPECT_EQ(ev.Count(EVENT_OBJECT_SHOW, notice, message), 1) << "the notice's message";
    EXPECT_EQ(ev.Count(EVENT_SYSTEM_ALERT, notice, message), 1);
}

// Under a window manager Wine may let the activation go to no window and
// take it straight back; a screen reader has nothing new to hear then. Gone
// for longer, or hidden and shown, the focus is told again (a box's, back
// from another program, is heard in keyboard_test.sh).
TEST_F(AccessibilityTest, TheFocusIsNotToldAgainWhenTheKeysWentNowhereForAMoment) {
    Frmmain& f = OpenMain();
    const DWORD longer = host::Form::kBounceMilliseconds + 100;
    struct Case { const char* what; DWORD away; bool hidden, box; int told; };
    for (const Case& c : {Case{"back at once", 0, false, false, 0}, Case{"away for longer", longer, false, false, 1},
                          Case{"hidden and shown (into the tray and back)", 0, true, false, 1},
                          Case{"the number box, back at once", 0, false, true, 0}}) {
        c.box ? f.Text1.SetFocus() : f.ImgMouse.TakeFocus();  // as Tab brings the keys
        Pump(20);
        Events ev;
        SetForegroundWindow(GetDesktopWindow());  // what Wine does as the X focus leaves
        Pump(static_cast<int>(c.away));  // the leaving is posted, under Wine: handled first
        if (c.hidden) f.SetVisible(false), f.SetVisible(true);
        c.box ? void(SetForegroundWindow(f.hWnd())) : f.SetFocus();  // activated from outside
        EXPECT_EQ(c.box ? ev.Count(EVENT_OBJECT_FOCUS, f.Text1.hWnd(), CHILDID_SELF)
                        : ev.Count(EVENT_OBJECT_FOCUS, f.Frame1.hWnd(), f.ImgMouse.Id()),
                  c.told) << c.what;
    }
}

TEST_F(AccessibilityTest, AnObjectHeldAfterItsWindowWentFailsCleanly) {
    frmok& n = frmok::Instance();
    n.Show();
    Pump(20);
    IAccessible* held = ClientOf(n.hWnd());
    ASSERT_NE(held, nullptr);
    const long message = n.Lblremind1.Id(), button = n.Imgok0.Id();
    long count = 0;
    EXPECT_EQ(held->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 3);
    frmok::Unload();
    Pump(20);
    host::App::CollectGarbage();
    BSTR name = nullptr;
    EXPECT_EQ(held->get_accName(Id(message), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(held->accDoDefaultAction(Id(button)), CO_E_OBJNOTCONNECTED);
    held->Release();
}
