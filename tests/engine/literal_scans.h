// Reference free-space searches written as plain per-cluster scans, for comparing the fast
// searches against (tests and benchmarks).
#pragma once
#include "engine/volume_bitmap.h"

#include <cstdint>
#include <utility>

namespace zyr::test {

inline int64_t LiteralCountUsed(const engine::VolumeBitmap& bitmap) {
    int64_t used = 0;
    for (int64_t c = 0; c < bitmap.BitmapSize(); ++c) used += (bitmap.Data()[16 + c / 8] >> (c % 8)) & 1;
    return used;
}

// First cluster of n + 2 free clusters from cluster 0, the zone's inside counted as occupied.
inline int64_t LiteralFindFreeRun(const engine::VolumeBitmap& bitmap, int64_t n, int64_t zoneStart, int64_t zoneEnd) {
    int64_t start = 0;
    for (int64_t c = 0; c < bitmap.BitmapSize(); ++c) {
        const bool used = (bitmap.Data()[16 + c / 8] >> (c % 8)) & 1;
        if (used || (zoneStart < c && c < zoneEnd))
            start = c + 1;
        else if (c - start - 1 == n)
            return start;
    }
    return start;
}

struct LiteralAreas {
    int64_t zoneStart, zoneEnd, mftStart, mftEnd, mirrorStart, mirrorEnd;
};

inline std::pair<int64_t, int64_t> LiteralFindNextGap(const engine::VolumeBitmap& bitmap, const LiteralAreas& a,
                                                     int64_t position) {
    int64_t start = position, length = 0;
    if (position >= bitmap.BitmapSize()) return {start, 0};
    for (int64_t c = position; c < bitmap.BitmapSize(); ++c) {
        const bool used = (bitmap.Data()[16 + c / 8] >> (c % 8)) & 1;
        if (used || (a.zoneStart < c && c < a.zoneEnd) || (a.mftStart < c && c < a.mftEnd) ||
            (a.mirrorStart < c && c < a.mirrorEnd)) {
            if (length > 0) break;
            start = c + 1;
        } else {
            ++length;
        }
    }
    return {start, length};
}

}  // namespace zyr::test
