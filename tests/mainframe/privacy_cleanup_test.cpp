// Privacy cleanup on real folders: links are never followed, held files stay, the rest goes.
#include <gtest/gtest.h>
#include <string>
#include "app/PrivacyCleanup.h"

namespace {

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteFile(const std::wstring& path, const char* text = "data") {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot create a fixture file";
    DWORD written = 0;
    ::WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
    ::CloseHandle(file);
}

// The host's path of a Windows path (under Wine), or "".
std::string UnixPath(const std::wstring& path) {
    using Fn = char*(CDECL*)(const wchar_t*);
    auto toUnix = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return "";
    char* unix = toUnix(path.c_str());
    std::string result = unix ? unix : "";
    if (unix) ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

// A directory link at `link` to `target`: a Windows symbolic link where the system makes one,
// else (under Wine) a link of the host's file system made by its own ln.
bool MakeDirectoryLink(const std::wstring& link, const std::wstring& target) {
    const bool wine = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    if (!wine) return ::CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY | 2) && Exists(link + L"\\precious.txt");
    const std::string from = UnixPath(target), to = UnixPath(link);
    if (from.empty() || to.empty()) return false;
    // The host program gets the words of the command line as they are (no quoting).
    std::wstring command = L"ln -s " + std::wstring(from.begin(), from.end()) + L" " + std::wstring(to.begin(), to.end());
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "ln did not start: " << ::GetLastError();
        return false;
    }
    ::WaitForSingleObject(process.hProcess, 10000);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    for (int i = 0; i < 100 && !Exists(link + L"\\precious.txt"); ++i) ::Sleep(20);
    if (!Exists(link + L"\\precious.txt")) ADD_FAILURE() << "ln exit code " << code;
    if (!Exists(link + L"\\precious.txt")) ADD_FAILURE() << "ln made no link from " << from << " to " << to;
    return Exists(link + L"\\precious.txt");
}

class PrivacyCleanupTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        root = std::wstring(temp) + L"zyr-privacy-" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(root.c_str(), nullptr);
        precious = root + L"\\precious";
        junk = root + L"\\temp";
        ::CreateDirectoryW(precious.c_str(), nullptr);
        ::CreateDirectoryW(junk.c_str(), nullptr);
        WriteFile(precious + L"\\precious.txt", "keep me");
        ::CreateDirectoryW((precious + L"\\inner").c_str(), nullptr);
        WriteFile(precious + L"\\inner\\deep.txt", "keep me too");
    }
    void TearDown() override {
        ::RemoveDirectoryW((junk + L"\\link").c_str());
        ::DeleteFileW((junk + L"\\link").c_str());
        DeleteFolderContents(root, true);
    }
    std::wstring root, precious, junk;
};

TEST_F(PrivacyCleanupTest, DeletesEverythingButKeepsTheTopFolder) {
    WriteFile(junk + L"\\a.tmp");
    ::CreateDirectoryW((junk + L"\\sub").c_str(), nullptr);
    ::CreateDirectoryW((junk + L"\\sub\\deeper").c_str(), nullptr);
    WriteFile(junk + L"\\sub\\b.tmp");
    WriteFile(junk + L"\\sub\\deeper\\c.tmp");
    ::CreateDirectoryW((junk + L"\\empty").c_str(), nullptr);
    EXPECT_EQ(DeleteFolderContents(junk, false), 0u);
    EXPECT_TRUE(Exists(junk));
    EXPECT_FALSE(Exists(junk + L"\\a.tmp"));
    EXPECT_FALSE(Exists(junk + L"\\sub"));
    EXPECT_FALSE(Exists(junk + L"\\empty"));
}

TEST_F(PrivacyCleanupTest, NeverFollowsALinkToAnotherFolder) {
    ASSERT_TRUE(MakeDirectoryLink(junk + L"\\link", precious)) << "no way to make a directory link here";
    WriteFile(junk + L"\\a.tmp");
    DeleteFolderContents(junk, false);
    EXPECT_TRUE(Exists(precious + L"\\precious.txt"));
    EXPECT_TRUE(Exists(precious + L"\\inner\\deep.txt"));
    EXPECT_TRUE(Exists(junk + L"\\link")) << "the link itself is left alone too";
    EXPECT_FALSE(Exists(junk + L"\\a.tmp"));
}

TEST_F(PrivacyCleanupTest, AFileHeldOpenStaysWithItsFolderAndTheRestGoes) {
    ::CreateDirectoryW((junk + L"\\busy").c_str(), nullptr);
    WriteFile(junk + L"\\busy\\held.log");
    WriteFile(junk + L"\\busy\\free.log");
    WriteFile(junk + L"\\other.tmp");
    HANDLE held = ::CreateFileW((junk + L"\\busy\\held.log").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const DWORD result = DeleteFolderContents(junk, false);
    EXPECT_NE(result, 0u) << "the last failure is reported";
    EXPECT_TRUE(Exists(junk + L"\\busy\\held.log"));
    EXPECT_TRUE(Exists(junk + L"\\busy"));
    EXPECT_FALSE(Exists(junk + L"\\busy\\free.log"));
    EXPECT_FALSE(Exists(junk + L"\\other.tmp"));
    ::CloseHandle(held);
}

TEST_F(PrivacyCleanupTest, AMissingFolderCannotBeListed) {
    EXPECT_EQ(DeleteFolderContents(root + L"\\does-not-exist", false), 13u);
    EXPECT_EQ(DeleteFolderContents(junk + L"\\", false), 0u) << "a trailing backslash is fine, an empty folder is no error";
}

}  // namespace
