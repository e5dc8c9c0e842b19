#pragma once
// A group frame: a child window with an etched border and a caption that
// holds edit boxes and windowless controls of its own.
#include <windows.h>

#include <string>

#include "container.h"
#include "controls.h"

namespace host {

class Form;

class Frame : public Control, public Container {
public:
    static const wchar_t kClassName[];
    Frame(Form& form, std::wstring name, TwipsRect rect, const wchar_t* caption);
    ~Frame() override;
    bool Windowless() const override { return false; }
    Form* OwnerForm() override { return form_; }
    HWND hWnd() const { return hwnd_; }
    Colour BackColor() const { return back_; }
    void SetBackColor(Colour c);
    // A group box to a screen reader, named by its caption.
    std::wstring AccessibleSelfName() const override { return caption_; }
    long AccessibleSelfRole() const override;
    void PointerArrived() override;

protected:
    void Realize() override;
    void OwnMouseMove(int b, int s, float x, float y) override;

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    std::wstring caption_;
    Colour back_ = kBtnFace;
    Form* form_;
};

}  // namespace host
