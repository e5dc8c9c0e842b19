// Title bar, picture buttons and hover feedback of the main window.
#include <windows.h>
#include <shellapi.h>

#include "host/app.h"
#include "host/system_library.h"
#include "host/text_services.h"
#include "mainwindow/chrome.h"
#include "mainwindow/frmmain.h"
#include "tray/apistuff.h"

namespace {
constexpr host::Colour kRestColour = host::kBtnText;
constexpr host::Colour kHoverBlue = 0x00FF0000;
const wchar_t* const kHintRest = L"青枫软件系列";
const wchar_t* const kHintPin = L"窗体最前/普通窗体";
const wchar_t* const kMailSubject = L"晴川助手使用情况回复";
}  // namespace

namespace mainwindow {
namespace {
// Looked up on the first click on the mail link, not at start-up.
HINSTANCE WINAPI OpenThroughShell(HWND w, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir,
                                  INT show) {
    static const auto open =
        host::SystemFunction<decltype(&::ShellExecuteA)>(L"shell32.dll", "ShellExecuteA");
    return open ? open(w, verb, file, params, dir, show) : nullptr;
}
}  // namespace
ShellExecuteFn shellExecute = OpenThroughShell;
}

void Frmmain::Lbltitle_MouseDown(int button, int, float, float) {
    int state = WindowState();
    if (button == 1 && state == host::kNormal) DragMove();
}

void Frmmain::RestingReset() {
    Lblabout.SetCaption(kHintRest);
    Lblmail.SetFontUnderline(false);
    Lblmail.SetForeColor(kRestColour);
    Imgok0.SetPicture(Imgok1.Picture());
    Imgend0.SetPicture(Imgend1.Picture());
    Imgmin0.SetPicture(Imgmin1.Picture());
    Imgclose0.SetPicture(Imgclose1.Picture());
}

void Frmmain::Lbltitle_MouseMove(int, int, float, float) { RestingReset(); }
void Frmmain::Imgbody_MouseMove(int, int, float, float) { RestingReset(); }

void Frmmain::Frame1_MouseMove(int, int, float, float) {
    LblMouse.SetForeColor(kRestColour);
    Lblhistory.SetForeColor(kRestColour);
}

void Frmmain::LblMouse_MouseMove(int, int, float, float) { LblMouse.SetForeColor(kHoverBlue); }
void Frmmain::Lblhistory_MouseMove(int, int, float, float) { Lblhistory.SetForeColor(kHoverBlue); }

void Frmmain::Imgmin0_MouseMove(int, int, float, float) {
    Imgmin0.SetPicture(Imgmin2.Picture());
    Imgclose0.SetPicture(Imgclose1.Picture());
}

void Frmmain::Imgmin0_Click() { SetWindowState(host::kMinimised); }

void Frmmain::Imgclose0_MouseMove(int, int, float, float) {
    Imgclose0.SetPicture(Imgclose2.Picture());
    Imgmin0.SetPicture(Imgmin1.Picture());
}

void Frmmain::Imgclose0_MouseDown(int, int, float, float) { host::App::End(); }

void Frmmain::Imgok0_MouseMove(int, int, float, float) { Imgok0.SetPicture(Imgok2.Picture()); }
void Frmmain::Imgend0_MouseMove(int, int, float, float) { Imgend0.SetPicture(Imgend2.Picture()); }
void Frmmain::Imgend0_Click() { host::App::End(); }

void Frmmain::Imgding0_MouseMove(int, int, float, float) { Lblabout.SetCaption(kHintPin); }

void Frmmain::Imgding0_Click() {
    topmost_ = !topmost_;
    if (topmost_) {
        APIStuff::SetTopmost(*this, true);
        Imgding0.SetPicture(Imgding2.Picture());
    } else {
        Imgding0.SetPicture(Imgding1.Picture());
        APIStuff::SetTopmost(*this, false);
    }
}

void Frmmain::Lblabout_MouseMove(int, int, float, float) {
    Lblabout.SetCaption(Lblversion.Caption());
}

void Frmmain::Lblmail_MouseMove(int, int, float, float) {
    Lblmail.SetFontUnderline(true);
    Lblmail.SetForeColor(kHoverBlue);
}

void Frmmain::Lblmail_MouseUp(int, int, float, float) {
    const std::string file =
        host::ToAnsi(std::wstring(L"mailto:") + kMailAddress + L"?subject=" + kMailSubject);
    const std::string dir = host::ToAnsi(host::App::Path());
    host::App::EnsureOle();  // the shell hands a mailto link on through COM
    mainwindow::shellExecute(hWnd(), "Open", file.c_str(), "", dir.c_str(), SW_SHOWNORMAL);
}
