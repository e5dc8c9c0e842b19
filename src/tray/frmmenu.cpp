#include "tray/frmmenu.h"

#include "common/decimal.h"
#include "host/app.h"
#include "lookup/exchange_table.h"
#include "res/resource.h"
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

void frmMenu::mnuAbout_Click() {
    // The figures come from the table, which is what the answers come from.
    const auto prefixes = static_cast<long long>(lookup::AnsweredPrefixCount());
    const auto exchanges = static_cast<long long>(lookup::ExchangeTable().size());
    const std::wstring text = L"霁岚通 " APP_VERSION_TEXT L"\n\n"
                              L"查询本市网内 8 位固定电话号码所属的电话局\n"
                              L"（不带区号；手机号码不在其中）。\n"
                              L"号码表：" + common::Decimal(prefixes) + L" 个号码前缀，" +
                              common::Decimal(exchanges) + L" 个电话局。\n\n"
                              L"使用方法见程序附带的“使用说明.txt”。";
    host::App::Inform(L"关于霁岚通", text);
}

void frmMenu::mnuExit_Click() {
    // No dead icon and no stale hook may outlive the main window.
    APIStuff::RemoveTray();
    host::Form* main = APIStuff::TrayForm;
    Unload();
    if (main) main->Unload();
}
