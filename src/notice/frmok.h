#pragma once
// The notice dialog: one line of red text and an OK picture that closes it.
#include "host/form.h"

class frmok : public host::Form, public host::DefaultInstance<frmok> {
public:
    frmok();

    host::Label& Lblremind1;
    host::Image& Imgok2;
    host::Image& Imgok1;
    host::Image& Imgok0;
    host::Image& Imgbody;

    void Imgbody_MouseMove(int button, int shift, float x, float y);
    void Imgok0_MouseMove(int button, int shift, float x, float y);
    void Imgok0_Click();
};
