// The drive list's size texts and thresholds, the drive of a row, the free-space and schedule rules.
#include "defragui/model/DriveText.h"

#include <gtest/gtest.h>

using namespace zyr::defragui;

TEST(DriveText, SizesSwitchUnitAboveEachThreshold) {
    struct Case {
        int64_t bytes;
        const wchar_t* text;
    };
    const Case cases[] = {
        {0, L"0 Bytes"},
        {1024, L"1024 Bytes"},  // at the threshold: not above it
        {1025, L"1.00 KB"},
        {1048576, L"1024.00 KB"},
        {1048577, L"1.00 MB"},
        {1073741824, L"1024.00 MB"},
        {1073741825, L"1.00 GB"},
        {5LL * 1073741824 + 536870912, L"5.50 GB"},
        {4LL << 40, L"4096.00 GB"},
        {-5, L"-5 Bytes"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatSize(c.bytes), c.text) << c.bytes;
}

TEST(DriveText, SharesUseOneDecimalOfTheTotal) {
    EXPECT_EQ(FormatSizeShare(3LL * 1073741824 / 2, 4LL * 1073741824), L"1.50 GB (37.5%)");
    EXPECT_EQ(FormatSizeShare(2048, 4096), L"2.00 KB (50.0%)");
    EXPECT_EQ(FormatSizeShare(100, 300), L"100 Bytes (33.3%)");
    EXPECT_EQ(FormatSizeShare(0, 0), L"0 Bytes (0.0%)");  // a drive without a size
}

TEST(DriveText, DriveIsTakenAfterTheLastParenthesis) {
    EXPECT_EQ(DriveOfRowText(RowText(L"System", L"C:\\")), L"C:");
    EXPECT_EQ(DriveOfRowText(L"Data (old) (D:\\)"), L"D:");
    EXPECT_EQ(DriveOfRowText(L" (V:\\)"), L"V:");
    EXPECT_EQ(DriveOfRowText(L"no drive"), L"");
    EXPECT_EQ(DriveOfRowText(L"cut (E"), L"");
}

TEST(DriveText, RoomToDefragmentNeedsMoreThanFifteenPercentFree) {
    EXPECT_FALSE(HasRoomToDefragment(15, 100));
    EXPECT_FALSE(HasRoomToDefragment(159, 1000));  // 15.9 % truncates to 15
    EXPECT_TRUE(HasRoomToDefragment(16, 100));
    EXPECT_FALSE(HasRoomToDefragment(10, 0));
    // free x 100 beyond 64 bits still compares correctly.
    EXPECT_TRUE(HasRoomToDefragment(UINT64_MAX / 2, UINT64_MAX));
}

TEST(DriveText, ScheduledDrivesAreThoseNotSkipped) {
    EXPECT_TRUE(ScheduledDriveTicked(L"C:", L""));
    EXPECT_FALSE(ScheduledDriveTicked(L"D:", L"DE"));
    EXPECT_FALSE(ScheduledDriveTicked(L"e:", L"DE"));
    EXPECT_TRUE(ScheduledDriveTicked(L"V:", L"cz"));
    EXPECT_FALSE(ScheduledDriveTicked(L"", L""));
}
