// A shared mapping of part of an image file, locked in memory, that small writes go through.
#pragma once
#include <cstdint>
#include <memory>
#include <span>

namespace zyr::ntfs {

class MappedRange {
public:
    // Maps bytes [offset, offset + length) of an open file (which must hold them) for reading and
    // writing, and locks the pages in memory so that a store never has to read one back. Null
    // where that cannot be had (no such mapping on this platform, no locked memory left).
    static std::unique_ptr<MappedRange> Map(int fd, int64_t offset, int64_t length) noexcept;
    ~MappedRange();
    MappedRange(const MappedRange&) = delete;
    MappedRange& operator=(const MappedRange&) = delete;

    bool Covers(int64_t offset, size_t size) const noexcept {
        return offset >= begin_ && offset <= end_ && int64_t(size) <= end_ - offset;
    }
    // Writes into the file's cached pages, as a write call would. The range must be covered.
    void Store(int64_t offset, std::span<const uint8_t> data) noexcept;

private:
    MappedRange() = default;
    uint8_t* base_ = nullptr;  // the page holding begin_
    size_t mapped_ = 0;
    int64_t pageStart_ = 0;    // file offset of base_
    int64_t begin_ = 0, end_ = 0;
};

}  // namespace zyr::ntfs
