// GDI helpers.
#include "framework/Gdi.h"
#include <cstddef>

LOGFONTW MessageLogFont(int weight, int height) {
    NONCLIENTMETRICSW metrics{};
    // The size without iPaddedBorderWidth (500) is understood by every system.
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    if (weight) font.lfWeight = weight;
    if (height) font.lfHeight = height;
    return font;
}
