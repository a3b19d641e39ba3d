// Routes the volume door: drive letters bound to images go to the image backend, every
// other drive to the platform's backend (none natively).
#pragma once
#include "engine/volume_api.h"
#include "volumes/ntfsimage/image_volume_api.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zyr::vol {

class VolumeRouter final : public IVolumeApi {
public:
    // platform may be null: then only the image drives exist.
    VolumeRouter(std::unique_ptr<ImageVolumeApi> images, IVolumeApi* platform);

    ImageVolumeApi& images() noexcept { return *images_; }

    Handle CreateFile(const std::wstring& path, uint32_t access, uint32_t share, uint32_t disposition,
                      uint32_t flags) override;
    bool CloseHandle(Handle handle) override;
    bool DeviceIoControl(Handle handle, uint32_t code, const void* in, uint32_t inSize, void* out, uint32_t outSize,
                         uint32_t* bytesReturned) override;
    uint32_t SetFilePointer(Handle handle, int32_t distanceLow, int32_t* distanceHigh, uint32_t moveMethod) override;
    bool ReadFile(Handle handle, void* buffer, uint32_t toRead, uint32_t* read) override;
    bool GetFileSizeEx(Handle handle, int64_t* size) override;
    Handle FindFirstFile(const std::wstring& pattern, FindData* data) override;
    bool FindNextFile(Handle find, FindData* data) override;
    bool FindClose(Handle find) override;
    uint32_t GetLastError() override;
    void SetLastError(uint32_t error) override;
    uint32_t GetLogicalDriveStrings(uint32_t bufferLength, wchar_t* buffer) override;
    uint32_t GetDriveType(const std::wstring& root) override;
    bool GetVolumeInformation(const std::wstring& root, std::wstring* volumeName, uint32_t* serialNumber,
                              uint32_t* maxComponentLength, uint32_t* fileSystemFlags,
                              std::wstring* fileSystemName) override;
    bool GetDiskFreeSpaceEx(const std::wstring& root, uint64_t* freeBytesAvailable, uint64_t* totalBytes,
                            uint64_t* totalFreeBytes) override;

private:
    IVolumeApi* ForPath(const std::wstring& path);
    IVolumeApi* ForHandle(Handle handle);
    // Runs one call on a backend with this thread's last error carried in and out, so that
    // a call that leaves the error alone on Windows leaves it alone here.
    template <typename F> auto Call(IVolumeApi* backend, F&& call);

    std::unique_ptr<ImageVolumeApi> images_;
    IVolumeApi* platform_;
};

// "V:=Z:\tmp\demo.img;W:=/tmp/other.img" -> (letter, image path) pairs; malformed items are
// reported in `errors` and skipped.
std::vector<std::pair<wchar_t, std::wstring>> ParseImageDrives(const std::wstring& text,
                                                               std::vector<std::wstring>* errors = nullptr);

// The start-up call: binds the drives of ZYR_IMAGE_DRIVES and returns the router that the
// program passes to SetVolumeApi (it lives until the process ends). Problems with an image
// are written to standard error and leave that letter unbound.
IVolumeApi& BindVolumesFromEnvironment();

}  // namespace zyr::vol
