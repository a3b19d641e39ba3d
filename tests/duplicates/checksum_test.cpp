// MD5 against the RFC 1321 test suite, and Adler-32 against its definition.
#include "duplicates/core/adler32.h"
#include "duplicates/core/md5.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zyr::dup;

namespace {

std::wstring Md5Hex(const std::string& text) {
    Md5 md5;
    md5.Update(text.data(), text.size());
    return Md5::ToHex(md5.Finish());
}

// Adler-32 straight from its definition, reducing after every byte.
uint32_t AdlerByDefinition(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

}  // namespace

TEST(Md5, Rfc1321Suite) {
    const struct {
        const char* text;
        const wchar_t* digest;
    } cases[] = {
        {"", L"d41d8cd98f00b204e9800998ecf8427e"},
        {"a", L"0cc175b9c0f1b6a831c399e269772661"},
        {"abc", L"900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", L"f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", L"c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", L"d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         L"57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases) EXPECT_EQ(Md5Hex(c.text), c.digest) << c.text;
}

TEST(Md5, PiecesGiveTheSameDigestAsOneCall) {
    std::string data(5000, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 131 + 7);
    const std::wstring whole = Md5Hex(data);
    for (size_t piece : {1u, 3u, 55u, 56u, 63u, 64u, 65u, 1024u, 4999u}) {
        Md5 md5;
        for (size_t at = 0; at < data.size(); at += piece) md5.Update(data.data() + at, std::min(piece, data.size() - at));
        EXPECT_EQ(Md5::ToHex(md5.Finish()), whole) << piece;
    }
    // Padding boundaries: 55, 56 and 64 bytes of 'a'.
    EXPECT_EQ(Md5Hex(std::string(55, 'a')), L"ef1772b6dff9a122358552954ad0df65");
    EXPECT_EQ(Md5Hex(std::string(56, 'a')), L"3b0c8ac703f828b04c6c197006d17218");
    EXPECT_EQ(Md5Hex(std::string(64, 'a')), L"014842d480b571495a4a0363793f7367");
}

TEST(Md5, CopiedContextContinuesIndependently) {
    Md5 common;
    common.Update("abc", 3);
    Md5 branch = common;
    branch.Update("def", 3);
    common.Update("xyz", 3);
    EXPECT_EQ(Md5::ToHex(branch.Finish()), Md5Hex("abcdef"));
    EXPECT_EQ(Md5::ToHex(common.Finish()), Md5Hex("abcxyz"));
}

TEST(Adler32, KnownValuesAndLongRuns) {
    EXPECT_EQ(Adler32(1, "", 0), 1u);
    EXPECT_EQ(Adler32(1, "Wikipedia", 9), 300286872u);
    EXPECT_EQ(Adler32(1, "abc", 3), 0x024d0127u);
    // All-0xFF input stresses the delayed reduction; the sums must never overflow.
    for (size_t size : {1024u, 5552u, 5553u, 100000u}) {
        std::vector<uint8_t> data(size, 0xFF);
        EXPECT_EQ(Adler32(1, data.data(), data.size()), AdlerByDefinition(data)) << size;
        const uint32_t first = Adler32(1, data.data(), 777);
        EXPECT_EQ(Adler32(first, data.data() + 777, size - 777), AdlerByDefinition(data)) << size;
    }
}
