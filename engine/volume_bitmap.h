// The worker's copy of a volume allocation bitmap (a VOLUME_BITMAP_BUFFER), with word-wide
// bit operations: one bit per cluster, 1 = in use.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zyr::engine {

class VolumeBitmap {
public:
    static constexpr int64_t kHeaderBytes = 16;  // StartingLcn, BitmapSize

    VolumeBitmap() = default;
    // Room for the header and one bit per cluster (rounded up to whole 64-bit words), zeroed.
    // Returns false when the size cannot be held in memory.
    [[nodiscard]] bool Allocate(int64_t bitmapSize) noexcept;
    bool Empty() const noexcept { return words_.empty(); }

    // The whole VOLUME_BITMAP_BUFFER: header then bits. ByteSize() covers header and bits.
    uint8_t* Data() noexcept { return reinterpret_cast<uint8_t*>(words_.data()); }
    const uint8_t* Data() const noexcept { return reinterpret_cast<const uint8_t*>(words_.data()); }
    int64_t ByteSize() const noexcept { return byteSize_; }
    // Bytes needed for the header and the bits of bitmapSize clusters (not rounded).
    static int64_t BytesFor(int64_t bitmapSize) noexcept { return kHeaderBytes + (bitmapSize + 7) / 8; }

    int64_t StartingLcn() const noexcept { return words_.empty() ? 0 : static_cast<int64_t>(words_[0]); }
    int64_t BitmapSize() const noexcept { return words_.empty() ? 0 : static_cast<int64_t>(words_[1]); }
    void SetHeader(int64_t startingLcn, int64_t bitmapSize) noexcept;

    // Bit n%64 of word n/64 is cluster n (little-endian bytes, as the byte array has it).
    const uint64_t* Words() const noexcept { return words_.data() + 2; }
    uint64_t* Words() noexcept { return words_.data() + 2; }
    int64_t WordCount() const noexcept { return (BitmapSize() + 63) / 64; }

    bool IsSet(int64_t cluster) const noexcept;
    // Flips clusters [first, first + count) that lie inside 0 .. BitmapSize - 1.
    void Flip(int64_t first, int64_t count) noexcept;
    // Set bits among clusters 0 .. BitmapSize - 1.
    int64_t CountSet() const noexcept;

private:
    std::vector<uint64_t> words_;  // [0] StartingLcn, [1] BitmapSize, then the bits
    int64_t byteSize_ = 0;
};

// Mask of the bits of word w that lie in [first, end) (cluster numbers).
inline uint64_t RangeMaskInWord(int64_t w, int64_t first, int64_t end) noexcept {
    const int64_t lo = w * 64, hi = lo + 64;
    if (end <= lo || first >= hi || first >= end) return 0;
    const int a = first > lo ? static_cast<int>(first - lo) : 0;
    const int b = end < hi ? static_cast<int>(end - lo) : 64;
    const uint64_t upper = b == 64 ? ~uint64_t{0} : ((uint64_t{1} << b) - 1);
    return upper & ~((uint64_t{1} << a) - 1);
}

}  // namespace zyr::engine
