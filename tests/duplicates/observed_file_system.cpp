// The observing pass-through file system of the scanner tests.
#include "tests/duplicates/observed_file_system.h"

#include <algorithm>

namespace zyr::dup::test {
namespace {

class ObservedFile final : public IReadableFile {
public:
    ObservedFile(ObservedFileSystem& owner, std::wstring path, std::unique_ptr<IReadableFile> real, bool failBeyond1k)
        : owner_(owner), path_(std::move(path)), real_(std::move(real)), failBeyond1k_(failBeyond1k) {}

    bool ReadAt(uint64_t offset, void* buffer, uint32_t size, uint32_t* got) override {
        if (failBeyond1k_ && offset + size > 1024) {
            *got = 0;
            return false;
        }
        const bool ok = real_->ReadAt(offset, buffer, size, got);
        owner_.NoteRead(path_, offset + *got);
        return ok;
    }

private:
    ObservedFileSystem& owner_;
    std::wstring path_;
    std::unique_ptr<IReadableFile> real_;
    bool failBeyond1k_;
};

}  // namespace

std::unique_ptr<IFolderListing> ObservedFileSystem::ListFolder(const std::wstring& prefix) {
    if (onList) onList(prefix);
    return real_.ListFolder(prefix);
}

std::unique_ptr<IReadableFile> ObservedFileSystem::OpenForReading(const std::wstring& path, bool sequential) {
    if (onOpen) onOpen(path);
    {
        std::lock_guard guard(lock_);
        ++opens_[path];
    }
    if (failOpen.count(path)) return nullptr;
    auto real = real_.OpenForReading(path, sequential);
    if (!real) return nullptr;
    return std::make_unique<ObservedFile>(*this, path, std::move(real), failReadsBeyond1k.count(path) > 0);
}

void ObservedFileSystem::NoteRead(const std::wstring& path, uint64_t end) {
    std::lock_guard guard(lock_);
    auto& extent = extent_[path];
    extent = std::max(extent, end);
}

uint64_t ObservedFileSystem::ReadExtent(const std::wstring& path) {
    std::lock_guard guard(lock_);
    auto found = extent_.find(path);
    return found == extent_.end() ? 0 : found->second;
}

int ObservedFileSystem::Opens(const std::wstring& path) {
    std::lock_guard guard(lock_);
    auto found = opens_.find(path);
    return found == opens_.end() ? 0 : found->second;
}

}  // namespace zyr::dup::test
