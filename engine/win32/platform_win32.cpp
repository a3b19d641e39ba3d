// The debug privilege and the debugger output through the Windows calls.
#include "engine/platform_calls.h"

#include <windows.h>

#include <cstdio>

namespace zyr::engine {

void EnableDebugPrivilege() noexcept {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        std::printf("OpenProcessToken() failed, Error = %d SeDebugPrivilege is not available.\n",
                    static_cast<int>(GetLastError()));
        return;
    }
    TOKEN_PRIVILEGES privileges{};
    if (!LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid)) {
        std::printf("LookupPrivilegeValue() failed, Error = %d SeDebugPrivilege is not available.\n",
                    static_cast<int>(GetLastError()));
        CloseHandle(token);
        return;
    }
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!AdjustTokenPrivileges(token, FALSE, &privileges, sizeof(privileges), nullptr, nullptr)) {
        std::printf("AdjustTokenPrivileges() failed, Error = %d SeDebugPrivilege is not available.\n",
                    static_cast<int>(GetLastError()));
    }
    CloseHandle(token);
}

void WriteDebugOutput(const std::wstring& line) noexcept { OutputDebugStringW(line.c_str()); }

}  // namespace zyr::engine
