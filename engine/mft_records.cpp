// Bounds-checked parsing of file records and of the table's run list.
#include "engine/mft_records.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace zyr::engine {

namespace {

constexpr uint32_t kStandardInformation = 0x10;
constexpr uint32_t kFileName = 0x30;
constexpr uint32_t kData = 0x80;
constexpr uint32_t kEndOfAttributes = 0xFFFFFFFF;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorInvalidData = 13;
constexpr size_t kStride = 512;

template <typename T> T Read(std::span<const uint8_t> bytes, size_t offset) {
    T value{};
    if (offset <= bytes.size() && sizeof(T) <= bytes.size() - offset) std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

bool Fits(size_t offset, size_t length, size_t limit) { return offset <= limit && length <= limit - offset; }

std::wstring NameFrom(const uint8_t* buffer, size_t offset, size_t end) {
    std::wstring name;
    for (size_t p = offset; p + 2 <= end; p += 2) {
        const uint16_t unit = static_cast<uint16_t>(buffer[p] | (buffer[p + 1] << 8));
        if (unit == 0) break;
        name += static_cast<wchar_t>(unit);
    }
    return name;
}

void FillFromFileName(const std::vector<uint8_t>& value, MftFileEntry& entry) {
    uint8_t buffer[kFileNameBufferBytes] = {};
    if (!value.empty()) std::memcpy(buffer, value.data(), std::min(value.size(), sizeof(buffer)));
    const std::span<const uint8_t> b(buffer, sizeof(buffer));
    entry.parentRecord = Read<uint32_t>(b, 0);
    entry.allocatedSize = Read<uint64_t>(b, 40);
    entry.dataSize = Read<uint64_t>(b, 48);
    entry.attributes = Read<uint32_t>(b, 56);
    std::wstring name = NameFrom(buffer, 66, sizeof(buffer));
    if (buffer[65] == 2)
        entry.shortName = std::move(name);
    else
        entry.longName = std::move(name);
}

}  // namespace

uint32_t CopyResidentValue(std::span<const uint8_t> record, uint32_t attributeOffset, uint32_t sizeLimit,
                           std::vector<uint8_t>& value) {
    if (sizeLimit < 1024) return kErrorInvalidParameter;
    const size_t limit = std::min<size_t>(sizeLimit, record.size());
    if (!Fits(attributeOffset, 24, limit)) return kErrorInvalidData;
    const uint32_t length = Read<uint32_t>(record, attributeOffset + 16);
    const uint16_t offset = Read<uint16_t>(record, attributeOffset + 20);
    if (!Fits(size_t{attributeOffset} + offset, length, limit)) return kErrorInvalidData;
    const uint8_t* start = record.data() + attributeOffset + offset;
    value.assign(start, start + std::min<uint32_t>(length, 2048));
    return 0;
}

uint32_t ParseRecord(std::span<const uint8_t> record, uint32_t sizeLimit, std::vector<AttributeRef>* dataAttributes,
                     MftFileEntry* entry) {
    const size_t limit = std::min<size_t>(sizeLimit, record.size());
    if (limit < 48 || Read<uint32_t>(record, 0) != kFileSignature) return kErrorInvalidParameter;
    if (entry) {
        if (Read<uint16_t>(record, 22) & kRecordIsDirectory) entry->isFile = 0;
        entry->recordNumber = Read<uint32_t>(record, 44);
    }
    std::vector<uint8_t> value;
    size_t position = Read<uint16_t>(record, 20);
    for (;;) {
        if (!Fits(position, 4, limit)) return kErrorInvalidParameter;
        const uint32_t type = Read<uint32_t>(record, position);
        if (type == kEndOfAttributes) return 0;
        if (!Fits(position, 8, limit)) return kErrorInvalidParameter;
        const uint32_t length = Read<uint32_t>(record, position + 4);
        if (type == kData && dataAttributes) {
            dataAttributes->push_back(
                {static_cast<uint32_t>(position), static_cast<uint32_t>(std::min<size_t>(length, limit - position))});
        } else if (type == kStandardInformation) {
            if (CopyResidentValue(record, static_cast<uint32_t>(position), sizeLimit, value) != 0) return 0;
        } else if (type == kFileName) {
            if (CopyResidentValue(record, static_cast<uint32_t>(position), sizeLimit, value) != 0) return 0;
            if (entry) FillFromFileName(value, *entry);
        }
        if (length == 0) return 0;
        position += length;
    }
}

uint32_t DecodeDataRuns(std::span<const uint8_t> record, const std::vector<AttributeRef>& dataAttributes,
                        int64_t clusterSize, std::vector<MftRun>& runs) {
    if (dataAttributes.empty()) return kErrorInvalidParameter;
    runs.clear();
    if (clusterSize <= 0) return 0;
    for (const AttributeRef& attribute : dataAttributes) {
        if (!Fits(attribute.offset, attribute.length, record.size()) || attribute.length < 48) return 0;
        const auto a = record.subspan(attribute.offset, attribute.length);
        if (a[8] == 0) return 0;  // resident
        __int128 allocated = Read<int64_t>(a, 40);
        if (allocated == 0) allocated = __int128{Read<int64_t>(a, 24)} - Read<int64_t>(a, 16) + 1;
        __int128 bytes = 0;
        int64_t cluster = 0;
        size_t position = Read<uint16_t>(a, 32);
        for (;;) {
            if (position >= a.size()) return 0;  // the list runs off its attribute
            const uint8_t header = a[position];
            if (header == 0) break;
            const int lengthSize = header & 0x0F, offsetSize = header >> 4;
            if (lengthSize < 1 || lengthSize > 8 || offsetSize < 1 || offsetSize > 8) break;
            if (!Fits(position + 1, size_t(lengthSize + offsetSize), a.size())) return 0;
            uint64_t length = 0;
            for (int i = 0; i < lengthSize; ++i) length |= uint64_t{a[position + 1 + i]} << (8 * i);
            uint64_t offset = 0;
            for (int i = 0; i < offsetSize; ++i) offset |= uint64_t{a[position + 1 + lengthSize + i]} << (8 * i);
            if (offsetSize < 8 && (offset >> (8 * offsetSize - 1)) & 1) offset |= ~uint64_t{0} << (8 * offsetSize);
            position += 1 + lengthSize + offsetSize;
            cluster = static_cast<int64_t>(static_cast<uint64_t>(cluster) + offset);
            const __int128 runBytes = __int128{length} * clusterSize;
            bytes += runBytes;
            if (bytes > allocated || runBytes > INT64_MAX) break;
            if (cluster >= 0) runs.push_back({cluster, static_cast<int64_t>(runBytes)});
            if (bytes == allocated) break;
        }
    }
    return 0;
}

bool ApplyFixups(std::span<uint8_t> record) {
    if (record.size() < kStride || record.size() % kStride != 0) return false;
    uint16_t usn;
    std::memcpy(&usn, record.data() + 48, 2);
    for (size_t k = 1; k <= record.size() / kStride; ++k) {
        uint8_t* last = record.data() + k * kStride - 2;
        uint16_t word;
        std::memcpy(&word, last, 2);
        if (word == usn) std::memcpy(last, record.data() + 48 + 2 * k, 2);
    }
    return true;
}

}  // namespace zyr::engine
