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

// Without a path until start-up fixes it: writing then fails with the
// notice, as for any file that cannot be written.
lookup::HistoryLog& Frmmain::History() { return history_; }

const std::wstring& Frmmain::HistoryFilePath() { return History().Path(); }
int64_t Frmmain::RecordNumber() { return History().RecordNumber(); }
const std::wstring& Frmmain::LastLoggedNumber() { return History().LastLogged(); }

void Frmmain::FixHistoryPath() {
    History() = lookup::HistoryLog(lookup::HistoryPath(host::App::Path()));
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

void Frmmain::AppendHistory() {
    try {
        lookup::HistoryLog& log = History();
        host::AppendFile file(log.Path());  // creates a missing file
        const std::wstring number = Text1.Text();
        if (log.Repeats(number)) return;
        file.Write(host::ToAnsi(log.NextRecord(number)));
        file.Close();
        log.Logged(number);
    } catch (const host::RuntimeError&) {
        // The answer stays on screen; the counters stay, so the next query
        // tries again.
        ShowNotice(kHistoryFailedNotice);
    }
}
