#pragma once
// A group frame: a child window with an etched border and a caption that
// holds edit boxes and windowless controls of its own.
#include <windows.h>

#include <string>

#include "container.h"
#include "controls.h"

namespace host {

// A frame lies in its form and passes on to it what concerns the whole
// form: the registry of controls, the focus, tab order and tooltips.
class Frame : public Control, public Container {
public:
    static const wchar_t kClassName[];
    Frame(Container& owner, std::wstring name, TwipsRect rect, const wchar_t* caption);
    ~Frame() override;
    bool Windowless() const override { return false; }
    HWND hWnd() const { return hwnd_; }
    Colour BackColor() const { return back_; }
    void SetBackColor(Colour c);
    // A group box to a screen reader, named by its caption.
    std::wstring AccessibleSelfName() const override { return caption_; }
    long AccessibleSelfRole() const override;
    int Dpi() const override { return owner_->Dpi(); }
    void PointerArrived() override { owner_->PointerArrived(); }
    void Register(Control* c) override { owner_->Register(c); }
    void NoteFocus(HWND box) override { owner_->NoteFocus(box); }
    void TabFrom(TextBox* from, bool backwards) override { owner_->TabFrom(from, backwards); }
    void ShareToolTip(HWND tip) override { RegisterTools(tip); }
    void DpiChanged() override;

protected:
    void Realize() override;
    void OwnMouseMove(int b, int s, float x, float y) override;

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    std::wstring caption_;
    Colour back_ = kBtnFace;
    Container* owner_;
};

}  // namespace host
