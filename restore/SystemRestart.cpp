// Restart privileges and the restart itself.
#include "restore/SystemRestart.h"

namespace zyr::restore {
namespace {

class TokenHandle {
public:
    TokenHandle() = default;
    ~TokenHandle() {
        if (handle_) CloseHandle(handle_);
    }
    TokenHandle(const TokenHandle&) = delete;
    TokenHandle& operator=(const TokenHandle&) = delete;
    HANDLE* put() { return &handle_; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

// TOKEN_PRIVILEGES with room for two entries.
struct TwoPrivileges {
    DWORD PrivilegeCount;
    LUID_AND_ATTRIBUTES Privileges[2];
};

}  // namespace

bool EnableRestartPrivileges() {
    TokenHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put())) return false;
    TwoPrivileges privileges{};
    privileges.PrivilegeCount = 2;
    if (!LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid) ||
        !LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[1].Luid))
        return false;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    privileges.Privileges[1].Attributes = SE_PRIVILEGE_ENABLED;
    return AdjustTokenPrivileges(token.get(), FALSE, reinterpret_cast<TOKEN_PRIVILEGES*>(&privileges), 0, nullptr,
                                 nullptr) != FALSE;
}

bool RestartForSystemRestore() {
    return EnableRestartPrivileges() &&
           ExitWindowsEx(EWX_REBOOT | EWX_FORCEIFHUNG, SHTDN_REASON_MINOR_SYSTEMRESTORE) != FALSE;
}

}  // namespace zyr::restore
