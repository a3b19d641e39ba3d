// POSIX backend of the scanner's file seam: opendir/fstatat listings, pread, getenv.
#include "duplicates/posix/posix_file_system.h"

#include "duplicates/core/text_utf.h"
#include "engine/win32_defs.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zyr::dup {
namespace {

class Listing final : public IFolderListing {
public:
    explicit Listing(std::vector<DirEntry> entries) : entries_(std::move(entries)) {}
    bool Next(DirEntry* entry) override {
        if (next_ >= entries_.size()) return false;
        *entry = std::move(entries_[next_++]);
        return true;
    }

private:
    std::vector<DirEntry> entries_;
    size_t next_ = 0;
};

class File final : public IReadableFile {
public:
    explicit File(int fd) : fd_(fd) {}
    ~File() override { ::close(fd_); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool ReadAt(uint64_t offset, void* buffer, uint32_t size, uint32_t* got) override {
        auto out = static_cast<char*>(buffer);
        uint32_t total = 0;
        while (total < size) {
            const ssize_t n = ::pread(fd_, out + total, size - total, static_cast<off_t>(offset + total));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                *got = total;
                return false;
            }
            if (n == 0) break;
            total += static_cast<uint32_t>(n);
        }
        *got = total;
        return true;
    }

private:
    int fd_;
};

uint32_t AttributesOf(const std::string& name, const struct stat& st) {
    uint32_t attributes = 0;
    if (!name.empty() && name[0] == '.') attributes |= win::FILE_ATTRIBUTE_HIDDEN_;
    if (S_ISLNK(st.st_mode)) {
        attributes |= win::FILE_ATTRIBUTE_REPARSE_POINT_;
    } else if (S_ISDIR(st.st_mode)) {
        attributes |= win::FILE_ATTRIBUTE_DIRECTORY_;
    } else if (!S_ISREG(st.st_mode)) {
        attributes |= win::FILE_ATTRIBUTE_SYSTEM_;
    }
    if (!S_ISLNK(st.st_mode) && (st.st_mode & 0222) == 0) attributes |= win::FILE_ATTRIBUTE_READONLY_;
    if (attributes == 0) attributes = win::FILE_ATTRIBUTE_NORMAL_;
    return attributes;
}

}  // namespace

std::unique_ptr<IFolderListing> PosixFileSystem::ListFolder(const std::wstring& prefix) {
    const std::string folder = WideToUtf8(prefix);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return nullptr;
    std::vector<DirEntry> entries;
    const int dirFd = ::dirfd(dir);
    while (dirent* item = ::readdir(dir)) {
        struct stat st;
        if (::fstatat(dirFd, item->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;  // gone meanwhile
        DirEntry entry;
        entry.name = Utf8ToWide(item->d_name);
        entry.attributes = AttributesOf(item->d_name, st);
        entry.size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return std::make_unique<Listing>(std::move(entries));
}

std::unique_ptr<IReadableFile> PosixFileSystem::OpenForReading(const std::wstring& path, bool) {
    // No blocking on a pipe that replaced a file, no following a link that replaced one; a
    // pipe or folder opened here fails at its first read. The kernel's read-ahead already
    // serves front-to-back reads, so no hint is given.
    const int fd = ::open(WideToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return nullptr;
    return std::make_unique<File>(fd);
}

bool PosixFileSystem::ExpandEnvironment(const std::wstring& text, size_t capacity, std::wstring* result) {
    // As ExpandEnvironmentStringsW: %NAME% of a set variable is replaced, anything else stays.
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        const size_t open = text.find(L'%', i);
        const size_t close = open == std::wstring::npos ? std::wstring::npos : text.find(L'%', open + 1);
        if (close == std::wstring::npos) {
            out += text.substr(i);
            break;
        }
        out += text.substr(i, open - i);
        const std::string name = WideToUtf8(text.substr(open + 1, close - open - 1));
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        if (value) {
            out += Utf8ToWide(value);
            i = close + 1;
        } else {
            out += L'%' + text.substr(open + 1, close - open - 1);
            i = close;  // the closing % may open the next name
        }
    }
    if (out.size() + 1 > capacity) return false;
    *result = std::move(out);
    return true;
}

IFileSystem& DefaultFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

}  // namespace zyr::dup
