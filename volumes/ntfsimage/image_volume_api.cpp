// ImageVolumeApi: handles, paths, directory listings and the controls over image volumes.
#include "volumes/ntfsimage/image_volume_api.h"

#include "engine/win32_defs.h"
#include "volumes/ntfsimage/cluster_mover.h"
#include "volumes/ntfsimage/ntfs_layout.h"
#include "volumes/ntfsimage/volume_path.h"

#include <algorithm>
#include <cstring>

namespace zyr::vol {
namespace {

thread_local uint32_t t_lastError = 0;

constexpr Handle kFirstHandle = 0x5A000001;  // 1 mod 4: never a kernel handle
constexpr uint32_t kNtfsFlags = 0x000700FF;  // case, Unicode, ACLs, compression, quotas, sparse, reparse, ids, EFS, streams

template <typename T> T Fail(uint32_t error, T result) {
    t_lastError = error;
    return result;
}

uint32_t FindAttributes(uint32_t fromEntry) {
    uint32_t a = fromEntry;
    if (a & 0x10000000u) a = (a & ~0x10000000u) | win::FILE_ATTRIBUTE_DIRECTORY_;
    a &= ~0x20000000u;
    return a ? a : win::FILE_ATTRIBUTE_NORMAL_;
}

// "*", "?" glob, compared through the volume's $UpCase.
bool Matches(const ntfs::NtfsVolume& vol, const std::wstring& pattern, size_t p, const std::wstring& name, size_t n) {
    while (p < pattern.size()) {
        if (pattern[p] == L'*') {
            while (p < pattern.size() && pattern[p] == L'*') ++p;
            if (p == pattern.size()) return true;
            for (size_t k = n; k <= name.size(); ++k)
                if (Matches(vol, pattern, p, name, k)) return true;
            return false;
        }
        if (n == name.size()) return pattern.substr(p) == L".";  // "*.*" matches names without a dot
        if (pattern[p] != L'?' && vol.UpCase(pattern[p]) != vol.UpCase(name[n])) return false;
        ++p;
        ++n;
    }
    return n == name.size();
}

}  // namespace

ImageVolumeApi::ImageVolumeApi() : nextHandle_(kFirstHandle) {}
ImageVolumeApi::~ImageVolumeApi() = default;

uint32_t ImageVolumeApi::Mount(wchar_t letter, const std::wstring& imagePath, bool writable) {
    if (letter >= L'a' && letter <= L'z') letter = wchar_t(letter - L'a' + L'A');
    if (letter < L'A' || letter > L'Z') return win::ERROR_INVALID_PARAMETER_;
    uint32_t error = 0;
    auto volume = ntfs::NtfsVolume::Open(imagePath, writable, &error);
    if (!volume) return error ? error : win::ERROR_UNRECOGNIZED_VOLUME_;
    std::lock_guard lock(lock_);
    volumes_[letter] = std::move(volume);
    return 0;
}

bool ImageVolumeApi::Serves(wchar_t letter) const { return VolumeFor(letter) != nullptr; }

std::vector<wchar_t> ImageVolumeApi::Letters() const {
    std::lock_guard lock(lock_);
    std::vector<wchar_t> out;
    for (const auto& [letter, v] : volumes_) out.push_back(letter);
    return out;
}

bool ImageVolumeApi::OwnsHandle(Handle handle) const { return Find(handle) != nullptr; }

ntfs::NtfsVolume* ImageVolumeApi::VolumeFor(wchar_t letter) const {
    if (letter >= L'a' && letter <= L'z') letter = wchar_t(letter - L'a' + L'A');
    std::lock_guard lock(lock_);
    auto it = volumes_.find(letter);
    return it == volumes_.end() ? nullptr : it->second.get();
}

std::shared_ptr<ImageVolumeApi::Object> ImageVolumeApi::Find(Handle handle) const {
    std::lock_guard lock(lock_);
    auto it = handles_.find(handle);
    return it == handles_.end() ? nullptr : it->second;
}

Handle ImageVolumeApi::Insert(std::shared_ptr<Object> object) {
    std::lock_guard lock(lock_);
    const Handle h = nextHandle_;
    nextHandle_ += 4;
    handles_[h] = std::move(object);
    return h;
}

uint32_t ImageVolumeApi::Resolve(ntfs::NtfsVolume& vol, const std::vector<std::wstring>& components,
                                 uint64_t* record, bool* directory) {
    uint64_t current = ntfs::kRecordRoot;
    bool isDirectory = true;
    // Paths opened one after another mostly share their folder: start from the last one.
    const std::span<const std::wstring> all(components);
    size_t i = 0;
    if (all.size() > 1 && vol.CachedFolder(all.first(all.size() - 1), &current)) i = all.size() - 1;
    for (; i < components.size(); ++i) {
        const bool last = i + 1 == components.size();
        if (!isDirectory) return win::ERROR_PATH_NOT_FOUND_;
        if (last && i > 0) vol.RememberFolder(all.first(i), current);
        uint64_t reference = 0;
        const uint32_t e = vol.Lookup(current, components[i], &reference);
        if (e == win::ERROR_FILE_NOT_FOUND_) return last ? win::ERROR_FILE_NOT_FOUND_ : win::ERROR_PATH_NOT_FOUND_;
        if (e) return e;
        current = ntfs::RecordNumber(reference);
        if (const ntfs::RecordSummary* summary = vol.SimpleSummary(current)) {
            isDirectory = summary->directory;
            continue;
        }
        std::shared_ptr<const ntfs::LoadedFile> file;
        if (uint32_t le = vol.LoadFileShared(current, &file))
            return le == win::ERROR_FILE_NOT_FOUND_ && !last ? win::ERROR_PATH_NOT_FOUND_ : le;
        isDirectory = file->IsDirectory();
    }
    *record = current;
    *directory = isDirectory;
    return 0;
}

Handle ImageVolumeApi::CreateFile(const std::wstring& path, uint32_t access, uint32_t share, uint32_t disposition,
                                  uint32_t flags) {
    auto parsed = ntfs::ParseVolumePath(path);
    if (!parsed) return Fail(win::ERROR_PATH_NOT_FOUND_, kInvalidHandle);
    ntfs::NtfsVolume* vol = VolumeFor(parsed->letter);
    if (!vol) return Fail(win::ERROR_PATH_NOT_FOUND_, kInvalidHandle);
    if (disposition != win::OPEN_EXISTING_) return Fail(win::ERROR_ACCESS_DENIED_, kInvalidHandle);
    auto object = std::make_shared<Object>();
    object->volume = vol;
    if (parsed->device) {
        object->kind = Kind::kVolume;
        return Insert(std::move(object));
    }
    uint64_t record = 0;
    bool directory = false;
    {
        std::lock_guard lock(vol->lock());
        if (uint32_t e = Resolve(*vol, parsed->components, &record, &directory)) return Fail(e, kInvalidHandle);
    }
    if (directory && !(flags & win::FILE_FLAG_BACKUP_SEMANTICS_)) return Fail(win::ERROR_ACCESS_DENIED_, kInvalidHandle);
    object->kind = Kind::kFile;
    object->record = record;
    object->directory = directory;
    return Insert(std::move(object));
}

bool ImageVolumeApi::CloseHandle(Handle handle) {
    std::shared_ptr<Object> object;
    {
        std::lock_guard lock(lock_);
        auto it = handles_.find(handle);
        if (it == handles_.end() || it->second->kind == Kind::kFind) return Fail(win::ERROR_INVALID_HANDLE_, false);
        object = std::move(it->second);
        handles_.erase(it);
    }
    // Closing a volume handle makes the moves made through it durable.
    if (object->kind == Kind::kVolume) {
        std::lock_guard lock(object->volume->lock());
        (void)object->volume->device().Flush();
    }
    return true;
}

uint32_t ImageVolumeApi::Control(Object& object, uint32_t code, const void* in, uint32_t inSize, void* out,
                                 uint32_t outSize, uint32_t* bytesReturned) {
    ntfs::NtfsVolume& vol = *object.volume;
    switch (code) {
        case win::FSCTL_GET_VOLUME_BITMAP_: {
            std::lock_guard lock(vol.lock());
            return ntfs::GetVolumeBitmap(vol, in, inSize, out, outSize, bytesReturned);
        }
        case win::FSCTL_GET_NTFS_VOLUME_DATA_: {
            std::lock_guard lock(vol.lock());
            return ntfs::GetNtfsVolumeData(vol, zone_, out, outSize, bytesReturned);
        }
        case win::FSCTL_GET_RETRIEVAL_POINTERS_: {
            if (!in || inSize < 8) return win::ERROR_INVALID_PARAMETER_;
            if (!out || outSize < 32) return win::ERROR_INSUFFICIENT_BUFFER_;
            std::lock_guard lock(vol.lock());
            if (object.kind == Kind::kFile) {
                if (const ntfs::RecordSummary* s = vol.SimpleSummary(object.record)) {
                    const int64_t clusters = s->hasStream && !s->streamResident
                                                 ? s->allocatedSize / vol.geometry().bytesPerCluster
                                                 : -1;
                    return ntfs::GetRetrievalPointers(vol.SummaryRuns(*s), clusters, in, inSize, out, outSize,
                                                      bytesReturned);
                }
            }
            ntfs::Stream stream;
            const uint32_t e = ntfs::StreamForRetrieval(vol, object.record, object.kind == Kind::kVolume, &stream);
            if (e && e != win::ERROR_HANDLE_EOF_) return e;
            return ntfs::GetRetrievalPointers(vol, e ? nullptr : &stream, in, inSize, out, outSize, bytesReturned);
        }
        case win::FSCTL_MOVE_FILE_: {
            if (!in || inSize < sizeof(win::MOVE_FILE_DATA)) return win::ERROR_INSUFFICIENT_BUFFER_;
            win::MOVE_FILE_DATA data;
            std::memcpy(&data, in, sizeof data);
            auto file = Find(Handle(data.FileHandle));
            if (!file || file->kind != Kind::kFile) return win::ERROR_INVALID_HANDLE_;
            if (file->volume != &vol) return win::ERROR_INVALID_PARAMETER_;
            std::lock_guard lock(vol.lock());
            const uint32_t e = ntfs::MoveClusters(vol, {file->record, data.StartingVcn, data.StartingLcn, data.ClusterCount});
            if (!e && bytesReturned) *bytesReturned = 0;
            return e;
        }
        default:
            return win::ERROR_INVALID_FUNCTION_;
    }
}

bool ImageVolumeApi::DeviceIoControl(Handle handle, uint32_t code, const void* in, uint32_t inSize, void* out,
                                     uint32_t outSize, uint32_t* bytesReturned) {
    auto object = Find(handle);
    if (!object || object->kind == Kind::kFind) return Fail(win::ERROR_INVALID_HANDLE_, false);
    uint32_t e;
    try {
        e = Control(*object, code, in, inSize, out, outSize, bytesReturned);
    } catch (...) {
        e = win::ERROR_NOT_ENOUGH_MEMORY_;
    }
    if (e == 0) return true;  // the last error stays as it was
    return Fail(e, false);
}

uint32_t ImageVolumeApi::SetFilePointer(Handle handle, int32_t distanceLow, int32_t* distanceHigh,
                                        uint32_t moveMethod) {
    auto object = Find(handle);
    if (!object || object->kind == Kind::kFind) return Fail(win::ERROR_INVALID_HANDLE_, win::INVALID_SET_FILE_POINTER_);
    const int64_t distance = distanceHigh ? int64_t((uint64_t(uint32_t(*distanceHigh)) << 32) | uint32_t(distanceLow))
                                          : int64_t(distanceLow);
    int64_t base = 0;
    switch (moveMethod) {
        case win::FILE_BEGIN_: base = 0; break;
        case win::FILE_CURRENT_: base = object->position; break;
        case win::FILE_END_: {
            int64_t size = 0;
            if (!GetFileSizeEx(handle, &size)) return win::INVALID_SET_FILE_POINTER_;
            base = size;
            break;
        }
        default: return Fail(win::ERROR_INVALID_PARAMETER_, win::INVALID_SET_FILE_POINTER_);
    }
    const int64_t position = base + distance;
    if (position < 0) return Fail(win::ERROR_NEGATIVE_SEEK_, win::INVALID_SET_FILE_POINTER_);
    if (!distanceHigh && position > 0xFFFFFFFFll) return Fail(win::ERROR_INVALID_PARAMETER_, win::INVALID_SET_FILE_POINTER_);
    object->position = position;
    if (distanceHigh) *distanceHigh = int32_t(uint64_t(position) >> 32);
    if (uint32_t(position) == win::INVALID_SET_FILE_POINTER_) t_lastError = 0;
    return uint32_t(position);
}

bool ImageVolumeApi::ReadFile(Handle handle, void* buffer, uint32_t toRead, uint32_t* read) {
    if (read) *read = 0;
    auto object = Find(handle);
    if (!object || object->kind == Kind::kFind) return Fail(win::ERROR_INVALID_HANDLE_, false);
    if (!buffer && toRead) return Fail(win::ERROR_INVALID_PARAMETER_, false);
    ntfs::NtfsVolume& vol = *object->volume;
    auto* out = static_cast<uint8_t*>(buffer);
    if (object->kind == Kind::kVolume) {
        // The volume is read uncached: whole sectors at sector offsets.
        const uint32_t sector = vol.geometry().bytesPerSector;
        if (object->position % sector || toRead % sector) return Fail(win::ERROR_INVALID_PARAMETER_, false);
        const int64_t end = vol.geometry().numberSectors * sector;
        const int64_t n = std::max<int64_t>(0, std::min<int64_t>(toRead, end - object->position));
        if (n > 0 && !vol.device().ReadAt(object->position, std::span(out, size_t(n))))
            return Fail(win::ERROR_READ_FAULT_, false);
        object->position += n;
        if (read) *read = uint32_t(n);
        return true;
    }
    if (object->directory) return Fail(win::ERROR_ACCESS_DENIED_, false);
    std::lock_guard lock(vol.lock());
    ntfs::LoadedFile file;
    ntfs::Stream stream;
    if (uint32_t e = vol.LoadFile(object->record, &file)) return Fail(e, false);
    if (uint32_t e = vol.GetStream(file, ntfs::kAttrData, L"", &stream)) {
        if (e != win::ERROR_FILE_NOT_FOUND_) return Fail(e, false);
        return true;  // no data stream: nothing to read
    }
    const int64_t n = std::max<int64_t>(0, std::min<int64_t>(toRead, stream.dataSize - object->position));
    if (n > 0)
        if (uint32_t e = vol.ReadStream(stream, object->position, std::span(out, size_t(n)))) return Fail(e, false);
    object->position += n;
    if (read) *read = uint32_t(n);
    return true;
}

bool ImageVolumeApi::GetFileSizeEx(Handle handle, int64_t* size) {
    auto object = Find(handle);
    if (!object || object->kind == Kind::kFind || !size) return Fail(win::ERROR_INVALID_HANDLE_, false);
    ntfs::NtfsVolume& vol = *object->volume;
    if (object->kind == Kind::kVolume) {
        *size = vol.geometry().numberSectors * vol.geometry().bytesPerSector;
        return true;
    }
    if (object->directory) {
        *size = 0;
        return true;
    }
    std::lock_guard lock(vol.lock());
    if (const ntfs::RecordSummary* s = vol.SimpleSummary(object->record)) {
        *size = s->dataSize;
        return true;
    }
    std::shared_ptr<const ntfs::LoadedFile> file;
    if (uint32_t e = vol.LoadFileShared(object->record, &file)) return Fail(e, false);
    *size = ntfs::NtfsVolume::DataSize(*file);
    return true;
}

uint32_t ImageVolumeApi::ListForFind(ntfs::NtfsVolume& vol, uint64_t directory, const std::wstring& pattern,
                                     std::vector<FindData>* out) {
    std::vector<ntfs::IndexEntry> entries;
    if (uint32_t e = vol.ListDirectory(directory, &entries)) return e;
    const bool root = directory == ntfs::kRecordRoot;
    if (!root) {
        for (const wchar_t* dot : {L".", L".."}) {
            FindData d;
            d.attributes = win::FILE_ATTRIBUTE_DIRECTORY_;
            d.fileName = dot;
            if (Matches(vol, pattern, 0, d.fileName, 0)) out->push_back(d);
        }
    }
    out->reserve(entries.size() + 2);
    std::unordered_map<uint64_t, std::wstring> shortNames;
    for (const ntfs::IndexEntry& e : entries)
        if (e.key.nameSpace == ntfs::fname::kNameSpaceDos) shortNames[e.reference] = e.key.name;
    for (const ntfs::IndexEntry& e : entries) {
        const uint64_t record = ntfs::RecordNumber(e.reference);
        if (e.key.nameSpace == ntfs::fname::kNameSpaceDos) continue;
        if (root && record < 16) continue;
        FindData d;
        d.fileName = e.key.name;
        d.attributes = FindAttributes(e.key.fileAttributes);
        d.creationTime = e.key.creationTime;
        d.lastWriteTime = e.key.writeTime;
        d.lastAccessTime = e.key.accessTime;
        if (auto dos = shortNames.find(e.reference); dos != shortNames.end()) d.alternateFileName = dos->second;
        const bool matches =
            Matches(vol, pattern, 0, d.fileName, 0) ||
            (!d.alternateFileName.empty() && Matches(vol, pattern, 0, d.alternateFileName, 0));
        if (!matches) continue;
        if (!(d.attributes & win::FILE_ATTRIBUTE_DIRECTORY_)) {
            std::shared_ptr<const ntfs::LoadedFile> file;
            if (const ntfs::RecordSummary* s = vol.SimpleSummary(record))
                d.fileSize = uint64_t(s->dataSize);
            else if (vol.LoadFileShared(record, &file) == 0)
                d.fileSize = uint64_t(ntfs::NtfsVolume::DataSize(*file));
            else
                d.fileSize = uint64_t(std::max<int64_t>(e.key.dataSize, 0));
        }
        out->push_back(std::move(d));
    }
    return 0;
}

Handle ImageVolumeApi::FindFirstFile(const std::wstring& pattern, FindData* data) {
    auto parsed = ntfs::ParseVolumePath(pattern);
    if (!parsed || parsed->device || parsed->components.empty()) return Fail(win::ERROR_PATH_NOT_FOUND_, kInvalidHandle);
    ntfs::NtfsVolume* vol = VolumeFor(parsed->letter);
    if (!vol) return Fail(win::ERROR_PATH_NOT_FOUND_, kInvalidHandle);
    const std::wstring mask = parsed->components.back();
    parsed->components.pop_back();
    auto object = std::make_shared<Object>();
    object->kind = Kind::kFind;
    object->volume = vol;
    {
        std::lock_guard lock(vol->lock());
        uint64_t record = 0;
        bool directory = false;
        uint32_t e = Resolve(*vol, parsed->components, &record, &directory);
        if (e == win::ERROR_FILE_NOT_FOUND_ || (!e && !directory)) e = win::ERROR_PATH_NOT_FOUND_;
        if (e) return Fail(e, kInvalidHandle);
        try {
            e = ListForFind(*vol, record, mask, &object->entries);
        } catch (...) {
            e = win::ERROR_NOT_ENOUGH_MEMORY_;
        }
        if (e) return Fail(e, kInvalidHandle);
    }
    if (object->entries.empty()) return Fail(win::ERROR_FILE_NOT_FOUND_, kInvalidHandle);
    if (data) *data = object->entries[0];
    object->next = 1;
    return Insert(std::move(object));
}

bool ImageVolumeApi::FindNextFile(Handle find, FindData* data) {
    auto object = Find(find);
    if (!object || object->kind != Kind::kFind) return Fail(win::ERROR_INVALID_HANDLE_, false);
    if (object->next >= object->entries.size()) return Fail(win::ERROR_NO_MORE_FILES_, false);
    if (data) *data = object->entries[object->next];
    ++object->next;
    return true;
}

bool ImageVolumeApi::FindClose(Handle find) {
    std::lock_guard lock(lock_);
    auto it = handles_.find(find);
    if (it == handles_.end() || it->second->kind != Kind::kFind) return Fail(win::ERROR_INVALID_HANDLE_, false);
    handles_.erase(it);
    return true;
}

uint32_t ImageVolumeApi::GetLastError() { return t_lastError; }
void ImageVolumeApi::SetLastError(uint32_t error) { t_lastError = error; }

uint32_t ImageVolumeApi::GetLogicalDriveStrings(uint32_t bufferLength, wchar_t* buffer) {
    return ntfs::WriteDriveStrings(Letters(), bufferLength, buffer);
}

uint32_t ImageVolumeApi::GetDriveType(const std::wstring& root) {
    return Serves(ntfs::DriveLetterOf(root)) ? win::DRIVE_FIXED_ : win::DRIVE_NO_ROOT_DIR_;
}

bool ImageVolumeApi::GetVolumeInformation(const std::wstring& root, std::wstring* volumeName,
                                          uint32_t* serialNumber, uint32_t* maxComponentLength,
                                          uint32_t* fileSystemFlags, std::wstring* fileSystemName) {
    ntfs::NtfsVolume* vol = VolumeFor(ntfs::DriveLetterOf(root));
    if (!vol) return Fail(win::ERROR_PATH_NOT_FOUND_, false);
    if (volumeName) *volumeName = vol->label();
    if (serialNumber) *serialNumber = uint32_t(vol->geometry().serialNumber);
    if (maxComponentLength) *maxComponentLength = 255;
    if (fileSystemFlags) *fileSystemFlags = kNtfsFlags;
    if (fileSystemName) *fileSystemName = L"NTFS";
    return true;
}

bool ImageVolumeApi::GetDiskFreeSpaceEx(const std::wstring& root, uint64_t* freeBytesAvailable, uint64_t* totalBytes,
                                        uint64_t* totalFreeBytes) {
    ntfs::NtfsVolume* vol = VolumeFor(ntfs::DriveLetterOf(root));
    if (!vol) return Fail(win::ERROR_PATH_NOT_FOUND_, false);
    std::lock_guard lock(vol->lock());
    int64_t free = 0;
    if (uint32_t e = vol->CountFreeClusters(&free)) return Fail(e, false);
    const uint64_t cs = vol->geometry().bytesPerCluster;
    if (freeBytesAvailable) *freeBytesAvailable = uint64_t(free) * cs;
    if (totalFreeBytes) *totalFreeBytes = uint64_t(free) * cs;
    if (totalBytes) *totalBytes = uint64_t(vol->geometry().totalClusters) * cs;
    return true;
}

}  // namespace zyr::vol
