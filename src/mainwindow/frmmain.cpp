// The main window's design and the wiring of its events.
#include "mainwindow/frmmain.h"

#include <oleacc.h>

#include "notice/frmok.h"
#include "tray/apistuff.h"


const wchar_t* const Frmmain::kMailAddress = L"qf@qf.test";

namespace {
const host::FormDesign kForm = {L"青枫软件系列", {3390, 2025, 5385, 4395}, IDI_APP, true};
}  // namespace

const wchar_t* Frmmain::MailCaption() {
    static const std::wstring caption = std::wstring(L"E-mail:") + kMailAddress;
    return caption.c_str();
}

void Frmmain::PrepareHost() {
    host::SetErrorCaption(kForm.caption);
    host::App::SetHandCursorResource(IDC_HAND_POINTER);
}

Frmmain::Frmmain() : DefaultInstance(kForm) {
    auto mouse = [this](void (Frmmain::*h)(int, int, float, float)) {
        return [this, h](int b, int s, float x, float y) { (this->*h)(b, s, x, y); };
    };
    auto click = [this](void (Frmmain::*h)()) { return [this, h] { (this->*h)(); }; };

    QueryUnload = click(&Frmmain::CloseRequested);
    Woken = click(&Frmmain::Form_Woken);
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

    // What a screen reader reads: the title names the window; a picture
    // says the caption printed on it or its tip; a box is named by its
    // label; the state is the picture shown.
    using host::AccRole;
    SetAccessibleTitle(&Lbltitle);
    Imgok0.SetAccessible(AccRole::kPushButton, L"确定");
    Imgend0.SetAccessible(AccRole::kPushButton, L"取消");
    ImgMouse.SetAccessible(AccRole::kCheckButton, LblMouse.Caption());
    imghistory.SetAccessible(AccRole::kCheckButton, Lblhistory.Caption());
    ImgMouse.SetStateWhenShowing(Imgchk2, STATE_SYSTEM_CHECKED);
    imghistory.SetStateWhenShowing(Imgchk2, STATE_SYSTEM_CHECKED);
    Imgding0.SetStateWhenShowing(Imgding2, STATE_SYSTEM_PRESSED);  // pinned on top
    Imgok0.SetStateWhenShowing(Imgok2, STATE_SYSTEM_HOTTRACKED);
    Imgend0.SetStateWhenShowing(Imgend2, STATE_SYSTEM_HOTTRACKED);
    Imgmin0.SetStateWhenShowing(Imgmin2, STATE_SYSTEM_HOTTRACKED);
    Imgclose0.SetStateWhenShowing(Imgclose2, STATE_SYSTEM_HOTTRACKED);
    Lblmail.SetAccessible(AccRole::kLink, {}, std::wstring(L"mailto:") + kMailAddress);
    Text1.SetCaptionLabel(&Label1);
    Text2.SetCaptionLabel(&Label2);

    // In high contrast the skin gives way to the system's own controls,
    // each with what its picture says.
    using Plain = host::Image::Plain;
    Imgbody.SetPlain(Plain::kFace);
    Imgok0.SetPlain(Plain::kButton, L"确定");
    Imgend0.SetPlain(Plain::kButton, L"取消");
    ImgMouse.SetPlain(Plain::kCheckBox);
    imghistory.SetPlain(Plain::kCheckBox);
    Imgding0.SetPlain(Plain::kToggle);
    Imgmin0.SetPlain(Plain::kMinimise);
    Imgclose0.SetPlain(Plain::kClose);

    // After the two boxes (6 and 8), everything the mouse can press, in
    // reading order, takes the focus by Tab; the focus shows around the
    // box and its label, around a button, the link and the pin.
    ImgMouse.SetTabIndex(9);
    ImgMouse.SetCueBeside(&LblMouse);
    imghistory.SetTabIndex(10);
    imghistory.SetCueBeside(&Lblhistory);
    Imgok0.SetTabIndex(11);
    Imgend0.SetTabIndex(12);
    Lblmail.SetTabIndex(13);
    Imgding0.SetTabIndex(14);
    // A click on the skin leaves the keys where they were; where Tab has
    // put them on a check box or the pin, Enter queries and a number typed
    // goes to the number box.
    SetDefaultButton(&Imgok0);
    SetTypingBox(&Text1);

    // A screen reader steps through the window as a person reads it: the
    // title band, the frame (each label before its box, each check box
    // before its text), then the stops below it in tab order, the hint
    // line and the clock. The skin itself comes last.
    SetReadingOrder({&Lbltitle, &Imgmin0, &Imgclose0, &Frame1, &Imgok0, &Imgend0, &Lblmail,
                     &Imgding0, &Lblabout, &Lbltime});
    Frame1.SetReadingOrder({&Label1, &Text1, &Label2, &Text2, &ImgMouse, &LblMouse, &imghistory,
                            &Lblhistory});
}

// Nothing of the tray may point at a main window that is gone.
void Frmmain::Form_Unload() { APIStuff::ForgetTray(*this); }

// Every notice of the main window: the two input notices and the failed
// history record.
void Frmmain::ShowNotice(const std::wstring& text) {
    frmok& notice = frmok::Instance();
    // Above the main window, as a dialog is, while the main window is on
    // screen; on its own while that one is in the tray.
    notice.SetOwner(Visible() && WindowState() != host::kMinimised ? this : nullptr);
    notice.Show();
    // Whatever happened to it meanwhile, a notice is seen: restored.
    if (notice.WindowState() != host::kNormal) notice.SetWindowState(host::kNormal);
    notice.Lblremind1.SetCaption(text);
    notice.SetFocus();
    notice.Announce(notice.Lblremind1);
    // Once it goes, the number box has the keys: the notice is about it.
    FocusArrived(&Text1);
}
