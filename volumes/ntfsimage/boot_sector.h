// The NTFS boot sector: validation and the volume geometry it declares.
#pragma once
#include "volumes/ntfsimage/byte_reader.h"

#include <cstdint>
#include <optional>

namespace zyr::ntfs {

struct Geometry {
    uint32_t bytesPerSector = 0;
    uint32_t sectorsPerCluster = 0;
    uint32_t bytesPerCluster = 0;
    uint32_t bytesPerRecord = 0;
    uint32_t bytesPerIndexBlock = 0;
    int64_t numberSectors = 0;  // as the boot sector says (device sectors - 1 on mkntfs images)
    int64_t totalClusters = 0;
    int64_t mftLcn = 0;
    int64_t mftMirrLcn = 0;
    uint64_t serialNumber = 0;
};

// Checks the boot sector in ntfs-3g's order (signature, sector size, cluster size, the fields
// that must be zero, record and index sizes, the MFT locations) and returns the geometry.
std::optional<Geometry> ParseBootSector(Bytes sector) noexcept;

}  // namespace zyr::ntfs
