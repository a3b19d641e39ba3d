// The master-file-table reader on synthetic images: geometry, run lists, update sequences,
// listing and paths, and corrupt tables.
#include "engine/mft_parser.h"
#include "engine/mft_records.h"
#include "fake_volume.h"
#include "mft_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

using namespace zyr;
using namespace zyr::engine;

namespace {

std::vector<MftRun> Decode(std::vector<uint8_t> mapping, int64_t allocated = int64_t{1} << 40) {
    std::vector<uint8_t> attribute(64, 0);
    attribute[8] = 1;  // non-resident
    attribute[32] = 64;
    std::memcpy(attribute.data() + 40, &allocated, 8);
    attribute.insert(attribute.end(), mapping.begin(), mapping.end());
    attribute.resize((attribute.size() + 7) & ~size_t{7}, 0);
    const std::vector<AttributeRef> refs{{0, static_cast<uint32_t>(attribute.size())}};
    std::vector<MftRun> runs;
    EXPECT_EQ(DecodeDataRuns(attribute, refs, 4096, runs), 0u);
    return runs;
}

struct Listing {
    bool ok = false;
    std::set<std::wstring> paths;
    std::vector<MftFileEntry> entries;
};

Listing ReadAll(test::FakeVolume& volume) {
    test::ScopedVolumeApi bind(volume);
    Listing listing;
    CMFTParser reader(L"X:");
    if (!reader.ReadMftLayout()) return listing;
    listing.ok = reader.ReadFileRecords(nullptr);
    for (size_t i = 0; i < reader.GetEntryCount(); ++i) {
        auto entry = reader.GetEntryPath(i);
        listing.entries.push_back(entry.entry);
        if (!entry.path.empty()) listing.paths.insert(entry.path);
    }
    EXPECT_EQ(volume.OpenHandles(), 0);
    return listing;
}

}  // namespace

TEST(MftRecords, DecodesRunListsAsTheMappingPairsSay) {
    auto runs = Decode({0x21, 0x18, 0x34, 0x56, 0x00});
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].lcn, 0x5634);
    EXPECT_EQ(runs[0].byteLength, 0x18 * 4096);

    runs = Decode({0x21, 0x18, 0x34, 0x56, 0x21, 0x08, 0xF0, 0xFF, 0x00});  // second offset -16
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].lcn, 0x5634 - 16);

    runs = Decode({0x21, 0x18, 0x34, 0x56, 0x01, 0x05, 0x21, 0x08, 0x10, 0x00});  // a run without offset ends it
    EXPECT_EQ(runs.size(), 1u);

    runs = Decode({0x21, 0x18, 0x34, 0x56, 0x21, 0x08, 0x10, 0x00}, 0x18 * 4096 + 4096);  // beyond the allocation
    EXPECT_EQ(runs.size(), 1u);

    runs = Decode({0x21, 0x18, 0x34, 0x56, 0x28, 0x08});  // cut off by the attribute's end
    EXPECT_EQ(runs.size(), 1u);
}

TEST(MftRecords, FixupsRepairEvery512ByteStride) {
    std::vector<uint8_t> record(4096);
    for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<uint8_t>(i * 7);
    const uint16_t usn = 0x0042;
    std::memcpy(record.data() + 48, &usn, 2);
    for (uint16_t k = 1; k <= 8; ++k) {
        const uint16_t saved = static_cast<uint16_t>(0xA000 + k);
        std::memcpy(record.data() + 48 + 2 * k, &saved, 2);
        std::memcpy(record.data() + k * 512 - 2, &usn, 2);
    }
    const uint16_t other = 0x9999;
    std::memcpy(record.data() + 3 * 512 - 2, &other, 2);  // a torn stride stays as it is
    ASSERT_TRUE(ApplyFixups(record));
    for (uint16_t k = 1; k <= 8; ++k) {
        uint16_t word;
        std::memcpy(&word, record.data() + k * 512 - 2, 2);
        EXPECT_EQ(word, k == 3 ? other : 0xA000 + k) << "stride " << k;
    }
    std::vector<uint8_t> odd(1000);
    EXPECT_FALSE(ApplyFixups(odd));
    std::vector<uint8_t> tiny(256);
    EXPECT_FALSE(ApplyFixups(tiny));
}

TEST(MftReader, RecordSizeFromTheBootSector) {
    struct Case {
        uint8_t clustersPerRecord;
        int sectorsPerCluster;
        int recordSize;
    } cases[] = {{0xF6, 8, 1024}, {0x02, 8, 8192}, {0xF4, 1, 4096}, {0x01, 2, 1024}};
    for (const Case& c : cases) {
        test::MftImageLayout layout;
        layout.clustersPerRecordByte = c.clustersPerRecord;
        layout.sectorsPerCluster = c.sectorsPerCluster;
        layout.recordSize = c.recordSize;
        layout.recordCount = 20;
        test::FakeVolume volume(100);
        volume.Device() = test::BuildMftImage(layout, {{.number = 16, .name = L"f"}});
        test::ScopedVolumeApi bind(volume);
        CMFTParser reader(L"X:");
        ASSERT_TRUE(reader.ReadMftLayout()) << int(c.clustersPerRecord);
        EXPECT_EQ(reader.recordSize(), c.recordSize);
        EXPECT_EQ(reader.clusterSize(), 512 * c.sectorsPerCluster);
        EXPECT_EQ(reader.mftOffset(), 4 * 512 * c.sectorsPerCluster);
        ASSERT_TRUE(reader.ReadFileRecords(nullptr));
        ASSERT_EQ(reader.GetEntryCount(), 1u);
        EXPECT_EQ(reader.GetEntryPath(0).path, L"X:\\f");
    }
}

TEST(MftReader, ListsRecordsFrom16WithTheirFullPaths) {
    test::MftImageLayout layout;
    layout.recordCount = 48;                  // 48 KB: a full chunk, then a short one
    layout.mftRuns = {{4, 5}, {30, 7}};       // a fragmented table
    const std::vector<test::SyntheticRecord> records = {
        {.number = 11, .directory = true, .name = L"$Extend"},  // metadata: never listed
        {.number = 16, .directory = true, .name = L"docs"},
        {.number = 17, .parent = 16, .name = L"a.txt"},
        {.number = 18, .parent = 16, .name = L"B~1.TXT", .nameSpace = 2},
        {.number = 19, .parent = 16, .name = L"long name.txt", .extraName = L"LONGNA~1.TXT"},
        {.number = 20, .inUse = false, .name = L"deleted"},
        {.number = 21, .name = L"torn", .corruptFixup = true},
        {.number = 22, .parent = 11, .name = L"orphan"},
        {.number = 23, .parent = 24, .name = L"loopA"},
        {.number = 24, .parent = 23, .name = L"loopB"},
        {.number = 25, .parent = 0, .name = L"noparent"},
        {.number = 40, .parent = 16, .name = L"in the second chunk"},
        {.number = 41},  // no file name
    };
    test::FakeVolume volume(100);
    volume.Device() = test::BuildMftImage(layout, records);
    const Listing listing = ReadAll(volume);
    ASSERT_TRUE(listing.ok);
    EXPECT_TRUE(listing.paths.count(L"X:\\docs"));
    EXPECT_TRUE(listing.paths.count(L"X:\\docs\\a.txt"));
    EXPECT_TRUE(listing.paths.count(L"X:\\docs\\B~1.TXT"));
    EXPECT_TRUE(listing.paths.count(L"X:\\docs\\long name.txt"));
    EXPECT_TRUE(listing.paths.count(L"X:\\torn"));
    EXPECT_TRUE(listing.paths.count(L"X:\\orphan"));  // its metadata parent is not listed
    EXPECT_TRUE(listing.paths.count(L"X:\\docs\\in the second chunk"));
    EXPECT_FALSE(listing.paths.count(L"X:\\deleted"));
    EXPECT_EQ(listing.entries.size(), 9u);  // 16-19, 21-24 and 40
    for (const auto& e : listing.entries) EXPECT_GE(e.recordNumber, 16u);
    // Both names of record 19, the last non-8.3 name as the long one.
    for (const auto& e : listing.entries) {
        if (e.recordNumber == 19) {
            EXPECT_EQ(e.longName, L"long name.txt");
            EXPECT_EQ(e.shortName, L"LONGNA~1.TXT");
        }
        if (e.recordNumber == 16) {
            EXPECT_EQ(e.isFile, 0);
        }
        if (e.recordNumber == 17) {
            EXPECT_EQ(e.isFile, 1);
        }
    }
}

TEST(MftReader, NamesSurviveOn4096ByteSectors) {
    // 4096-byte records on 4096-byte sectors: the update sequence still protects 512-byte strides.
    test::MftImageLayout layout;
    layout.bytesPerSector = 4096;
    layout.sectorsPerCluster = 1;
    layout.recordSize = 4096;
    layout.clustersPerRecordByte = 0xF4;
    layout.recordCount = 20;
    const std::wstring name(250, L'n');  // crosses the end of the first stride
    test::FakeVolume volume(100);
    volume.Device() = test::BuildMftImage(layout, {{.number = 16, .name = name}});
    const Listing listing = ReadAll(volume);
    ASSERT_TRUE(listing.ok);
    EXPECT_EQ(listing.paths, (std::set<std::wstring>{L"X:\\" + name}));
}

TEST(MftReader, UnreadableTablesFailSoTheCallerWalks) {
    test::FakeVolume volume(100);
    EXPECT_FALSE(ReadAll(volume).ok);  // no device bytes
    test::MftImageLayout layout;
    auto image = test::BuildMftImage(layout, {{.number = 16, .name = L"f"}});
    image[0x0B] = image[0x0C] = 0;  // no bytes per sector
    volume.Device() = image;
    EXPECT_FALSE(ReadAll(volume).ok);
    image = test::BuildMftImage(layout, {{.number = 16, .name = L"f"}});
    std::memcpy(image.data() + 4 * 4096, "BAAD", 4);  // record 0 unusable
    volume.Device() = image;
    EXPECT_FALSE(ReadAll(volume).ok);
    layout.mftRuns = {{4, 8}, {5000, 8}};  // the second run lies beyond the device
    volume.Device() = test::BuildMftImage(layout, {{.number = 16, .name = L"f"}});
    volume.Device().resize(20 * 4096);
    EXPECT_FALSE(ReadAll(volume).ok);
}

TEST(MftReader, ReadsATableMadeByMkntfs) {
    // The first 96 KB of a 4 MB image from mkntfs -c 4096, with dir/sub/file.txt and top.txt
    // written through ntfs-3g.
    std::ifstream in(ZYR_SOURCE_DIR "/fuzz/mft_corpus/mkntfs_4k_clusters.bin", std::ios::binary);
    ASSERT_TRUE(in);
    test::FakeVolume volume(1024);
    volume.Device().assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const Listing listing = ReadAll(volume);
    ASSERT_TRUE(listing.ok);
    // The files of $Extend (record 11, not listed) get paths as if they lay in the root.
    EXPECT_EQ(listing.paths, (std::set<std::wstring>{L"X:\\dir", L"X:\\dir\\sub", L"X:\\dir\\sub\\file.txt",
                                                     L"X:\\top.txt", L"X:\\$ObjId", L"X:\\$Quota", L"X:\\$Reparse"}));
}
