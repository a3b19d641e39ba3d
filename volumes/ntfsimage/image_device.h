// The device layer: positioned reads and writes on an image file, never loading it whole.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "volumes/ntfsimage/mapped_range.h"

namespace zyr::ntfs {

class ImageDevice {
public:
    // Opens read-write when asked and allowed, else read-only. Returns null with a Windows
    // error code when the file cannot be opened.
    static std::unique_ptr<ImageDevice> Open(const std::wstring& path, bool writable, uint32_t* error);
    ~ImageDevice();
    ImageDevice(const ImageDevice&) = delete;
    ImageDevice& operator=(const ImageDevice&) = delete;

    int64_t size() const noexcept { return size_; }
    bool writable() const noexcept { return writable_; }
    // Whole reads and writes only; a short transfer is a failure.
    [[nodiscard]] bool ReadAt(int64_t offset, std::span<uint8_t> out) noexcept;
    [[nodiscard]] bool WriteAt(int64_t offset, std::span<const uint8_t> data) noexcept;
    // Copies `bytes` from one place of the image to another, front to back (in the kernel
    // where it can, else through a buffer). A failure may leave part of the target written.
    [[nodiscard]] bool CopyWithin(int64_t from, int64_t to, int64_t bytes) noexcept;
    // Lets the small writes that fall inside [offset, offset + length) go to a locked shared
    // mapping instead of one write call each (native builds, a few MiB in all: the structures
    // written on every move).
    // The range is first read and written back through the file, so that its blocks exist and a
    // read error surfaces here, as a value. False when it cannot be mapped: writes go on as before.
    [[nodiscard]] bool MapForWrites(int64_t offset, int64_t length) noexcept;
    // Makes the writes so far durable (nothing to do when there were none).
    [[nodiscard]] bool Flush() noexcept;

private:
    ImageDevice() = default;
    bool CopyThroughBuffer(int64_t from, int64_t to, int64_t bytes) noexcept;
    void CountWritten(int64_t bytes) noexcept;
    int fd_ = -1;
    int64_t size_ = 0;
    bool writable_ = false;
    bool dirty_ = false;  // written since the last flush
    int64_t unsubmitted_ = 0;  // bytes written since write-back was last started
    bool kernelCopy_ = true;  // copy_file_range works on this file (until it says otherwise)
    std::vector<uint8_t> copyBuffer_;
    std::vector<std::unique_ptr<MappedRange>> maps_;
    int64_t mappedBytes_ = 0;
    std::mutex seekLock_;  // the Windows runtime has no positioned I/O
};

}  // namespace zyr::ntfs
