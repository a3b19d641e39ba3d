// SummariseRecord: the facts of a plain base record, with the same checks as the full load.
#include "volumes/ntfsimage/record_summary.h"

#include "volumes/ntfsimage/file_record.h"
#include "volumes/ntfsimage/ntfs_layout.h"

namespace zyr::ntfs {

RecordSummary SummariseRecord(Bytes bytes, const Geometry& g, RunList* runs) {
    return SummariseRecord(bytes, ParseFileRecord(bytes), g, runs);
}

RecordSummary SummariseRecord(Bytes bytes, const std::optional<FileRecord>& record, const Geometry& g, RunList* runs) {
    RecordSummary s;
    runs->clear();
    s.state = RecordSummary::State::kFull;
    if (!record || !record->InUse() || RecordNumber(record->baseReference) != 0) return s;
    const bool directory = record->IsDirectory();
    const uint32_t streamType = directory ? kAttrIndexAllocation : kAttrData;
    const wchar_t* streamName = directory ? L"$I30" : L"";
    const AttributeView* stream = nullptr;
    bool sizeFound = false;
    for (const AttributeView& a : record->attributes) {
        if (a.type == kAttrAttributeList) return s;
        if (a.type == kAttrData && a.name.empty() && a.lowestVcn == 0 && !sizeFound) {
            s.dataSize = a.nonResident ? a.dataSize : int64_t(a.valueLength);
            sizeFound = true;
        }
        if (a.type == streamType && a.name == streamName) {
            if (stream) return s;  // several extents: the full load joins them
            stream = &a;
        }
        if (a.nonResident) continue;
        if (a.type == kAttrStandardInformation && s.standardAttributes == 0) {
            ByteReader r(ResidentValue(bytes, a));
            s.standardAttributes = r.U32(stdinfo::kFileAttributes);
        } else if (a.type == kAttrFileName && s.parent == 0) {
            // What ParseFileName accepts, without copying the name.
            ByteReader r(ResidentValue(bytes, a));
            const uint64_t parent = r.U64(fname::kParent);
            const uint8_t length = r.U8(fname::kNameLength);
            if (r.ok() && length != 0 && r.Has(fname::kName, size_t(length) * 2)) s.parent = parent;
        }
    }
    if (stream && stream->nonResident) {
        // The checks of joining a stream's extents, for its only extent.
        const int64_t cs = g.bytesPerCluster;
        if (stream->lowestVcn != 0) return s;
        const int64_t next = stream->highestVcn >= 0 ? stream->highestVcn + 1 : 0;
        for (const Run& r : stream->runs)
            if (r.lcn != kHoleLcn && r.lcn + r.length > g.totalClusters) return s;
        if (stream->allocatedSize % cs || next * cs > stream->allocatedSize || stream->dataSize > stream->allocatedSize ||
            stream->initializedSize > stream->allocatedSize)
            return s;
        *runs = MergeRuns(stream->runs);
        s.runCount = uint32_t(runs->size());
        s.allocatedSize = stream->allocatedSize;
    }
    s.hasStream = stream != nullptr;
    s.streamResident = stream && !stream->nonResident;
    s.directory = directory;
    s.state = RecordSummary::State::kSimple;
    return s;
}

}  // namespace zyr::ntfs
