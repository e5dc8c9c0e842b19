// The main window's design and the wiring of its events.
#include "mainwindow/frmmain.h"

#include "res/resource.h"

using host::ControlDesign;
using host::Kind;

const wchar_t* const Frmmain::kMailAddress = L"qf@qf.test";

namespace {

constexpr host::Colour kInfoBk = host::kInfoBk;
const wchar_t* const kFrame = L"Frame1";

ControlDesign Img(const wchar_t* name, int l, int t, int w, int h, int pic,
                const wchar_t* tip = nullptr, const wchar_t* container = nullptr) {
    ControlDesign s{Kind::Image, name, {l, t, w, h}};
    s.picture = pic;
    s.tooltip = tip;
    s.container = container;
    return s;
}

ControlDesign Lbl(const wchar_t* name, int l, int t, int w, int h, const wchar_t* caption,
                unsigned flags = 0, const wchar_t* tip = nullptr,
                const wchar_t* container = nullptr) {
    ControlDesign s{Kind::Label, name, {l, t, w, h}};
    s.caption = caption;
    s.flags = flags;
    s.tooltip = tip;
    s.container = container;
    return s;
}

ControlDesign Box(const wchar_t* name, int l, int t, int w, int h, unsigned flags, int maxLength,
                int tabIndex, const wchar_t* tip) {
    ControlDesign s{Kind::TextBox, name, {l, t, w, h}};
    s.back = kInfoBk;
    s.flags = flags;
    s.maxLength = maxLength;
    s.tabIndex = tabIndex;
    s.tooltip = tip;
    s.container = kFrame;
    return s;
}

ControlDesign FrameRow(const wchar_t* name, int l, int t, int w, int h, const wchar_t* caption) {
    ControlDesign s{Kind::Frame, name, {l, t, w, h}};
    s.caption = caption;
    return s;
}

ControlDesign TimerRow(const wchar_t* name, unsigned interval) {
    ControlDesign s{Kind::Timer, name, {0, 0, 0, 0}};
    s.interval = interval;
    return s;
}

const std::wstring& MailCaption() {
    static const std::wstring caption = std::wstring(L"E-mail:") + Frmmain::kMailAddress;
    return caption;
}

// Front to back. Frame children use frame coordinates.
std::vector<ControlDesign> Design() {
    using host::kCentred;
    using host::kHandCursor;
    using host::kMultiLine;
    using host::kSingleLine;
    return {
        TimerRow(L"Timer1", 1000),
        FrameRow(L"Frame1", 240, 1080, 4935, 2295, L"归属地查询"),
        Box(L"Text2", 1560, 960, 3135, 855, kMultiLine, 0, 8, nullptr),
        Box(L"Text1", 1560, 360, 3135, 270, 0, 8, 6, L"按回车键可以直接确认"),
        Lbl(L"Lblhistory", 3570, 1935, 1200, 300, L"保留历史记录", kHandCursor, nullptr, kFrame),
        Img(L"imghistory", 3300, 1920, 195, 195, IDP_CHK_EMPTY, nullptr, kFrame),
        Img(L"ImgMouse", 1560, 1920, 195, 195, IDP_CHK_EMPTY, nullptr, kFrame),
        Lbl(L"LblMouse", 1800, 1935, 1455, 360, L"用鼠标获取号码", kHandCursor, L"点击选择", kFrame),
        Lbl(L"Label2", 240, 1200, 1095, 375, L"电话号码信息查询结果：", 0, nullptr, kFrame),
        Lbl(L"Label1", 240, 360, 1095, 375, L"请输入8位电话号码：", 0, nullptr, kFrame),
        // One line always: from October on, a long date and the time are
        // wider than the label, and wrapping would hide the time.
        Lbl(L"Lbltime", 3000, 4040, 2055, 255, L"", kSingleLine),
        Img(L"Imgchk2", 5880, 1920, 195, 195, IDP_CHK_TICKED),
        Img(L"Imgchk1", 6240, 1920, 195, 195, IDP_CHK_EMPTY),
        Lbl(L"Lblversion", 360, 4800, 1695, 375, L""),
        Img(L"Imgend1", 4440, 4560, 1050, 285, IDP_END_NORMAL),
        Img(L"Imgok1", 3120, 4560, 1050, 285, IDP_OK_NORMAL),
        Img(L"Imgclose2", 6240, 960, 285, 255, IDP_CLOSE_HOVER),
        Img(L"Imgmin2", 6240, 600, 285, 255, IDP_MIN_HOVER),
        Img(L"Imgclose1", 5760, 960, 300, 255, IDP_CLOSE_NORMAL),
        Img(L"Imgmin1", 5760, 600, 285, 255, IDP_MIN_NORMAL),
        Img(L"Imgclose0", 4965, 75, 300, 255, IDP_CLOSE_NORMAL, L"关闭"),
        Img(L"Imgmin0", 4680, 75, 285, 255, IDP_MIN_NORMAL, L"最小化"),
        Lbl(L"Lblmail", 480, 3600, 1935, 255, MailCaption().c_str(), 0, L"联系作者"),
        Lbl(L"Lbltitle", 0, 120, 5280, 345, L"霁岚通1.0.0829", kCentred),
        Img(L"Imgding2", 6240, 1440, 240, 240, IDP_DING_TOP),
        Img(L"Imgding1", 5760, 1440, 240, 240, IDP_DING_NORMAL),
        Img(L"Imgding0", 120, 3980, 240, 240, IDP_DING_NORMAL, L"窗体最前"),
        Lbl(L"Lblabout", 480, 4000, 2415, 255, L"青枫软件系列", 0,
            L"青枫软件系列：小巧、免费的桌面工具，欢迎来信交流"),
        Img(L"Imgend2", 4440, 4920, 1050, 285, IDP_END_HOVER),
        Img(L"Imgok2", 3120, 4920, 1050, 285, IDP_OK_HOVER),
        Img(L"Imgend0", 4125, 3600, 1050, 285, IDP_END_NORMAL),
        Img(L"Imgok0", 2880, 3600, 1050, 285, IDP_OK_NORMAL),
        Img(L"Imgbody", 0, 0, 5385, 4365, IDP_BODY),
    };
}

const host::FormDesign kForm = {L"青枫软件系列", {3390, 2025, 5385, 4395}, IDI_APP, true};

}  // namespace

void Frmmain::PrepareHost() {
    host::SetErrorCaption(kForm.caption);
    host::App::SetHandCursorResource(IDC_HAND_POINTER);
}

Frmmain::Frmmain()
    : Form(kForm, Design()),
      Timer1(GetTimer(L"Timer1")),
      Frame1(Get<host::Frame>(L"Frame1")),
      Text2(Get<host::TextBox>(L"Text2")),
      Text1(Get<host::TextBox>(L"Text1")),
      Lblhistory(Get<host::Label>(L"Lblhistory")),
      imghistory(Get<host::Image>(L"imghistory")),
      ImgMouse(Get<host::Image>(L"ImgMouse")),
      LblMouse(Get<host::Label>(L"LblMouse")),
      Label2(Get<host::Label>(L"Label2")),
      Label1(Get<host::Label>(L"Label1")),
      Lbltime(Get<host::Label>(L"Lbltime")),
      Imgchk2(Get<host::Image>(L"Imgchk2")),
      Imgchk1(Get<host::Image>(L"Imgchk1")),
      Lblversion(Get<host::Label>(L"Lblversion")),
      Imgend1(Get<host::Image>(L"Imgend1")),
      Imgok1(Get<host::Image>(L"Imgok1")),
      Imgclose2(Get<host::Image>(L"Imgclose2")),
      Imgmin2(Get<host::Image>(L"Imgmin2")),
      Imgclose1(Get<host::Image>(L"Imgclose1")),
      Imgmin1(Get<host::Image>(L"Imgmin1")),
      Imgclose0(Get<host::Image>(L"Imgclose0")),
      Imgmin0(Get<host::Image>(L"Imgmin0")),
      Lblmail(Get<host::Label>(L"Lblmail")),
      Lbltitle(Get<host::Label>(L"Lbltitle")),
      Imgding2(Get<host::Image>(L"Imgding2")),
      Imgding1(Get<host::Image>(L"Imgding1")),
      Imgding0(Get<host::Image>(L"Imgding0")),
      Lblabout(Get<host::Label>(L"Lblabout")),
      Imgend2(Get<host::Image>(L"Imgend2")),
      Imgok2(Get<host::Image>(L"Imgok2")),
      Imgend0(Get<host::Image>(L"Imgend0")),
      Imgok0(Get<host::Image>(L"Imgok0")),
      Imgbody(Get<host::Image>(L"Imgbody")) {
    auto mouse = [this](void (Frmmain::*h)(int, int, float, float)) {
        return [this, h](int b, int s, float x, float y) { (this->*h)(b, s, x, y); };
    };
    auto click = [this](void (Frmmain::*h)()) { return [this, h] { (this->*h)(); }; };

    RequestUnload = click(&Frmmain::CloseRequested);
    Timer1.Tick = click(&Frmmain::Timer1_Timer);
    Imgok0.Click = click(&Frmmain::Imgok0_Click);
    Text1.KeyDown = [this](int& k, int s) { Text1_KeyDown(k, s); };

    imghistory.Click = click(&Frmmain::imghistory_Click);
    Lblhistory.Click = click(&Frmmain::Lblhistory_Click);
    ImgMouse.Click = click(&Frmmain::ImgMouse_Click);
    LblMouse.Click = click(&Frmmain::LblMouse_Click);

    Lbltitle.MouseDown = mouse(&Frmmain::Lbltitle_MouseDown);
    Lbltitle.MouseMove = mouse(&Frmmain::Lbltitle_MouseMove);
    Imgbody.MouseMove = mouse(&Frmmain::Imgbody_MouseMove);
    Frame1.MouseMove = mouse(&Frmmain::Frame1_MouseMove);
    LblMouse.MouseMove = mouse(&Frmmain::LblMouse_MouseMove);
    Lblhistory.MouseMove = mouse(&Frmmain::Lblhistory_MouseMove);
    Imgmin0.MouseMove = mouse(&Frmmain::Imgmin0_MouseMove);
    Imgmin0.Click = click(&Frmmain::Imgmin0_Click);
    Imgclose0.MouseMove = mouse(&Frmmain::Imgclose0_MouseMove);
    Imgclose0.MouseDown = mouse(&Frmmain::Imgclose0_MouseDown);
    Imgok0.MouseMove = mouse(&Frmmain::Imgok0_MouseMove);
    Imgend0.MouseMove = mouse(&Frmmain::Imgend0_MouseMove);
    Imgend0.Click = click(&Frmmain::Imgend0_Click);
    Imgding0.MouseMove = mouse(&Frmmain::Imgding0_MouseMove);
    Imgding0.Click = click(&Frmmain::Imgding0_Click);
    Lblabout.MouseMove = mouse(&Frmmain::Lblabout_MouseMove);
    Lblmail.MouseMove = mouse(&Frmmain::Lblmail_MouseMove);
    Lblmail.MouseUp = mouse(&Frmmain::Lblmail_MouseUp);
}
