// The main window's side of the tray: priming at start-up and the resize
// handling that moves the window into the tray and back.
#include "mainwindow/frmmain.h"
#include "tray/apistuff.h"
#include "tray/frmmenu.h"

void Frmmain::PrimeTray() {
    APIStuff::InstallTray(*this, frmMenu::Instance().RightMenu);
    APIStuff::RemoveTray();
}

void Frmmain::Form_Resize() {
    int state = WindowState();
    if (state == 1) {
        APIStuff::InstallTray(*this, frmMenu::Instance().RightMenu);
        if (!APIStuff::TrayIconShown()) {
            // No icon would lead back: stay minimised on the taskbar.
            APIStuff::RemoveTray();
            return;
        }
        APIStuff::SetTrayTip(L"青枫软件系列");
        SetVisible(false);
    } else if (state == 0 || state == 2) {
        APIStuff::RemoveTray();
    }
}
