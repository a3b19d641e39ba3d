// Size texts and the page's own schedule sentences.
#include "schedule/core/SchedulePageLayout.h"
#include "schedule/core/ScheduleText.h"

#include <gtest/gtest.h>

namespace zyr::schedule {
namespace {

TEST(FormatSize, LimitsAreExclusive) {
    const struct {
        int64_t bytes;
        const wchar_t* text;
    } cases[] = {
        {-5, L"-5 Bytes"},
        {0, L"0 Bytes"},
        {1024, L"1024 Bytes"},
        {1025, L"1.00 KB"},
        {1048576, L"1024.00 KB"},
        {1048577, L"1.00 MB"},
        {1073741824, L"1024.00 MB"},
        {1073741825, L"1.00 GB"},
        {500107862016, L"465.76 GB"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatSize(c.bytes), c.text) << c.bytes;
}

TEST(ScheduleSentence, NamesTheDaysMondayFirstAndTheTime) {
    EXPECT_EQ(WeeklySentence(0x22, 2, 15), L"Every Mon, Fri at 02:15");
    EXPECT_EQ(WeeklySentence(0x41, 23, 45), L"Every Sat, Sun at 23:45");
    EXPECT_EQ(WeeklySentence(0x7F, 0, 0), L"Every day at 00:00");
    EXPECT_EQ(WeeklySentence(0x8, 4, 5, 3), L"Every Wed, every 3 weeks, at 04:05");
    EXPECT_EQ(WeeklySentence(0, 4, 5), L"Every week at 04:05");
    EXPECT_EQ(DailySentence(1, 4, 30), L"Every day at 04:30");
    EXPECT_EQ(DailySentence(3, 4, 30), L"Every 3 days at 04:30");
}

TEST(SchedulePageLayout, ListsSitInsideTheirPanelsAndButtonsStandRightAlignedBelow) {
    // A skin whose panels keep 4 pixels of frame and a 20-pixel band at the top.
    auto inner = [](const PageRect& r) { return PageRect{r.left + 4, r.top + 20, r.right - 4, r.bottom - 4}; };
    SchedulePageLayout l = LayoutPanels(800, inner, 60, 70, 80);
    EXPECT_EQ(l.drivesPanel, (PageRect{1, 100, 799, 200}));
    EXPECT_EQ(l.schedulesPanel, (PageRect{1, 210, 799, 410}));
    EXPECT_EQ(l.driveList, (PageRect{15, 130, 785, 186}));
    EXPECT_EQ(l.scheduleList, (PageRect{15, 240, 785, 396}));
    EXPECT_EQ(l.deleteButton, (PageRect{719, 418, 799, 443}));
    EXPECT_EQ(l.editButton, (PageRect{641, 418, 711, 443}));
    EXPECT_EQ(l.addButton, (PageRect{573, 418, 633, 443}));
}

}  // namespace
}  // namespace zyr::schedule
