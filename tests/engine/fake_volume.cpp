// The scripted test volume.
#include "fake_volume.h"

#include <algorithm>
#include <cstring>

namespace zyr::test {

using namespace zyr::win;

FakeVolume::FakeVolume(int64_t clusters, std::wstring drive) : drive_(std::move(drive)), bitmap_(clusters, false) {
    ntfs_.TotalClusters = clusters;
    ntfs_.BytesPerSector = 512;
    ntfs_.BytesPerCluster = 4096;
    ntfs_.BytesPerFileRecordSegment = 1024;
}

void FakeVolume::SetUsed(int64_t first, int64_t count, bool used) {
    for (int64_t c = first; c < first + count; ++c) bitmap_.at(c) = used;
}

FakeFile& FakeVolume::AddFile(const std::wstring& path, std::vector<std::pair<int64_t, int64_t>> runs,
                              bool directory) {
    const size_t slash = path.rfind(L'\\');
    if (slash != std::wstring::npos && slash > drive_.size()) {
        const std::wstring parent = path.substr(0, slash);
        if (!files_.count(parent)) AddFile(parent, {}, true);
    }
    FakeFile& file = files_[path];
    file.directory = directory;
    for (auto [lcn, length] : runs) {
        for (int64_t i = 0; i < length; ++i) file.lcns.push_back(lcn == -1 ? -1 : lcn + i);
        if (lcn != -1) SetUsed(lcn, length);
    }
    file.size = static_cast<int64_t>(file.lcns.size()) * ntfs_.BytesPerCluster;
    return file;
}

std::vector<RETRIEVAL_POINTERS_EXTENT> FakeVolume::Extents(const std::wstring& path) const {
    std::vector<RETRIEVAL_POINTERS_EXTENT> extents;
    const auto& lcns = files_.at(path).lcns;
    for (size_t v = 0; v < lcns.size(); ++v) {
        const bool joins = !extents.empty() && v > 0 &&
                           ((lcns[v] == -1 && lcns[v - 1] == -1) || (lcns[v] != -1 && lcns[v - 1] != -1 && lcns[v] == lcns[v - 1] + 1));
        if (joins)
            extents.back().NextVcn = static_cast<int64_t>(v) + 1;
        else
            extents.push_back({static_cast<int64_t>(v) + 1, lcns[v]});
    }
    return extents;
}

vol::Handle FakeVolume::CreateFile(const std::wstring& path, uint32_t access, uint32_t, uint32_t, uint32_t flags) {
    HandleState state;
    if (path == L"\\\\.\\" + drive_) {
        ++volumeOpens;
        if (failOpenVolume) {
            Fail(ERROR_ACCESS_DENIED_);
            return vol::kInvalidHandle;
        }
        state.device = true;
    } else {
        const std::wstring prefix = L"\\\\?\\";
        if (path.rfind(prefix, 0) != 0) {
            Fail(ERROR_INVALID_PARAMETER_);
            return vol::kInvalidHandle;
        }
        state.path = path.substr(prefix.size());
        const auto it = files_.find(state.path);
        if (it == files_.end()) {
            Fail(ERROR_FILE_NOT_FOUND_);
            return vol::kInvalidHandle;
        }
        if (std::count(failOpenFile.begin(), failOpenFile.end(), state.path) ||
            (it->second.directory && !(flags & FILE_FLAG_BACKUP_SEMANTICS_))) {
            Fail(ERROR_ACCESS_DENIED_);
            return vol::kInvalidHandle;
        }
    }
    const vol::Handle handle = nextHandle_++;
    handles_[handle] = std::move(state);
    lastError_ = 0;
    return handle;
}

bool FakeVolume::CloseHandle(vol::Handle handle) {
    if (!handles_.erase(handle)) return Fail(ERROR_INVALID_HANDLE_);
    return true;
}

bool FakeVolume::Bitmap(const void* in, uint32_t inSize, void* out, uint32_t outSize, uint32_t* returned) {
    if (inSize < 8 || outSize < 24) return Fail(ERROR_INSUFFICIENT_BUFFER_);
    int64_t start;
    std::memcpy(&start, in, 8);
    const int64_t total = static_cast<int64_t>(bitmap_.size());
    if (start < 0 || (total > 0 && start >= total)) return Fail(ERROR_INVALID_PARAMETER_);
    start &= ~int64_t{7};
    const int64_t size = total - start;
    auto* bytes = static_cast<uint8_t*>(out);
    std::memcpy(bytes, &start, 8);
    std::memcpy(bytes + 8, &size, 8);
    const int64_t need = (size + 7) / 8;
    const int64_t room = outSize - 16;
    const int64_t copy = std::min(need, room);
    for (int64_t b = 0; b < copy; ++b) {
        uint8_t v = 0;
        for (int bit = 0; bit < 8; ++bit) {
            const int64_t c = start + b * 8 + bit;
            if (c >= total || bitmap_[c]) v |= uint8_t(1 << bit);  // padding bits read as used
        }
        bytes[16 + b] = v;
    }
    if (returned) *returned = static_cast<uint32_t>(16 + copy);
    if (copy < need && !(bitmapFirstRequestSucceeds && outSize == 24)) return Fail(ERROR_MORE_DATA_);
    return true;
}

bool FakeVolume::Retrieval(const HandleState& h, const void* in, void* out, uint32_t outSize, uint32_t* returned) {
    retrievalRequestSizes.push_back(outSize);
    if (outSize < 32) return Fail(ERROR_INSUFFICIENT_BUFFER_);
    int64_t vcn;
    std::memcpy(&vcn, in, 8);
    const auto extents = Extents(h.path);
    if (extents.empty()) return Fail(ERROR_HANDLE_EOF_);
    const uint32_t room = (outSize - 16) / 16;
    const uint32_t count = static_cast<uint32_t>(std::min<size_t>(room, extents.size()));
    auto* bytes = static_cast<uint8_t*>(out);
    std::memset(bytes, 0, 16);
    std::memcpy(bytes, &count, 4);
    std::memcpy(bytes + 16, extents.data(), count * 16);
    if (returned) *returned = 16 + count * 16;
    if (count < extents.size()) return Fail(ERROR_MORE_DATA_);
    return true;
}

bool FakeVolume::MoveFile(const void* in, uint32_t inSize) {
    if (inSize < sizeof(MOVE_FILE_DATA)) return Fail(ERROR_INSUFFICIENT_BUFFER_);
    MOVE_FILE_DATA move;
    std::memcpy(&move, in, sizeof(move));
    const auto it = handles_.find(static_cast<vol::Handle>(move.FileHandle));
    if (it == handles_.end() || it->second.device) return Fail(ERROR_INVALID_HANDLE_);
    const std::wstring& path = it->second.path;
    moves.push_back({path, move.StartingVcn, move.StartingLcn, move.ClusterCount});
    if (std::count(failMoveFile.begin(), failMoveFile.end(), path)) return Fail(ERROR_ACCESS_DENIED_);
    auto& lcns = files_.at(path).lcns;
    const int64_t total = static_cast<int64_t>(bitmap_.size());
    if (move.ClusterCount == 0 || move.StartingVcn < 0 || move.StartingLcn < 0 ||
        move.StartingLcn + move.ClusterCount > total || move.StartingVcn + move.ClusterCount > int64_t(lcns.size()))
        return Fail(ERROR_INVALID_PARAMETER_);
    int64_t real = 0;
    for (uint32_t i = 0; i < move.ClusterCount; ++i) real += lcns[move.StartingVcn + i] != -1;
    for (int64_t c = move.StartingLcn; c < move.StartingLcn + real; ++c)
        if (bitmap_[c]) return Fail(ERROR_ACCESS_DENIED_);
    int64_t target = move.StartingLcn;
    for (uint32_t i = 0; i < move.ClusterCount; ++i) {
        int64_t& lcn = lcns[move.StartingVcn + i];
        if (lcn == -1) continue;
        bitmap_[lcn] = false;
        lcn = target++;
        bitmap_[lcn] = true;
    }
    return true;
}

bool FakeVolume::DeviceIoControl(vol::Handle handle, uint32_t code, const void* in, uint32_t inSize, void* out,
                                 uint32_t outSize, uint32_t* bytesReturned) {
    const auto it = handles_.find(handle);
    if (it == handles_.end()) return Fail(ERROR_INVALID_HANDLE_);
    switch (code) {
        case FSCTL_GET_VOLUME_BITMAP_:
            if (!it->second.device) return Fail(ERROR_INVALID_PARAMETER_);
            return Bitmap(in, inSize, out, outSize, bytesReturned);
        case FSCTL_GET_NTFS_VOLUME_DATA_:
            if (!it->second.device || failNtfsData) return Fail(ERROR_INVALID_FUNCTION_);
            if (outSize < 96) return Fail(ERROR_INSUFFICIENT_BUFFER_);
            std::memcpy(out, &ntfs_, 96);
            if (bytesReturned) *bytesReturned = 96;
            return true;
        case FSCTL_GET_RETRIEVAL_POINTERS_:
            if (it->second.device) return Fail(ERROR_INVALID_PARAMETER_);
            return Retrieval(it->second, in, out, outSize, bytesReturned);
        case FSCTL_MOVE_FILE_:
            if (!it->second.device) return Fail(ERROR_INVALID_PARAMETER_);
            return MoveFile(in, inSize);
        default:
            return Fail(ERROR_INVALID_FUNCTION_);
    }
}

uint32_t FakeVolume::SetFilePointer(vol::Handle handle, int32_t low, int32_t* high, uint32_t method) {
    const auto it = handles_.find(handle);
    if (it == handles_.end() || !it->second.device || method != FILE_BEGIN_) {
        Fail(ERROR_INVALID_HANDLE_);
        return INVALID_SET_FILE_POINTER_;
    }
    const int64_t position = (high ? int64_t{*high} << 32 : 0) | static_cast<uint32_t>(low);
    if (position < 0) {
        Fail(ERROR_INVALID_PARAMETER_);
        return INVALID_SET_FILE_POINTER_;
    }
    it->second.position = position;
    return static_cast<uint32_t>(position);
}

bool FakeVolume::ReadFile(vol::Handle handle, void* buffer, uint32_t toRead, uint32_t* read) {
    if (read) *read = 0;
    const auto it = handles_.find(handle);
    if (it == handles_.end() || !it->second.device) return Fail(ERROR_INVALID_HANDLE_);
    ++deviceReads;
    const int64_t position = it->second.position;
    const int64_t size = static_cast<int64_t>(device_.size());
    if (position % 512 || toRead % 512) return Fail(ERROR_INVALID_PARAMETER_);
    if (position >= size) return Fail(ERROR_HANDLE_EOF_);
    const int64_t n = std::min<int64_t>(toRead, size - position);
    std::memcpy(buffer, device_.data() + position, static_cast<size_t>(n));
    it->second.position += n;
    if (read) *read = static_cast<uint32_t>(n);
    return true;
}

bool FakeVolume::GetFileSizeEx(vol::Handle handle, int64_t* size) {
    const auto it = handles_.find(handle);
    if (it == handles_.end() || it->second.device) return Fail(ERROR_INVALID_HANDLE_);
    *size = files_.at(it->second.path).size;
    return true;
}

vol::Handle FakeVolume::FindFirstFile(const std::wstring& pattern, vol::FindData* data) {
    if (pattern.size() < 2 || pattern.substr(pattern.size() - 2) != L"\\*") {
        Fail(ERROR_INVALID_PARAMETER_);
        return vol::kInvalidHandle;
    }
    const std::wstring directory = pattern.substr(0, pattern.size() - 2);
    HandleState state;
    state.find = true;
    if (directory != drive_) {
        const auto it = files_.find(directory);
        if (it == files_.end() || !it->second.directory) {
            Fail(ERROR_PATH_NOT_FOUND_);
            return vol::kInvalidHandle;
        }
        vol::FindData dot;
        dot.attributes = FILE_ATTRIBUTE_DIRECTORY_;
        dot.fileName = L".";
        state.listing.push_back(dot);
        dot.fileName = L"..";
        state.listing.push_back(dot);
    }
    for (const auto& [path, file] : files_) {
        const size_t slash = path.rfind(L'\\');
        if (slash == std::wstring::npos || path.substr(0, slash) != directory) continue;
        vol::FindData entry;
        entry.fileName = path.substr(slash + 1);
        entry.attributes = (file.directory ? FILE_ATTRIBUTE_DIRECTORY_ : FILE_ATTRIBUTE_ARCHIVE_) | file.attributes;
        entry.fileSize = file.directory ? 0 : static_cast<uint64_t>(file.size);
        state.listing.push_back(entry);
    }
    if (state.listing.empty()) {
        Fail(ERROR_FILE_NOT_FOUND_);
        return vol::kInvalidHandle;
    }
    *data = state.listing[0];
    state.next = 1;
    const vol::Handle handle = nextHandle_++;
    handles_[handle] = std::move(state);
    return handle;
}

bool FakeVolume::FindNextFile(vol::Handle find, vol::FindData* data) {
    const auto it = handles_.find(find);
    if (it == handles_.end() || !it->second.find) return Fail(ERROR_INVALID_HANDLE_);
    if (it->second.next >= it->second.listing.size()) return Fail(ERROR_NO_MORE_FILES_);
    *data = it->second.listing[it->second.next++];
    return true;
}

bool FakeVolume::FindClose(vol::Handle find) { return CloseHandle(find); }

}  // namespace zyr::test
