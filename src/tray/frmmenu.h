#pragma once
// The hidden form that carries the tray menu.
#include "host/form.h"

class frmMenu : public host::DefaultInstance<frmMenu> {
public:
    frmMenu();
    ~frmMenu() override;

    // The menu and its items, in menu order.
    host::Menu RightMenu;
    host::MenuItem mnuResume{RightMenu, L"恢复(&R)"};
    host::MenuItem Menu_0{RightMenu, L"-"};
    host::MenuItem mnuAbout{RightMenu, L"关于(&A)"};
    host::MenuItem mnuExit{RightMenu, L"退出(&X)"};

    void mnuResume_Click();
    void mnuAbout_Click();
    void mnuExit_Click();
};
