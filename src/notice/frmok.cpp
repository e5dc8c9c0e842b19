#include "notice/frmok.h"

#include <oleacc.h>

namespace {
// Always at the same screen position, wherever the main window is. No
// system buttons: nothing can minimise it and hide a later notice.
const host::FormDesign kForm = {L"Form1", {4305, 3600, 3720, 1380}, 0, false, host::kBtnFace,
                                false};
}  // namespace

frmok::frmok() : Form(kForm) {
    Imgbody.MouseMove = [this](int b, int s, float x, float y) { Imgbody_MouseMove(b, s, x, y); };
    Imgok0.MouseMove = [this](int b, int s, float x, float y) { Imgok0_MouseMove(b, s, x, y); };
    Imgok0.Click = [this] { Imgok0_Click(); };
    Imgok0.SetAccessible(host::AccRole::kPushButton, L"确定");
    Imgok0.SetStateWhenShowing(Imgok2, STATE_SYSTEM_HOTTRACKED);
}

void frmok::Imgbody_MouseMove(int, int, float, float) { Imgok0.SetPicture(Imgok1.Picture()); }

void frmok::Imgok0_MouseMove(int, int, float, float) { Imgok0.SetPicture(Imgok2.Picture()); }

void frmok::Imgok0_Click() { Unload(); }
