// FSCTL_MOVE_FILE on an image: checks what NTFS checks, then copies and remaps clusters.
#pragma once
#include "volumes/ntfsimage/ntfs_volume.h"

#include <cstdint>

namespace zyr::ntfs {

struct MoveRequest {
    uint64_t record = 0;  // the file whose stream moves (its unnamed $DATA, or $I30 for a directory)
    int64_t startingVcn = 0;
    int64_t startingLcn = 0;
    uint32_t clusterCount = 0;
};

// Moves the clusters of [StartingVcn, StartingVcn + ClusterCount) so that their allocated
// clusters lie packed from StartingLcn; holes stay holes. Writes in this order: destination
// bits in $Bitmap, the data, the file record (the commit point, mirrored where it applies),
// then clearing the source bits, so that stopping the program anywhere leaves every file
// pointing at data that is there, at worst leaking clusters. The writes go to the image file
// as they are made; the device makes them durable once, when the volume is closed, not once
// per move. Returns 0 or the error NTFS gives; refusals happen before anything is written.
uint32_t MoveClusters(NtfsVolume& vol, const MoveRequest& request);

}  // namespace zyr::ntfs
