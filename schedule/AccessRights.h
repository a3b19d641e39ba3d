// File access for the job files: the account that may edit them, the account of this process.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace zyr::schedule {

// Grants `account` full access to the file at `path`: its explicit entry goes in front of the
// inherited entries and replaces any earlier explicit entry for the same account. Writes one
// line to the debugger output ("Access Success" or a numbered failure line) and, when `line`
// is given, also hands it back.
bool AddAccessRights(const std::wstring& account, const std::wstring& path, std::wstring* line = nullptr);

// The user and domain of the running thread (or, without a thread token, of the process).
bool GetProcessAccount(std::wstring& user, std::wstring& domain);

namespace detail {
// Steps 3 to 10 of AddAccessRights on a descriptor already read: builds the widened DACL for
// `sid` and hands the new descriptor to `store`. Returns the line to report; `granted` is set
// when `store` succeeded.
std::wstring WidenDescriptor(PSID sid, PSECURITY_DESCRIPTOR oldSd,
                             const std::function<bool(PSECURITY_DESCRIPTOR)>& store, bool& granted);
}  // namespace detail

}  // namespace zyr::schedule
