// A scripted volume behind the volume door for engine tests: a bitmap, files with run lists,
// a directory tree and optional raw device bytes, answering as Windows does.
#pragma once
#include "engine/volume_api.h"
#include "engine/win32_defs.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zyr::test {

struct FakeFile {
    bool directory = false;
    uint32_t attributes = 0;  // extra attributes (reparse point ...)
    int64_t size = 0;
    std::vector<int64_t> lcns;  // one per virtual cluster; -1 = virtual (sparse)
};

class FakeVolume : public vol::IVolumeApi {
public:
    explicit FakeVolume(int64_t clusters, std::wstring drive = L"X:");

    // Set-up.
    void SetUsed(int64_t first, int64_t count, bool used = true);
    bool Used(int64_t cluster) const { return bitmap_[cluster]; }
    // Adds a file (or directory) at "X:\a\b" with the given runs {lcn, length}; lcn -1 virtual.
    // The clusters are marked in use. Parent directories are added as needed.
    FakeFile& AddFile(const std::wstring& path, std::vector<std::pair<int64_t, int64_t>> runs, bool directory = false);
    FakeFile& File(const std::wstring& path) { return files_.at(path); }
    win::NTFS_VOLUME_DATA_BUFFER& NtfsData() { return ntfs_; }
    std::vector<uint8_t>& Device() { return device_; }

    // Scripted failures and records of what was asked.
    bool failOpenVolume = false;
    bool failNtfsData = false;
    bool bitmapFirstRequestSucceeds = false;  // as a volume of at most 64 clusters answers
    std::vector<std::wstring> failOpenFile;    // paths (X:\...) whose open fails with 5
    std::vector<std::wstring> failMoveFile;    // paths whose moves fail with 5
    std::vector<uint32_t> retrievalRequestSizes;
    struct Move {
        std::wstring path;
        int64_t vcn, lcn;
        uint32_t count;
    };
    std::vector<Move> moves;
    int volumeOpens = 0;
    int deviceReads = 0;

    // The runs as FSCTL_GET_RETRIEVAL_POINTERS reports them {NextVcn, Lcn}.
    std::vector<win::RETRIEVAL_POINTERS_EXTENT> Extents(const std::wstring& path) const;

    // IVolumeApi
    vol::Handle CreateFile(const std::wstring& path, uint32_t access, uint32_t share, uint32_t disposition,
                           uint32_t flags) override;
    bool CloseHandle(vol::Handle handle) override;
    bool DeviceIoControl(vol::Handle handle, uint32_t code, const void* in, uint32_t inSize, void* out,
                         uint32_t outSize, uint32_t* bytesReturned) override;
    uint32_t SetFilePointer(vol::Handle handle, int32_t distanceLow, int32_t* distanceHigh,
                            uint32_t moveMethod) override;
    bool ReadFile(vol::Handle handle, void* buffer, uint32_t toRead, uint32_t* read) override;
    bool GetFileSizeEx(vol::Handle handle, int64_t* size) override;
    vol::Handle FindFirstFile(const std::wstring& pattern, vol::FindData* data) override;
    bool FindNextFile(vol::Handle find, vol::FindData* data) override;
    bool FindClose(vol::Handle find) override;
    uint32_t GetLastError() override { return lastError_; }
    void SetLastError(uint32_t error) override { lastError_ = error; }
    uint32_t GetLogicalDriveStrings(uint32_t, wchar_t*) override { return 0; }
    uint32_t GetDriveType(const std::wstring&) override { return win::DRIVE_FIXED_; }
    bool GetVolumeInformation(const std::wstring&, std::wstring*, uint32_t*, uint32_t*, uint32_t*,
                              std::wstring*) override {
        return false;
    }
    bool GetDiskFreeSpaceEx(const std::wstring&, uint64_t*, uint64_t*, uint64_t*) override { return false; }

    int OpenHandles() const { return static_cast<int>(handles_.size()); }

private:
    struct HandleState {
        bool device = false;
        std::wstring path;
        int64_t position = 0;
        std::vector<vol::FindData> listing;
        size_t next = 0;
        bool find = false;
    };
    bool Fail(uint32_t error) {
        lastError_ = error;
        return false;
    }
    bool Bitmap(const void* in, uint32_t inSize, void* out, uint32_t outSize, uint32_t* returned);
    bool Retrieval(const HandleState& h, const void* in, void* out, uint32_t outSize, uint32_t* returned);
    bool MoveFile(const void* in, uint32_t inSize);

    std::wstring drive_;
    std::vector<bool> bitmap_;
    std::map<std::wstring, FakeFile> files_;  // by "X:\dir\name"
    win::NTFS_VOLUME_DATA_BUFFER ntfs_{};
    std::vector<uint8_t> device_;
    std::map<vol::Handle, HandleState> handles_;
    vol::Handle nextHandle_ = 100;
    uint32_t lastError_ = 0;
};

// Binds a volume to the door for one scope.
class ScopedVolumeApi {
public:
    explicit ScopedVolumeApi(vol::IVolumeApi& api) { vol::SetVolumeApi(&api); }
    ~ScopedVolumeApi() { vol::SetVolumeApi(nullptr); }
};

}  // namespace zyr::test
