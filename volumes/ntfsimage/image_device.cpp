// Image file I/O: pread/pwrite natively, the C runtime's 64-bit seeks on Windows.
#include "volumes/ntfsimage/image_device.h"

#include "engine/win32_defs.h"
#include "volumes/ntfsimage/utf.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zyr::ntfs {
namespace {

// Write-back of what a long job wrote is started every so often, so that the flush at its end
// waits for little.
constexpr int64_t kWriteBackBytes = 8 << 20;
constexpr int64_t kCopyChunkBytes = 1 << 20;
// Locked memory for mappings is kept small: past this, writes are write calls.
constexpr int64_t kMaxMappedBytes = 16 << 20;

uint32_t ErrnoToWin(int e) {
    switch (e) {
        case ENOENT: return win::ERROR_FILE_NOT_FOUND_;
        case ENOTDIR: return win::ERROR_PATH_NOT_FOUND_;
        case EACCES:
        case EPERM:
        case EROFS: return win::ERROR_ACCESS_DENIED_;
        default: return win::ERROR_OPEN_FAILED_;
    }
}

}  // namespace

std::unique_ptr<ImageDevice> ImageDevice::Open(const std::wstring& path, bool writable, uint32_t* error) {
    std::unique_ptr<ImageDevice> dev(new ImageDevice);
#ifdef _WIN32
    int fd = writable ? _wopen(path.c_str(), _O_RDWR | _O_BINARY) : -1;
    dev->writable_ = fd >= 0;
    if (fd < 0) fd = _wopen(path.c_str(), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        if (error) *error = ErrnoToWin(errno);
        return nullptr;
    }
    dev->fd_ = fd;
    struct _stat64 st;
    if (_fstat64(fd, &st) != 0) {
        if (error) *error = win::ERROR_OPEN_FAILED_;
        return nullptr;
    }
    dev->size_ = st.st_size;
#else
    const std::string native = Utf16ToUtf8(path);
    int fd = writable ? ::open(native.c_str(), O_RDWR | O_CLOEXEC) : -1;
    dev->writable_ = fd >= 0;
    if (fd < 0) fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = ErrnoToWin(errno);
        return nullptr;
    }
    dev->fd_ = fd;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (error) *error = win::ERROR_OPEN_FAILED_;
        return nullptr;
    }
    dev->size_ = st.st_size;
#endif
    return dev;
}

ImageDevice::~ImageDevice() {
    if (fd_ >= 0) {
        (void)Flush();
#ifdef _WIN32
        _close(fd_);
#else
        ::close(fd_);
#endif
    }
}

bool ImageDevice::ReadAt(int64_t offset, std::span<uint8_t> out) noexcept {
    if (offset < 0 || offset > size_ || int64_t(out.size()) > size_ - offset) return false;
#ifdef _WIN32
    std::lock_guard lock(seekLock_);
    if (_lseeki64(fd_, offset, SEEK_SET) != offset) return false;
    size_t done = 0;
    while (done < out.size()) {
        const unsigned chunk = unsigned(std::min<size_t>(out.size() - done, 1u << 30));
        const int n = _read(fd_, out.data() + done, chunk);
        if (n <= 0) return false;
        done += size_t(n);
    }
#else
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, offset + int64_t(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
#endif
    return true;
}

bool ImageDevice::WriteAt(int64_t offset, std::span<const uint8_t> data) noexcept {
    if (!writable_ || offset < 0 || offset > size_ || int64_t(data.size()) > size_ - offset) return false;
    dirty_ = true;
#ifdef _WIN32
    std::lock_guard lock(seekLock_);
    if (_lseeki64(fd_, offset, SEEK_SET) != offset) return false;
    size_t done = 0;
    while (done < data.size()) {
        const unsigned chunk = unsigned(std::min<size_t>(data.size() - done, 1u << 30));
        const int n = _write(fd_, data.data() + done, chunk);
        if (n <= 0) return false;
        done += size_t(n);
    }
#else
    for (const auto& map : maps_) {
        if (map->Covers(offset, data.size())) {
            map->Store(offset, data);
            return true;
        }
    }
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::pwrite(fd_, data.data() + done, data.size() - done, offset + int64_t(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    CountWritten(int64_t(data.size()));
#endif
    return true;
}

void ImageDevice::CountWritten(int64_t bytes) noexcept {
#if !defined(_WIN32) && defined(SYNC_FILE_RANGE_WRITE)
    unsubmitted_ += bytes;
    if (unsubmitted_ >= kWriteBackBytes) {
        unsubmitted_ = 0;
        (void)::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);  // only starts it; Flush waits
    }
#else
    (void)bytes;
#endif
}

bool ImageDevice::CopyWithin(int64_t from, int64_t to, int64_t bytes) noexcept {
    if (!writable_ || bytes < 0 || from < 0 || to < 0 || from > size_ - bytes || to > size_ - bytes) return false;
    if (bytes == 0) return true;
    dirty_ = true;
#if defined(__linux__)
    // Overlapping ranges, other file systems and old kernels refuse; the buffer copy takes over
    // from where the kernel stopped.
    int64_t done = 0;
    while (kernelCopy_ && done < bytes) {
        loff_t in = from + done, out = to + done;
        const ssize_t n = ::copy_file_range(fd_, &in, fd_, &out, size_t(bytes - done), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n < 0 && (errno == ENOSYS || errno == EXDEV || errno == EOPNOTSUPP)) kernelCopy_ = false;
            break;
        }
        done += n;
    }
    CountWritten(done);
    return done == bytes || CopyThroughBuffer(from + done, to + done, bytes - done);
#else
    return CopyThroughBuffer(from, to, bytes);
#endif
}

bool ImageDevice::CopyThroughBuffer(int64_t from, int64_t to, int64_t bytes) noexcept {
    try {
        if (copyBuffer_.empty()) copyBuffer_.resize(kCopyChunkBytes);
    } catch (...) {
        return false;
    }
    for (int64_t done = 0; done < bytes;) {
        const auto chunk = std::span(copyBuffer_).first(size_t(std::min<int64_t>(kCopyChunkBytes, bytes - done)));
        if (!ReadAt(from + done, chunk) || !WriteAt(to + done, chunk)) return false;
        done += int64_t(chunk.size());
    }
    return true;
}

bool ImageDevice::MapForWrites(int64_t offset, int64_t length) noexcept {
#if defined(__linux__)
    if (!writable_ || length <= 0 || length > kMaxMappedBytes - mappedBytes_ || offset < 0 || offset > size_ - length)
        return false;
    try {
        std::vector<uint8_t> bytes(static_cast<size_t>(length));
        if (!ReadAt(offset, bytes) || !WriteAt(offset, bytes)) return false;
        auto map = MappedRange::Map(fd_, offset, length);
        if (!map) return false;
        maps_.push_back(std::move(map));
        mappedBytes_ += length;
        return true;
    } catch (...) {
        return false;
    }
#else
    (void)offset;
    (void)length;
    return false;
#endif
}

bool ImageDevice::Flush() noexcept {
    if (!dirty_) return true;
#ifdef _WIN32
    const bool ok = _commit(fd_) == 0;
#else
    const bool ok = ::fdatasync(fd_) == 0;
#endif
    if (ok) dirty_ = false;
    return ok;
}

}  // namespace zyr::ntfs
