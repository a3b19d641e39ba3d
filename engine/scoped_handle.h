// An owned handle of the volume door, closed through the door when it goes out of scope.
#pragma once
#include "engine/volume_api.h"

#include <utility>

namespace zyr::engine {

class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(vol::Handle handle) noexcept : handle_(handle) {}
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, vol::kInvalidHandle)) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, vol::kInvalidHandle));
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() { Reset(); }

    vol::Handle Get() const noexcept { return handle_; }
    bool Valid() const noexcept { return handle_ != vol::kInvalidHandle; }
    void Reset(vol::Handle handle = vol::kInvalidHandle) noexcept {
        if (handle_ != vol::kInvalidHandle) vol::VolumeApi().CloseHandle(handle_);
        handle_ = handle;
    }

private:
    vol::Handle handle_ = vol::kInvalidHandle;
};

}  // namespace zyr::engine
