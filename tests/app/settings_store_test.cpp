// The settings store on Wine's registry: defaults, round trips, sections and binary values.
#include "app/SettingsValues.h"
#include "framework/Profile.h"

#include <gtest/gtest.h>

using namespace zyr;

namespace {

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        fw::SetRegistryKey(L"Tavrin Labs Tests", L"Settings Store");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tavrin Labs Tests");
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tavrin Labs Tests"); }
};

TEST_F(SettingsStore, EmptyStoreGivesEveryDefault) {
    struct Case {
        settings::IntValue value;
        int expected;
    };
    const Case cases[] = {
        {settings::ConfirmExit, 1},        {settings::MinimizeOnExit, 1}, {settings::MinimizeOnExitSettings, 0},
        {settings::LaunchOnStartup, 0},    {settings::ShowMessages, 1},   {settings::ShowDefragWarning, 1},
        {settings::DefragWarningLimit, 3}, {settings::ScanCount, 0},      {settings::RunCount, 0},
        {settings::Width, 800},            {settings::Height, 580},       {settings::DuplicateScanRadio, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(settings::Read(c.value), c.expected) << std::wstring(c.value.name).size();
    EXPECT_EQ(settings::Read(settings::DefragWarningDrive), L"");
    std::vector<uint8_t> date{1, 2, 3};
    EXPECT_FALSE(fw::GetProfileBinary(L"", settings::DefragWarningDate, date));
    EXPECT_TRUE(date.empty());
}

TEST_F(SettingsStore, ValuesLandWhereTheyBelong) {
    EXPECT_TRUE(settings::Write(settings::DefragWarningLimit, 12));
    EXPECT_TRUE(settings::Write(settings::DefragWarningDrive, L"C:"));
    EXPECT_TRUE(fw::WriteProfileString(settings::HomeScreenIconsSection, L"0", L"Defrag"));
    EXPECT_EQ(settings::Read(settings::DefragWarningLimit), 12);
    EXPECT_EQ(settings::Read(settings::DefragWarningDrive), L"C:");

    // Checked through the raw registry: REG_DWORD in the application key, sections as subkeys.
    DWORD value = 0, size = sizeof(value), type = 0;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Tavrin Labs Tests\\Settings Store", L"DefragWarningLimit",
                           RRF_RT_ANY, &type, &value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 12u);
    wchar_t text[16];
    DWORD textSize = sizeof(text);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Tavrin Labs Tests\\Settings Store\\HomeScreenIcons", L"0",
                           RRF_RT_REG_SZ, nullptr, text, &textSize),
              ERROR_SUCCESS);
    EXPECT_STREQ(text, L"Defrag");
}

TEST_F(SettingsStore, BinaryValuesKeepTheirLengthAndZeroBytesReadAsEmpty) {
    const uint8_t when[8] = {0x80, 0x2d, 0x5e, 0x67, 0, 0, 0, 0};
    ASSERT_TRUE(fw::WriteProfileBinary(L"", settings::DefragWarningDate, when, 8));
    std::vector<uint8_t> read;
    ASSERT_TRUE(fw::GetProfileBinary(L"", settings::DefragWarningDate, read));
    EXPECT_EQ(read, std::vector<uint8_t>(when, when + 8));
    ASSERT_TRUE(fw::WriteProfileBinary(L"", settings::DefragWarningDate, nullptr, 0));
    ASSERT_TRUE(fw::GetProfileBinary(L"", settings::DefragWarningDate, read));
    EXPECT_TRUE(read.empty());
}

TEST_F(SettingsStore, WrongTypesReadAsDefaults) {
    ASSERT_TRUE(fw::WriteProfileString(L"", settings::ConfirmExit.name, L"0"));
    EXPECT_EQ(settings::Read(settings::ConfirmExit), 1);
    ASSERT_TRUE(settings::Write(settings::ScanCount, 4));
    EXPECT_EQ(fw::GetProfileString(L"", settings::ScanCount.name, L"none"), L"none");
}

}  // namespace
