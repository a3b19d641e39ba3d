// Fuzz target: the master-file-table reader (layout, records, paths) over a volume whose bytes
// are the input: boot sector, table and all.
#include "engine/mft_parser.h"
#include "engine/volume_api.h"
#include "engine/win32_defs.h"

#include <algorithm>
#include <cstring>

namespace {

using namespace zyr;

// Serves the input as the raw bytes of volume F:.
class BytesVolume final : public vol::IVolumeApi {
public:
    BytesVolume(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    vol::Handle CreateFile(const std::wstring& path, uint32_t, uint32_t, uint32_t, uint32_t) override {
        if (path != L"\\\\.\\F:") return Fail(vol::kInvalidHandle, win::ERROR_FILE_NOT_FOUND_);
        open_ = true;
        position_ = 0;
        return 1;
    }
    bool CloseHandle(vol::Handle h) override {
        if (h != 1 || !open_) return Fail(false, win::ERROR_INVALID_HANDLE_);
        open_ = false;
        return true;
    }
    bool DeviceIoControl(vol::Handle, uint32_t, const void*, uint32_t, void*, uint32_t, uint32_t*) override {
        return Fail(false, win::ERROR_INVALID_FUNCTION_);
    }
    uint32_t SetFilePointer(vol::Handle h, int32_t low, int32_t* high, uint32_t method) override {
        if (h != 1 || !open_ || method != win::FILE_BEGIN_)
            return Fail(win::INVALID_SET_FILE_POINTER_, win::ERROR_INVALID_HANDLE_);
        const int64_t position = (high ? int64_t{*high} << 32 : 0) | static_cast<uint32_t>(low);
        if (position < 0) return Fail(win::INVALID_SET_FILE_POINTER_, win::ERROR_INVALID_PARAMETER_);
        position_ = position;
        return static_cast<uint32_t>(position);
    }
    bool ReadFile(vol::Handle h, void* buffer, uint32_t toRead, uint32_t* read) override {
        if (read) *read = 0;
        if (h != 1 || !open_) return Fail(false, win::ERROR_INVALID_HANDLE_);
        if (position_ >= static_cast<int64_t>(size_)) return Fail(false, win::ERROR_HANDLE_EOF_);
        const size_t n = std::min<size_t>(toRead, size_ - static_cast<size_t>(position_));
        std::memcpy(buffer, data_ + position_, n);
        position_ += static_cast<int64_t>(n);
        if (read) *read = static_cast<uint32_t>(n);
        return true;
    }
    bool GetFileSizeEx(vol::Handle, int64_t*) override { return Fail(false, win::ERROR_INVALID_HANDLE_); }
    vol::Handle FindFirstFile(const std::wstring&, vol::FindData*) override {
        return Fail(vol::kInvalidHandle, win::ERROR_PATH_NOT_FOUND_);
    }
    bool FindNextFile(vol::Handle, vol::FindData*) override { return Fail(false, win::ERROR_INVALID_HANDLE_); }
    bool FindClose(vol::Handle) override { return Fail(false, win::ERROR_INVALID_HANDLE_); }
    uint32_t GetLastError() override { return error_; }
    void SetLastError(uint32_t e) override { error_ = e; }
    uint32_t GetLogicalDriveStrings(uint32_t, wchar_t*) override { return 0; }
    uint32_t GetDriveType(const std::wstring&) override { return win::DRIVE_FIXED_; }
    bool GetVolumeInformation(const std::wstring&, std::wstring*, uint32_t*, uint32_t*, uint32_t*,
                              std::wstring*) override {
        return false;
    }
    bool GetDiskFreeSpaceEx(const std::wstring&, uint64_t*, uint64_t*, uint64_t*) override { return false; }

private:
    template <typename T> T Fail(T result, uint32_t error) {
        error_ = error;
        return result;
    }
    const uint8_t* data_;
    size_t size_;
    bool open_ = false;
    int64_t position_ = 0;
    uint32_t error_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BytesVolume volume(data, size);
    vol::SetVolumeApi(&volume);
    {
        engine::CMFTParser reader(L"F:");
        if (reader.ReadMftLayout() && reader.ReadFileRecords(nullptr)) {
            size_t characters = 0;
            for (size_t i = 0; i < reader.GetEntryCount(); ++i) characters += reader.GetEntryPath(i).path.size();
            (void)characters;
        }
    }
    vol::SetVolumeApi(nullptr);
    return 0;
}
