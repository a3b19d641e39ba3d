// FILE records and their attributes, parsed from a buffer whose fixups were applied.
#pragma once
#include "volumes/ntfsimage/byte_reader.h"
#include "volumes/ntfsimage/run_list.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zyr::ntfs {

struct AttributeView {
    uint32_t type = 0;
    uint32_t offset = 0;  // within the record
    uint32_t length = 0;
    bool nonResident = false;
    std::wstring name;  // UTF-16 units
    uint16_t flags = 0;
    uint16_t instance = 0;
    // Resident: the value's place within the record.
    uint32_t valueOffset = 0;
    uint32_t valueLength = 0;
    // Non-resident.
    int64_t lowestVcn = 0;
    int64_t highestVcn = -1;
    uint16_t mappingPairsOffset = 0;
    uint8_t compressionUnit = 0;
    int64_t allocatedSize = 0;  // the size fields are valid in the extent with lowestVcn 0
    int64_t dataSize = 0;
    int64_t initializedSize = 0;
    RunList runs;

    bool IsCompressed() const noexcept { return (flags & 0x00FF) != 0; }
    bool IsSparse() const noexcept { return (flags & 0x8000) != 0; }
    bool IsEncrypted() const noexcept { return (flags & 0x4000) != 0; }
};

struct FileRecord {
    uint16_t sequence = 0;
    uint16_t linkCount = 0;
    uint16_t flags = 0;
    uint32_t bytesInUse = 0;
    uint32_t bytesAllocated = 0;
    uint64_t baseReference = 0;
    std::vector<AttributeView> attributes;

    bool InUse() const noexcept { return flags & 0x0001; }
    bool IsDirectory() const noexcept { return flags & 0x0002; }
};

enum class RecordError { kNone, kSignature, kHeader, kAttribute, kRunList };

// Validates in ntfs-3g's order (signature, allocated size, bytes in use, alignment, then each
// attribute against the record and each mapping pair against its attribute) and parses.
std::optional<FileRecord> ParseFileRecord(Bytes record, RecordError* error = nullptr) noexcept;

// A resident value of an attribute in the record it was parsed from.
Bytes ResidentValue(Bytes record, const AttributeView& a) noexcept;

// One entry of an $ATTRIBUTE_LIST value.
struct AttributeListEntry {
    uint32_t type = 0;
    std::wstring name;
    int64_t lowestVcn = 0;
    uint64_t reference = 0;
    uint16_t instance = 0;
};
std::optional<std::vector<AttributeListEntry>> ParseAttributeList(Bytes value) noexcept;

// A FILE_NAME value (the attribute, or the key of a directory index entry).
struct FileName {
    uint64_t parent = 0;
    uint64_t creationTime = 0;
    uint64_t writeTime = 0;
    uint64_t changeTime = 0;
    uint64_t accessTime = 0;
    int64_t allocatedSize = 0;
    int64_t dataSize = 0;
    uint32_t fileAttributes = 0;
    uint8_t nameSpace = 0;
    std::wstring name;
};
std::optional<FileName> ParseFileName(Bytes value) noexcept;

}  // namespace zyr::ntfs
