#include "notice/frmok.h"

#include <oleacc.h>

namespace {
// Always at the same screen position, wherever the main window is. No
// system buttons: nothing can minimise it and hide a later notice. No
// taskbar button: it is a part of the main window's work, not a program.
// Where it stands alone (the main window in the tray), the taskbar and
// Alt+Tab name it by the program.
const host::FormDesign kForm = {L"霁岚通", {4305, 3600, 3720, 1380}, 0, false, host::kBtnFace,
                                false};
// What Ctrl+C copies: the title the picture shows, the message and the
// button, between rules, as a message box of the system copies itself.
const std::wstring kTitle = L"完成";
const std::wstring kCopyRule = L"---------------------------\r\n";
}  // namespace

frmok::frmok() : DefaultInstance(kForm) {
    Imgbody.MouseMove = [this](int b, int s, float x, float y) { Imgbody_MouseMove(b, s, x, y); };
    Imgok0.MouseMove = [this](int b, int s, float x, float y) { Imgok0_MouseMove(b, s, x, y); };
    Imgok0.Click = [this] { Imgok0_Click(); };
    KeyDown = [this](int& k, int s) { Form_KeyDown(k, s); };
    Imgok0.SetAccessible(host::AccRole::kPushButton, L"确定");
    // A screen reader reads the dialog by its message, not by its title.
    SetAccessibleTitle(&Lblremind1);
    Imgok0.SetStateWhenShowing(Imgok2, STATE_SYSTEM_HOTTRACKED);
    // In high contrast: the system's face and a plain button.
    Imgbody.SetPlain(host::Image::Plain::kFace);
    Imgok0.SetPlain(host::Image::Plain::kButton, L"确定(&O)");
}

void frmok::Imgbody_MouseMove(int, int, float, float) { Imgok0.SetPicture(Imgok1.Picture()); }

void frmok::Imgok0_MouseMove(int, int, float, float) { Imgok0.SetPicture(Imgok2.Picture()); }

void frmok::Imgok0_Click() { Unload(); }

void frmok::Form_KeyDown(int& keyCode, int shift) {
    if (shift == 2 && keyCode == 'C') {  // Ctrl+C, as in a message box
        keyCode = 0;
        CopyText(kCopyRule + kTitle + L"\r\n" + kCopyRule + Lblremind1.Caption() + L"\r\n" +
                 kCopyRule + L"确定   \r\n" + kCopyRule);
        return;
    }
    // Ctrl with a key means something else, and so does Alt, but for the
    // button's own Alt+O: Alt+Space is the system's.
    if ((shift & 2) || ((shift & 4) && keyCode != 'O')) return;
    switch (keyCode) {
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_SPACE:
    case 'O':
        keyCode = 0;
        Imgok0_Click();
        break;
    }
}
