#include "tray/frmmenu.h"

#include "tray/apistuff.h"

namespace {
// Never shown: the menu pops up from the main window.
const host::FormDesign kForm = {L"frmMenu", {0, 0, 1500, 1000}, 0, false, host::kBtnFace, true, true};
}

frmMenu::frmMenu() : DefaultInstance(kForm) {
    // Hidden, it has nothing to close: a close request from outside would
    // only take the tray's menu away. It goes when the program exits.
    QueryUnload = [] {};
    mnuResume.Click = [this] { mnuResume_Click(); };
    mnuAbout.Click = [this] { mnuAbout_Click(); };
    mnuExit.Click = [this] { mnuExit_Click(); };
}

frmMenu::~frmMenu() {
    // The tray never opens a menu whose form is gone.
    if (APIStuff::TrayMenu == &RightMenu) APIStuff::TrayMenu = nullptr;
}

void frmMenu::mnuResume_Click() { APIStuff::RestoreFromTray(); }

void frmMenu::mnuAbout_Click() {}

void frmMenu::mnuExit_Click() {
    // No dead icon and no stale hook may outlive the main window.
    APIStuff::RemoveTray();
    host::Form* main = APIStuff::TrayForm;
    Unload();
    if (main) main->Unload();
}
