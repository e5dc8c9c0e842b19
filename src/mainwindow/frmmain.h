#pragma once
// The main window: its controls, its state and its event handlers. The
// handlers are spread over the folders of the subsystems they belong to.
#include <cstdint>
#include <string>

#include "host/form.h"

class Frmmain : public host::Form, public host::DefaultInstance<Frmmain> {
public:
    Frmmain();
    // Hands the host what belongs to the program: its name for the error
    // box and its hand pointer. Once, before any form loads.
    static void PrepareHost();

    // Controls, front to back.
    host::Timer& Timer1;
    host::Frame& Frame1;
    host::TextBox& Text2;
    host::TextBox& Text1;
    host::Label& Lblhistory;
    host::Image& imghistory;
    host::Image& ImgMouse;
    host::Label& LblMouse;
    host::Label& Label2;
    host::Label& Label1;
    host::Label& Lbltime;
    host::Image& Imgchk2;
    host::Image& Imgchk1;
    host::Label& Lblversion;
    host::Image& Imgend1;
    host::Image& Imgok1;
    host::Image& Imgclose2;
    host::Image& Imgmin2;
    host::Image& Imgclose1;
    host::Image& Imgmin1;
    host::Image& Imgclose0;
    host::Image& Imgmin0;
    host::Label& Lblmail;
    host::Label& Lbltitle;
    host::Image& Imgding2;
    host::Image& Imgding1;
    host::Image& Imgding0;
    host::Label& Lblabout;
    host::Image& Imgend2;
    host::Image& Imgok2;
    host::Image& Imgend0;
    host::Image& Imgok0;
    host::Image& Imgbody;

    // The window state to return to from the tray.
    int LastState = 0;

    // Query command (lookup/query.cpp).
    void Imgok0_Click();
    void Text1_KeyDown(int& keyCode, int shift);

    // History (lookup/history.cpp).
    void imghistory_Click();
    void Lblhistory_Click();
    void ImgMouse_Click();
    void LblMouse_Click();
    bool HistoryChecked() const;
    const std::wstring& HistoryFilePath() const { return historyPath_; }
    int64_t RecordNumber() const { return recordNumber_; }
    const std::wstring& LastLoggedNumber() const { return lastLogged_; }
    void SetRecordNumberForTest(int64_t n) { recordNumber_ = n; }
    void SetHistoryPathForTest(const std::wstring& p) { historyPath_ = p; }

    // Chrome (mainwindow/chrome.cpp).
    void Lbltitle_MouseDown(int button, int shift, float x, float y);
    void Lbltitle_MouseMove(int button, int shift, float x, float y);
    void Imgbody_MouseMove(int button, int shift, float x, float y);
    void Frame1_MouseMove(int button, int shift, float x, float y);
    void LblMouse_MouseMove(int button, int shift, float x, float y);
    void Lblhistory_MouseMove(int button, int shift, float x, float y);
    void Imgmin0_MouseMove(int button, int shift, float x, float y);
    void Imgmin0_Click();
    void Imgclose0_MouseMove(int button, int shift, float x, float y);
    void Imgclose0_MouseDown(int button, int shift, float x, float y);
    void Imgok0_MouseMove(int button, int shift, float x, float y);
    void Imgend0_MouseMove(int button, int shift, float x, float y);
    void Imgend0_Click();
    void Imgding0_MouseMove(int button, int shift, float x, float y);
    void Imgding0_Click();
    void Lblabout_MouseMove(int button, int shift, float x, float y);
    void Lblmail_MouseMove(int button, int shift, float x, float y);
    void Lblmail_MouseUp(int button, int shift, float x, float y);
    bool Topmost() const { return topmost_; }

    // Clock (mainwindow/clock.cpp).
    void Timer1_Timer();
    const std::wstring& PlatformName() const { return platformName_; }

    // The mail address of the author, shown and linked.
    static const wchar_t* const kMailAddress;

protected:
    void Form_Load() override;    // mainwindow/startup.cpp
    void Form_Resize() override;  // tray/tray_resize.cpp

private:
    void ShapeWindow();
    void LookupExchange(const std::wstring& number);
    void ShowNotice(const std::wstring& text);
    void AppendHistory();
    void FixHistoryPath();
    void ToggleCheckBox(host::Image& box);
    void RestingReset();
    void PrimeTray();
    void CloseRequested();
    void ShowPlatformLine();

    std::wstring historyPath_;
    int64_t recordNumber_ = 0;
    std::wstring lastLogged_;
    std::wstring platformName_;
    bool topmost_ = false;
};
