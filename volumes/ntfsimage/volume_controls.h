// The volume controls answered as the NTFS driver answers them, buffer for buffer.
#pragma once
#include "volumes/ntfsimage/ntfs_volume.h"

#include <cstdint>
#include <span>

namespace zyr::ntfs {

// Where the MFT zone lies: start = end of $MFT's last run rounded down to `align` clusters;
// end = MftStartLcn + min(reserveBytes / cluster size, TotalClusters / totalDivisor), rounded
// up to `align`, capped at TotalClusters.
struct MftZonePolicy {
    int64_t reserveBytes = 200ll << 20;
    int64_t totalDivisor = 8;
    int64_t align = 32;
};

struct ZoneBounds {
    int64_t start = 0;
    int64_t end = 0;
};
ZoneBounds ComputeMftZone(const Geometry& g, const RunList& mftRuns, const MftZonePolicy& policy);

// Each returns 0, ERROR_MORE_DATA (output filled, a warning) or an error code (nothing
// written to bytesReturned).
uint32_t GetVolumeBitmap(NtfsVolume& vol, const void* in, uint32_t inSize, void* out, uint32_t outSize,
                         uint32_t* bytesReturned);
uint32_t GetNtfsVolumeData(NtfsVolume& vol, const MftZonePolicy& zone, void* out, uint32_t outSize,
                           uint32_t* bytesReturned);
// The stream of a handle: a file's unnamed $DATA, a directory's $I30 index allocation, the
// volume's bad-cluster map. ERROR_HANDLE_EOF when it has no clusters.
uint32_t StreamForRetrieval(NtfsVolume& vol, uint64_t record, bool volumeHandle, Stream* stream);
uint32_t GetRetrievalPointers(NtfsVolume& vol, const Stream* stream, const void* in, uint32_t inSize, void* out,
                              uint32_t outSize, uint32_t* bytesReturned);
// The same over merged runs; allocatedClusters < 0: a stream without clusters.
uint32_t GetRetrievalPointers(std::span<const Run> runs, int64_t allocatedClusters, const void* in, uint32_t inSize,
                              void* out, uint32_t outSize, uint32_t* bytesReturned);

}  // namespace zyr::ntfs
