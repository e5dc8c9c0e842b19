#pragma once
// The hidden form that carries the tray menu.
#include "host/form.h"

class frmMenu : public host::Form, public host::DefaultInstance<frmMenu> {
public:
    frmMenu();
    ~frmMenu() override;

    host::Menu& RightMenu;
    host::MenuItem& mnuResume;
    host::MenuItem& Menu_0;
    host::MenuItem& mnuAbout;
    host::MenuItem& mnuExit;

    void mnuResume_Click();
    void mnuAbout_Click();
    void mnuExit_Click();
};
