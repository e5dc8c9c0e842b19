#include "contrast.h"

namespace host {

SystemParametersFn systemParameters = SystemParametersInfoW;

namespace {
bool g_read = false;
bool g_on = false;
}  // namespace

void RereadHighContrast() {
    HIGHCONTRASTW hc = {};
    hc.cbSize = sizeof hc;
    g_on = systemParameters(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
    g_read = true;
}

bool HighContrast() {
    if (!g_read) RereadHighContrast();
    return g_on;
}

}  // namespace host
