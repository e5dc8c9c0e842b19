#pragma once
// The main window: its controls, its state and its event handlers. The
// handlers are spread over the folders of the subsystems they belong to.
#include <string>

#include "host/form.h"
#include "host/frame.h"
#include "lookup/history_log.h"
#include "res/resource.h"


namespace mainwindow {
// The folder of the history file, the program's own; tests stand in for it
// with a folder of their own.
using HistoryFolderFn = std::wstring (*)();
extern HistoryFolderFn historyFolder;
}  // namespace mainwindow

class Frmmain : public host::DefaultInstance<Frmmain> {
public:
    Frmmain();
    // Hands the host what belongs to the program: its name for the error
    // box and its hand pointer. Once, before any form loads.
    static void PrepareHost();

    // The mail address of the author, shown and linked.
    static const wchar_t* const kMailAddress;

    // The controls and their design, front to back: name, place and size in
    // twips (frame children in frame coordinates), then the picture or the
    // caption, and what else a control has.
    host::Timer Timer1{*this, L"Timer1", 1000};
    host::Frame Frame1{*this, L"Frame1", {240, 1080, 4935, 2295}, L"归属地查询"};
    host::TextBox Text2{Frame1, L"Text2", {1560, 960, 3135, 855}, host::kMultiLine, 0, 8,
                        host::kInfoBk};
    host::TextBox Text1{Frame1, L"Text1", {1560, 360, 3135, 270}, host::kNumber, 8, 6, host::kInfoBk,
                        L"按回车键可以直接确认"};
    host::Label Lblhistory{Frame1, L"Lblhistory", {3570, 1935, 1200, 300}, L"保留历史记录",
                           host::kHandCursor};
    host::Image imghistory{Frame1, L"imghistory", {3300, 1920, 195, 195}, IDP_CHK_EMPTY};
    host::Image ImgMouse{Frame1, L"ImgMouse", {1560, 1920, 195, 195}, IDP_CHK_EMPTY};
    host::Label LblMouse{Frame1, L"LblMouse", {1800, 1935, 1455, 360}, L"用鼠标获取号码",
                         host::kHandCursor, L"点击选择"};
    host::Label Label2{Frame1, L"Label2", {240, 1200, 1095, 375}, L"电话号码信息查询结果："};
    host::Label Label1{Frame1, L"Label1", {240, 360, 1095, 375}, L"请输入8位电话号码："};
    // One line always: from October on, a long date and the time are wider
    // than the label, and wrapping would hide the time.
    host::Label Lbltime{*this, L"Lbltime", {3000, 4040, 2055, 255}, L"",
                          host::kSingleLine | host::kQuiet};
    host::Image Imgchk2{*this, L"Imgchk2", {5880, 1920, 195, 195}, IDP_CHK_TICKED};
    host::Image Imgchk1{*this, L"Imgchk1", {6240, 1920, 195, 195}, IDP_CHK_EMPTY};
    host::Label Lblversion{*this, L"Lblversion", {360, 4800, 1695, 375}, L""};
    host::Image Imgend1{*this, L"Imgend1", {4440, 4560, 1050, 285}, IDP_END_NORMAL};
    host::Image Imgok1{*this, L"Imgok1", {3120, 4560, 1050, 285}, IDP_OK_NORMAL};
    host::Image Imgclose2{*this, L"Imgclose2", {6240, 960, 285, 255}, IDP_CLOSE_HOVER};
    host::Image Imgmin2{*this, L"Imgmin2", {6240, 600, 285, 255}, IDP_MIN_HOVER};
    host::Image Imgclose1{*this, L"Imgclose1", {5760, 960, 300, 255}, IDP_CLOSE_NORMAL};
    host::Image Imgmin1{*this, L"Imgmin1", {5760, 600, 285, 255}, IDP_MIN_NORMAL};
    host::Image Imgclose0{*this, L"Imgclose0", {4965, 75, 300, 255}, IDP_CLOSE_NORMAL, L"关闭"};
    host::Image Imgmin0{*this, L"Imgmin0", {4680, 75, 285, 255}, IDP_MIN_NORMAL, L"最小化"};
    host::Label Lblmail{*this, L"Lblmail", {480, 3600, 1935, 255}, MailCaption(), 0, L"联系作者"};
    host::Label Lbltitle{*this, L"Lbltitle", {0, 120, 5280, 345}, L"霁岚通1.0.0829",
                         host::kCentred};
    host::Image Imgding2{*this, L"Imgding2", {6240, 1440, 240, 240}, IDP_DING_TOP};
    host::Image Imgding1{*this, L"Imgding1", {5760, 1440, 240, 240}, IDP_DING_NORMAL};
    host::Image Imgding0{*this, L"Imgding0", {120, 3980, 240, 240}, IDP_DING_NORMAL, L"窗体最前"};
    host::Label Lblabout{*this, L"Lblabout", {480, 4000, 2415, 255}, L"青枫软件系列", 0,
                         L"青枫软件系列：小巧、免费的桌面工具，欢迎来信交流"};
    host::Image Imgend2{*this, L"Imgend2", {4440, 4920, 1050, 285}, IDP_END_HOVER};
    host::Image Imgok2{*this, L"Imgok2", {3120, 4920, 1050, 285}, IDP_OK_HOVER};
    host::Image Imgend0{*this, L"Imgend0", {4125, 3600, 1050, 285}, IDP_END_NORMAL};
    host::Image Imgok0{*this, L"Imgok0", {2880, 3600, 1050, 285}, IDP_OK_NORMAL};
    host::Image Imgbody{*this, L"Imgbody", {0, 0, 5385, 4365}, IDP_BODY};

    // The window state to return to from the tray.
    int LastState = 0;

    // Query command (mainwindow/query.cpp).
    void Imgok0_Click();
    void Text1_KeyDown(int& keyCode, int shift);

    // History (mainwindow/history.cpp).
    void imghistory_Click();
    void Lblhistory_Click();
    void ImgMouse_Click();
    void LblMouse_Click();
    bool HistoryChecked() const;

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

protected:
    void Form_Load() override;    // mainwindow/startup.cpp
    void Form_Resize() override;  // mainwindow/tray_resize.cpp
    void Form_DpiChanged() override;  // mainwindow/startup.cpp
    void Form_Unload() override;

private:
    static const wchar_t* MailCaption();
    void ShapeWindow();
    void LookupExchange(const std::wstring& number);
    void ShowNotice(const std::wstring& text);
    // Logs the number the query checked, not what the box holds by now.
    void AppendHistory(const std::wstring& number);
    void FixHistoryPath();
    void ToggleCheckBox(host::Image& box);
    void RestingReset();
    void PrimeTray();
    static void RaiseNotice();
    void KeepNoticeOnScreen();
    void Form_Woken();
    void CloseRequested();
    void ShowPlatformLine();

    // The history of this run: without a path until start-up fixes it, so
    // that writing then fails with the notice, as for any file that cannot
    // be written.
    lookup::HistoryLog history_;
    std::wstring platformName_;
    bool topmost_ = false;
};
