// The volume door over NTFS image files bound to drive letters.
#pragma once
#include "engine/volume_api.h"
#include "volumes/ntfsimage/ntfs_volume.h"
#include "volumes/ntfsimage/volume_controls.h"

#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace zyr::vol {

class ImageVolumeApi final : public IVolumeApi {
public:
    ImageVolumeApi();
    ~ImageVolumeApi() override;

    // Binds a drive letter to an image. Returns 0 or a Windows error code (for example
    // ERROR_UNRECOGNIZED_VOLUME when the file is not a sound NTFS volume).
    [[nodiscard]] uint32_t Mount(wchar_t letter, const std::wstring& imagePath, bool writable = true);
    bool Serves(wchar_t letter) const;
    std::vector<wchar_t> Letters() const;
    // Handles this backend gave out (they are never multiples of 4, unlike kernel handles).
    bool OwnsHandle(Handle handle) const;
    void SetMftZonePolicy(const ntfs::MftZonePolicy& policy) { zone_ = policy; }

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
    enum class Kind { kVolume, kFile, kFind };
    struct Object {
        Kind kind = Kind::kVolume;
        ntfs::NtfsVolume* volume = nullptr;
        uint64_t record = 0;
        bool directory = false;
        int64_t position = 0;
        std::vector<FindData> entries;
        size_t next = 0;
    };

    ntfs::NtfsVolume* VolumeFor(wchar_t letter) const;
    std::shared_ptr<Object> Find(Handle handle) const;
    Handle Insert(std::shared_ptr<Object> object);
    uint32_t Resolve(ntfs::NtfsVolume& vol, const std::vector<std::wstring>& components, uint64_t* record,
                     bool* directory);
    uint32_t ListForFind(ntfs::NtfsVolume& vol, uint64_t directory, const std::wstring& pattern,
                         std::vector<FindData>* out);
    uint32_t Control(Object& object, uint32_t code, const void* in, uint32_t inSize, void* out, uint32_t outSize,
                     uint32_t* bytesReturned);

    mutable std::mutex lock_;
    std::map<wchar_t, std::unique_ptr<ntfs::NtfsVolume>> volumes_;
    std::unordered_map<Handle, std::shared_ptr<Object>> handles_;
    Handle nextHandle_;
    ntfs::MftZonePolicy zone_;
};

}  // namespace zyr::vol
