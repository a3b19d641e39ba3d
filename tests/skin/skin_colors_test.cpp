// colors.xml rules (four children, low bytes, group lookups, document order) and font sizes.
#include "skin/SkinColors.h"
#include <gtest/gtest.h>
#include <string>

namespace {

std::wstring Color(const std::wstring& name, const std::wstring& children) { return L"<" + name + L">" + children + L"</" + name + L">"; }
std::wstring Argb(const std::wstring& name, int a, int r, int g, int b) {
    return Color(name, L"<a>" + std::to_wstring(a) + L"</a><r>" + std::to_wstring(r) + L"</r><g>" + std::to_wstring(g) + L"</g><b>" +
                           std::to_wstring(b) + L"</b>");
}

TEST(SkinColors, ComponentsAreAlphaRedGreenBlueInChildOrder) {
    const SkinColors c = ReadSkinColors(L"<colors>" + Argb(L"body_text", 128, 0, 0, 255) + Argb(L"client", 255, 75, 75, 75) + L"</colors>");
    EXPECT_EQ(c.body_text, 0x800000FFu);
    EXPECT_EQ(c.client, 0xFF4B4B4Bu);
    EXPECT_EQ(c.tab_text, SkinColors::kMissing);  // not in the file
}

TEST(SkinColors, OnlyExactlyFourChildrenMakeAColour) {
    struct Case {
        const wchar_t* children;
        uint32_t expected;
    } cases[] = {
        {L"<a>1</a><r>2</r><g>3</g>", SkinColors::kMissing},
        {L"<a>1</a><r>2</r><g>3</g><b>4</b><x>5</x>", SkinColors::kMissing},
        {L"<a>1</a><!--note--><r>2</r><g>3</g><b>4</b>", SkinColors::kMissing},  // a comment counts
        {L"<w>1</w><x>2</x><y>3</y><z>4</z>", 0x01020304u},                     // names do not matter
        {L"", SkinColors::kMissing},
    };
    for (const Case& test : cases) {
        const SkinColors c = ReadSkinColors(L"<colors>" + Color(L"body_text", test.children) + L"</colors>");
        EXPECT_EQ(c.body_text, test.expected) << std::wstring(test.children).size();
    }
}

TEST(SkinColors, ComponentTextKeepsItsLowByte) {
    struct Case {
        const wchar_t* text;
        uint32_t expected;
    } cases[] = {{L"300", 44}, {L"256", 0}, {L"-1", 255}, {L"  +7", 7}, {L"12abc", 12}, {L"abc", 0}, {L"", 0}, {L"99999999999", 99999999999ull % (1ull << 32) % 256}};
    for (const Case& test : cases) EXPECT_EQ(ParseColorByte(test.text), test.expected) << test.text;
    const SkinColors c = ReadSkinColors(L"<colors>" + Argb(L"client", 300, 256, -1, 44) + L"</colors>");
    EXPECT_EQ(c.client, 0x2C00FF2Cu);
}

TEST(SkinColors, KeysAreFoundAtAnyDepthOfTheirGroupFirstInDocumentOrder) {
    const std::wstring doc = L"<root><colors><controls>"
                             L"<checkbox>" + Argb(L"link_text", 255, 1, 1, 1) + Argb(L"box", 255, 2, 2, 2) + L"</checkbox>" +
                             Argb(L"link_text", 255, 3, 3, 3) +
                             L"<list><extra>" + Argb(L"bg", 255, 4, 4, 4) + L"</extra>" + Argb(L"bg", 255, 5, 5, 5) + L"</list>"
                             L"<button>" + Argb(L"start", 255, 6, 6, 6) + L"</button>"
                             L"</controls></colors></root>";
    const SkinColors c = ReadSkinColors(doc);
    EXPECT_EQ(c.link_text, 0xFF010101u);  // the one inside checkbox comes first
    EXPECT_EQ(c.box, 0xFF020202u);
    EXPECT_EQ(c.bg, 0xFF040404u);         // deeper, but first
    EXPECT_EQ(c.start, 0xFF060606u);
    EXPECT_EQ(c.end, SkinColors::kMissing);
}

TEST(SkinColors, KeysOutsideTheirGroupAreNotSeen) {
    // "box" belongs to controls > checkbox; directly under colors it is not the key.
    const SkinColors c = ReadSkinColors(L"<colors>" + Argb(L"box", 255, 9, 9, 9) + L"<controls></controls></colors>");
    EXPECT_EQ(c.box, SkinColors::kMissing);
    // Without a colors element nothing is found, even keys at the top.
    const SkinColors none = ReadSkinColors(L"<other>" + Argb(L"body_text", 255, 1, 2, 3) + L"</other>");
    EXPECT_EQ(none.body_text, SkinColors::kMissing);
}

TEST(SkinColors, BrokenDocumentsGiveWhite) {
    for (const wchar_t* doc : {L"", L"<colors><body_text><a>1</a>", L"\xFEFF garbage <<<", L"<colors><body_text/></colors>"}) {
        const SkinColors c = ReadSkinColors(doc);
        EXPECT_EQ(c.client, SkinColors::kMissing);
    }
}

TEST(SkinFonts, SizesScaleAgainstThePixelsPerInch) {
    EXPECT_EQ(SkinFontPoints(22, 96), 22);
    EXPECT_EQ(SkinFontPoints(22, 120), 17);
    EXPECT_EQ(SkinFontPoints(9, 120), 7);
    EXPECT_EQ(SkinFontPoints(22, 144), 14);
    EXPECT_EQ(SkinFontHeight(22, 96), -29);
    EXPECT_EQ(SkinFontHeight(17, 120), -28);
    EXPECT_EQ(SkinFontHeight(9, 96), -12);
}

TEST(SkinFonts, TableAndLanguage) {
    EXPECT_EQ(SkinFontStyleOf(SkinFontId::Title).baseSize, 22);
    EXPECT_EQ(SkinFontStyleOf(SkinFontId::Title).baseSizeJa, 18);
    EXPECT_TRUE(SkinFontStyleOf(SkinFontId::TitleUnderline).underline);
    EXPECT_TRUE(SkinFontStyleOf(SkinFontId::TextBold).bold);
    EXPECT_EQ(SkinFontStyleOf(SkinFontId::Medium).baseSizeJa, 10);
    EXPECT_TRUE(IsJapaneseLanguage(L"ja"));
    EXPECT_TRUE(IsJapaneseLanguage(L"JA"));
    EXPECT_FALSE(IsJapaneseLanguage(L"en"));
    EXPECT_FALSE(IsJapaneseLanguage(L"jap"));
}

}  // namespace
