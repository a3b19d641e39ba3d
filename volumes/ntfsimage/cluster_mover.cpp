// The checks, run-list rewrite and ordered writes of one cluster move.
#include "volumes/ntfsimage/cluster_mover.h"

#include "engine/win32_defs.h"
#include "volumes/ntfsimage/file_record.h"
#include "volumes/ntfsimage/ntfs_layout.h"

#include <algorithm>
#include <cstring>

namespace zyr::ntfs {
namespace {

constexpr int64_t kCopyChunkBytes = 1 << 20;

// Records below 24 and everything below $Extend stay where they are.
uint32_t CheckMovable(NtfsVolume& vol, const LoadedFile& file) {
    if (file.number < kFirstUserRecord) return win::ERROR_ACCESS_DENIED_;
    uint64_t parent = RecordNumber(file.parent);
    for (int depth = 0; depth < 256 && parent != kRecordRoot; ++depth) {
        if (parent == kRecordExtend) return win::ERROR_ACCESS_DENIED_;
        if (parent < kFirstUserRecord) return 0;
        if (const RecordSummary* summary = vol.SimpleSummary(parent)) {
            parent = RecordNumber(summary->parent);
            continue;
        }
        std::shared_ptr<const LoadedFile> up;
        if (vol.LoadFileShared(parent, &up)) return 0;
        parent = RecordNumber(up->parent);
    }
    return 0;
}

// Bits [first, first + count) of $Bitmap: all clear (want == false) or set them / clear them.
uint32_t TestBits(NtfsVolume& vol, int64_t first, int64_t count, bool* allClear) {
    const int64_t byte0 = first / 8, byte1 = (first + count + 7) / 8;
    std::vector<uint8_t> bytes(size_t(byte1 - byte0));
    if (uint32_t e = vol.ReadBitmap(byte0, bytes)) return e;
    *allClear = true;
    for (int64_t c = first; c < first + count; ++c)
        if (bytes[size_t(c / 8 - byte0)] & (1u << (c % 8))) *allClear = false;
    return 0;
}

uint32_t SetBits(NtfsVolume& vol, int64_t first, int64_t count, bool value) {
    const int64_t byte0 = first / 8, byte1 = (first + count + 7) / 8;
    std::vector<uint8_t> bytes(size_t(byte1 - byte0));
    if (uint32_t e = vol.ReadBitmap(byte0, bytes)) return e;
    for (int64_t c = first; c < first + count; ++c) {
        uint8_t& b = bytes[size_t(c / 8 - byte0)];
        b = value ? uint8_t(b | (1u << (c % 8))) : uint8_t(b & ~(1u << (c % 8)));
    }
    return vol.WriteBitmap(byte0, bytes);
}

struct RecordEdit {
    uint64_t record = 0;
    std::vector<uint8_t> bytes;  // fixups applied
};

// Replaces an attribute's mapping pairs in a record, shifting what follows. False when the
// record has no room for them.
bool RewriteMappingPairs(std::vector<uint8_t>& rec, const AttributeView& a, const std::vector<uint8_t>& pairs) {
    ByteReader r(rec);
    const uint32_t bytesInUse = r.U32(rec::kBytesInUse);
    const uint32_t bytesAllocated = r.U32(rec::kBytesAllocated);
    const uint32_t oldLength = a.length;
    const uint32_t newLength = (uint32_t(a.mappingPairsOffset) + uint32_t(pairs.size()) + 7) & ~7u;
    const uint32_t newInUse = bytesInUse - oldLength + newLength;
    if (newInUse > bytesAllocated || a.offset + oldLength > bytesInUse) return false;
    std::vector<uint8_t> tail(rec.begin() + a.offset + oldLength, rec.begin() + bytesInUse);
    uint8_t* attrStart = rec.data() + a.offset;
    std::fill(attrStart + a.mappingPairsOffset, rec.data() + bytesAllocated, 0);
    std::memcpy(attrStart + a.mappingPairsOffset, pairs.data(), pairs.size());
    std::memcpy(attrStart + newLength, tail.data(), tail.size());
    StoreLe32(attrStart + attr::kLength, newLength);
    StoreLe32(rec.data() + rec::kBytesInUse, newInUse);
    return true;
}

}  // namespace

uint32_t MoveClusters(NtfsVolume& vol, const MoveRequest& req) {
    const Geometry& g = vol.geometry();
    const int64_t cs = g.bytesPerCluster;
    if (req.clusterCount == 0 || req.startingVcn < 0 || req.startingLcn < 0) return win::ERROR_INVALID_PARAMETER_;

    std::shared_ptr<const LoadedFile> shared;
    if (uint32_t e = vol.LoadFileShared(req.record, &shared)) return e;
    const LoadedFile& file = *shared;
    if (uint32_t e = CheckMovable(vol, file)) return e;
    Stream stream;
    const uint32_t found = file.IsDirectory() ? vol.GetStream(file, kAttrIndexAllocation, L"$I30", &stream)
                                              : vol.GetStream(file, kAttrData, L"", &stream);
    if (found == win::ERROR_FILE_NOT_FOUND_) return win::ERROR_INVALID_PARAMETER_;
    if (found) return found;
    if (stream.resident) return win::ERROR_INVALID_PARAMETER_;

    const int64_t allocated = stream.allocatedSize / cs;
    if (req.startingVcn >= allocated) return 0;  // beyond the allocation: nothing to move
    const bool unitAligned = stream.IsCompressed() || stream.IsSparse();
    // Compressed streams move in whole compression units.
    if (stream.IsCompressed()) {
        const int64_t unit = int64_t(1) << stream.compressionUnit;
        if (req.startingVcn % unit || req.clusterCount % unit) return win::ERROR_INVALID_PARAMETER_;
    }
    // Clusters allocated past the end of the data (a preallocated tail) may not be moved.
    const int64_t limit = unitAligned ? allocated : (stream.dataSize + cs - 1) / cs;
    const int64_t endVcn = req.startingVcn + int64_t(req.clusterCount);
    if (endVcn > limit) return win::ERROR_INVALID_PARAMETER_;

    // New run list: allocated clusters of the range packed from StartingLcn.
    RunList next;
    int64_t needed = 0;
    for (const Run& run : stream.runs) {
        const RunList one{run};
        const RunList pieces[] = {SliceRuns(one, run.vcn, req.startingVcn), SliceRuns(one, req.startingVcn, endVcn),
                                  SliceRuns(one, endVcn, run.vcn + run.length)};
        for (const RunList& piece : pieces) {
            for (Run p : piece) {
                const bool inside = p.vcn >= req.startingVcn && p.vcn < endVcn;
                if (inside && p.lcn != kHoleLcn) {
                    p.lcn = req.startingLcn + needed;
                    needed += p.length;
                }
                next.push_back(p);
            }
        }
    }
    if (needed == 0) return 0;
    if (req.startingLcn + needed > g.totalClusters) return win::ERROR_INVALID_PARAMETER_;
    bool clear = false;
    if (uint32_t e = TestBits(vol, req.startingLcn, needed, &clear)) return e;
    if (!clear) return win::ERROR_ACCESS_DENIED_;  // STATUS_ALREADY_COMMITTED

    // Re-encode every extent whose runs changed; refuse before writing if one does not fit.
    std::vector<RecordEdit> edits;
    for (const AttributeExtent& extent : stream.extents) {
        const AttributeView& a = extent.view;
        const int64_t lo = a.lowestVcn, hi = a.highestVcn + 1;
        RunList oldRuns = MergeRuns(SliceRuns(stream.runs, lo, hi));
        RunList newRuns = MergeRuns(SliceRuns(next, lo, hi));
        if (oldRuns == newRuns && EncodeRunList(a.runs) == EncodeRunList(newRuns)) continue;
        auto it = std::find_if(edits.begin(), edits.end(), [&](const RecordEdit& r) { return r.record == extent.record; });
        if (it == edits.end()) {
            edits.push_back({extent.record, {}});
            it = edits.end() - 1;
            if (uint32_t e = vol.ReadRecord(extent.record, &it->bytes)) return e;
        }
        // Find the attribute again: an earlier edit in this record may have shifted it.
        auto parsed = ParseFileRecord(it->bytes);
        if (!parsed) return win::ERROR_FILE_CORRUPT_;
        auto same = std::find_if(parsed->attributes.begin(), parsed->attributes.end(), [&](const AttributeView& v) {
            return v.type == a.type && v.name == a.name && v.nonResident && v.lowestVcn == a.lowestVcn;
        });
        if (same == parsed->attributes.end()) return win::ERROR_FILE_CORRUPT_;
        if (!RewriteMappingPairs(it->bytes, *same, EncodeRunList(newRuns))) return win::ERROR_DISK_FULL_;
    }
    if (!vol.device().writable()) return win::ERROR_WRITE_PROTECT_;

    // 1. Claim the destination.
    if (uint32_t e = SetBits(vol, req.startingLcn, needed, true)) return e;
    // 2. Copy whole raw clusters.
    std::vector<uint8_t> buffer;
    for (size_t i = 0; i < stream.runs.size(); ++i) {
        for (const Run& src : SliceRuns(RunList{stream.runs[i]}, req.startingVcn, endVcn)) {
            if (src.lcn == kHoleLcn) continue;
            const Run* dst = nullptr;
            for (const Run& n : next)
                if (n.vcn <= src.vcn && src.vcn < n.vcn + n.length) dst = &n;
            if (!dst) return win::ERROR_FILE_CORRUPT_;
            const int64_t dstLcn = dst->lcn + (src.vcn - dst->vcn);
            for (int64_t done = 0; done < src.length * cs;) {
                const int64_t chunk = std::min(kCopyChunkBytes, src.length * cs - done);
                buffer.resize(size_t(chunk));
                if (!vol.device().ReadAt(src.lcn * cs + done, buffer)) return win::ERROR_READ_FAULT_;
                if (!vol.device().WriteAt(dstLcn * cs + done, buffer)) return win::ERROR_WRITE_FAULT_;
                done += chunk;
            }
        }
    }
    // 3. Commit: the records now point at the copies.
    for (RecordEdit& edit : edits)
        if (uint32_t e = vol.WriteRecord(edit.record, std::move(edit.bytes))) return e;
    // 4. Free the source.
    for (const Run& src : SliceRuns(stream.runs, req.startingVcn, endVcn))
        if (src.lcn != kHoleLcn)
            if (uint32_t e = SetBits(vol, src.lcn, src.length, false)) return e;
    return 0;
}

}  // namespace zyr::ntfs
