// Word-wide operations on a volume bitmap copy.
#include "engine/volume_bitmap.h"

#include <bit>
#include <new>

namespace zyr::engine {

bool VolumeBitmap::Allocate(int64_t bitmapSize) noexcept {
    if (bitmapSize < 0) return false;
    const int64_t words = 2 + (bitmapSize + 63) / 64;
    try {
        words_.assign(static_cast<size_t>(words), 0);
    } catch (const std::exception&) {
        words_.clear();
        byteSize_ = 0;
        return false;
    }
    byteSize_ = BytesFor(bitmapSize);
    words_[1] = static_cast<uint64_t>(bitmapSize);
    return true;
}

void VolumeBitmap::SetHeader(int64_t startingLcn, int64_t bitmapSize) noexcept {
    if (words_.empty()) return;
    words_[0] = static_cast<uint64_t>(startingLcn);
    words_[1] = static_cast<uint64_t>(bitmapSize);
}

bool VolumeBitmap::IsSet(int64_t cluster) const noexcept {
    if (cluster < 0 || cluster >= BitmapSize()) return false;
    return (Words()[cluster / 64] >> (cluster % 64)) & 1;
}

void VolumeBitmap::Flip(int64_t first, int64_t count) noexcept {
    const int64_t size = BitmapSize();
    if (count <= 0) return;
    int64_t end = first > size - count ? size : first + count;
    if (first < 0) first = 0;
    if (first >= end) return;
    uint64_t* words = Words();
    for (int64_t w = first / 64; w <= (end - 1) / 64; ++w) words[w] ^= RangeMaskInWord(w, first, end);
}

int64_t VolumeBitmap::CountSet() const noexcept {
    const int64_t size = BitmapSize();
    const uint64_t* words = Words();
    int64_t total = 0;
    const int64_t full = size / 64;
    for (int64_t w = 0; w < full; ++w) total += std::popcount(words[w]);
    if (size % 64) total += std::popcount(words[full] & RangeMaskInWord(full, 0, size));
    return total;
}

}  // namespace zyr::engine
