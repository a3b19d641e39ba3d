// The reminder's 7-day rule on injected clocks, its stored date, and the text formatting.
#include <gtest/gtest.h>

#include "tray/core/ReminderRule.h"
#include "tray/core/TextFormat.h"

namespace zyr::tray {
namespace {

constexpr int64_t kHour = 3600, kDay = 86400;

// Local time `local` on a clock `offset` seconds ahead of UTC, as seconds since 1970 UTC.
int64_t At(const FixedOffsetClock& clock, int year, int month, int day, int hour, int minute = 0) {
    int64_t utc = 0;
    EXPECT_TRUE(clock.FromLocal({year, month, day, hour, minute, 0}, utc));
    return utc;
}

TEST(ReminderRule, CalendarConversionsAgreeWithKnownDates) {
    EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
    EXPECT_EQ(DaysFromCivil(2000, 3, 1), 11017);
    EXPECT_EQ(DaysFromCivil(2026, 12, 7), 20794);  // a Monday
    const LocalDateTime t = CivilFromSeconds(951782400 + 13 * kHour + 5 * 60 + 9);  // 2000-02-29 13:05:09
    EXPECT_EQ(t.year, 2000);
    EXPECT_EQ(t.month, 2);
    EXPECT_EQ(t.day, 29);
    EXPECT_EQ(t.hour, 13);
    EXPECT_EQ(t.minute, 5);
    EXPECT_EQ(t.second, 9);
    const LocalDateTime before = CivilFromSeconds(-1);
    EXPECT_EQ(before.year, 1969);
    EXPECT_EQ(before.hour, 23);
}

struct WeekCase {
    const char* name;
    int64_t offset;        // the clock's offset from UTC
    int shownDay, shownHour, shownMinute;  // December 2026; the 7th and 14th are Mondays
    int nowDay, nowHour, nowMinute;
    bool due;
};

class ReminderWeek : public ::testing::TestWithParam<WeekCase> {};

TEST_P(ReminderWeek, ShowsAgainFrom0500OfTheSameWeekdayAWeekLater) {
    const WeekCase& c = GetParam();
    const FixedOffsetClock clock(c.offset);
    const int64_t shown = At(clock, 2026, 12, c.shownDay, c.shownHour, c.shownMinute);
    const int64_t now = At(clock, 2026, 12, c.nowDay, c.nowHour, c.nowMinute);
    EXPECT_EQ(ReminderDue(shown, now, clock), c.due);
}

INSTANTIATE_TEST_SUITE_P(
    InjectedClocks, ReminderWeek,
    ::testing::Values(
        // Monday evening: not again before next Monday 05:00, from then on.
        WeekCase{"MondayEveningSundayNight", 0, 7, 20, 30, 13, 23, 59, false},
        WeekCase{"MondayEveningNextMonday0459", 0, 7, 20, 30, 14, 4, 59, false},
        WeekCase{"MondayEveningNextMonday0500", 0, 7, 20, 30, 14, 5, 0, true},
        WeekCase{"MondayEveningNextMondayNoon", 0, 7, 20, 30, 14, 12, 0, true},
        // 04:00 counts from 05:00 of that day: due from 05:00 seven days later, not at 04:00.
        WeekCase{"FourOClockSevenDaysLaterAt0400", 0, 7, 4, 0, 14, 4, 0, false},
        WeekCase{"FourOClockSevenDaysLaterAt0459", 0, 7, 4, 0, 14, 4, 59, false},
        WeekCase{"FourOClockSevenDaysLaterAt0500", 0, 7, 4, 0, 14, 5, 0, true},
        // The local day counts, not the UTC one.
        WeekCase{"EastOfUtcMondayEvening", 9 * kHour, 7, 20, 0, 14, 5, 0, true},
        WeekCase{"EastOfUtcBefore0500", 9 * kHour, 7, 20, 0, 14, 4, 59, false},
        WeekCase{"WestOfUtcLateMonday", -8 * kHour, 7, 23, 30, 14, 4, 59, false},
        WeekCase{"WestOfUtcNextMonday0500", -8 * kHour, 7, 23, 30, 14, 5, 0, true},
        WeekCase{"SameDay", 0, 7, 20, 30, 7, 21, 0, false},
        WeekCase{"MonthsLater", 0, 1, 12, 0, 31, 0, 0, true}),
    [](const ::testing::TestParamInfo<WeekCase>& info) { return std::string(info.param.name); });

TEST(ReminderRule, NoStoredDateOrAnUnusableOneIsDue) {
    const FixedOffsetClock clock;
    const int64_t now = At(clock, 2026, 12, 10, 12);
    EXPECT_TRUE(ReminderDue(std::nullopt, now, clock));
    // Before 1970 or later than now: not the time of a balloon already shown.
    EXPECT_TRUE(ReminderDue(-5 * kDay, now, clock));
    EXPECT_TRUE(ReminderDue(now + kDay, now, clock));
    EXPECT_TRUE(ReminderDue(INT64_MAX, now, clock));
    EXPECT_TRUE(ReminderDue(INT64_MIN, now, clock));
    EXPECT_FALSE(ReminderDue(now, now, clock));
    // A current time past year 9999 is no time to wait for.
    EXPECT_TRUE(ReminderDue(now, INT64_MAX, clock));
}

TEST(ReminderRule, AClockThatCannotConvertCountsAsNoDate) {
    class Broken : public ILocalClock {
    public:
        bool ToLocal(int64_t, LocalDateTime&) const override { return false; }
        bool FromLocal(const LocalDateTime&, int64_t&) const override { return false; }
    } broken;
    EXPECT_FALSE(DaysSinceReminderMorning(1000, 2000, broken).has_value());
    EXPECT_TRUE(ReminderDue(1000, 2000, broken));
}

TEST(ReminderRule, WholeDaysRoundTowardZero) {
    const FixedOffsetClock clock;
    const int64_t shown = At(clock, 2026, 12, 7, 20);
    const int64_t morning = At(clock, 2026, 12, 7, 5);
    EXPECT_EQ(DaysSinceReminderMorning(shown, morning + 15 * kHour, clock), 0);
    EXPECT_EQ(DaysSinceReminderMorning(shown, morning + 2 * kDay - 1, clock), 1);
    // Shown at 04:00: "now" may lie before that day's 05:00, a negative part day counts as 0.
    const int64_t early = At(clock, 2026, 12, 7, 4);
    EXPECT_EQ(DaysSinceReminderMorning(early, early + 30 * 60, clock), 0);
}

TEST(WarningDate, EightLittleEndianBytesRoundTripAndOtherSizesAreNoDate) {
    const std::vector<uint8_t> bytes = EncodeWarningDate(0x0000000065A1B2C3LL);
    ASSERT_EQ(bytes.size(), 8u);
    EXPECT_EQ(bytes[0], 0xC3);
    EXPECT_EQ(bytes[3], 0x65);
    EXPECT_EQ(bytes[7], 0x00);
    EXPECT_EQ(DecodeWarningDate(bytes.data(), bytes.size()), 0x65A1B2C3LL);
    EXPECT_EQ(DecodeWarningDate(EncodeWarningDate(-2).data(), 8), -2);
    const uint8_t four[4] = {1, 2, 3, 4};
    const uint8_t nine[9] = {};
    EXPECT_FALSE(DecodeWarningDate(four, 4).has_value());
    EXPECT_FALSE(DecodeWarningDate(nine, 9).has_value());
    EXPECT_FALSE(DecodeWarningDate(nullptr, 0).has_value());
}

TEST(TextFormat, ArgumentsReplaceTheirConversionsInOrder) {
    struct Case {
        const wchar_t* format;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"Drive %s is %d%% fragmented, limit %d%%.", L"Drive C: is 12% fragmented, limit 3%."},
        {L"%s %ld %I64d", L"C: 12 3"},
        {L"%s %d %d %d %s", L"C: 12 3 %d %s"},      // more conversions than arguments
        {L"%d %s", L"%d C:"},                       // a text where a number belongs stays for the %s
        {L"100%", L"100%"},                         // a lone "%" at the end
        {L"%x %5d", L"%x %5d"},                     // conversions it does not know stay as written
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatText(c.format, {L"C:", 12, 3}), c.expected) << c.format;
    EXPECT_EQ(FormatText(L"%u", {-1}), L"4294967295");
}

}  // namespace
}  // namespace zyr::tray
