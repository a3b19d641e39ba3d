// FormatText: the few printf conversions resource texts use, checked against the arguments.
#include "tray/core/TextFormat.h"

#include <vector>

namespace zyr::tray {

std::wstring FormatText(std::wstring_view format, std::initializer_list<TextArg> args) {
    const std::vector<TextArg> list(args);
    size_t next = 0;
    std::wstring out;
    out.reserve(format.size() + 16);
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%' || i + 1 == format.size()) {
            out += format[i];
            continue;
        }
        if (format[i + 1] == L'%') {
            out += L'%';
            ++i;
            continue;
        }
        size_t j = i + 1;
        if (format.substr(j, 3) == L"I64") j += 3;
        else while (j < format.size() && format[j] == L'l') ++j;
        if (j >= format.size()) {
            out += format.substr(i);
            break;
        }
        const wchar_t conversion = format[j];
        const bool wantsText = conversion == L's';
        const bool wantsNumber = conversion == L'd' || conversion == L'i' || conversion == L'u';
        if ((wantsText || wantsNumber) && next < list.size() && list[next].isText == wantsText) {
            const TextArg& arg = list[next++];
            if (wantsText) out += arg.text;
            else if (conversion == L'u') out += std::to_wstring(static_cast<uint64_t>(arg.number) & 0xFFFFFFFFull);
            else out += std::to_wstring(arg.number);
            i = j;
            continue;
        }
        out += format[i];
    }
    return out;
}

}  // namespace zyr::tray
