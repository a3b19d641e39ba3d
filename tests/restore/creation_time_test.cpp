// The creation-time text of restore points, on fixed WMI texts and fixed time zones.
#include "restore/CreationTime.h"

#include <gtest/gtest.h>

namespace zyr::restore {
namespace {

constexpr LCID kEnglishUs = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

// Central Europe: UTC+1, summer time from the last Sunday of March to the last Sunday of October.
TIME_ZONE_INFORMATION CentralEurope() {
    TIME_ZONE_INFORMATION zone{};
    zone.Bias = -60;
    zone.StandardDate = {0, 10, 0, 5, 3, 0, 0, 0};
    zone.DaylightDate = {0, 3, 0, 5, 2, 0, 0, 0};
    zone.DaylightBias = -60;
    return zone;
}

// US Eastern: UTC-5, daylight time from the second Sunday of March to the first Sunday of November.
TIME_ZONE_INFORMATION UsEastern() {
    TIME_ZONE_INFORMATION zone{};
    zone.Bias = 300;
    zone.StandardDate = {0, 11, 0, 1, 2, 0, 0, 0};
    zone.DaylightDate = {0, 3, 0, 2, 2, 0, 0, 0};
    zone.DaylightBias = -60;
    return zone;
}

TIME_ZONE_INFORMATION Utc() { return TIME_ZONE_INFORMATION{}; }

TEST(CreationTime, ShowsTheUtcMomentInTheGivenZone) {
    // 14 March 2009 15:26:40 UTC: winter time in Europe, already daylight time in New York.
    const wchar_t* text = L"20090314152640.000000-000";
    EXPECT_EQ(CreationTimeText(text, CentralEurope(), kEnglishUs), L"3/14/2009 4:26:40 PM");
    EXPECT_EQ(CreationTimeText(text, UsEastern(), kEnglishUs), L"3/14/2009 11:26:40 AM");
    EXPECT_EQ(CreationTimeText(text, Utc(), kEnglishUs), L"3/14/2009 3:26:40 PM");
}

TEST(CreationTime, MovesAcrossDayAndYearBoundaries) {
    EXPECT_EQ(CreationTimeText(L"20090101003000.000000+000", UsEastern(), kEnglishUs), L"12/31/2008 7:30:00 PM");
    EXPECT_EQ(CreationTimeText(L"20091231233000.000000+000", CentralEurope(), kEnglishUs), L"1/1/2010 12:30:00 AM");
    // Summer time in Europe.
    EXPECT_EQ(CreationTimeText(L"20090714152640.000000+000", CentralEurope(), kEnglishUs), L"7/14/2009 5:26:40 PM");
}

TEST(CreationTime, HonoursAnExplicitUtcOffset) {
    // The same moment written as local time of a zone 60 minutes east of UTC, and 300 west.
    EXPECT_EQ(CreationTimeText(L"20090314162640.000000+060", Utc(), kEnglishUs), L"3/14/2009 3:26:40 PM");
    EXPECT_EQ(CreationTimeText(L"20090314102640.000000-300", Utc(), kEnglishUs), L"3/14/2009 3:26:40 PM");
}

TEST(CreationTime, ShortTextsGiveNoDateAndBadTextsSayInvalid) {
    struct Case {
        const wchar_t* text;
        const wchar_t* expected;
    } cases[] = {
        {L"", L""},
        {L"20090314152640", L""},             // 14 characters: too short
        {L"20090314152640.", L"3/14/2009 3:26:40 PM"},
        {L"2009031415264x.000000+000", kInvalidDateTime},
        {L"20091314152640.000000+000", kInvalidDateTime},  // month 13
        {L"20090230152640.000000+000", kInvalidDateTime},  // 30 February
        {L"20090314252640.000000+000", kInvalidDateTime},  // hour 25
        {L"00000314152640.000000+000", kInvalidDateTime},  // year 0
        {L"****************.******+***", kInvalidDateTime},
        {L"16010101000000.000000+999", kInvalidDateTime},  // before the first representable moment
    };
    for (const Case& c : cases) EXPECT_EQ(CreationTimeText(c.text, Utc(), kEnglishUs), c.expected) << c.text;
}

}  // namespace
}  // namespace zyr::restore
