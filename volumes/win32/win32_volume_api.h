// The volume door over the real Win32 calls.
#pragma once
#include "engine/volume_api.h"

namespace zyr::vol {

class Win32VolumeApi final : public IVolumeApi {
public:
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
};

}  // namespace zyr::vol
