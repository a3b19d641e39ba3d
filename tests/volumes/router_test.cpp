// Binding drive letters to images and routing every other drive to the platform backend.
#include "engine/volume_api.h"
#include "engine/win32_defs.h"
#include "tests/volumes/fixture.h"
#include "volumes/ntfsimage/volume_router.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace zyr;

namespace {

// A platform with one drive, C:, that remembers what reached it.
class FakePlatform final : public vol::IVolumeApi {
public:
    std::vector<std::wstring> opened;
    vol::Handle CreateFile(const std::wstring& path, uint32_t, uint32_t, uint32_t, uint32_t) override {
        opened.push_back(path);
        if (path.rfind(L"C:", 0) == 0 || path.rfind(L"\\\\.\\C:", 0) == 0) return 0x40;
        error_ = win::ERROR_PATH_NOT_FOUND_;
        return vol::kInvalidHandle;
    }
    bool CloseHandle(vol::Handle h) override { return h == 0x40; }
    bool DeviceIoControl(vol::Handle, uint32_t, const void*, uint32_t, void*, uint32_t, uint32_t*) override {
        error_ = win::ERROR_NOT_SUPPORTED_;  // as under Wine
        return false;
    }
    uint32_t SetFilePointer(vol::Handle, int32_t, int32_t*, uint32_t) override { return 0; }
    bool ReadFile(vol::Handle, void*, uint32_t, uint32_t*) override { return false; }
    bool GetFileSizeEx(vol::Handle, int64_t* size) override { return (*size = 7, true); }
    vol::Handle FindFirstFile(const std::wstring&, vol::FindData*) override { return vol::kInvalidHandle; }
    bool FindNextFile(vol::Handle, vol::FindData*) override { return false; }
    bool FindClose(vol::Handle) override { return false; }
    uint32_t GetLastError() override { return error_; }
    void SetLastError(uint32_t e) override { error_ = e; }
    uint32_t GetLogicalDriveStrings(uint32_t length, wchar_t* buffer) override {
        static const wchar_t drives[] = L"C:\\\0Z:\\\0";
        if (length < 9) return 9;
        std::copy(drives, drives + 9, buffer);
        return 8;
    }
    uint32_t GetDriveType(const std::wstring&) override { return win::DRIVE_FIXED_; }
    bool GetVolumeInformation(const std::wstring&, std::wstring* name, uint32_t*, uint32_t*, uint32_t*, std::wstring* fs) override {
        if (name) *name = L"System";
        if (fs) *fs = L"NTFS";
        return true;
    }
    bool GetDiskFreeSpaceEx(const std::wstring&, uint64_t*, uint64_t*, uint64_t*) override { return false; }

private:
    uint32_t error_ = 0;
};

}  // namespace

TEST(ImageDrives, ParsesTheVariable) {
    std::vector<std::wstring> errors;
    const auto drives = vol::ParseImageDrives(L"V:=Z:\\tmp\\demo.img; w:=/tmp/a b.img;;junk;V:=again;Q=x", &errors);
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[0], (std::pair<wchar_t, std::wstring>{L'V', L"Z:\\tmp\\demo.img"}));
    EXPECT_EQ(drives[1], (std::pair<wchar_t, std::wstring>{L'W', L"/tmp/a b.img"}));
    EXPECT_EQ(errors, (std::vector<std::wstring>{L"junk", L"V:=again", L"Q=x"}));
    EXPECT_TRUE(vol::ParseImageDrives(L"").empty());
}

TEST(VolumeRouter, ImageDrivesBesidePlatformDrives) {
    test::ImageCopy image("mixed");
    auto images = std::make_unique<vol::ImageVolumeApi>();
    ASSERT_EQ(images->Mount(L'V', image.wpath()), 0u);
    FakePlatform platform;
    vol::VolumeRouter router(std::move(images), &platform);

    wchar_t drives[16] = {};
    EXPECT_EQ(router.GetLogicalDriveStrings(4, drives), 13u);  // too short: the size needed
    EXPECT_EQ(router.GetLogicalDriveStrings(16, drives), 12u);
    EXPECT_EQ(std::wstring(drives, 12), std::wstring(L"C:\\\0V:\\\0Z:\\\0", 12));
    EXPECT_EQ(router.GetDriveType(L"V:\\"), win::DRIVE_FIXED_);

    std::wstring label, fs;
    uint32_t serial = 0;
    ASSERT_TRUE(router.GetVolumeInformation(L"V:\\", &label, &serial, nullptr, nullptr, &fs));
    EXPECT_EQ(label, L"mixed");
    EXPECT_EQ(fs, L"NTFS");
    ASSERT_TRUE(router.GetVolumeInformation(L"C:\\", &label, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(label, L"System");

    uint64_t avail = 0, total = 0, free = 0;
    ASSERT_TRUE(router.GetDiskFreeSpaceEx(L"V:\\", &avail, &total, &free));
    const std::string info = test::Shell("ntfscluster -i " + test::Quote(image.path()));
    EXPECT_NE(info.find("bytes of free space     : " + std::to_string(free)), std::string::npos) << info;
    EXPECT_EQ(total % 4096, 0u);

    // Paths and handles go to the backend that owns them; the last error follows the call.
    const vol::Handle v = router.CreateFile(L"\\\\.\\V:", win::GENERIC_READ_, 3, win::OPEN_EXISTING_, 0);
    const vol::Handle c = router.CreateFile(L"\\\\.\\C:", win::GENERIC_READ_, 3, win::OPEN_EXISTING_, 0);
    ASSERT_NE(v, vol::kInvalidHandle);
    EXPECT_EQ(c, 0x40);
    EXPECT_EQ(platform.opened, std::vector<std::wstring>{L"\\\\.\\C:"});
    win::NTFS_VOLUME_DATA_BUFFER d{};
    router.SetLastError(42);
    EXPECT_TRUE(router.DeviceIoControl(v, win::FSCTL_GET_NTFS_VOLUME_DATA_, nullptr, 0, &d, sizeof d, nullptr));
    EXPECT_EQ(router.GetLastError(), 42u);
    EXPECT_FALSE(router.DeviceIoControl(c, win::FSCTL_GET_NTFS_VOLUME_DATA_, nullptr, 0, &d, sizeof d, nullptr));
    EXPECT_EQ(router.GetLastError(), win::ERROR_NOT_SUPPORTED_);
    EXPECT_EQ(router.CreateFile(L"\\\\?\\V:\\nothing", win::GENERIC_READ_, 7, win::OPEN_EXISTING_, 0), vol::kInvalidHandle);
    EXPECT_EQ(router.GetLastError(), win::ERROR_FILE_NOT_FOUND_);
    EXPECT_TRUE(router.CloseHandle(v));
    EXPECT_TRUE(router.CloseHandle(c));
}

TEST(VolumeRouter, StartUpBindsTheDrivesOfTheEnvironment) {
    test::ImageCopy image("small-clusters");
    ::setenv("ZYR_IMAGE_DRIVES", ("x:=" + image.path() + ";Y:=/nonexistent/image.img").c_str(), 1);
    vol::IVolumeApi& api = vol::BindVolumesFromEnvironment();
    vol::SetVolumeApi(&api);
    wchar_t drives[8] = {};
    EXPECT_EQ(vol::VolumeApi().GetLogicalDriveStrings(8, drives), 4u);  // natively only the image drive
    EXPECT_EQ(std::wstring(drives), L"X:\\");
    std::wstring label;
    EXPECT_TRUE(vol::VolumeApi().GetVolumeInformation(L"X:\\", &label, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(label, L"small-clusters");
    EXPECT_EQ(vol::VolumeApi().GetDriveType(L"Y:\\"), win::DRIVE_NO_ROOT_DIR_);
    vol::SetVolumeApi(nullptr);
}
