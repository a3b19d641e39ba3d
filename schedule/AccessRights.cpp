// Widening a job file's access list, and the account of the running process.
#include "schedule/AccessRights.h"

#include <windows.h>

#include <cstdio>
#include <utility>

namespace zyr::schedule {
namespace {

// A zeroed block of the process heap, freed when it goes.
class HeapBlock {
public:
    HeapBlock() = default;
    ~HeapBlock() {
        if (p_) HeapFree(GetProcessHeap(), 0, p_);
    }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    bool Allocate(size_t bytes) {
        p_ = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes ? bytes : 1);
        return p_ != nullptr;
    }
    template <class T = void>
    T* get() const { return static_cast<T*>(p_); }

private:
    void* p_ = nullptr;
};

class TokenHandle {
public:
    ~TokenHandle() {
        if (h_) CloseHandle(h_);
    }
    HANDLE* put() { return &h_; }
    HANDLE get() const { return h_; }

private:
    HANDLE h_ = nullptr;
};

// The ACE types whose SID sits right after the access mask.
bool HasPlainSid(const ACE_HEADER* ace) {
    switch (ace->AceType) {
    case ACCESS_ALLOWED_ACE_TYPE:
    case ACCESS_DENIED_ACE_TYPE:
    case SYSTEM_AUDIT_ACE_TYPE:
    case SYSTEM_ALARM_ACE_TYPE:
        return ace->AceSize >= sizeof(ACCESS_ALLOWED_ACE);
    default:
        return false;
    }
}

bool IsAccountAce(const ACE_HEADER* ace, PSID sid) {
    if (!HasPlainSid(ace)) return false;
    auto* allowed = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(ace);
    PSID aceSid = const_cast<DWORD*>(&allowed->SidStart);
    // The SID must fit in the ACE before it is compared.
    size_t room = ace->AceSize - offsetof(ACCESS_ALLOWED_ACE, SidStart);
    if (room < 8 || GetSidLengthRequired(*GetSidSubAuthorityCount(aceSid)) > room) return false;
    return EqualSid(aceSid, sid) != FALSE;
}

using SetControlFn = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, SECURITY_DESCRIPTOR_CONTROL, SECURITY_DESCRIPTOR_CONTROL);

std::wstring FailLine(const wchar_t* format) {
    wchar_t line[3000];
    swprintf(line, 3000, format, static_cast<int>(GetLastError()));
    return line;
}

// Steps 1 and 2 of AddAccessRights, then the descriptor steps; returns the line to report.
std::wstring WidenAccess(const std::wstring& account, const std::wstring& path, bool& granted) {
    auto fail = FailLine;

    // 1. The account's SID.
    DWORD sidSize = 0, domainSize = 0;
    SID_NAME_USE use;
    if (LookupAccountNameW(nullptr, account.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return fail(L"1 LookupAccountName() failed. Error %d\n");
    HeapBlock sid, domain;
    if (!sid.Allocate(sidSize)) return fail(L"2 HeapAlloc() failed. Error %d\n");
    if (!domain.Allocate(static_cast<size_t>(domainSize) * sizeof(wchar_t)))
        return fail(L"3 HeappAlloc() failed, Error %d\n");
    if (!LookupAccountNameW(nullptr, account.c_str(), sid.get(), &sidSize, domain.get<wchar_t>(), &domainSize, &use))
        return fail(L"4 LookupAccountName() failed. Error %d\n");

    // 2. The file's DACL.
    DWORD sdSize = 0;
    if (GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &sdSize) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return fail(L"5 GetFileSecurity() failed. Error %d\n");
    HeapBlock oldSd;
    if (!oldSd.Allocate(sdSize)) return fail(L"6 HeapAlloc() failed. Error %d\n");
    if (!GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, oldSd.get(), sdSize, &sdSize))
        return fail(L"7 GetFileSecurity() failed. Error %d\n");

    return detail::WidenDescriptor(sid.get(), oldSd.get(), [&path](PSECURITY_DESCRIPTOR newSd) {
        return SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, newSd) != FALSE;
    }, granted);
}

}  // namespace

namespace detail {

std::wstring WidenDescriptor(PSID sid, PSECURITY_DESCRIPTOR oldSd,
                             const std::function<bool(PSECURITY_DESCRIPTOR)>& store, bool& granted) {
    auto fail = FailLine;
    // 3. A new descriptor; the old DACL and its size.
    SECURITY_DESCRIPTOR newSd;
    if (!InitializeSecurityDescriptor(&newSd, SECURITY_DESCRIPTOR_REVISION))
        return fail(L"8 InitializeSEcurityDescriptor() failed. Error %d\n");
    BOOL present = FALSE, defaulted = FALSE;
    PACL oldDacl = nullptr;
    if (!GetSecurityDescriptorDacl(oldSd, &present, &oldDacl, &defaulted))
        return fail(L"9 GetSecurityDescriptorDacl() failed. Error %d\n");
    if (!present) oldDacl = nullptr;
    ACL_SIZE_INFORMATION info = {0, sizeof(ACL), 0};
    if (oldDacl && !GetAclInformation(oldDacl, &info, sizeof(info), AclSizeInformation))
        return fail(L"10 GetAclInformation() failed. Error %d\n");

    // 4. Room for the old entries and one more (header and mask, 8 bytes, plus the SID).
    DWORD newAclSize = info.AclBytesInUse + GetLengthSid(sid) + 8;
    HeapBlock newAcl;
    if (!newAcl.Allocate(newAclSize)) return fail(L"11 HeapAlloc() failed. Error %d\n");
    if (!InitializeAcl(newAcl.get<ACL>(), newAclSize, ACL_REVISION))
        return fail(L"12 InitializeAcl() failed. Error %d\n");

    // 5. The explicit entries, without those of the account.
    DWORD index = 0;
    for (; index < info.AceCount; ++index) {
        void* ace = nullptr;
        if (!GetAce(oldDacl, index, &ace)) return fail(L"13 GetACE() failed. Error %d\n");
        auto* header = static_cast<ACE_HEADER*>(ace);
        if (header->AceFlags & INHERITED_ACE) break;
        if (IsAccountAce(header, sid)) continue;
        if (!AddAce(newAcl.get<ACL>(), ACL_REVISION, MAXDWORD, ace, header->AceSize))
            return fail(L"14 AddAce() failed. Error %d\n");
    }
    // 6. The account's full access.
    if (!AddAccessAllowedAce(newAcl.get<ACL>(), ACL_REVISION, GENERIC_ALL, sid))
        return fail(L"15 AddAccessAllowedAce() failed. Error %d\n");
    // 7. The inherited entries, unchanged.
    for (; index < info.AceCount; ++index) {
        void* ace = nullptr;
        if (!GetAce(oldDacl, index, &ace)) return fail(L"16 GetAce() failed. Error %d\n");
        if (!AddAce(newAcl.get<ACL>(), ACL_REVISION, MAXDWORD, ace, static_cast<ACE_HEADER*>(ace)->AceSize))
            return fail(L"17 AddAce() failed. Error %d\n");
    }
    // 8.
    if (!SetSecurityDescriptorDacl(&newSd, TRUE, newAcl.get<ACL>(), FALSE))
        return fail(L"18 SetSecurityDescriptoreDacl() failed. Error %d\n");

    // 9. Keep the old descriptor's inheritance.
    HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
    auto setControl = advapi ? reinterpret_cast<SetControlFn>(
                                   reinterpret_cast<void*>(GetProcAddress(advapi, "SetSecurityDescriptorControl")))
                             : nullptr;
    if (setControl) {
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        if (!GetSecurityDescriptorControl(oldSd, &control, &revision))
            return fail(L"19 GetSecurityDescriptorControl() failed. Error %d\n");
        SECURITY_DESCRIPTOR_CONTROL bits = 0;
        if (control & SE_DACL_AUTO_INHERITED)
            bits = SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED;
        else if (control & SE_DACL_PROTECTED)
            bits = SE_DACL_PROTECTED;
        if (bits && !setControl(&newSd, bits, bits))
            return fail(L"20 SetSecurityDescriptorControl() failed. Error %d\n");
    }

    // 10.
    if (!store(&newSd))
        return fail(L"21 SetFileSecurity() failed. Error %d\n");
    granted = true;
    return L"Access Success";
}


}  // namespace detail

bool AddAccessRights(const std::wstring& account, const std::wstring& path, std::wstring* line) {
    bool granted = false;
    std::wstring text = WidenAccess(account, path, granted);
    OutputDebugStringW(text.c_str());
    if (line) *line = std::move(text);
    return granted;
}

bool GetProcessAccount(std::wstring& user, std::wstring& domain) {
    TokenHandle token;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, token.put())) {
        if (GetLastError() != ERROR_NO_TOKEN) return false;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
    }
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return false;
    HeapBlock buffer;
    if (!buffer.Allocate(size) || !GetTokenInformation(token.get(), TokenUser, buffer.get(), size, &size))
        return false;
    wchar_t name[1023], domainName[1023];
    DWORD nameSize = 1023, domainSize = 1023;
    SID_NAME_USE use;
    if (!LookupAccountSidW(nullptr, buffer.get<TOKEN_USER>()->User.Sid, name, &nameSize, domainName, &domainSize, &use))
        return false;
    user = name;
    domain = domainName;
    return true;
}

}  // namespace zyr::schedule
