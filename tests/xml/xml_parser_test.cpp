// The XML reader: tree shape, whitespace, lookups and partial trees on malformed input.
#include "skin/xml/xml_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using pug::xml_node;
using pug::xml_parser;

namespace {

// Parses a copy of `text` that lives as long as the fixture.
class Xml : public ::testing::Test {
protected:
    xml_node Parse(const std::wstring& text) {
        buffer_.assign(text.begin(), text.end());
        buffer_.push_back(0);
        EXPECT_NE(parser_.parse(buffer_.data()), nullptr);
        return parser_.document();
    }
    static std::wstring Text(const xml_node& node) {
        wchar_t buffer[256];
        return node.text(buffer, 255) ? std::wstring(buffer) : std::wstring(L"<none>");
    }
    std::vector<wchar_t> buffer_;
    xml_parser parser_;
};

TEST_F(Xml, TextIsWhitespaceNormalised) {
    auto doc = Parse(L"<a>  x   y  </a>");
    EXPECT_EQ(Text(doc.find_element(L"a")), L"x y");
    doc = Parse(L"<a>\r\n\tline\t\tone\r\n</a>");
    EXPECT_EQ(Text(doc.find_element(L"a")), L"line one");
    doc = Parse(L"<a x=' p   q '/>");
    ASSERT_EQ(doc.find_element(L"a").attribute_count(), 1u);
    EXPECT_STREQ(doc.find_element(L"a").attribute(0)->value, L"p q");
}

TEST_F(Xml, TextComesFromTheFirstChildWithAValue) {
    auto a = Parse(L"<a><!-- note -->5</a>").find_element(L"a");
    EXPECT_EQ(a.child_count(), 2u);
    EXPECT_EQ(a.child(0).type(), pug::node_comment);
    EXPECT_EQ(Text(a), L"note");
}

TEST_F(Xml, EmptyElementsHaveNoText) {
    for (const wchar_t* text : {L"<r><a></a></r>", L"<r><a/></r>", L"<r><a />  </r>", L"<r><a>   </a></r>"}) {
        SCOPED_TRACE(std::wstring(text).size());
        EXPECT_EQ(Text(Parse(text).find_element(L"a")), L"<none>");
    }
}

TEST_F(Xml, TextIsCutToTheLimit) {
    auto a = Parse(L"<a>" + std::wstring(300, L'z') + L"</a>").find_element(L"a");
    wchar_t buffer[256];
    ASSERT_TRUE(a.text(buffer, 255));
    EXPECT_EQ(std::wstring(buffer).size(), 255u);
}

TEST_F(Xml, FindElementIsDepthFirstInDocumentOrder) {
    auto doc = Parse(L"<r><a><b>1</b></a><b>2</b></r>");
    EXPECT_EQ(Text(doc.find_element(L"b")), L"1");
    // A search starts below the node it is called on.
    EXPECT_TRUE(doc.find_element(L"a").find_element(L"a").empty());
    EXPECT_EQ(Text(doc.find_element(L"r").child(1)), L"2");
}

TEST_F(Xml, NamesAreCaseSensitiveAndNamelessNodesNeverMatch) {
    auto doc = Parse(L"<r><APPNAME>Zyr</APPNAME><!--appname--></r>");
    EXPECT_TRUE(doc.find_element(L"appname").empty());
    EXPECT_EQ(Text(doc.find_element(L"APPNAME")), L"Zyr");
    EXPECT_TRUE(doc.find_element(L"").empty());
}

TEST_F(Xml, EndTagNamesAreNotCompared) {
    auto doc = Parse(L"<r><a>1</b><c>2</c></r>");
    auto r = doc.find_element(L"r");
    ASSERT_EQ(r.child_count(), 2u);  // </b> closed a, so c is a's sibling
    EXPECT_STREQ(r.child(1).name(), L"c");
}

TEST_F(Xml, LeadingBytesAndDeclarationsAreHandled) {
    auto doc = Parse(L"\xFEFFjunk<?xml version=\"1.0\" encoding='utf-8'?>\n<!DOCTYPE r [<!ELEMENT r ANY>]>\n<r>v</r>");
    auto pi = doc.child(0);
    EXPECT_EQ(pi.type(), pug::node_pi);
    EXPECT_STREQ(pi.name(), L"xml");
    ASSERT_EQ(pi.attribute_count(), 2u);
    EXPECT_STREQ(pi.attribute(1)->name, L"encoding");
    EXPECT_STREQ(pi.attribute(1)->value, L"utf-8");
    EXPECT_EQ(doc.child(1).type(), pug::node_doctype);
    EXPECT_TRUE(doc.find_element(L"ELEMENT").empty());
    EXPECT_EQ(Text(doc.find_element(L"r")), L"v");
}

TEST_F(Xml, CdataAndEntitiesAreKeptLiterally) {
    auto a = Parse(L"<a><![CDATA[ <x> & y ]]></a><b>&amp;</b>").find_element(L"a");
    EXPECT_EQ(a.child(0).type(), pug::node_cdata);
    EXPECT_EQ(Text(a), L"<x> & y");
    EXPECT_EQ(Text(parser_.document().find_element(L"b")), L"&amp;");
}

TEST_F(Xml, MalformedInputKeepsWhatWasParsed) {
    struct Case {
        const wchar_t* text;
        const wchar_t* present;
        const wchar_t* absent;
    };
    const Case cases[] = {
        {L"<r><a>1</a><b>2", L"b", nullptr},             // open elements at the end
        {L"<r><a>1</a><b x='2", L"a", L"c"},             // unclosed quote
        {L"<r><a>1</a><!-- never closed <c>3</c>", L"a", L"c"},
        {L"<r><a>1</a><c", L"a", nullptr},               // text ends inside a name
        {L"<r><a>1</a><![CDATA[ open", L"a", nullptr},
        {L"<<<>>><a>1</a>", L"a", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::wstring(c.text).size());
        auto doc = Parse(c.text);
        EXPECT_FALSE(doc.find_element(c.present).empty());
        if (c.absent) {
            EXPECT_TRUE(doc.find_element(c.absent).empty());
        }
    }
}

TEST_F(Xml, NullTextAndTextWithoutTags) {
    EXPECT_EQ(parser_.parse(nullptr), nullptr);
    wchar_t plain[] = L"no tags here";
    wchar_t* stop = parser_.parse(plain);
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(parser_.document().child_count(), 0u);
}

TEST_F(Xml, EmptyHandleIsSafe) {
    xml_node none;
    EXPECT_TRUE(none.empty());
    EXPECT_TRUE(none.find_element(L"a").empty());
    EXPECT_TRUE(none.child(3).empty());
    EXPECT_EQ(Text(none), L"<none>");
    xml_node copy = none.find_element(L"x");
    EXPECT_TRUE(copy.empty());
}

TEST_F(Xml, DeepNestingNeitherRecursesNorLeaks) {
    std::wstring text;
    for (int i = 0; i < 200000; ++i) text += L"<a>";
    text += L"<leaf>1</leaf>";
    EXPECT_EQ(Text(Parse(text).find_element(L"leaf")), L"1");
}

TEST_F(Xml, ReparseReplacesTheTree) {
    Parse(L"<a>1</a>");
    auto doc = Parse(L"<b>2</b>");
    EXPECT_TRUE(doc.find_element(L"a").empty());
    EXPECT_EQ(Text(doc.find_element(L"b")), L"2");
}

}  // namespace
