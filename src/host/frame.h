#pragma once
// A group frame: a child window with an etched border and a caption that
// holds edit boxes and windowless controls of its own.
#include <windows.h>

#include <string>

#include "container.h"
#include "controls.h"

namespace host {

// A frame lies in its form: as a control of the form, and as the window
// its own controls lie in. What concerns the whole form (the registry of
// controls, the focus, tab order and tooltips) its controls find through
// the form's site, which the frame hands on.
class Frame : public Control, public Container {
public:
    static const wchar_t kClassName[];
    Frame(ControlSite& owner, std::wstring name, TwipsRect rect, const wchar_t* caption);
    bool Windowless() const override { return false; }
    HWND OwnWindow() const override { return hwnd_; }
    HWND hWnd() const { return hwnd_; }
    Colour BackColor() const { return back_; }
    void SetBackColor(Colour c);
    // A group box to a screen reader, named by its caption.
    std::wstring AccessibleSelfName() const override { return caption_; }
    long AccessibleSelfRole() const override;
    long AccessibleIdInParent() const override { return Control::Id(); }
    // The keys are with one of its controls: a frame never takes them.
    bool HoldsFocus() const override { return FocusWithin(); }
    int Dpi() const override { return Control::parent_->Dpi(); }
    FormSite& Top() override { return Control::parent_->Top(); }
    void AddTools(HWND tooltip) override;
    void DpiChanged() override;

protected:
    void Realize() override;
    void OwnMouseMove(int b, int s, float x, float y) override;

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    std::wstring caption_;
    Colour back_ = kBtnFace;
};

}  // namespace host
