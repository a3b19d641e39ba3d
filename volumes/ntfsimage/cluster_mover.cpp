// The checks, run-list rewrite and ordered writes of one cluster move.
#include "volumes/ntfsimage/cluster_mover.h"

#include "engine/win32_defs.h"
#include "volumes/ntfsimage/file_record.h"
#include "volumes/ntfsimage/ntfs_layout.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace zyr::ntfs {
namespace {

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

// The bytes of $Bitmap that hold clusters [first, first + count): a few bytes on the stack, more
// on the heap.
class BitmapBytes {
public:
    BitmapBytes(int64_t first, int64_t count) : byte0_(first / 8), size_(size_t((first + count + 7) / 8 - first / 8)) {
        if (size_ > sizeof small_) large_.resize(size_);
    }
    int64_t firstByte() const noexcept { return byte0_; }
    std::span<uint8_t> bytes() noexcept { return {large_.empty() ? small_ : large_.data(), size_}; }
    // Bit of cluster c (which must lie in the range).
    uint8_t& ByteOf(int64_t c) noexcept { return bytes()[size_t(c / 8 - byte0_)]; }

private:
    int64_t byte0_;
    size_t size_;
    uint8_t small_[64];
    std::vector<uint8_t> large_;
};

// Whether bits [first, first + count) of $Bitmap are all clear.
uint32_t TestBits(NtfsVolume& vol, int64_t first, int64_t count, bool* allClear) {
    BitmapBytes bits(first, count);
    if (uint32_t e = vol.ReadBitmap(bits.firstByte(), bits.bytes())) return e;
    *allClear = true;
    for (int64_t c = first; c < first + count; ++c)
        if (bits.ByteOf(c) & (1u << (c % 8))) *allClear = false;
    return 0;
}

// Sets or clears bits [first, first + count) of $Bitmap with one write.
uint32_t SetBits(NtfsVolume& vol, int64_t first, int64_t count, bool value) {
    BitmapBytes bits(first, count);
    if (uint32_t e = vol.ReadBitmap(bits.firstByte(), bits.bytes())) return e;
    for (int64_t c = first; c < first + count; ++c) {
        uint8_t& b = bits.ByteOf(c);
        b = value ? uint8_t(b | (1u << (c % 8))) : uint8_t(b & ~(1u << (c % 8)));
    }
    return vol.WriteBitmap(bits.firstByte(), bits.bytes());
}

struct RecordEdit {
    uint64_t record = 0;
    std::vector<uint8_t> bytes;  // fixups applied
    int edits = 0;               // attributes rewritten in it so far
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
    const uint32_t tail = bytesInUse - (a.offset + oldLength);
    uint8_t* attrStart = rec.data() + a.offset;
    std::memmove(attrStart + newLength, attrStart + oldLength, tail);
    std::memcpy(attrStart + a.mappingPairsOffset, pairs.data(), pairs.size());
    std::fill(attrStart + a.mappingPairsOffset + pairs.size(), attrStart + newLength, 0);
    std::fill(rec.data() + newInUse, rec.data() + bytesAllocated, 0);
    StoreLe32(attrStart + attr::kLength, newLength);
    StoreLe32(rec.data() + rec::kBytesInUse, newInUse);
    return true;
}

// Whether the attribute header at view.offset is still the one the view was parsed from.
bool SameHeader(const std::vector<uint8_t>& rec, const AttributeView& view) {
    ByteReader r(rec);
    return view.nonResident && r.U32(view.offset + attr::kType) == view.type &&
           r.U32(view.offset + attr::kLength) == view.length && r.U8(view.offset + attr::kNonResident) == 1 &&
           r.U16(view.offset + attr::kMappingPairsOffset) == view.mappingPairsOffset && r.ok();
}

// One stretch of clusters to copy.
struct ClusterCopy {
    int64_t from = 0;
    int64_t to = 0;
    int64_t length = 0;
};

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

    // New run list: allocated clusters of the range packed from StartingLcn; each run cut where
    // the range begins and ends.
    RunList next;
    std::vector<ClusterCopy> copies;
    next.reserve(stream.runs.size() + 2);
    int64_t needed = 0;
    for (const Run& run : stream.runs) {
        const int64_t end = run.vcn + run.length;
        int64_t vcn = run.vcn;
        for (const int64_t cut : {req.startingVcn, endVcn, end}) {
            const int64_t to = std::min(cut, end);
            if (to <= vcn) continue;
            Run piece{vcn, run.lcn == kHoleLcn ? kHoleLcn : run.lcn + (vcn - run.vcn), to - vcn};
            if (vcn >= req.startingVcn && vcn < endVcn && piece.lcn != kHoleLcn) {
                ClusterCopy* last = copies.empty() ? nullptr : &copies.back();
                if (last && last->from + last->length == piece.lcn && last->to + last->length == req.startingLcn + needed)
                    last->length += piece.length;
                else
                    copies.push_back({piece.lcn, req.startingLcn + needed, piece.length});
                piece.lcn = req.startingLcn + needed;
                needed += piece.length;
            }
            next.push_back(piece);
            vcn = to;
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
            edits.push_back({extent.record, {}, 0});
            it = edits.end() - 1;
            if (uint32_t e = vol.ReadRecord(extent.record, &it->bytes)) return e;
        }
        // The loaded view still describes the record it was read from, unless an earlier edit in
        // this record shifted it: then the record is parsed again.
        std::optional<FileRecord> parsed;
        const AttributeView* view = &a;
        if (it->edits++ > 0 || !SameHeader(it->bytes, a)) {
            parsed = ParseFileRecord(it->bytes);
            if (!parsed) return win::ERROR_FILE_CORRUPT_;
            auto same = std::find_if(parsed->attributes.begin(), parsed->attributes.end(), [&](const AttributeView& v) {
                return v.type == a.type && v.name == a.name && v.nonResident && v.lowestVcn == a.lowestVcn;
            });
            if (same == parsed->attributes.end()) return win::ERROR_FILE_CORRUPT_;
            view = &*same;
        }
        if (!RewriteMappingPairs(it->bytes, *view, EncodeRunList(newRuns))) return win::ERROR_DISK_FULL_;
    }
    if (!vol.device().writable()) return win::ERROR_WRITE_PROTECT_;
    const int64_t deviceClusters = vol.device().size() / cs;
    for (const ClusterCopy& c : copies)
        if (c.from + c.length > deviceClusters || c.to + c.length > deviceClusters) return win::ERROR_READ_FAULT_;

    // 1. Claim the destination.
    if (uint32_t e = SetBits(vol, req.startingLcn, needed, true)) return e;
    // 2. Copy whole raw clusters.
    for (const ClusterCopy& c : copies)
        if (!vol.device().CopyWithin(c.from * cs, c.to * cs, c.length * cs)) return win::ERROR_WRITE_FAULT_;
    // 3. Commit: the records now point at the copies.
    for (RecordEdit& edit : edits)
        if (uint32_t e = vol.WriteRecord(edit.record, std::move(edit.bytes))) return e;
    // 4. Free the source.
    for (const ClusterCopy& c : copies)
        if (uint32_t e = SetBits(vol, c.from, c.length, false)) return e;
    return 0;
}

}  // namespace zyr::ntfs
