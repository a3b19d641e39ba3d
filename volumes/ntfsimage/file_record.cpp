// FILE record, attribute, attribute-list and file-name parsing over bounds-checked spans.
#include "volumes/ntfsimage/file_record.h"

#include "volumes/ntfsimage/ntfs_layout.h"

#include <cstring>

namespace zyr::ntfs {
namespace {

std::wstring ReadName(ByteReader& r, size_t offset, size_t units) {
    std::wstring name;
    if (!r.Has(offset, units * 2)) {
        r.Sub(offset, units * 2);  // marks the reader failed
        return name;
    }
    name.resize(units);
    for (size_t i = 0; i < units; ++i) name[i] = wchar_t(r.U16(offset + 2 * i));
    return name;
}

RecordError ParseAttribute(ByteReader& r, uint32_t offset, uint32_t length, AttributeView* a) {
    ByteReader ar(r.Sub(offset, length));
    if (!ar.ok() || length < attr::kResidentHeader) return RecordError::kAttribute;
    a->type = ar.U32(attr::kType);
    a->offset = offset;
    a->length = length;
    a->nonResident = ar.U8(attr::kNonResident) != 0;
    const uint8_t nameLength = ar.U8(attr::kNameLength);
    const uint16_t nameOffset = ar.U16(attr::kNameOffset);
    a->flags = ar.U16(attr::kFlags);
    a->instance = ar.U16(attr::kInstance);
    if (nameLength) {
        if (nameOffset < (a->nonResident ? attr::kNonResidentHeader : attr::kResidentHeader)) return RecordError::kAttribute;
        a->name = ReadName(ar, nameOffset, nameLength);
        if (!ar.ok()) return RecordError::kAttribute;
    }
    if (!a->nonResident) {
        a->valueLength = ar.U32(attr::kValueLength);
        a->valueOffset = ar.U16(attr::kValueOffset);
        if (!ar.Has(a->valueOffset, a->valueLength) || a->valueOffset < attr::kResidentHeader) return RecordError::kAttribute;
        return RecordError::kNone;
    }
    if (length < attr::kNonResidentHeader) return RecordError::kAttribute;
    a->lowestVcn = ar.I64(attr::kLowestVcn);
    a->highestVcn = ar.I64(attr::kHighestVcn);
    a->mappingPairsOffset = ar.U16(attr::kMappingPairsOffset);
    a->compressionUnit = ar.U8(attr::kCompressionUnit);
    a->allocatedSize = ar.I64(attr::kAllocatedSize);
    a->dataSize = ar.I64(attr::kDataSize);
    a->initializedSize = ar.I64(attr::kInitializedSize);
    if (a->lowestVcn < 0 || a->highestVcn < -1 || a->allocatedSize < 0 || a->dataSize < 0 ||
        a->initializedSize < 0 || a->mappingPairsOffset < attr::kNonResidentHeader ||
        a->mappingPairsOffset >= length || a->compressionUnit > 16)
        return RecordError::kAttribute;
    auto runs = DecodeRunList(ar.Sub(a->mappingPairsOffset, length - a->mappingPairsOffset), a->lowestVcn);
    if (!runs) return RecordError::kRunList;
    // The runs must cover exactly lowest..highest VCN.
    const int64_t end = runs->empty() ? a->lowestVcn : runs->back().vcn + runs->back().length;
    if (a->highestVcn == -1 ? !runs->empty() : end != a->highestVcn + 1) return RecordError::kRunList;
    a->runs = std::move(*runs);
    return RecordError::kNone;
}

}  // namespace

std::optional<FileRecord> ParseFileRecord(Bytes bytes, RecordError* error) noexcept {
    RecordError ignored;
    RecordError& err = error ? *error : ignored;
    err = RecordError::kNone;
    try {
        ByteReader r(bytes);
        if (!r.Has(0, 48) || std::memcmp(bytes.data(), "FILE", 4) != 0) {
            err = RecordError::kSignature;
            return std::nullopt;
        }
        FileRecord rec;
        rec.sequence = r.U16(rec::kSequence);
        rec.linkCount = r.U16(rec::kLinkCount);
        rec.flags = r.U16(rec::kFlags);
        rec.bytesInUse = r.U32(rec::kBytesInUse);
        rec.bytesAllocated = r.U32(rec::kBytesAllocated);
        rec.baseReference = r.U64(rec::kBaseRecord);
        const uint32_t usaEnd = r.U16(rec::kUsaOffset) + 2u * r.U16(rec::kUsaCount);
        const uint32_t attrsOffset = r.U16(rec::kAttrsOffset);
        if (rec.bytesAllocated != bytes.size() || rec.bytesInUse > rec.bytesAllocated || (rec.bytesInUse & 7) ||
            (attrsOffset & 7) || attrsOffset < usaEnd || attrsOffset + 8u > rec.bytesInUse) {
            err = RecordError::kHeader;
            return std::nullopt;
        }
        ByteReader used(bytes.first(rec.bytesInUse));
        rec.attributes.reserve(8);
        uint32_t offset = attrsOffset;
        for (;;) {
            const uint32_t type = used.U32(offset);
            if (!used.ok()) {
                err = RecordError::kAttribute;
                return std::nullopt;
            }
            if (type == kAttrEnd) break;
            const uint32_t length = used.U32(offset + attr::kLength);
            if (!used.ok() || length < attr::kResidentHeader || (length & 7) || !used.Has(offset, length)) {
                err = RecordError::kAttribute;
                return std::nullopt;
            }
            AttributeView a;
            err = ParseAttribute(used, offset, length, &a);
            if (err != RecordError::kNone) return std::nullopt;
            rec.attributes.push_back(std::move(a));
            offset += length;
        }
        return rec;
    } catch (...) {  // allocation failure
        err = RecordError::kAttribute;
        return std::nullopt;
    }
}

Bytes ResidentValue(Bytes record, const AttributeView& a) noexcept {
    ByteReader r(record);
    return r.Sub(size_t(a.offset) + a.valueOffset, a.valueLength);
}

std::optional<std::vector<AttributeListEntry>> ParseAttributeList(Bytes value) noexcept {
    try {
        std::vector<AttributeListEntry> entries;
        ByteReader r(value);
        size_t pos = 0;
        while (pos < value.size()) {
            if (!r.Has(pos, 0x1A)) return std::nullopt;
            AttributeListEntry e;
            e.type = r.U32(pos + 0x00);
            const uint16_t length = r.U16(pos + 0x04);
            const uint8_t nameLength = r.U8(pos + 0x06);
            const uint8_t nameOffset = r.U8(pos + 0x07);
            e.lowestVcn = r.I64(pos + 0x08);
            e.reference = r.U64(pos + 0x10);
            e.instance = r.U16(pos + 0x18);
            if (length < 0x1A || !r.Has(pos, length) || e.lowestVcn < 0) return std::nullopt;
            if (nameLength) {
                if (nameOffset < 0x1A || nameOffset + nameLength * 2u > length) return std::nullopt;
                e.name = ReadName(r, pos + nameOffset, nameLength);
            }
            if (!r.ok()) return std::nullopt;
            entries.push_back(std::move(e));
            pos += length;
        }
        return entries;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<FileName> ParseFileName(Bytes value) noexcept {
    try {
        ByteReader r(value);
        FileName f;
        f.parent = r.U64(fname::kParent);
        f.creationTime = r.U64(fname::kCreationTime);
        f.writeTime = r.U64(fname::kWriteTime);
        f.changeTime = r.U64(fname::kChangeTime);
        f.accessTime = r.U64(fname::kAccessTime);
        f.allocatedSize = r.I64(fname::kAllocatedSize);
        f.dataSize = r.I64(fname::kDataSize);
        f.fileAttributes = r.U32(fname::kFileAttributes);
        const uint8_t length = r.U8(fname::kNameLength);
        f.nameSpace = r.U8(fname::kNameSpace);
        f.name = ReadName(r, fname::kName, length);
        if (!r.ok() || length == 0) return std::nullopt;
        return f;
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace zyr::ntfs
