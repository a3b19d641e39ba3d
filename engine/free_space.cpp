// Word-wide free-space scans and the free-stretch index.
#include "engine/free_space.h"

#include <algorithm>
#include <bit>

namespace zyr::engine {

uint64_t FreeBitsOfWord(const VolumeBitmap& bitmap, int64_t w, std::span<const ClusterRange> reserved) noexcept {
    const int64_t size = bitmap.BitmapSize();
    uint64_t free = ~bitmap.Words()[w] & RangeMaskInWord(w, 0, size);
    for (const ClusterRange& r : reserved) free &= ~RangeMaskInWord(w, r.first, r.end);
    return free;
}

int64_t NextFreeCluster(const VolumeBitmap& bitmap, std::span<const ClusterRange> reserved, int64_t from) noexcept {
    const int64_t size = bitmap.BitmapSize();
    if (from < 0) from = 0;
    for (int64_t w = from / 64; w * 64 < size; ++w) {
        const uint64_t bits = FreeBitsOfWord(bitmap, w, reserved) & RangeMaskInWord(w, from, size);
        if (bits) return w * 64 + std::countr_zero(bits);
    }
    return size;
}

int64_t NextOccupiedCluster(const VolumeBitmap& bitmap, std::span<const ClusterRange> reserved,
                            int64_t from) noexcept {
    const int64_t size = bitmap.BitmapSize();
    if (from < 0) from = 0;
    for (int64_t w = from / 64; w * 64 < size; ++w) {
        const uint64_t bits = ~FreeBitsOfWord(bitmap, w, reserved) & RangeMaskInWord(w, from, size);
        if (bits) return w * 64 + std::countr_zero(bits);
    }
    return size;
}

int64_t FindFreeStretch(const VolumeBitmap& bitmap, std::span<const ClusterRange> reserved, int64_t from,
                        int64_t to, int64_t length) noexcept {
    to = std::min(to, bitmap.BitmapSize());
    if (from < 0) from = 0;
    if (length < 1 || from >= to) return -1;
    int64_t runStart = -1, runLength = 0;
    for (int64_t w = from / 64; w * 64 < to; ++w) {
        const uint64_t free = FreeBitsOfWord(bitmap, w, reserved) & RangeMaskInWord(w, from, to);
        if (free == ~uint64_t{0}) {
            if (runLength == 0) runStart = w * 64;
            runLength += 64;
            if (runLength >= length) return runStart;
            continue;
        }
        int bit = 0;
        while (bit < 64) {
            const uint64_t rest = free >> bit;
            if (rest & 1) {
                const int ones = std::countr_one(rest);
                if (runLength == 0) runStart = w * 64 + bit;
                runLength += ones;
                if (runLength >= length) return runStart;
                bit += ones;
            } else {
                runLength = 0;
                if (rest == 0) break;
                bit += std::countr_zero(rest);
            }
        }
    }
    return -1;
}

namespace {

int LongestOnes(uint64_t x) noexcept {
    int longest = 0;
    while (x) {
        x >>= std::countr_zero(x);
        const int ones = std::countr_one(x);
        longest = std::max(longest, ones);
        if (ones == 64) break;
        x >>= ones;
    }
    return longest;
}

}  // namespace

FreeRunIndex::Node FreeRunIndex::Combine(const Node& l, const Node& r) noexcept {
    Node n;
    n.length = l.length + r.length;
    n.prefix = l.prefix == l.length ? l.length + r.prefix : l.prefix;
    n.suffix = r.suffix == r.length ? r.length + l.suffix : r.suffix;
    n.longest = std::max({l.longest, r.longest, l.suffix + r.prefix});
    return n;
}

FreeRunIndex::Node FreeRunIndex::BlockNode(const VolumeBitmap& bitmap, int64_t block) const noexcept {
    const int64_t size = bitmap.BitmapSize();
    const int64_t first = block * kBlockClusters;
    const int64_t end = std::min(first + kBlockClusters, size);
    const ClusterRange reserved[] = {reserved_};
    // One pass over the words: `open` is the free stretch reaching the current word.
    Node node;
    node.length = std::max<int64_t>(end - first, 0);
    int64_t open = 0;
    bool prefixDone = false;
    for (int64_t w = first / 64; w * 64 < end; ++w) {
        const int valid = static_cast<int>(std::min<int64_t>(64, end - w * 64));
        const uint64_t free = FreeBitsOfWord(bitmap, w, reserved);
        const uint64_t all = valid == 64 ? ~uint64_t{0} : (uint64_t{1} << valid) - 1;
        if (free == all) {
            open += valid;
            continue;
        }
        open += std::countr_one(free);
        if (!prefixDone) {
            node.prefix = open;
            prefixDone = true;
        }
        node.longest = std::max(node.longest, open);
        if (free) node.longest = std::max<int64_t>(node.longest, LongestOnes(free));
        open = std::countl_one(free << (64 - valid));
    }
    if (!prefixDone) node.prefix = open;
    node.suffix = open;
    node.longest = std::max(node.longest, open);
    return node;
}

bool FreeRunIndex::Build(const VolumeBitmap& bitmap, ClusterRange reserved) noexcept {
    reserved_ = reserved;
    blocks_ = (bitmap.BitmapSize() + kBlockClusters - 1) / kBlockClusters;
    leafBase_ = 1;
    while (leafBase_ < std::max<int64_t>(blocks_, 1)) leafBase_ *= 2;
    try {
        nodes_.assign(static_cast<size_t>(2 * leafBase_), Node{});
    } catch (const std::exception&) {
        nodes_.clear();
        return false;
    }
    for (int64_t b = 0; b < blocks_; ++b) nodes_[leafBase_ + b] = BlockNode(bitmap, b);
    for (int64_t i = leafBase_ - 1; i >= 1; --i) nodes_[i] = Combine(nodes_[2 * i], nodes_[2 * i + 1]);
    return true;
}

void FreeRunIndex::Update(const VolumeBitmap& bitmap, int64_t first, int64_t count) noexcept {
    if (nodes_.empty() || count <= 0) return;
    const int64_t firstBlock = std::max<int64_t>(first, 0) / kBlockClusters;
    const int64_t lastBlock =
        std::min((first > INT64_MAX - count ? INT64_MAX : first + count - 1) / kBlockClusters, blocks_ - 1);
    for (int64_t b = firstBlock; b <= lastBlock; ++b) nodes_[leafBase_ + b] = BlockNode(bitmap, b);
    for (int64_t lo = (leafBase_ + firstBlock) / 2, hi = (leafBase_ + lastBlock) / 2; lo >= 1 && lo <= hi;
         lo /= 2, hi /= 2) {
        for (int64_t i = lo; i <= hi; ++i) nodes_[i] = Combine(nodes_[2 * i], nodes_[2 * i + 1]);
        if (lo == 1) break;
    }
}

int64_t FreeRunIndex::FindFirst(const VolumeBitmap& bitmap, int64_t length) const noexcept {
    if (nodes_.empty() || length < 1 || nodes_[1].longest < length) return -1;
    int64_t i = 1, first = 0, span = leafBase_ * kBlockClusters;
    while (i < leafBase_) {
        const Node& l = nodes_[2 * i];
        const Node& r = nodes_[2 * i + 1];
        span /= 2;
        if (l.longest >= length) {
            i = 2 * i;
        } else if (l.suffix + r.prefix >= length) {
            return first + l.length - l.suffix;
        } else {
            i = 2 * i + 1;
            first += span;
        }
    }
    const ClusterRange reserved[] = {reserved_};
    return FindFreeStretch(bitmap, reserved, first, first + kBlockClusters, length);
}

}  // namespace zyr::engine
