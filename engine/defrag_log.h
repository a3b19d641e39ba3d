// The engine's log line: to the debugger output and, as progress kind 4, to the parent.
#pragma once
#include <string>

namespace zyr::engine {

class IDefragParent;

// printf-style into 4096 UTF-16 units: %s a wide string (const wchar_t*), %d a 32-bit int, %%.
void LogDefragMessage(IDefragParent* parent, const wchar_t* format, ...) noexcept;
// The formatting alone (for tests and callers that format first).
std::wstring FormatDefragMessage(const wchar_t* format, ...);

}  // namespace zyr::engine
