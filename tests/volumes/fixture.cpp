// Image copies for tests: decompressed once per build tree, copied per test.
#include "tests/volumes/fixture.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace zyr::test {
namespace fs = std::filesystem;

namespace {

std::string Pristine(const std::string& name) {
    const fs::path dir = fs::path(ZYR_BINARY_DIR) / "tests" / "volumes" / "images";
    fs::create_directories(dir);
    const fs::path image = dir / (name + ".img");
    const fs::path source = fs::path(ZYR_SOURCE_DIR) / "tests" / "volumes" / "fixtures" / (name + ".img.xz");
    if (!fs::exists(image) || fs::last_write_time(image) < fs::last_write_time(source)) {
        const fs::path partial = dir / (name + ".img." + std::to_string(getpid()));
        int status = 0;
        Shell("xz -dc " + Quote(source.string()) + " > " + Quote(partial.string()), &status);
        if (status != 0) throw std::runtime_error("cannot decompress " + source.string());
        fs::rename(partial, image);
    }
    return image.string();
}

}  // namespace

std::string Quote(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string Shell(const std::string& command, int* status) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) throw std::runtime_error("popen failed");
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    const int rc = pclose(p);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

ImageCopy::ImageCopy(const std::string& name) {
    static std::atomic<int> counter{0};
    const std::string source = Pristine(name);
    path_ = source + ".copy-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    fs::copy_file(source, path_, fs::copy_options::overwrite_existing);
}

ImageCopy::~ImageCopy() {
    std::error_code ignored;
    fs::remove(path_, ignored);
}

std::wstring ImageCopy::wpath() const { return std::wstring(path_.begin(), path_.end()); }

std::vector<uint8_t> ImageCopy::Read(int64_t offset, size_t length) const {
    std::ifstream f(path_, std::ios::binary);
    f.seekg(offset);
    std::vector<uint8_t> bytes(length);
    f.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(length));
    bytes.resize(size_t(f.gcount()));
    return bytes;
}

void ImageCopy::Write(int64_t offset, const std::vector<uint8_t>& bytes) const {
    std::fstream f(path_, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(offset);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void ImageCopy::Truncate(int64_t size) const { fs::resize_file(path_, uint64_t(size)); }

}  // namespace zyr::test
