// The duplicate scan options in the registry: defaults, the written values, missing folders.
#include "duplicates/win32/scan_settings.h"
#include "framework/Profile.h"
#include "tests/duplicates/test_tree.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace zyr::dup;

namespace {

class ScanSettings : public ::testing::Test {
protected:
    void SetUp() override {
        zyr::fw::SetRegistryKey(L"Tavrin Labs Tests", L"Duplicate Scan Settings");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, zyr::fw::ProfileKeyPath().c_str());
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, zyr::fw::ProfileKeyPath().c_str()); }

    // The value as the registry holds it, read without the settings store.
    static DWORD StoredInt(const wchar_t* name) {
        DWORD value = 0xFFFFFFFF, size = sizeof value;
        ::RegGetValueW(HKEY_CURRENT_USER, zyr::fw::ProfileKeyPath().c_str(), name, RRF_RT_REG_DWORD, nullptr, &value,
                       &size);
        return value;
    }
    static std::wstring StoredString(const wchar_t* name) {
        wchar_t value[512] = L"?";
        DWORD size = sizeof value;
        ::RegGetValueW(HKEY_CURRENT_USER, zyr::fw::ProfileKeyPath().c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size);
        return value;
    }
};

}  // namespace

TEST_F(ScanSettings, DefaultsWhenNothingIsStored) {
    const DuplicateScanOptions options = ReadDuplicateScanOptions();
    EXPECT_EQ(options.folder, L"");
    EXPECT_EQ(options.scanFolders, 1);
    EXPECT_EQ(options.scanAllFiles, 1);
    EXPECT_EQ(options.scanImage + options.scanAudio + options.scanVideo + options.scanDocs, 4);
    EXPECT_EQ(options.moveFolder, L"");
    EXPECT_EQ(ScanMaskFor(options), 16u);
}

TEST_F(ScanSettings, WrittenValuesAreStoredUnderTheirNamesAndReadBack) {
    test::TestTree tree;
    DuplicateScanOptions options;
    options.folder = tree.Path();
    options.scanFolders = 0;
    options.scanImage = 0;
    options.scanDocs = 0;
    WriteDuplicateScanOptions(options);
    WriteDuplicateScanAllFiles(0);
    WriteDuplicateMoveFolder(tree.Path());

    EXPECT_EQ(StoredString(L"DUPLICATE_FOLDER"), tree.Path());
    EXPECT_EQ(StoredInt(L"DUPLICATE_SCAN_FOLDERS"), 0u);
    EXPECT_EQ(StoredInt(L"DUPLICATE_SCAN_RADIO"), 0u);
    EXPECT_EQ(StoredInt(L"DUPLICATE_SCAN_IMAGE"), 0u);
    EXPECT_EQ(StoredInt(L"DUPLICATE_SCAN_AUDIO"), 1u);
    EXPECT_EQ(StoredInt(L"DUPLICATE_SCAN_VIDEO"), 1u);
    EXPECT_EQ(StoredInt(L"DUPLICATE_SCAN_DOCS"), 0u);
    EXPECT_EQ(StoredString(L"DUPLICATE_MOVE_FOLDER"), tree.Path());

    const DuplicateScanOptions read = ReadDuplicateScanOptions();
    EXPECT_EQ(read.folder, tree.Path());
    EXPECT_EQ(read.moveFolder, tree.Path());
    EXPECT_EQ(ScanMaskFor(read), uint32_t(1 | 2));  // audio and video
}

TEST_F(ScanSettings, AStoredFolderThatNoLongerExistsCountsAsNone) {
    std::wstring gone;
    {
        test::TestTree tree;
        gone = tree.Path();
        WriteDuplicateMoveFolder(gone);
        DuplicateScanOptions options;
        options.folder = gone;
        WriteDuplicateScanOptions(options);
    }
    const DuplicateScanOptions read = ReadDuplicateScanOptions();
    EXPECT_EQ(read.folder, L"");
    EXPECT_EQ(read.moveFolder, L"");
    EXPECT_EQ(StoredString(L"DUPLICATE_FOLDER"), gone);  // the stored text is left alone
}
