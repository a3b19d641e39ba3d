// Test fixtures: the committed NTFS images, decompressed into the build tree, and ntfs-3g's tools.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace zyr::test {

// A private, writable copy of tests/volumes/fixtures/NAME.img.xz, removed by the destructor.
class ImageCopy {
public:
    explicit ImageCopy(const std::string& name);
    ~ImageCopy();
    ImageCopy(const ImageCopy&) = delete;
    ImageCopy& operator=(const ImageCopy&) = delete;
    const std::string& path() const { return path_; }
    std::wstring wpath() const;
    std::vector<uint8_t> Read(int64_t offset, size_t length) const;
    void Write(int64_t offset, const std::vector<uint8_t>& bytes) const;
    void Truncate(int64_t size) const;

private:
    std::string path_;
};

// Runs a shell command and returns its standard output.
std::string Shell(const std::string& command, int* status = nullptr);
std::string Quote(const std::string& text);

}  // namespace zyr::test
