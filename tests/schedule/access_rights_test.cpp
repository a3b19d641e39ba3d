// AddAccessRights and GetProcessAccount on real files and the real token of this process.
#include "schedule/AccessRights.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <memory>
#include <vector>

namespace zyr::schedule {
namespace {

struct LocalFreer {
    void operator()(void* p) const { LocalFree(p); }
};
using LocalSd = std::unique_ptr<void, LocalFreer>;

// One entry of a file's DACL as read back.
struct Ace {
    BYTE type, flags;
    ACCESS_MASK mask;
    std::wstring sid;  // "S-1-..."
};

std::wstring SidText(PSID sid) {
    LPWSTR text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text)) return {};
    std::wstring result = text;
    LocalFree(text);
    return result;
}

class AccessRightsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GetProcessAccount(user, domain));
        account = domain + L"\\" + user;
        // The account's SID, as the system looks it up.
        BYTE sid[SECURITY_MAX_SID_SIZE];
        DWORD sidSize = sizeof(sid), domainSize = 256;
        wchar_t domainName[256];
        SID_NAME_USE use;
        ASSERT_TRUE(LookupAccountNameW(nullptr, account.c_str(), sid, &sidSize, domainName, &domainSize, &use));
        accountSid = SidText(sid);

        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        path = std::wstring(folder) + L"zyr_access_" + std::to_wstring(GetCurrentProcessId()) + L".job";
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }
    void TearDown() override { DeleteFileW(path.c_str()); }

    // Sets the file's DACL from SDDL text ("D:..."), as another program could have left it.
    bool SetDacl(const wchar_t* sddl) {
        PSECURITY_DESCRIPTOR sd = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr)) return false;
        LocalSd owned(sd);
        return SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, sd) != FALSE;
    }

    // The DACL as stored; `present` false without one.
    std::vector<Ace> ReadDacl(bool* present = nullptr) {
        std::vector<Ace> aces;
        DWORD size = 0;
        GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
        std::vector<BYTE> sd(size ? size : 1);
        if (!GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, sd.data(), size, &size)) return aces;
        BOOL hasDacl = FALSE, defaulted = FALSE;
        PACL dacl = nullptr;
        GetSecurityDescriptorDacl(sd.data(), &hasDacl, &dacl, &defaulted);
        if (present) *present = hasDacl && dacl;
        if (!hasDacl || !dacl) return aces;
        for (DWORD i = 0; i < dacl->AceCount; ++i) {
            void* raw = nullptr;
            if (!GetAce(dacl, i, &raw)) break;
            auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(raw);
            aces.push_back({ace->Header.AceType, ace->Header.AceFlags, ace->Mask, SidText(&ace->SidStart)});
        }
        return aces;
    }

    std::wstring user, domain, account, accountSid, path;
};

TEST(ProcessAccount, NamesTheUserOfTheProcessToken) {
    std::wstring user, domain;
    ASSERT_TRUE(GetProcessAccount(user, domain));
    wchar_t name[256];
    DWORD size = 256;
    ASSERT_TRUE(GetUserNameW(name, &size));
    EXPECT_EQ(user, name);
    EXPECT_FALSE(domain.empty());
}

// The entries of a descriptor's DACL.
std::vector<Ace> AcesOf(PSECURITY_DESCRIPTOR sd, bool* present = nullptr) {
    std::vector<Ace> aces;
    BOOL hasDacl = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(sd, &hasDacl, &dacl, &defaulted);
    if (present) *present = hasDacl && dacl;
    if (!hasDacl || !dacl) return aces;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* raw = nullptr;
        if (!GetAce(dacl, i, &raw)) break;
        auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(raw);
        aces.push_back({ace->Header.AceType, ace->Header.AceFlags, ace->Mask, SidText(&ace->SidStart)});
    }
    return aces;
}

std::wstring Describe(const std::vector<Ace>& aces) {
    std::wstring text;
    for (const Ace& a : aces) {
        wchar_t entry[160];
        swprintf(entry, 160, L"(%ls %ls%ls %lx)", a.type == ACCESS_ALLOWED_ACE_TYPE ? L"allow" : L"deny",
                 a.flags & INHERITED_ACE ? L"inherited " : L"", a.sid.c_str(), static_cast<unsigned long>(a.mask));
        text += entry;
    }
    return text;
}

// The descriptor steps on descriptors made from SDDL: what Wine's files cannot keep.
TEST_F(AccessRightsTest, NewAccessListPutsTheAccountInFrontOfTheInheritedEntries) {
    const std::wstring me = accountSid;
    const std::wstring full = L"(allow " + me + L" 10000000)";
    struct Case {
        std::wstring old;       // SDDL of the file's descriptor
        std::wstring expected;  // the new DACL, described
        SECURITY_DESCRIPTOR_CONTROL control;  // inheritance bits of the new descriptor
    };
    const Case cases[] = {
        // An earlier explicit entry of the account goes; inherited ones stay behind the new one.
        {L"D:(A;;FR;;;WD)(D;;FW;;;" + me + L")(A;ID;FA;;;SY)(A;ID;FR;;;" + me + L")",
         L"(allow S-1-1-0 120089)" + full + L"(allow inherited S-1-5-18 1f01ff)(allow inherited " + me + L" 120089)", 0},
        {L"D:(A;;FA;;;" + me + L")(A;;FR;;;BU)(A;;FA;;;" + me + L")", L"(allow S-1-5-32-545 120089)" + full, 0},
        {L"O:SY", full, 0},                                    // no DACL at all
        {L"D:", full, 0},                                      // an empty one
        {L"D:(A;ID;FA;;;SY)", full + L"(allow inherited S-1-5-18 1f01ff)", 0},
        {L"D:P(A;;FA;;;SY)", L"(allow S-1-5-18 1f01ff)" + full, SE_DACL_PROTECTED},
        {L"D:AI(A;ID;FA;;;BA)", full + L"(allow inherited S-1-5-32-544 1f01ff)",
         SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED},
    };
    BYTE sid[SECURITY_MAX_SID_SIZE];
    PSID accountSidBinary = sid;
    {
        PSID converted = nullptr;
        ASSERT_TRUE(ConvertStringSidToSidW(me.c_str(), &converted));
        CopySid(sizeof(sid), accountSidBinary, converted);
        LocalFree(converted);
    }
    for (const Case& c : cases) {
        PSECURITY_DESCRIPTOR old = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(c.old.c_str(), SDDL_REVISION_1, &old, nullptr))
            << c.old.c_str();
        LocalSd owned(old);
        std::vector<Ace> written;
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        bool granted = false;
        std::wstring line = detail::WidenDescriptor(accountSidBinary, old, [&](PSECURITY_DESCRIPTOR sd) {
            written = AcesOf(sd);
            DWORD revision = 0;
            GetSecurityDescriptorControl(sd, &control, &revision);
            return true;
        }, granted);
        EXPECT_EQ(line, L"Access Success") << c.old.c_str();
        EXPECT_TRUE(granted);
        EXPECT_EQ(Describe(written), c.expected) << c.old.c_str();
        EXPECT_EQ(control & (SE_DACL_PROTECTED | SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED), c.control)
            << c.old.c_str();
    }

    // A refused write is reported as step 21.
    PSECURITY_DESCRIPTOR old = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:", SDDL_REVISION_1, &old, nullptr));
    LocalSd owned(old);
    bool granted = false;
    std::wstring line = detail::WidenDescriptor(accountSidBinary, old, [](PSECURITY_DESCRIPTOR) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }, granted);
    EXPECT_FALSE(granted);
    EXPECT_EQ(line, L"21 SetFileSecurity() failed. Error 5\n");
}

// On a real file Wine keeps no access list, only the owner's, group's and others' permission
// bits; what shows is that the account ends with full access after it had only read access.
TEST_F(AccessRightsTest, AccountGetsFullAccessToARealFile) {
    std::wstring readOnly = L"D:(A;;FR;;;" + accountSid + L")(A;;FR;;;WD)";
    ASSERT_TRUE(SetDacl(readOnly.c_str()));
    auto maskOfAccount = [this] {
        for (const Ace& a : ReadDacl())
            if (a.sid == accountSid && a.type == ACCESS_ALLOWED_ACE_TYPE) return a.mask;
        return ACCESS_MASK(0);
    };
    ASSERT_NE(maskOfAccount() & FILE_WRITE_DATA, FILE_WRITE_DATA);

    std::wstring line;
    ASSERT_TRUE(AddAccessRights(account, path, &line));
    EXPECT_EQ(line, L"Access Success");
    EXPECT_EQ(maskOfAccount() & FILE_ALL_ACCESS, static_cast<ACCESS_MASK>(FILE_ALL_ACCESS));
}

TEST_F(AccessRightsTest, FailuresNameTheirStepAndTheError) {
    std::wstring line;
    EXPECT_FALSE(AddAccessRights(account, path + L".missing", &line));
    EXPECT_EQ(line, L"5 GetFileSecurity() failed. Error 2\n");

    EXPECT_FALSE(AddAccessRights(L"NOSUCHDOMAIN\\nobody-at-all", path, &line));
    EXPECT_EQ(line.rfind(L"1 LookupAccountName() failed. Error ", 0), 0u) << line.c_str();
}

}  // namespace
}  // namespace zyr::schedule
