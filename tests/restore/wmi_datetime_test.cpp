// Reading WMI date-time texts (portable; runs natively and under Wine).
#include "restore/core/WmiDateTime.h"

#include <gtest/gtest.h>

namespace zyr::restore {
namespace {

TEST(WmiDateTime, ReadsFieldsAndOffset) {
    auto t = ParseWmiDateTime(L"20090314152640.000000-300");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->year, 2009);
    EXPECT_EQ(t->month, 3);
    EXPECT_EQ(t->day, 14);
    EXPECT_EQ(t->hour, 15);
    EXPECT_EQ(t->minute, 26);
    EXPECT_EQ(t->second, 40);
    EXPECT_EQ(t->offsetMinutes, -300);
    EXPECT_EQ(ParseWmiDateTime(L"20090314152640.000000+060")->offsetMinutes, 60);
    // No offset, or one that is not a number, counts as UTC.
    EXPECT_EQ(ParseWmiDateTime(L"20090314152640")->offsetMinutes, 0);
    EXPECT_EQ(ParseWmiDateTime(L"20090314152640.000000+0x1")->offsetMinutes, 0);
    EXPECT_EQ(ParseWmiDateTime(L"20090314152640.******+***")->offsetMinutes, 0);
}

TEST(WmiDateTime, RejectsWhatIsNoDate) {
    for (const wchar_t* text : {L"", L"2009031415264", L"2009031415264x", L"-0090314152640", L"20091314152640",
                                L"20090014152640", L"20090230152640", L"20090229000000", L"19000229000000",
                                L"20090431000000", L"20090314240000", L"20090314156000", L"20090314152660",
                                L"16001231235959", L"00000101000000", L"****************.******+***"})
        EXPECT_FALSE(ParseWmiDateTime(text)) << text;
    for (const wchar_t* text : {L"20080229000000", L"20000229235959", L"16010101000000", L"99991231235959"})
        EXPECT_TRUE(ParseWmiDateTime(text)) << text;
}

TEST(WmiDateTime, CountsSecondsFrom1601Utc) {
    // 14 March 2009 15:26:40 UTC is 1237044400 s after 1970, which is 11644473600 s after 1601.
    const int64_t expected = 11644473600 + 1237044400;
    EXPECT_EQ(SecondsSince1601Utc(*ParseWmiDateTime(L"20090314152640.000000+000")), expected);
    EXPECT_EQ(SecondsSince1601Utc(*ParseWmiDateTime(L"20090314162640.000000+060")), expected);
    EXPECT_EQ(SecondsSince1601Utc(*ParseWmiDateTime(L"20090314102640.000000-300")), expected);
    EXPECT_EQ(SecondsSince1601Utc(*ParseWmiDateTime(L"16010101000000")), 0);
    EXPECT_FALSE(SecondsSince1601Utc(*ParseWmiDateTime(L"16010101000000.000000+001")));
}

}  // namespace
}  // namespace zyr::restore
