// The scan worker: walk, group by size, by first-block checksum, then by content.
#include "duplicates/core/scan_thread.h"

#include "duplicates/core/adler32.h"
#include "duplicates/core/content_split.h"
#include "duplicates/core/file_category.h"
#include "duplicates/core/md5.h"
#include "duplicates/core/text_utf.h"
#include "engine/win32_defs.h"

#include <memory>

namespace zyr::dup {

void WalkFolder(IFileSystem& fs, IDuplicateFileScannerPrivate& scanner, const std::wstring& folder,
                int32_t recursive, int32_t mask, SizeMap* sizes) {
    constexpr uint32_t kSkipped = win::FILE_ATTRIBUTE_REPARSE_POINT_ | win::FILE_ATTRIBUTE_TEMPORARY_ |
                                  win::FILE_ATTRIBUTE_READONLY_ | win::FILE_ATTRIBUTE_HIDDEN_ |
                                  win::FILE_ATTRIBUTE_SYSTEM_;
    std::wstring prefix = folder;
    if (prefix.empty() || prefix.back() != fs.Separator()) prefix += fs.Separator();
    std::unique_ptr<IFolderListing> listing = fs.ListFolder(prefix);
    if (!listing) return;
    DirEntry entry;
    while (!scanner.IsCancelled() && listing->Next(&entry) && !scanner.IsCancelled()) {
        if (entry.name == L"." || entry.name == L"..") continue;
        if (entry.attributes & kSkipped) continue;
        std::wstring child = prefix + entry.name;
        if (fs.FoldsCase()) child = LowercaseAscii(child);
        if (entry.attributes & win::FILE_ATTRIBUTE_DIRECTORY_) {
            if (recursive && !scanner.IsExcludedFolder(child)) WalkFolder(fs, scanner, child, recursive, mask, sizes);
            continue;
        }
        const uint32_t category = GetFileCategory(entry.name);
        if (!(mask & CategoryOther) && !(category & static_cast<uint32_t>(mask))) continue;
        scanner.SetStatus(ScanStateCollecting, child, -1.0, 1);
        if (entry.size > 0) (*sizes)[entry.size].push_back(std::move(child));
    }
}

bool QuickChecksum(IFileSystem& fs, const std::wstring& path, uint64_t size, std::wstring* text) {
    uint8_t block[1024];
    const uint32_t length = size >= sizeof block ? sizeof block : static_cast<uint32_t>(size);
    auto file = fs.OpenForReading(path, true);
    uint32_t got = 0;
    if (!file || !file->ReadAt(0, block, length, &got) || got != length) return false;
    *text = std::to_wstring(Adler32(1, block, length));  // as "%u"
    return true;
}

bool FileDigest(IFileSystem& fs, const std::wstring& path, std::wstring* text) {
    auto file = fs.OpenForReading(path, true);
    if (!file) return false;
    Md5 md5;
    uint8_t chunk[1024];
    uint64_t offset = 0;
    for (;;) {
        uint32_t got = 0;
        if (!file->ReadAt(offset, chunk, sizeof chunk, &got)) return false;
        md5.Update(chunk, got);
        offset += got;
        if (got < sizeof chunk) break;
    }
    *text = Md5::ToHex(md5.Finish());
    return true;
}

}  // namespace zyr::dup

void ScanThread(ScanParams* params) {
    std::unique_ptr<ScanParams> owned(params);
    IDuplicateFileScannerPrivate& scanner = *params->scanner;
    try {
        if (params->mask != 0) {
            zyr::dup::SizeMap sizes;
            zyr::dup::WalkFolder(*params->fileSystem, scanner, params->folder, params->recursive, params->mask,
                                 &sizes);
            if (!scanner.IsCancelled()) zyr::dup::CompareSizeGroups(*params->fileSystem, scanner, sizes);
        }
    } catch (...) {
        // Out of memory: the scan ends with the sets reported so far, as after a cancellation.
    }
    scanner.OnFinished();
}
