// MappedRange: mmap and mlock natively; nowhere else.
#include "volumes/ntfsimage/mapped_range.h"

#include <cstring>
#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace zyr::ntfs {

std::unique_ptr<MappedRange> MappedRange::Map(int fd, int64_t offset, int64_t length) noexcept {
#if defined(__linux__)
    const long page = ::sysconf(_SC_PAGESIZE);
    if (fd < 0 || offset < 0 || length <= 0 || page <= 0) return nullptr;
    const int64_t start = offset - offset % page;
    const size_t size = size_t(offset + length - start);
    void* base = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, start);
    if (base == MAP_FAILED) return nullptr;
    if (::mlock(base, size) != 0) {
        ::munmap(base, size);
        return nullptr;
    }
    std::unique_ptr<MappedRange> range(new (std::nothrow) MappedRange);
    if (!range) {
        ::munmap(base, size);
        return nullptr;
    }
    range->base_ = static_cast<uint8_t*>(base);
    range->mapped_ = size;
    range->pageStart_ = start;
    range->begin_ = offset;
    range->end_ = offset + length;
    return range;
#else
    (void)fd;
    (void)offset;
    (void)length;
    return nullptr;
#endif
}

MappedRange::~MappedRange() {
#if defined(__linux__)
    if (base_) ::munmap(base_, mapped_);
#endif
}

void MappedRange::Store(int64_t offset, std::span<const uint8_t> data) noexcept {
    std::memcpy(base_ + (offset - pageStart_), data.data(), data.size());
}

}  // namespace zyr::ntfs
