// Boot sector validation, after ntfs-3g's ntfs_boot_sector_is_ntfs and ntfs_boot_sector_parse.
#include "volumes/ntfsimage/boot_sector.h"

#include "volumes/ntfsimage/ntfs_layout.h"

#include <cstring>

namespace zyr::ntfs {
namespace {

bool IsPowerOfTwo(uint64_t v) { return v != 0 && (v & (v - 1)) == 0; }

// Record and index-block sizes: a positive value counts clusters, a negative one is 2^-v bytes.
std::optional<uint32_t> SizeFromClusters(int8_t v, uint32_t bytesPerCluster) {
    uint64_t size;
    if (v > 0)
        size = uint64_t(v) * bytesPerCluster;
    else if (v < 0 && v >= -31)
        size = uint64_t(1) << (-v);
    else
        return std::nullopt;
    if (size < 256 || size > 65536 || !IsPowerOfTwo(size)) return std::nullopt;
    return uint32_t(size);
}

}  // namespace

std::optional<Geometry> ParseBootSector(Bytes sector) noexcept {
    ByteReader r(sector);
    if (!r.Has(0, 512) || std::memcmp(sector.data() + boot::kOemId, "NTFS    ", 8) != 0) return std::nullopt;

    Geometry g;
    g.bytesPerSector = r.U16(boot::kBytesPerSector);
    if (g.bytesPerSector < 256 || g.bytesPerSector > 4096 || !IsPowerOfTwo(g.bytesPerSector)) return std::nullopt;

    const uint8_t spc = r.U8(boot::kSectorsPerCluster);
    if (spc >= 0xF0 && spc <= 0xFD)
        g.sectorsPerCluster = 1u << (256 - spc);
    else if (spc >= 1 && spc <= 128 && IsPowerOfTwo(spc))
        g.sectorsPerCluster = spc;
    else
        return std::nullopt;
    const uint64_t cluster = uint64_t(g.sectorsPerCluster) * g.bytesPerSector;
    if (cluster > (2u << 20)) return std::nullopt;
    g.bytesPerCluster = uint32_t(cluster);

    // Fields of the FAT boot sector that NTFS leaves zero.
    for (size_t off : {0x0Eu, 0x10u, 0x11u, 0x13u, 0x16u, 0x20u}) {
        const size_t width = (off == 0x10) ? 1 : (off == 0x20 ? 4 : 2);
        for (size_t i = 0; i < width; ++i)
            if (sector[off + i] != 0) return std::nullopt;
    }

    g.numberSectors = r.I64(boot::kNumberSectors);
    if (g.numberSectors <= 0) return std::nullopt;
    g.totalClusters = g.numberSectors / g.sectorsPerCluster;
    if (g.totalClusters <= 0 || g.totalClusters > (int64_t(1) << 48)) return std::nullopt;

    g.mftLcn = r.I64(boot::kMftLcn);
    g.mftMirrLcn = r.I64(boot::kMftMirrLcn);
    if (g.mftLcn < 0 || g.mftLcn >= g.totalClusters || g.mftMirrLcn < 0 || g.mftMirrLcn >= g.totalClusters)
        return std::nullopt;

    auto record = SizeFromClusters(r.I8(boot::kClustersPerRecord), g.bytesPerCluster);
    auto indexBlock = SizeFromClusters(r.I8(boot::kClustersPerIndex), g.bytesPerCluster);
    if (!record || !indexBlock || (*record < g.bytesPerSector && *record < kFixupBlock)) return std::nullopt;
    g.bytesPerRecord = *record;
    g.bytesPerIndexBlock = *indexBlock;
    g.serialNumber = r.U64(boot::kSerialNumber);
    if (!r.ok()) return std::nullopt;
    return g;
}

}  // namespace zyr::ntfs
