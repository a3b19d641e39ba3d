// Formatting and delivery of the engine's log lines.
#include "engine/defrag_log.h"

#include "engine/defrag_parent.h"
#include "engine/platform_calls.h"

#include <cstdarg>
#include <string>

namespace zyr::engine {

namespace {

constexpr size_t kMaxUnits = 4095;  // a 4096-unit buffer with its terminating zero

std::wstring Format(const wchar_t* format, va_list args) {
    std::wstring out;
    if (!format) return out;
    for (const wchar_t* p = format; *p && out.size() < kMaxUnits; ++p) {
        if (*p != L'%') {
            out += *p;
            continue;
        }
        const wchar_t conversion = *++p;
        if (conversion == L's') {
            const wchar_t* s = va_arg(args, const wchar_t*);
            out += s ? s : L"(null)";
        } else if (conversion == L'd') {
            out += std::to_wstring(va_arg(args, int));
        } else if (conversion == L'%') {
            out += L'%';
        } else {
            if (!conversion) break;
            out += L'%';
            out += conversion;
        }
    }
    if (out.size() > kMaxUnits) out.resize(kMaxUnits);
    return out;
}

}  // namespace

std::wstring FormatDefragMessage(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring line = Format(format, args);
    va_end(args);
    return line;
}

void LogDefragMessage(IDefragParent* parent, const wchar_t* format, ...) noexcept {
    va_list args;
    va_start(args, format);
    std::wstring line;
    bool formatted = true;
    try {
        line = Format(format, args);
    } catch (const std::exception&) {
        formatted = false;  // out of memory for a log line: the line is dropped
    }
    va_end(args);
    if (!formatted) return;
    WriteDebugOutput(line);
    if (parent) parent->OnProgress(line.c_str(), -1, kProgressLogLine, nullptr);
}

}  // namespace zyr::engine
