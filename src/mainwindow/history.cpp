// The query history log and the two picture check boxes.
#include "host/app.h"
#include "host/error.h"
#include "host/text_file.h"
#include "host/text_services.h"
#include "lookup/history_log.h"
#include "lookup/history_rules.h"
#include "mainwindow/frmmain.h"

namespace {
const wchar_t* const kHistoryFailedNotice = L"历史记录无法写入，本次查询未被记录！";
}

namespace mainwindow {
HistoryFolderFn historyFolder = host::App::Path;
}

void Frmmain::FixHistoryPath() {
    history_ = lookup::HistoryLog(lookup::HistoryPath(mainwindow::historyFolder()));
}

bool Frmmain::HistoryChecked() const {
    return imghistory.Picture().Handle() == Imgchk2.Picture().Handle();
}

void Frmmain::ToggleCheckBox(host::Image& box) {
    // The state is the picture object shown; the box gets the template's
    // object itself so the next comparison recognises it.
    if (box.Picture().Handle() == Imgchk2.Picture().Handle())
        box.SetPicture(Imgchk1.Picture());
    else
        box.SetPicture(Imgchk2.Picture());
}

void Frmmain::imghistory_Click() { ToggleCheckBox(imghistory); }
void Frmmain::Lblhistory_Click() { ToggleCheckBox(imghistory); }
void Frmmain::ImgMouse_Click() { ToggleCheckBox(ImgMouse); }
void Frmmain::LblMouse_Click() { ToggleCheckBox(ImgMouse); }

void Frmmain::AppendHistory(const std::wstring& number) {
    try {
        host::AppendFile file(history_.Path());  // creates a missing file
        if (history_.Repeats(number)) return;
        file.Write(host::ToAnsi(history_.NextRecord(number)), true);
        file.Close();
        history_.Logged(number);
    } catch (const host::RuntimeError&) {
        // The answer stays on screen; the counters stay, so the next query
        // tries again.
        ShowNotice(kHistoryFailedNotice);
    }
}
