// The volume door before and after binding.
#include "engine/volume_api.h"
#include "engine/win32_defs.h"

#include <gtest/gtest.h>

using namespace zyr;

TEST(VolumeApi, UnboundDoorHasNoVolumes) {
    vol::SetVolumeApi(nullptr);
    auto& api = vol::VolumeApi();
    EXPECT_EQ(api.CreateFile(L"\\\\.\\C:", win::GENERIC_READ_, 3, win::OPEN_EXISTING_, 0), vol::kInvalidHandle);
    EXPECT_EQ(api.GetLastError(), win::ERROR_PATH_NOT_FOUND_);
    wchar_t drives[8] = {L'x'};
    EXPECT_EQ(api.GetLogicalDriveStrings(8, drives), 0u);
    EXPECT_EQ(drives[0], 0);
}
