// Damaged images: clear errors, never a crash or an endless loop.
#include "engine/win32_defs.h"
#include "tests/volumes/fixture.h"
#include "volumes/ntfsimage/file_record.h"
#include "volumes/ntfsimage/fixup.h"
#include "volumes/ntfsimage/image_volume_api.h"
#include "volumes/ntfsimage/ntfs_layout.h"
#include "volumes/ntfsimage/ntfs_volume.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace zyr;
using test::ImageCopy;

namespace {

// Where record `number` lies in the image.
int64_t RecordOffset(const ImageCopy& image, uint64_t number) {
    uint32_t error = 0;
    auto vol = ntfs::NtfsVolume::Open(image.wpath(), false, &error);
    EXPECT_TRUE(vol) << error;
    int64_t contiguous = 0;
    return ntfs::DeviceOffset(vol->mft().runs, int64_t(number) * vol->geometry().bytesPerRecord,
                              vol->geometry().bytesPerCluster, &contiguous);
}

uint64_t RecordOf(const ImageCopy& image, const std::wstring& name) {
    uint32_t error = 0;
    auto vol = ntfs::NtfsVolume::Open(image.wpath(), false, &error);
    uint64_t reference = 0;
    EXPECT_EQ(vol->Lookup(ntfs::kRecordRoot, name, &reference), 0u);
    return ntfs::RecordNumber(reference);
}

// Edits a record as stored (fixups undone first, redone after).
void EditRecord(const ImageCopy& image, uint64_t number, const std::function<void(std::vector<uint8_t>&)>& edit) {
    const int64_t at = RecordOffset(image, number);
    std::vector<uint8_t> rec = image.Read(at, 1024);
    ASSERT_EQ(ntfs::ApplyFixups(rec), ntfs::FixupResult::kOk);
    edit(rec);
    ASSERT_TRUE(ntfs::ProtectFixups(rec));
    image.Write(at, rec);
}

const ntfs::AttributeView* FindAttribute(const ntfs::FileRecord& rec, uint32_t type) {
    for (const auto& a : rec.attributes)
        if (a.type == type) return &a;
    return nullptr;
}

uint32_t MountError(const ImageCopy& image) {
    vol::ImageVolumeApi api;
    return api.Mount(L'V', image.wpath());
}

uint32_t OpenError(const ImageCopy& image, const std::wstring& path) {
    vol::ImageVolumeApi api;
    EXPECT_EQ(api.Mount(L'V', image.wpath()), 0u);
    const vol::Handle h = api.CreateFile(L"\\\\?\\V:\\" + path, 0, 7, win::OPEN_EXISTING_, win::FILE_FLAG_BACKUP_SEMANTICS_);
    return h == vol::kInvalidHandle ? api.GetLastError() : 0;
}

}  // namespace

TEST(CorruptImage, BrokenVolumesAreNotRecognised) {
    struct Case {
        const char* what;
        std::function<void(const ImageCopy&)> damage;
    };
    const Case cases[] = {
        {"truncated to 100 bytes", [](const ImageCopy& i) { i.Truncate(100); }},
        {"truncated to 1 MiB", [](const ImageCopy& i) { i.Truncate(1 << 20); }},
        {"bad OEM signature", [](const ImageCopy& i) { i.Write(3, {'F', 'A', 'T'}); }},
        {"absurd sectors per cluster", [](const ImageCopy& i) { i.Write(0x0D, {0x03}); }},
        {"MFT beyond the volume", [](const ImageCopy& i) { i.Write(0x30, {0xFF, 0xFF, 0xFF, 0x0F}); }},
        {"record size of 2^-100", [](const ImageCopy& i) { i.Write(0x40, {0x9C}); }},
        {"broken fixup in $MFT's own record",
         [](const ImageCopy& i) { i.Write(RecordOffset(i, 0) + 510, {0x12, 0x34}); }},
        {"broken fixup in the root directory",
         [](const ImageCopy& i) { i.Write(RecordOffset(i, ntfs::kRecordRoot) + 1022, {0x12, 0x34}); }},
        {"$Bitmap run list past its attribute", [](const ImageCopy& i) {
             EditRecord(i, ntfs::kRecordBitmap, [](std::vector<uint8_t>& rec) {
                 auto parsed = ntfs::ParseFileRecord(rec);
                 const auto* data = FindAttribute(*parsed, ntfs::kAttrData);
                 std::memset(rec.data() + data->offset + data->mappingPairsOffset, 0x11, data->length - data->mappingPairsOffset);
             });
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ImageCopy image("mixed");
        c.damage(image);
        EXPECT_EQ(MountError(image), win::ERROR_UNRECOGNIZED_VOLUME_);
    }
}

TEST(CorruptImage, DamagedFilesFailAloneWithFileCorrupt) {
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> edit;
    };
    const Case cases[] = {
        {"absurd attribute length", [](std::vector<uint8_t>& rec) {
             auto parsed = ntfs::ParseFileRecord(rec);
             ntfs::StoreLe32(rec.data() + FindAttribute(*parsed, ntfs::kAttrData)->offset + 4, 0xFFFFFFF0u);
         }},
        {"bytes in use beyond the record", [](std::vector<uint8_t>& rec) { ntfs::StoreLe32(rec.data() + 0x18, 4096); }},
        {"attributes offset past bytes in use", [](std::vector<uint8_t>& rec) { ntfs::StoreLe16(rec.data() + 0x14, 1000); }},
        {"run list without an end", [](std::vector<uint8_t>& rec) {
             auto parsed = ntfs::ParseFileRecord(rec);
             const auto* data = FindAttribute(*parsed, ntfs::kAttrData);
             std::memset(rec.data() + data->offset + data->mappingPairsOffset, 0x11, data->length - data->mappingPairsOffset);
         }},
        {"run beyond the volume", [](std::vector<uint8_t>& rec) {
             auto parsed = ntfs::ParseFileRecord(rec);
             const auto* data = FindAttribute(*parsed, ntfs::kAttrData);
             const uint8_t pairs[] = {0x41, 0x01, 0xFF, 0xFF, 0xFF, 0x0F, 0x00};
             std::memcpy(rec.data() + data->offset + data->mappingPairsOffset, pairs, sizeof pairs);
         }},
        {"highest VCN disagrees with the runs", [](std::vector<uint8_t>& rec) {
             auto parsed = ntfs::ParseFileRecord(rec);
             ntfs::StoreLe64(rec.data() + FindAttribute(*parsed, ntfs::kAttrData)->offset + 0x18, 1u << 20);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ImageCopy image("mixed");
        EditRecord(image, RecordOf(image, L"frag-a.bin"), c.edit);
        EXPECT_EQ(OpenError(image, L"frag-a.bin"), win::ERROR_FILE_CORRUPT_);
        EXPECT_EQ(OpenError(image, L"frag-b.bin"), 0u);
    }
    // A broken update sequence (the stored word at the end of a sector).
    ImageCopy image("mixed");
    image.Write(RecordOffset(image, RecordOf(image, L"frag-a.bin")) + 510, {0xAB, 0xCD});
    EXPECT_EQ(OpenError(image, L"frag-a.bin"), win::ERROR_FILE_CORRUPT_);
}

TEST(CorruptImage, IndexThatPointsBackAtItselfEnds) {
    ImageCopy image("mixed");
    uint32_t error = 0;
    uint64_t wide = 0;
    int64_t blockAt = -1;
    {
        auto vol = ntfs::NtfsVolume::Open(image.wpath(), false, &error);
        ASSERT_EQ(vol->Lookup(ntfs::kRecordRoot, L"wide", &wide), 0u);
        ntfs::LoadedFile dir;
        ntfs::Stream allocation;
        ASSERT_EQ(vol->LoadFile(ntfs::RecordNumber(wide), &dir), 0u);
        ASSERT_EQ(vol->GetStream(dir, ntfs::kAttrIndexAllocation, L"$I30", &allocation), 0u);
        int64_t contiguous = 0;
        blockAt = ntfs::DeviceOffset(allocation.runs, 0, vol->geometry().bytesPerCluster, &contiguous);
    }
    // Every child pointer of the root node now leads to block 0, and so do block 0's own.
    EditRecord(image, ntfs::RecordNumber(wide), [](std::vector<uint8_t>& rec) {
        auto parsed = ntfs::ParseFileRecord(rec);
        const auto* root = FindAttribute(*parsed, ntfs::kAttrIndexRoot);
        uint8_t* value = rec.data() + root->offset + root->valueOffset;
        const uint32_t first = 0x10 + ntfs::ByteReader(std::span(value, root->valueLength)).U32(0x10);
        const uint32_t length = 0x10 + ntfs::ByteReader(std::span(value, root->valueLength)).U32(0x14);
        for (uint32_t pos = first; pos < length;) {
            const uint16_t entryLength = uint16_t(value[pos + 8] | value[pos + 9] << 8);
            if (value[pos + 12] & 1) ntfs::StoreLe64(value + pos + entryLength - 8, 0);
            if (value[pos + 12] & 2) break;
            pos += entryLength;
        }
    });
    std::vector<uint8_t> block = image.Read(blockAt, 4096);
    ASSERT_EQ(ntfs::ApplyFixups(block), ntfs::FixupResult::kOk);
    const uint32_t first = 0x18 + ntfs::ByteReader(block).U32(0x18);
    const uint32_t length = 0x18 + ntfs::ByteReader(block).U32(0x1C);
    bool linked = false;
    for (uint32_t pos = first; pos < length;) {
        const uint16_t entryLength = uint16_t(block[pos + 8] | block[pos + 9] << 8);
        if (!(block[pos + 12] & 1)) {  // give a leaf entry a child: block 0 itself
            block[pos + 12] |= 1;
        }
        if (block[pos + 12] & 1 && entryLength >= 24) {
            ntfs::StoreLe64(block.data() + pos + entryLength - 8, 0);
            linked = true;
        }
        if (block[pos + 12] & 2) break;
        pos += entryLength;
    }
    ASSERT_TRUE(linked);
    ASSERT_TRUE(ntfs::ProtectFixups(block));
    image.Write(blockAt, block);

    vol::ImageVolumeApi api;
    ASSERT_EQ(api.Mount(L'V', image.wpath()), 0u);
    vol::FindData d;
    EXPECT_EQ(api.FindFirstFile(L"V:\\wide\\*", &d), vol::kInvalidHandle);
    EXPECT_EQ(api.GetLastError(), win::ERROR_FILE_CORRUPT_);
    EXPECT_EQ(api.CreateFile(L"\\\\?\\V:\\wide\\entry-0999.dat", 0, 7, win::OPEN_EXISTING_, 0), vol::kInvalidHandle);
    EXPECT_NE(api.FindFirstFile(L"V:\\*", &d), vol::kInvalidHandle);  // the rest of the volume still lists
}
