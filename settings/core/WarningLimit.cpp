// ParseWarningLimit: leading digits of a bounded text, without overflow.
#include "settings/core/WarningLimit.h"

#include <climits>

namespace zyr::settingspages {

int ParseWarningLimit(std::wstring_view text) {
    text = text.substr(0, kWarningLimitChars);
    long long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') break;
        value = value * 10 + (c - L'0');
        if (value > INT_MAX) return INT_MAX;
    }
    return static_cast<int>(value);
}

}  // namespace zyr::settingspages
