// How the general settings page reads the fragmentation limit from its field.
#include <gtest/gtest.h>

#include "settings/core/WarningLimit.h"

namespace zyr::settingspages {
namespace {

TEST(WarningLimit, LeadingDigitsOfTheFirstTenCharacters) {
    struct Case {
        const wchar_t* text;
        int value;
        bool valid;
    };
    const Case cases[] = {
        {L"3", 3, true},       {L"7abc", 7, true},    {L"099", 99, true},   {L"1", 1, true},
        {L"99", 99, true},     {L"0", 0, false},      {L"100", 100, false}, {L"-5", 0, false},
        {L"abc", 0, false},    {L"", 0, false},       {L" 7", 0, false},    {L"+7", 0, false},
        {L"00000000042", 4, true},  // only ten characters count: "0000000004"
        {L"9999999999", 2147483647, false},  // beyond the int range: capped, still refused
        {L"5\x0663", 5, true},  // an Arabic-Indic digit is not a decimal digit here
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseWarningLimit(c.text), c.value) << c.text;
        EXPECT_EQ(IsValidWarningLimit(ParseWarningLimit(c.text)), c.valid) << c.text;
    }
}

}  // namespace
}  // namespace zyr::settingspages
