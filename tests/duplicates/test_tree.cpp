// Scratch folders of real files: std::filesystem plus the platform's attribute calls.
#include "tests/duplicates/test_tree.h"

#include "duplicates/core/text_utf.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace zyr::dup::test {
namespace {

fs::path ToPath(const std::wstring& text) {
#ifdef _WIN32
    return fs::path(text);
#else
    return fs::path(WideToUtf8(text));
#endif
}

std::wstring Native(const std::string& relative) {
    std::wstring out = Utf8ToWide(relative);
    for (wchar_t& c : out) {
        if (c == L'/') c = DefaultFileSystem().Separator();
    }
    return out;
}

}  // namespace

TestTree::TestTree() {
    static std::atomic<int> counter{0};
#ifdef _WIN32
    const std::wstring unique = std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    root_ = fs::temp_directory_path().wstring();
#else
    const std::wstring unique = std::to_wstring(::getpid()) + L"-" + std::to_wstring(counter++);
    root_ = Utf8ToWide(fs::temp_directory_path().string());
#endif
    if (root_.back() != DefaultFileSystem().Separator()) root_ += DefaultFileSystem().Separator();
    root_ += L"ZyrDupTest-" + unique;
    fs::remove_all(ToPath(root_));
    fs::create_directories(ToPath(root_));
}

TestTree::~TestTree() {
    std::error_code error;
    // Read-only entries must become writable before they can be removed.
    for (auto it = fs::recursive_directory_iterator(ToPath(root_), error); !error && it != fs::end(it);
         it.increment(error)) {
#ifdef _WIN32
        ::SetFileAttributesW(it->path().wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
#else
        if (!it->is_symlink()) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
#endif
    }
    fs::remove_all(ToPath(root_), error);
}

std::wstring TestTree::Path(const std::string& relative) const {
    return relative.empty() ? root_ : root_ + DefaultFileSystem().Separator() + Native(relative);
}

std::wstring TestTree::Reported(const std::string& relative) const {
    const std::wstring path = Path(relative);
    return DefaultFileSystem().FoldsCase() ? LowercaseAscii(path) : path;
}

void TestTree::MakeFolder(const std::string& relative) { fs::create_directories(ToPath(Path(relative))); }

void TestTree::Write(const std::string& relative, const std::string& bytes) {
    const fs::path path = ToPath(Path(relative));
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write test file");
}

void TestTree::Append(const std::string& relative, const std::string& bytes) {
    std::ofstream out(ToPath(Path(relative)), std::ios::binary | std::ios::app);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool TestTree::SetMark(const std::string& relative, Mark mark) {
    const std::wstring path = Path(relative);
#ifdef _WIN32
    DWORD attribute = 0;
    switch (mark) {
    case Mark::Hidden: attribute = FILE_ATTRIBUTE_HIDDEN; break;
    case Mark::ReadOnly: attribute = FILE_ATTRIBUTE_READONLY; break;
    case Mark::System: attribute = FILE_ATTRIBUTE_SYSTEM; break;
    case Mark::Temporary: attribute = FILE_ATTRIBUTE_TEMPORARY; break;
    }
    const DWORD old = ::GetFileAttributesW(path.c_str());
    if (old == INVALID_FILE_ATTRIBUTES || !::SetFileAttributesW(path.c_str(), (old & ~FILE_ATTRIBUTE_NORMAL) | attribute))
        return false;
    return (::GetFileAttributesW(path.c_str()) & attribute) != 0;
#else
    const std::string native = WideToUtf8(path);
    switch (mark) {
    case Mark::ReadOnly: {
        struct stat st;
        return ::stat(native.c_str(), &st) == 0 && ::chmod(native.c_str(), S_ISDIR(st.st_mode) ? 0555 : 0444) == 0;
    }
    case Mark::Hidden: {
        const size_t slash = native.rfind('/');
        const std::string hidden = native.substr(0, slash + 1) + "." + native.substr(slash + 1);
        return ::rename(native.c_str(), hidden.c_str()) == 0;
    }
    case Mark::System:
    case Mark::Temporary: return false;
    }
    return false;
#endif
}

bool TestTree::MakeLink(const std::string& relative, const std::wstring& target) {
#ifdef _WIN32
    return false;  // links need privileges Windows does not grant by default
#else
    return ::symlink(WideToUtf8(target).c_str(), WideToUtf8(Path(relative)).c_str()) == 0;
#endif
}

void TestTree::Remove(const std::string& relative) { fs::remove_all(ToPath(Path(relative))); }

namespace {

void SetEnvironment(const std::string& name, const std::wstring* value) {
#ifdef _WIN32
    ::SetEnvironmentVariableW(Utf8ToWide(name).c_str(), value ? value->c_str() : nullptr);
#else
    if (value) {
        ::setenv(name.c_str(), WideToUtf8(*value).c_str(), 1);
    } else {
        ::unsetenv(name.c_str());
    }
#endif
}

}  // namespace

ScopedEnvironment::ScopedEnvironment(const char* name, const std::wstring* value) : name_(name) {
#ifdef _WIN32
    wchar_t buffer[1024];
    const DWORD length = ::GetEnvironmentVariableW(Utf8ToWide(name).c_str(), buffer, 1024);
    hadValue_ = length > 0 && length < 1024;
    if (hadValue_) oldValue_ = buffer;
#else
    const char* old = std::getenv(name);
    hadValue_ = old != nullptr;
    if (old) oldValue_ = Utf8ToWide(old);
#endif
    SetEnvironment(name_, value);
}

ScopedEnvironment::~ScopedEnvironment() { SetEnvironment(name_, hadValue_ ? &oldValue_ : nullptr); }

std::string Bytes(size_t count, uint32_t seed) {
    std::string out(count, '\0');
    uint32_t x = seed * 2654435761u + 12345;
    for (auto& c : out) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        c = static_cast<char>(x);
    }
    return out;
}

}  // namespace zyr::dup::test
