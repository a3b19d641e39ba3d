// Fast free-space searches over a bitmap copy: word-wide scans, and an index of free stretches
// (a segment tree over blocks of clusters) that cluster flips keep in step.
#pragma once
#include "engine/volume_bitmap.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zyr::engine {

// Clusters [first, end) that a search treats as occupied although the bitmap may show them free.
struct ClusterRange {
    int64_t first = 0;
    int64_t end = 0;
};

// Bits of word w that are free clusters: clear in the bitmap, outside every reserved range and
// below BitmapSize.
uint64_t FreeBitsOfWord(const VolumeBitmap& bitmap, int64_t w, std::span<const ClusterRange> reserved) noexcept;
// First cluster >= from that is free (as above), or BitmapSize when there is none.
int64_t NextFreeCluster(const VolumeBitmap& bitmap, std::span<const ClusterRange> reserved, int64_t from) noexcept;
// First cluster >= from that is not free, or BitmapSize when there is none.
int64_t NextOccupiedCluster(const VolumeBitmap& bitmap, std::span<const ClusterRange> reserved, int64_t from) noexcept;
// Start of the first stretch of at least length free clusters lying inside [from, to), or -1.
int64_t FindFreeStretch(const VolumeBitmap& bitmap, std::span<const ClusterRange> reserved, int64_t from,
                        int64_t to, int64_t length) noexcept;

// Longest, leading and trailing free stretches per block of clusters, combined up a binary tree:
// the first stretch of a given length is found in O(log n) and a flip updates O(log n) nodes.
class FreeRunIndex {
public:
    static constexpr int64_t kBlockClusters = 4096;

    // Returns false when the index cannot be held in memory.
    [[nodiscard]] bool Build(const VolumeBitmap& bitmap, ClusterRange reserved) noexcept;
    bool Built() const noexcept { return !nodes_.empty(); }
    // Refreshes the blocks holding clusters [first, first + count) after their bits changed.
    void Update(const VolumeBitmap& bitmap, int64_t first, int64_t count) noexcept;
    // Start of the first free stretch of at least length (>= 1) clusters, or -1.
    int64_t FindFirst(const VolumeBitmap& bitmap, int64_t length) const noexcept;
    // Free clusters at the very end of the bitmap.
    int64_t TrailingFree() const noexcept { return nodes_.empty() ? 0 : nodes_[1].suffix; }

private:
    struct Node {
        int64_t length = 0;  // clusters covered
        int64_t prefix = 0;  // free clusters at the start
        int64_t suffix = 0;  // free clusters at the end
        int64_t longest = 0;
    };
    static Node Combine(const Node& left, const Node& right) noexcept;
    Node BlockNode(const VolumeBitmap& bitmap, int64_t block) const noexcept;

    std::vector<Node> nodes_;  // 1-based heap order; leaves from leafBase_
    int64_t leafBase_ = 0;
    int64_t blocks_ = 0;
    ClusterRange reserved_;
};

}  // namespace zyr::engine
