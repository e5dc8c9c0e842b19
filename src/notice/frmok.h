#pragma once
// The notice dialog: one line of red text and an OK picture that closes it.
#include "host/form.h"
#include "res/resource.h"

class frmok : public host::DefaultInstance<frmok> {
public:
    frmok();

    // The controls and their design, front to back.
    host::Label Lblremind1{*this, L"Lblremind1", {195, 600, 3375, 195},
                           L"你已经完成了0个操作！", 0, nullptr, 0x000000FF /* red */};
    host::Image Imgok2{*this, L"Imgok2", {2040, 1800, 1095, 270}, IDP_NOTICE_OK_HOVER};
    host::Image Imgok1{*this, L"Imgok1", {720, 1800, 1095, 270}, IDP_NOTICE_OK_NORMAL};
    host::Image Imgok0{*this, L"Imgok0", {1320, 960, 1095, 270}, IDP_NOTICE_OK_NORMAL};
    host::Image Imgbody{*this, L"Imgbody", {0, 0, 3720, 1365}, IDP_NOTICE_BODY};

    void Imgbody_MouseMove(int button, int shift, float x, float y);
    void Imgok0_MouseMove(int button, int shift, float x, float y);
    void Imgok0_Click();
    // Enter, Esc, Space, O and Alt+O do what a click on 确定(O) does;
    // Ctrl+C copies the notice.
    void Form_KeyDown(int& keyCode, int shift);
};
