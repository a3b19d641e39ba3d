// CDefragReminder on the registry: the remembered drive, the stored date, the texts.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "app/ProductConfiguration.h"
#include "framework/Profile.h"
#include "framework/ResourceInstance.h"
#include "resources/ids/tray_ids.h"
#include "tray/DefragReminder.h"
#include "ui_test_support.h"

namespace zyr::tray {
namespace {

constexpr int64_t kDay = 86400;

class DefragReminderTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseResourceLibrary();
        UseOwnSettingsKey(L"DefragReminder");
        ResetSettings();
        clock_ = FixedOffsetClock(3600);
        clock_.FromLocal({2026, 12, 10, 12, 0, 0}, now);
    }
    void TearDown() override { ResetSettings(); }

    // Runs one daily check at `now`; the balloon it showed, if any.
    std::optional<ReminderBalloon> Check() {
        std::optional<ReminderBalloon> shown;
        CDefragReminder reminder([&](const ReminderBalloon& b) { shown = b; }, [this] { return now; }, &clock_);
        const bool showed = reminder.Check();
        EXPECT_EQ(showed, shown.has_value());
        return shown;
    }
    std::optional<std::vector<uint8_t>> StoredDate() {
        std::vector<uint8_t> data;
        if (!fw::GetProfileBinary(L"", L"DefragWarningDate", data)) return std::nullopt;
        return data;
    }
    void StoreDate(const std::vector<uint8_t>& bytes) {
        fw::WriteProfileBinary(L"", L"DefragWarningDate", bytes.data(), static_cast<uint32_t>(bytes.size()));
    }

    FixedOffsetClock clock_;
    int64_t now = 0;
};

TEST_F(DefragReminderTest, WithoutARememberedDriveNothingIsShownOrStored) {
    EXPECT_FALSE(Check().has_value());
    EXPECT_FALSE(StoredDate().has_value());
    fw::WriteProfileString(L"", L"DefragWarningDrive", L"");
    EXPECT_FALSE(Check().has_value());
    EXPECT_FALSE(StoredDate().has_value());
}

TEST_F(DefragReminderTest, ARememberedDriveShowsTextsAndStoresTheTimeAsEightBytes) {
    fw::WriteProfileString(L"", L"DefragWarningDrive", L"D:");
    fw::WriteProfileInt(L"", L"DefragWarningPercent", 27);
    fw::WriteProfileInt(L"", L"DefragWarningLimit", 9);
    const std::optional<ReminderBalloon> balloon = Check();
    ASSERT_TRUE(balloon.has_value());
    EXPECT_EQ(balloon->text, L"Drive D: is 27% fragmented (your limit: 9%). Click here to defragment it.");
    EXPECT_EQ(balloon->title, LoadResourceString(IDS_REMINDER_TITLE));
    EXPECT_EQ(StoredDate(), EncodeWarningDate(now));
    // Within the week nothing more; a week later from 05:00 again.
    now += 3 * kDay;
    EXPECT_FALSE(Check().has_value());
    int64_t nextWeek = 0;
    clock_.FromLocal({2026, 12, 17, 5, 0, 0}, nextWeek);
    now = nextWeek - 1;
    EXPECT_FALSE(Check().has_value());
    now = nextWeek;
    EXPECT_TRUE(Check().has_value());
    EXPECT_EQ(StoredDate(), EncodeWarningDate(nextWeek));
}

TEST_F(DefragReminderTest, APercentNeverStoredIsTheLimitPlusOne) {
    fw::WriteProfileString(L"", L"DefragWarningDrive", L"C:");
    const std::optional<ReminderBalloon> balloon = Check();
    ASSERT_TRUE(balloon.has_value());
    EXPECT_NE(balloon->text.find(L"C: is 4%"), std::wstring::npos) << balloon->text;
    EXPECT_NE(balloon->text.find(L"limit: 3%"), std::wstring::npos) << balloon->text;
}

TEST_F(DefragReminderTest, AStoredDateThatIsNotAUsableTimeCountsAsNone) {
    fw::WriteProfileString(L"", L"DefragWarningDrive", L"C:");
    const std::vector<std::vector<uint8_t>> unusable = {
        {},                                  // emptied by the defrag page
        {1, 2, 3, 4},                        // not 8 bytes
        std::vector<uint8_t>(12, 0),         // not 8 bytes
        EncodeWarningDate(-100),             // before 1970
        EncodeWarningDate(now + 30 * kDay),  // later than now
    };
    for (const auto& bytes : unusable) {
        StoreDate(bytes);
        EXPECT_TRUE(Check().has_value()) << bytes.size();
        EXPECT_EQ(StoredDate(), EncodeWarningDate(now));
    }
    StoreDate(EncodeWarningDate(now - 2 * kDay));
    EXPECT_FALSE(Check().has_value());
}

TEST(SystemLocalClock, ConvertsBothWaysAndRefusesTimesWithoutADate) {
    const SystemLocalClock clock;
    LocalDateTime local;
    ASSERT_TRUE(clock.ToLocal(1765000000, local));
    int64_t back = 0;
    ASSERT_TRUE(clock.FromLocal(local, back));
    EXPECT_EQ(back, 1765000000);
    EXPECT_FALSE(clock.ToLocal(-1, local));
    EXPECT_FALSE(clock.ToLocal(INT64_MAX, local));
    const int64_t now = CurrentUnixTime();
    EXPECT_GT(now, 1765000000);  // later than December 2025
}

}  // namespace
}  // namespace zyr::tray
