// The two Windows-only calls of the engine: the debug privilege and the debugger output. Real on
// Windows (engine/win32), quiet stand-ins elsewhere.
#pragma once
#include <string>

namespace zyr::engine {

// Enables "SeDebugPrivilege" in the process token. Failures print one line to standard output
// and are otherwise ignored.
void EnableDebugPrivilege() noexcept;

// OutputDebugStringW. Natively the line goes to standard error when ZYR_DEBUG_OUTPUT is set.
void WriteDebugOutput(const std::wstring& line) noexcept;

}  // namespace zyr::engine
