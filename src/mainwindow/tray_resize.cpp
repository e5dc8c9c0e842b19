// The main window's side of the tray: priming at start-up and the resize
// handling that moves the window into the tray and back.
#include "mainwindow/frmmain.h"
#include "notice/frmok.h"
#include "tray/apistuff.h"
#include "tray/frmmenu.h"

// Closing the main window from outside (Alt+F4, the taskbar) ends the
// program as the tray menu's exit does; unloading it alone would leave the
// hidden menu form keeping an invisible process alive.
void Frmmain::CloseRequested() {
    APIStuff::RemoveTray();
    frmMenu::Unload();
    Frmmain::Unload();
}

void Frmmain::PrimeTray() {
    APIStuff::PrimeTray(*this, frmMenu::Instance().RightMenu, &LastState, &RaiseNotice);
}

// A notice still open when the window comes back stands above it again
// and keeps the keys: it still waits for an answer.
void Frmmain::RaiseNotice() {
    if (!frmok::IsLoaded() || !frmok::Instance().Visible()) return;
    frmok& notice = frmok::Instance();
    if (Frmmain::IsLoaded()) notice.SetOwner(&Frmmain::Instance());
    notice.SetFocus();
}

// The main window leaves the screen: an open notice stays, on its own (an
// owned window would go with its owner), and takes the keys.
void Frmmain::KeepNoticeOnScreen() {
    if (!frmok::IsLoaded()) return;
    frmok& notice = frmok::Instance();
    notice.SetOwner(nullptr);
    notice.SetVisible(true);
    notice.SetFocus();
}

// Another start of the program brings this one back, wherever it is: out
// of the tray, normal, in front, ready for a number.
void Frmmain::Form_Woken() {
    // The number box has the keys from the start: on the way back no other
    // control takes them only to lose them.
    FocusArrived(&Text1);
    if (WindowState() == host::kMinimised) SetWindowState(host::kNormal);
    SetVisible(true);
    ZOrder();
    SetFocus();
    Text1.SetFocus();
    RaiseNotice();
}

void Frmmain::Form_Resize() {
    int state = WindowState();
    if (state == host::kMinimised) {
        APIStuff::InstallTray(*this, frmMenu::Instance().RightMenu, &LastState, &RaiseNotice);
        KeepNoticeOnScreen();
        if (!APIStuff::TrayIconShown()) {
            // No icon would lead back: stay minimised on the taskbar.
            APIStuff::RemoveTray();
            return;
        }
        APIStuff::SetTrayTip(L"青枫软件系列");
        SetVisible(false);
    } else if (state == host::kNormal || state == host::kMaximised) {
        APIStuff::RemoveTray();
    }
}
