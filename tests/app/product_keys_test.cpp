// settings.xml keys and resource-text placeholders.
#include "app/core/ProductKeys.h"

#include <gtest/gtest.h>

using namespace zyr::config;

namespace {

ProductKeys Read(std::wstring text) {
    ProductKeys keys;
    ReadProductKeys(text.data(), keys);
    return keys;
}

TEST(ProductKeys, ReadsEveryKeyFromAnyDepth) {
    auto keys = Read(LR"(<?xml version="1.0"?>
        <settings><APPNAME>Zyr Disk Care</APPNAME><group><COMPANYNAME> Tavrin   Labs </COMPANYNAME></group>
        <UCN>ZyrDiskCareFrame</UCN><PID>0042</PID><SCAN_ORDER>3;1;;2</SCAN_ORDER><SCAN_TYPES>16</SCAN_TYPES></settings>)");
    EXPECT_EQ(keys[Key::APPNAME], L"Zyr Disk Care");
    EXPECT_EQ(keys[Key::COMPANYNAME], L"Tavrin Labs");
    EXPECT_EQ(keys[Key::UCN], L"ZyrDiskCareFrame");
    EXPECT_EQ(keys.pid, 42);
    EXPECT_EQ(keys.scanOrder, (std::vector<long>{3, 1, 2}));
    EXPECT_EQ(keys.scanTypes, (std::vector<long>{16}));
    EXPECT_EQ(keys[Key::LANGID], L"");
}

TEST(ProductKeys, FirstOccurrenceInDocumentOrderWins) {
    auto keys = Read(L"<r><deep><APPNAME>First</APPNAME></deep><APPNAME>Second</APPNAME></r>");
    EXPECT_EQ(keys[Key::APPNAME], L"First");
}

TEST(ProductKeys, EmptyMisspelledAndLongValues) {
    auto keys = Read(L"<r><APPNAME/><appver>9</appver><EXENAME>" + std::wstring(300, L'x') + L"</EXENAME></r>");
    EXPECT_EQ(keys[Key::APPNAME], L"");
    EXPECT_EQ(keys[Key::APPVER], L"");  // names are case-sensitive
    EXPECT_EQ(keys[Key::EXENAME].size(), 255u);
}

TEST(ProductKeys, MalformedDocumentKeepsWhatCameBefore) {
    auto keys = Read(L"<r><APPNAME>Zyr</APPNAME><UCN>Frame</UCN><COMPANYNAME>Tav");
    EXPECT_EQ(keys[Key::APPNAME], L"Zyr");
    EXPECT_EQ(keys[Key::UCN], L"Frame");
    EXPECT_EQ(keys[Key::COMPANYNAME], L"Tav");  // an unclosed element still holds its text
}

TEST(ProductKeys, WideningStopsAtTheFirstZeroByte) {
    auto widen = [](std::string_view bytes) { return std::wstring(bytes.begin(), bytes.end()); };
    EXPECT_EQ(WidenUpToZero(std::string_view("<a>1</a>\0<b>2</b>", 17), widen), L"<a>1</a>");
    EXPECT_EQ(WidenUpToZero("", widen), L"");
}

TEST(Placeholders, AreReplacedEverywhereInOrder) {
    struct Case {
        const wchar_t* text;
        const wchar_t* app;
        const wchar_t* company;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"%APPNAME% and %APPNAME%", L"Zyr", L"Tavrin", L"Zyr and Zyr"},
        {L"by %COMPANYNAME%", L"Zyr", L"Tavrin", L"by Tavrin"},
        {L"%APPNAME%", L"Zyr by %COMPANYNAME%", L"Tavrin", L"Zyr by Tavrin"},  // names may hold the other
        {L"%APPNAME%", L"%APPNAME%!", L"", L"%APPNAME%!"},                    // never scanned again
        {L"%appname% %APPNAME", L"Zyr", L"Tavrin", L"%appname% %APPNAME"},      // exact matches only
        {L"Welcome to %APPNAME%", L"", L"", L"Welcome to "},                   // no configuration
    };
    for (const auto& c : cases) EXPECT_EQ(ReplacePlaceholders(c.text, c.app, c.company), c.expected) << c.text;
}

}  // namespace
