// Update sequence arrays, after ntfs-3g's ntfs_mst_post_read_fixup and ntfs_mst_pre_write_fixup.
#include "volumes/ntfsimage/fixup.h"

#include "volumes/ntfsimage/ntfs_layout.h"

namespace zyr::ntfs {
namespace {

// Returns the array offset and the number of protected blocks, or false.
bool CheckHeader(Bytes record, size_t* usaOffset, size_t* blocks) {
    ByteReader r(record);
    const size_t offset = r.U16(rec::kUsaOffset);
    const size_t count = r.U16(rec::kUsaCount);
    if (!r.ok() || record.size() % kFixupBlock != 0 || record.empty()) return false;
    const size_t n = record.size() / kFixupBlock;
    if (count != n + 1 || (offset & 1) || offset < 8 || offset + count * 2 > kFixupBlock - 2) return false;
    *usaOffset = offset;
    *blocks = n;
    return true;
}

}  // namespace

FixupResult ApplyFixups(MutableBytes record) noexcept {
    size_t usa, blocks;
    if (!CheckHeader(record, &usa, &blocks)) return FixupResult::kBadHeader;
    const uint8_t* usn = record.data() + usa;
    for (size_t i = 0; i < blocks; ++i) {
        const uint8_t* tail = record.data() + (i + 1) * kFixupBlock - 2;
        if (tail[0] != usn[0] || tail[1] != usn[1]) return FixupResult::kMismatch;
    }
    for (size_t i = 0; i < blocks; ++i) {
        uint8_t* tail = record.data() + (i + 1) * kFixupBlock - 2;
        tail[0] = record[usa + 2 * (i + 1)];
        tail[1] = record[usa + 2 * (i + 1) + 1];
    }
    return FixupResult::kOk;
}

bool ProtectFixups(MutableBytes record) noexcept {
    size_t usa, blocks;
    if (!CheckHeader(record, &usa, &blocks)) return false;
    uint16_t usn = uint16_t(record[usa] | (record[usa + 1] << 8));
    ++usn;
    if (usn == 0 || usn == 0xFFFF) usn = 1;
    StoreLe16(record.data() + usa, usn);
    for (size_t i = 0; i < blocks; ++i) {
        uint8_t* tail = record.data() + (i + 1) * kFixupBlock - 2;
        record[usa + 2 * (i + 1)] = tail[0];
        record[usa + 2 * (i + 1) + 1] = tail[1];
        StoreLe16(tail, usn);
    }
    return true;
}

}  // namespace zyr::ntfs
