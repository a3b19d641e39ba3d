// Parsing of master-file-table buffers: file records, their attributes, file names, update
// sequences and the run list of the table itself. Pure functions over bytes; every field read
// is checked against the buffer it comes from.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zyr::engine {

// One run of the master file table's own data: where it lies and how many bytes it holds.
struct MftRun {
    int64_t lcn = 0;
    int64_t byteLength = 0;
};

// What the reader keeps of one file record.
struct MftFileEntry {
    int isFile = 1;  // 0 when the record's directory flag is set
    uint32_t attributes = 0;
    uint64_t recordNumber = 0;
    uint64_t parentRecord = 0;  // low 32 bits of the parent reference; 0 = no file name seen
    uint64_t allocatedSize = 0;
    uint64_t dataSize = 0;
    std::wstring shortName;  // last name of the 8.3 name space
    std::wstring longName;   // last name of any other name space
};

// A data attribute found by ParseRecord: its offset in the record and its length, cut to the
// record's size limit.
struct AttributeRef {
    uint32_t offset = 0;
    uint32_t length = 0;
};

inline constexpr uint32_t kFileSignature = 0x454C4946;  // "FILE"
inline constexpr uint16_t kRecordInUse = 0x0001;
inline constexpr uint16_t kRecordIsDirectory = 0x0002;
inline constexpr size_t kFileNameBufferBytes = 586;

// Walks the attributes of a file record. Collects data attributes into dataAttributes and fills
// entry (both optional). 0, or 87 for a bad signature or a walk that leaves the size limit.
uint32_t ParseRecord(std::span<const uint8_t> record, uint32_t sizeLimit, std::vector<AttributeRef>* dataAttributes,
                     MftFileEntry* entry);

// The value of the resident attribute at attributeOffset: its first min(length, 2048) bytes.
// 87 when the size limit is below 1024, 13 when the value does not lie inside the limit.
uint32_t CopyResidentValue(std::span<const uint8_t> record, uint32_t attributeOffset, uint32_t sizeLimit,
                           std::vector<uint8_t>& value);

// The run list of the table from its data attributes (in order, stopping at the first resident
// one). 87 without attributes.
uint32_t DecodeDataRuns(std::span<const uint8_t> record, const std::vector<AttributeRef>& dataAttributes,
                        int64_t clusterSize, std::vector<MftRun>& runs);

// Repairs the update sequence: the last word of every 512-byte stride that holds the update
// sequence number gets its saved word back. False when the record is not a whole number of
// strides; a stride whose word differs is left as it is.
bool ApplyFixups(std::span<uint8_t> record);

}  // namespace zyr::engine
