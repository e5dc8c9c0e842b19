#include "tray/tray_tip.h"

namespace tray {

std::wstring PaddedTip(const std::wstring& text) {
    std::wstring tip = text;
    tip.push_back(L'\0');
    if (tip.size() < kTipChars) tip.append(kTipChars - tip.size(), L' ');
    tip.resize(kTipChars);
    return tip;
}

std::string TipField(const std::string& ansiPadded) {
    std::string field = ansiPadded;
    field.resize(kTipChars, '\0');
    // A text that fills the whole field still needs its terminator.
    if (field.find('\0') == std::string::npos) field[kTipChars - 1] = '\0';
    return field;
}

}  // namespace tray
