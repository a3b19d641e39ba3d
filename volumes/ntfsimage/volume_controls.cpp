// FSCTL_GET_VOLUME_BITMAP, FSCTL_GET_NTFS_VOLUME_DATA and FSCTL_GET_RETRIEVAL_POINTERS.
#include "volumes/ntfsimage/volume_controls.h"

#include "engine/win32_defs.h"
#include "volumes/ntfsimage/ntfs_layout.h"

#include <algorithm>
#include <cstring>

namespace zyr::ntfs {
namespace {

int64_t LoadI64(const void* p) {
    int64_t v;
    std::memcpy(&v, p, 8);
    return v;
}
void Put64(uint8_t* base, size_t offset, int64_t v) { StoreLe64(base + offset, uint64_t(v)); }
void Put32(uint8_t* base, size_t offset, uint32_t v) { StoreLe32(base + offset, v); }

}  // namespace

ZoneBounds ComputeMftZone(const Geometry& g, const RunList& mftRuns, const MftZonePolicy& policy) {
    const int64_t align = std::max<int64_t>(policy.align, 1);
    int64_t lastEnd = g.mftLcn;
    for (const Run& r : mftRuns)
        if (r.lcn != kHoleLcn) lastEnd = r.lcn + r.length;
    ZoneBounds z;
    z.start = lastEnd / align * align;
    const int64_t size = std::min(policy.reserveBytes / g.bytesPerCluster,
                                  g.totalClusters / std::max<int64_t>(policy.totalDivisor, 1));
    z.end = (g.mftLcn + size + align - 1) / align * align;
    if (z.end < z.start) z.end = (z.start + size + align - 1) / align * align;
    z.end = std::min(z.end, g.totalClusters);
    z.start = std::min(z.start, z.end);
    return z;
}

uint32_t GetVolumeBitmap(NtfsVolume& vol, const void* in, uint32_t inSize, void* out, uint32_t outSize,
                         uint32_t* bytesReturned) {
    if (!in || inSize < 8 || !out || outSize < 24) return win::ERROR_INSUFFICIENT_BUFFER_;
    const int64_t total = vol.geometry().totalClusters;
    int64_t start = LoadI64(in);
    if (start < 0 || start >= total) return win::ERROR_INVALID_PARAMETER_;
    start &= ~int64_t(7);
    const int64_t clusters = total - start;
    const int64_t wanted = (clusters + 7) / 8;
    const int64_t room = outSize - 16;
    const int64_t copied = std::min(wanted, room);
    auto* o = static_cast<uint8_t*>(out);
    if (uint32_t e = vol.ReadBitmap(start / 8, std::span(o + 16, size_t(copied)))) return e;
    Put64(o, 0, start);
    Put64(o, 8, clusters);
    if (bytesReturned) *bytesReturned = uint32_t(16 + copied);
    return copied < wanted ? win::ERROR_MORE_DATA_ : 0;
}

uint32_t GetNtfsVolumeData(NtfsVolume& vol, const MftZonePolicy& policy, void* out, uint32_t outSize,
                           uint32_t* bytesReturned) {
    if (!out || outSize < sizeof(win::NTFS_VOLUME_DATA_BUFFER)) return win::ERROR_INSUFFICIENT_BUFFER_;
    const Geometry& g = vol.geometry();
    int64_t free = 0;
    if (uint32_t e = vol.CountFreeClusters(&free)) return e;
    const ZoneBounds zone = ComputeMftZone(g, vol.mft().runs, policy);
    auto* o = static_cast<uint8_t*>(out);
    Put64(o, 0, int64_t(g.serialNumber));
    Put64(o, 8, g.numberSectors);
    Put64(o, 16, g.totalClusters);
    Put64(o, 24, free);
    Put64(o, 32, 0);
    Put32(o, 40, g.bytesPerSector);
    Put32(o, 44, g.bytesPerCluster);
    Put32(o, 48, g.bytesPerRecord);
    Put32(o, 52, g.bytesPerRecord / g.bytesPerCluster);
    Put64(o, 56, vol.mft().initializedSize);
    Put64(o, 64, g.mftLcn);
    Put64(o, 72, g.mftMirrLcn);
    Put64(o, 80, zone.start);
    Put64(o, 88, zone.end);
    uint32_t written = 96;
    // NTFS_EXTENDED_VOLUME_DATA: ByteCount, MajorVersion, MinorVersion.
    if (outSize >= 96 + 8) {
        Put32(o, 96, 8);
        StoreLe16(o + 100, vol.majorVersion());
        StoreLe16(o + 102, vol.minorVersion());
        written = 104;
    }
    if (bytesReturned) *bytesReturned = written;
    return 0;
}

uint32_t StreamForRetrieval(NtfsVolume& vol, uint64_t record, bool volumeHandle, Stream* stream) {
    std::shared_ptr<const LoadedFile> file;
    if (volumeHandle) {
        if (uint32_t e = vol.LoadFileShared(kRecordBadClus, &file)) return e;
        return vol.GetStream(*file, kAttrData, L"$Bad", stream) ? win::ERROR_HANDLE_EOF_ : 0;
    }
    if (uint32_t e = vol.LoadFileShared(record, &file)) return e;
    const uint32_t found = file->IsDirectory() ? vol.GetStream(*file, kAttrIndexAllocation, L"$I30", stream)
                                               : vol.GetStream(*file, kAttrData, L"", stream);
    if (found == win::ERROR_FILE_NOT_FOUND_) return win::ERROR_HANDLE_EOF_;
    return found;
}

uint32_t GetRetrievalPointers(NtfsVolume& vol, const Stream* stream, const void* in, uint32_t inSize, void* out,
                              uint32_t outSize, uint32_t* bytesReturned) {
    if (!stream || stream->resident) return GetRetrievalPointers({}, -1, in, inSize, out, outSize, bytesReturned);
    const RunList runs = MergeRuns(stream->runs);
    return GetRetrievalPointers(runs, stream->allocatedSize / vol.geometry().bytesPerCluster, in, inSize, out, outSize,
                                bytesReturned);
}

uint32_t GetRetrievalPointers(std::span<const Run> runs, int64_t allocatedClusters, const void* in, uint32_t inSize,
                              void* out, uint32_t outSize, uint32_t* bytesReturned) {
    if (!in || inSize < 8) return win::ERROR_INVALID_PARAMETER_;
    if (!out || outSize < 32) return win::ERROR_INSUFFICIENT_BUFFER_;
    const int64_t startVcn = LoadI64(in);
    if (startVcn < 0) return win::ERROR_INVALID_PARAMETER_;
    if (allocatedClusters < 0) return win::ERROR_HANDLE_EOF_;
    if (startVcn >= allocatedClusters) return win::ERROR_HANDLE_EOF_;
    auto it = std::find_if(runs.begin(), runs.end(), [&](const Run& r) { return startVcn < r.vcn + r.length; });
    if (it == runs.end()) return win::ERROR_HANDLE_EOF_;
    const size_t room = (outSize - 16) / 16;
    const size_t available = size_t(runs.end() - it);
    const size_t count = std::min(room, available);
    auto* o = static_cast<uint8_t*>(out);
    Put32(o, 0, uint32_t(count));
    Put32(o, 4, 0);
    Put64(o, 8, it->vcn);
    for (size_t i = 0; i < count; ++i, ++it) {
        Put64(o, 16 + 16 * i, it->vcn + it->length);
        Put64(o, 24 + 16 * i, it->lcn);
    }
    if (bytesReturned) *bytesReturned = uint32_t(16 + 16 * count);
    return count < available ? win::ERROR_MORE_DATA_ : 0;
}

}  // namespace zyr::ntfs
