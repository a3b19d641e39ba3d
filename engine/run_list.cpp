// Reading and counting a file's run list.
#include "engine/run_list.h"

#include <algorithm>
#include <cstring>

namespace zyr::engine {

namespace {
constexpr size_t kHeaderBytes = 16;
constexpr size_t kExtentBytes = sizeof(win::RETRIEVAL_POINTERS_EXTENT);
// Two's-complement arithmetic: corrupt cluster numbers give wrong counts, never undefined ones.
int64_t Add(int64_t a, int64_t b) noexcept { return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b)); }
int64_t Sub(int64_t a, int64_t b) noexcept { return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b)); }
}  // namespace

RunList::RunList(const uint8_t* bytes, size_t size) : bytes_(bytes, bytes + size) {
    if (bytes_.size() < kHeaderBytes) bytes_.resize(kHeaderBytes, 0);
}

uint32_t RunList::ExtentCount() const noexcept {
    uint32_t count = 0;
    std::memcpy(&count, bytes_.data(), 4);
    return static_cast<uint32_t>(std::min<size_t>(count, (bytes_.size() - kHeaderBytes) / kExtentBytes));
}

int64_t RunList::StartingVcn() const noexcept {
    int64_t vcn = 0;
    std::memcpy(&vcn, bytes_.data() + 8, 8);
    return vcn;
}

win::RETRIEVAL_POINTERS_EXTENT RunList::Extent(uint32_t i) const noexcept {
    win::RETRIEVAL_POINTERS_EXTENT extent{};
    if (i < ExtentCount()) std::memcpy(&extent, bytes_.data() + kHeaderBytes + i * kExtentBytes, kExtentBytes);
    return extent;
}

OpenedFile OpenTargetFile(const std::wstring& path, bool isFile) noexcept {
    auto& api = vol::VolumeApi();
    const uint32_t access = isFile ? win::FILE_READ_ATTRIBUTES_ : win::GENERIC_READ_;
    const uint32_t flags = isFile ? win::FILE_FLAG_NO_BUFFERING_ : win::FILE_FLAG_BACKUP_SEMANTICS_;
    OpenedFile opened;
    try {
        opened.handle.Reset(api.CreateFile(L"\\\\?\\" + path, access,
                                           win::FILE_SHARE_READ_ | win::FILE_SHARE_WRITE_ | win::FILE_SHARE_DELETE_,
                                           win::OPEN_EXISTING_, flags));
    } catch (const std::exception&) {
        opened.lastError = win::ERROR_NOT_ENOUGH_MEMORY_;
        return opened;
    }
    opened.lastError = api.GetLastError();
    return opened;
}

std::unique_ptr<RunList> GetRetrievalPointers(vol::Handle file) noexcept {
    if (file == vol::kInvalidHandle) return nullptr;
    auto& api = vol::VolumeApi();
    try {
        std::vector<uint8_t> buffer;
        win::STARTING_VCN_INPUT_BUFFER in{0};
        uint32_t returned = 0;
        for (uint64_t n = 50;;) {
            n *= 2;
            const uint64_t size = (n + 2) * 16;
            if (size > 0xFFFFFFF0u) return nullptr;
            buffer.resize(size);
            returned = 0;
            if (api.DeviceIoControl(file, win::FSCTL_GET_RETRIEVAL_POINTERS_, &in, sizeof(in), buffer.data(),
                                    static_cast<uint32_t>(size), &returned))
                break;
            if (api.GetLastError() != win::ERROR_MORE_DATA_) return nullptr;
        }
        if (returned == 0) return nullptr;
        return std::make_unique<RunList>(buffer.data(), std::min<size_t>(returned, buffer.size()));
    } catch (const std::exception&) {
        api.SetLastError(win::ERROR_NOT_ENOUGH_MEMORY_);
        return nullptr;
    }
}

ClusterCount CountFileClusters(const RunList& runs) noexcept {
    ClusterCount result;
    const uint32_t count = runs.ExtentCount();
    if (count == 0) return result;
    const auto first = runs.Extent(0);
    int64_t total = Sub(first.NextVcn, runs.StartingVcn());
    int64_t previousLcn = first.Lcn, previousLength = total, boundary = first.NextVcn;
    for (uint32_t i = 1; i < count; ++i) {
        const auto extent = runs.Extent(i);
        if (extent.Lcn != -1) {
            if (extent.Lcn != Add(previousLcn, previousLength)) result.fragmented = true;
            const int64_t length = Sub(extent.NextVcn, boundary);
            total = Add(total, length);
            previousLcn = extent.Lcn;
            previousLength = length;
        }
        boundary = extent.NextVcn;
    }
    result.clusters = total;
    return result;
}

}  // namespace zyr::engine
