// The device layer: positioned reads and writes on an image file, never loading it whole.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>

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
    // Makes the writes so far durable (nothing to do when there were none).
    [[nodiscard]] bool Flush() noexcept;

private:
    ImageDevice() = default;
    int fd_ = -1;
    int64_t size_ = 0;
    bool writable_ = false;
    bool dirty_ = false;  // written since the last flush
    int64_t unsubmitted_ = 0;  // bytes written since write-back was last started
    std::mutex seekLock_;  // the Windows runtime has no positioned I/O
};

}  // namespace zyr::ntfs
