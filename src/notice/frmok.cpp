#include "notice/frmok.h"

#include "res/resource.h"

namespace {

std::vector<host::ControlDesign> Design() {
    using host::ControlDesign;
    using host::Kind;
    ControlDesign remind{Kind::Label, L"Lblremind1", {195, 600, 3375, 195}};
    remind.caption = L"你已经完成了0个操作！";
    remind.fore = 0x000000FF;  // red
    auto img = [](const wchar_t* name, host::TwipsRect r, int pic) {
        ControlDesign s{Kind::Image, name, r};
        s.picture = pic;
        return s;
    };
    return {
        remind,
        img(L"Imgok2", {2040, 1800, 1095, 270}, IDP_NOTICE_OK_HOVER),
        img(L"Imgok1", {720, 1800, 1095, 270}, IDP_NOTICE_OK_NORMAL),
        img(L"Imgok0", {1320, 960, 1095, 270}, IDP_NOTICE_OK_NORMAL),
        img(L"Imgbody", {0, 0, 3720, 1365}, IDP_NOTICE_BODY),
    };
}

// Always at the same screen position, wherever the main window is.
// No system buttons: nothing can minimise it and hide a later notice.
const host::FormDesign kForm = {L"Form1", {4305, 3600, 3720, 1380}, 0, false, host::kBtnFace,
                                false};

}  // namespace

frmok::frmok()
    : Form(kForm, Design()),
      Lblremind1(Get<host::Label>(L"Lblremind1")),
      Imgok2(Get<host::Image>(L"Imgok2")),
      Imgok1(Get<host::Image>(L"Imgok1")),
      Imgok0(Get<host::Image>(L"Imgok0")),
      Imgbody(Get<host::Image>(L"Imgbody")) {
    Imgbody.MouseMove = [this](int b, int s, float x, float y) { Imgbody_MouseMove(b, s, x, y); };
    Imgok0.MouseMove = [this](int b, int s, float x, float y) { Imgok0_MouseMove(b, s, x, y); };
    Imgok0.Click = [this] { Imgok0_Click(); };
}

void frmok::Imgbody_MouseMove(int, int, float, float) { Imgok0.SetPicture(Imgok1.Picture()); }

void frmok::Imgok0_MouseMove(int, int, float, float) { Imgok0.SetPicture(Imgok2.Picture()); }

void frmok::Imgok0_Click() { Unload(); }
