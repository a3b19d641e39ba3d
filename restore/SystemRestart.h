// Restarting the computer after a roll-back request.
#pragma once
#include <windows.h>

namespace zyr::restore {

// Enables SeDebugPrivilege and SeShutdownPrivilege for this process in one call.
bool EnableRestartPrivileges();

// Enables the privileges and asks Windows to restart (forcing hung programs, reason: system
// restore). Never call it in a test: under Wine it ends the whole session.
bool RestartForSystemRestore();

}  // namespace zyr::restore
