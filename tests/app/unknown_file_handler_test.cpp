// The unknown-file handler keys: install, repeated install, uninstall, on Wine's registry.
#include "app/UnknownFileHandler.h"
#include "framework/RegKey.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zyr;

namespace {

const wchar_t* const kOpenAs = L"Unknown\\shell\\openas\\command";
const wchar_t* const kOpenDlg = L"Unknown\\shell\\opendlg\\command";
const std::wstring kApp = L"Zyr Disk Care Test";

struct Value {
    DWORD type = REG_NONE;
    std::wstring text;
    bool present = false;
    bool operator==(const Value&) const = default;
};

Value Read(const wchar_t* key, const wchar_t* name) {
    Value v;
    wchar_t buffer[2048] = {};
    DWORD size = sizeof(buffer);
    v.present = RegGetValueW(HKEY_CLASSES_ROOT, key, name, RRF_RT_ANY | RRF_NOEXPAND, &v.type, buffer, &size) ==
                ERROR_SUCCESS;
    if (v.present) v.text = buffer;
    return v;
}

void Write(const wchar_t* key, DWORD type, const std::wstring& text) {
    fw::RegKey k;
    ASSERT_EQ(k.Create(HKEY_CLASSES_ROOT, key, KEY_ALL_ACCESS), ERROR_SUCCESS);
    RegSetValueExW(k.get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

class UnknownFileHandler : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Unknown\\shell\\openas");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Unknown\\shell\\opendlg");
    }
    void TearDown() override { SetUp(); }
    const std::wstring folder_ = L"C:\\Program Files\\Zyr Disk Care";
    const std::wstring command_ = L"C:\\Program Files\\Zyr Disk Care\\noapp.exe %1";
};

TEST_F(UnknownFileHandler, InstallTwiceThenUninstallRestoresTheOriginals) {
    const std::wstring openAs = L"%SystemRoot%\\system32\\rundll32.exe %SystemRoot%\\system32\\shell32.dll,OpenAs_RunDLL %1";
    const std::wstring openDlg = L"C:\\windows\\system32\\rundll32.exe shell32.dll,OpenAs_RunDLL %1";
    Write(kOpenAs, REG_EXPAND_SZ, openAs);
    Write(kOpenDlg, REG_SZ, openDlg);
    const Value beforeAs = Read(kOpenAs, nullptr), beforeDlg = Read(kOpenDlg, nullptr);

    app::RegisterUnknownFileHandler(folder_, kApp);
    app::RegisterUnknownFileHandler(folder_, kApp);
    EXPECT_EQ(Read(kOpenAs, nullptr), (Value{REG_SZ, command_, true}));
    EXPECT_EQ(Read(kOpenDlg, nullptr), (Value{REG_SZ, command_, true}));
    // The backup is the first command found, with its type, not our own command.
    EXPECT_EQ(Read(kOpenAs, (kApp + L".old").c_str()), beforeAs);
    EXPECT_EQ(Read(kOpenDlg, (kApp + L".old").c_str()), beforeDlg);

    app::RestoreUnknownFileHandler(kApp);
    EXPECT_EQ(Read(kOpenAs, nullptr), beforeAs);
    EXPECT_EQ(Read(kOpenDlg, nullptr), beforeDlg);
    EXPECT_FALSE(Read(kOpenAs, (kApp + L".old").c_str()).present);
    EXPECT_FALSE(Read(kOpenDlg, (kApp + L".old").c_str()).present);

    app::RestoreUnknownFileHandler(kApp);  // a second uninstall changes nothing
    EXPECT_EQ(Read(kOpenAs, nullptr), beforeAs);
    EXPECT_EQ(Read(kOpenDlg, nullptr), beforeDlg);
}

TEST_F(UnknownFileHandler, MissingKeysAreNeitherCreatedNorTouched) {
    Write(kOpenAs, REG_SZ, L"original %1");
    app::RegisterUnknownFileHandler(folder_, kApp);
    EXPECT_EQ(Read(kOpenAs, nullptr).text, command_);
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CLASSES_ROOT, kOpenDlg, 0, KEY_READ, &key), ERROR_SUCCESS);
    app::RestoreUnknownFileHandler(kApp);
    EXPECT_EQ(Read(kOpenAs, nullptr).text, L"original %1");
}

TEST_F(UnknownFileHandler, LongCommandsAreKeptWhole) {
    const std::wstring longCommand = L"C:\\" + std::wstring(400, L'x') + L"\\open.exe %1";
    Write(kOpenAs, REG_SZ, longCommand);
    app::RegisterUnknownFileHandler(folder_, kApp);
    EXPECT_EQ(Read(kOpenAs, nullptr).text, command_);
    app::RestoreUnknownFileHandler(kApp);
    EXPECT_EQ(Read(kOpenAs, nullptr).text, longCommand);
}

}  // namespace
