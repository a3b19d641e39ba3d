// Mapping pairs: decoding against hand-checked byte strings, encoding, the edits of a move.
#include "volumes/ntfsimage/run_list.h"

#include <gtest/gtest.h>

using namespace zyr::ntfs;

namespace {

struct DecodeCase {
    const char* what;
    std::vector<uint8_t> bytes;
    std::optional<RunList> runs;
};

}  // namespace

TEST(RunList, DecodesTheCasesOfTheFormat) {
    const DecodeCase cases[] = {
        {"two runs, second relative to the first", {0x12, 0x93, 0x04, 0x04, 0x21, 0x04, 0xBB, 0x04, 0x00},
         RunList{{0, 4, 1171}, {1171, 1215, 4}}},
        {"sparse run over a volume", {0x02, 0xFF, 0x3F, 0x00}, RunList{{0, -1, 0x3FFF}}},
        {"delta of zero still takes a byte", {0x11, 0x02, 0x00, 0x00}, RunList{{0, 0, 2}}},
        {"negative delta", {0x11, 0x05, 0x64, 0x11, 0x03, 0xF6, 0x00}, RunList{{0, 100, 5}, {5, 90, 3}}},
        {"hole between runs keeps the last LCN", {0x11, 0x02, 0x10, 0x01, 0x0E, 0x11, 0x02, 0x02, 0x00},
         RunList{{0, 16, 2}, {2, -1, 14}, {16, 18, 2}}},
        {"length 0x80 needs two bytes", {0x12, 0x80, 0x00, 0x20, 0x00}, RunList{{0, 32, 128}}},
        {"empty list", {0x00}, RunList{}},
        {"no terminator", {0x11, 0x02, 0x10}, std::nullopt},
        {"pair runs past the end", {0x31, 0x02, 0x10}, std::nullopt},
        {"zero length", {0x11, 0x00, 0x10, 0x00}, std::nullopt},
        {"negative length", {0x11, 0xFF, 0x10, 0x00}, std::nullopt},
        {"LCN below zero", {0x11, 0x02, 0xF0, 0x00}, std::nullopt},
        {"length field of nine bytes", {0x19, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0x00}, std::nullopt},
        {"header without length", {0x10, 0x05, 0x00}, std::nullopt},
        {"empty input", {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto runs = DecodeRunList(c.bytes, 0);
        ASSERT_EQ(runs.has_value(), c.runs.has_value());
        if (runs) {
            EXPECT_EQ(*runs, *c.runs);
        }
    }
}

TEST(RunList, EncodingUsesTheFewestBytesAndRoundTrips) {
    EXPECT_EQ(EncodeRunList({{0, 4, 1171}, {1171, 1215, 4}}),
              (std::vector<uint8_t>{0x12, 0x93, 0x04, 0x04, 0x21, 0x04, 0xBB, 0x04, 0x00}));
    EXPECT_EQ(EncodeRunList({{0, 32, 128}}), (std::vector<uint8_t>{0x12, 0x80, 0x00, 0x20, 0x00}));
    EXPECT_EQ(EncodeRunList({{0, -1, 0x3FFF}}), (std::vector<uint8_t>{0x02, 0xFF, 0x3F, 0x00}));
    const RunList mixed{{0, 1000000, 3}, {3, -1, 13}, {16, 5, 1}, {17, 0x7FFFFFFFF, 40000}, {40017, 1, 2}};
    EXPECT_EQ(DecodeRunList(EncodeRunList(mixed), 0), mixed);
    // A later extent starts at its lowest VCN and restarts the LCN deltas.
    const RunList later{{500, 70, 4}, {504, 60, 4}};
    EXPECT_EQ(DecodeRunList(EncodeRunList(later), 500), later);
}

TEST(RunList, MergeAndSliceKeepHolesApart) {
    EXPECT_EQ(MergeRuns({{0, 10, 2}, {2, 12, 3}, {5, -1, 4}, {9, -1, 1}, {10, 20, 1}, {11, 40, 1}}),
              (RunList{{0, 10, 5}, {5, -1, 5}, {10, 20, 1}, {11, 40, 1}}));
    EXPECT_EQ(SliceRuns({{0, 10, 5}, {5, -1, 5}, {10, 20, 4}}, 3, 12),
              (RunList{{3, 13, 2}, {5, -1, 5}, {10, 20, 2}}));
    EXPECT_EQ(AllocatedClusters({{0, 10, 5}, {5, -1, 5}, {10, 20, 4}}), 9);
}
