// NTFS on-disk constants and field offsets (names as in the NTFS documentation).
#pragma once
#include <cstdint>

namespace zyr::ntfs {

// Update sequences protect every 512-byte block, whatever the sector size.
inline constexpr uint32_t kFixupBlock = 512;

// NTFS_BOOT_SECTOR
namespace boot {
inline constexpr size_t kOemId = 0x03;             // "NTFS    "
inline constexpr size_t kBytesPerSector = 0x0B;    // u16
inline constexpr size_t kSectorsPerCluster = 0x0D; // u8, 0xF0.. = 2^(256-v)
inline constexpr size_t kMediaType = 0x15;         // u8
inline constexpr size_t kNumberSectors = 0x28;     // i64
inline constexpr size_t kMftLcn = 0x30;            // i64
inline constexpr size_t kMftMirrLcn = 0x38;        // i64
inline constexpr size_t kClustersPerRecord = 0x40; // i8
inline constexpr size_t kClustersPerIndex = 0x44;  // i8
inline constexpr size_t kSerialNumber = 0x48;      // u64
inline constexpr size_t kEndMarker = 0x1FE;        // 0xAA55
}  // namespace boot

// MFT_RECORD
namespace rec {
inline constexpr size_t kMagic = 0x00;
inline constexpr size_t kUsaOffset = 0x04;       // u16
inline constexpr size_t kUsaCount = 0x06;        // u16
inline constexpr size_t kSequence = 0x10;        // u16
inline constexpr size_t kLinkCount = 0x12;       // u16
inline constexpr size_t kAttrsOffset = 0x14;     // u16
inline constexpr size_t kFlags = 0x16;           // u16
inline constexpr size_t kBytesInUse = 0x18;      // u32
inline constexpr size_t kBytesAllocated = 0x1C;  // u32
inline constexpr size_t kBaseRecord = 0x20;      // u64 reference
inline constexpr uint16_t kFlagInUse = 0x0001;
inline constexpr uint16_t kFlagDirectory = 0x0002;
}  // namespace rec

// ATTR_RECORD
namespace attr {
inline constexpr size_t kType = 0x00;             // u32
inline constexpr size_t kLength = 0x04;           // u32
inline constexpr size_t kNonResident = 0x08;      // u8
inline constexpr size_t kNameLength = 0x09;       // u8, UTF-16 units
inline constexpr size_t kNameOffset = 0x0A;       // u16
inline constexpr size_t kFlags = 0x0C;            // u16
inline constexpr size_t kInstance = 0x0E;         // u16
inline constexpr size_t kValueLength = 0x10;      // u32 (resident)
inline constexpr size_t kValueOffset = 0x14;      // u16 (resident)
inline constexpr size_t kLowestVcn = 0x10;        // i64 (non-resident)
inline constexpr size_t kHighestVcn = 0x18;       // i64
inline constexpr size_t kMappingPairsOffset = 0x20;  // u16
inline constexpr size_t kCompressionUnit = 0x22;  // u8
inline constexpr size_t kAllocatedSize = 0x28;    // i64
inline constexpr size_t kDataSize = 0x30;         // i64
inline constexpr size_t kInitializedSize = 0x38;  // i64
inline constexpr size_t kCompressedSize = 0x40;   // i64, compressed or sparse only
inline constexpr size_t kResidentHeader = 0x18;
inline constexpr size_t kNonResidentHeader = 0x40;
inline constexpr uint16_t kFlagCompressedMask = 0x00FF;
inline constexpr uint16_t kFlagEncrypted = 0x4000;
inline constexpr uint16_t kFlagSparse = 0x8000;
}  // namespace attr

enum AttrType : uint32_t {
    kAttrStandardInformation = 0x10,
    kAttrAttributeList = 0x20,
    kAttrFileName = 0x30,
    kAttrVolumeName = 0x60,
    kAttrVolumeInformation = 0x70,
    kAttrData = 0x80,
    kAttrIndexRoot = 0x90,
    kAttrIndexAllocation = 0xA0,
    kAttrBitmap = 0xB0,
    kAttrReparsePoint = 0xC0,
    kAttrEnd = 0xFFFFFFFFu,
};

// FILE_NAME value
namespace fname {
inline constexpr size_t kParent = 0x00;
inline constexpr size_t kCreationTime = 0x08;
inline constexpr size_t kWriteTime = 0x10;
inline constexpr size_t kChangeTime = 0x18;
inline constexpr size_t kAccessTime = 0x20;
inline constexpr size_t kAllocatedSize = 0x28;
inline constexpr size_t kDataSize = 0x30;
inline constexpr size_t kFileAttributes = 0x38;
inline constexpr size_t kNameLength = 0x40;
inline constexpr size_t kNameSpace = 0x41;
inline constexpr size_t kName = 0x42;
inline constexpr uint8_t kNameSpaceDos = 2;
}  // namespace fname

// STANDARD_INFORMATION value
namespace stdinfo {
inline constexpr size_t kFileAttributes = 0x20;
}

// Index structures.
namespace index {
inline constexpr size_t kRootBlockSize = 0x08;   // u32 in INDEX_ROOT
inline constexpr size_t kRootHeader = 0x10;      // INDEX_HEADER in INDEX_ROOT
inline constexpr size_t kBlockVcn = 0x10;        // i64 in INDX block
inline constexpr size_t kBlockHeader = 0x18;     // INDEX_HEADER in INDX block
inline constexpr size_t kHeaderEntriesOffset = 0x00;
inline constexpr size_t kHeaderIndexLength = 0x04;
inline constexpr size_t kEntryRef = 0x00;
inline constexpr size_t kEntryLength = 0x08;
inline constexpr size_t kEntryKeyLength = 0x0A;
inline constexpr size_t kEntryFlags = 0x0C;
inline constexpr size_t kEntryKey = 0x10;
inline constexpr uint16_t kEntryHasChild = 1;
inline constexpr uint16_t kEntryLast = 2;
}  // namespace index

// Well-known records.
enum : uint64_t {
    kRecordMft = 0,
    kRecordMftMirr = 1,
    kRecordVolume = 3,
    kRecordRoot = 5,
    kRecordBitmap = 6,
    kRecordBadClus = 8,
    kRecordUpCase = 10,
    kRecordExtend = 11,
    kFirstUserRecord = 24,
};

inline constexpr uint64_t RecordNumber(uint64_t reference) noexcept { return reference & 0x0000FFFFFFFFFFFFull; }

}  // namespace zyr::ntfs
