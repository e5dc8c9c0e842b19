// The query command: read the number, refuse empty or non-numeric input
// with a notice, otherwise show the exchange and log the query.
#include "host/text_services.h"
#include "lookup/exchange_table.h"
#include "mainwindow/frmmain.h"

namespace {
const wchar_t* const kEmptyNotice = L"电话号码输入有误，请重新输入！";
const wchar_t* const kInvalidNotice = L"你所输入的8位电话号码不合法！";
}  // namespace

void Frmmain::Imgok0_Click() {
    const std::wstring number = Text1.Text();
    // The next number replaces this one as it is typed: a full box would
    // refuse it, and Enter would show the old answer again. A press on 确定
    // that took the keys (a click, Space, Enter) gives them back to the box.
    Text1.SelectAll();
    if (HasFocus(Imgok0)) Text1.TakeFocus();
    if (number.empty()) {
        ShowNotice(kEmptyNotice);
        return;
    }
    if (!host::IsNumeric(number)) {
        ShowNotice(kInvalidNotice);
        return;
    }
    LookupExchange(number);
    if (HistoryChecked()) AppendHistory(number);
}

void Frmmain::Text1_KeyDown(int& keyCode, int /*shift*/) {
    if (keyCode == host::kKeyReturn) Imgok0_Click();
}

void Frmmain::LookupExchange(const std::wstring& number) {
    Text2.SetText(lookup::AnswerText(number));
}
