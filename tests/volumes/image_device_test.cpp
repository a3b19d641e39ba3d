// The image device's copies within the file and its mapped small writes, on a sparse scratch file.
#include "volumes/ntfsimage/image_device.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace zyr;

namespace {
namespace fs = std::filesystem;

constexpr int64_t kFileBytes = 1 << 20;

// A 1 MiB file whose first 256 KiB hold a byte pattern and whose rest is a hole.
class ScratchFile {
public:
    ScratchFile() {
        static int counter = 0;
        path_ = fs::temp_directory_path() / ("zyr-device-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
        std::vector<uint8_t> bytes(256 << 10);
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7 + i / 4096);
        std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        fs::resize_file(path_, kFileBytes);
    }
    ~ScratchFile() {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    std::wstring wpath() const { return path_.wstring(); }
    std::vector<uint8_t> Contents() const {
        std::vector<uint8_t> out(size_t(fs::file_size(path_)));
        std::ifstream(path_, std::ios::binary).read(reinterpret_cast<char*>(out.data()), std::streamsize(out.size()));
        return out;
    }

private:
    fs::path path_;
};

std::unique_ptr<ntfs::ImageDevice> OpenDevice(const ScratchFile& file, bool writable) {
    uint32_t error = 0;
    auto device = ntfs::ImageDevice::Open(file.wpath(), writable, &error);
    EXPECT_TRUE(device) << error;
    return device;
}

TEST(ImageDevice, CopiesWithinTheFileAsAMemoryMoveWouldAndRefusesOutsideIt) {
    struct Case {
        const char* name;
        int64_t from, to, bytes;
        bool ok;
    } cases[] = {
        {"forward into the hole", 4096, 512 << 10, 3 * 4096 + 100, true},
        {"backward over data", 200 << 10, 1000, 9000, true},
        {"overlapping, kernel refuses", 8192, 8192 + 4096, 5 * 4096, true},
        {"nothing", 0, 4096, 0, true},
        {"source past the end", kFileBytes - 4096, 0, 8192, false},
        {"target past the end", 0, kFileBytes - 100, 4096, false},
        {"negative", -4096, 0, 4096, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFile file;
        std::vector<uint8_t> expected = file.Contents();
        {
            auto device = OpenDevice(file, true);
            ASSERT_TRUE(device);
            EXPECT_EQ(device->CopyWithin(c.from, c.to, c.bytes), c.ok);
            if (c.ok) {
                std::vector<uint8_t> moved(expected.begin() + c.from, expected.begin() + c.from + c.bytes);
                std::copy(moved.begin(), moved.end(), expected.begin() + c.to);
                std::vector<uint8_t> seen(size_t(c.bytes));
                ASSERT_TRUE(device->ReadAt(c.to, seen));
                EXPECT_EQ(seen, moved);
            }
            EXPECT_TRUE(device->Flush());
        }
        EXPECT_EQ(file.Contents(), expected);
    }
    ScratchFile file;
    auto readOnly = OpenDevice(file, false);
    ASSERT_TRUE(readOnly);
    EXPECT_FALSE(readOnly->CopyWithin(0, 4096, 4096));
}

TEST(ImageDevice, MappedWritesReachTheFileLikeWriteCalls) {
    ScratchFile file;
    std::vector<uint8_t> expected = file.Contents();
    const auto write = [&](ntfs::ImageDevice& device, int64_t at, std::vector<uint8_t> bytes) {
        ASSERT_TRUE(device.WriteAt(at, bytes));
        std::copy(bytes.begin(), bytes.end(), expected.begin() + at);
        std::vector<uint8_t> seen(bytes.size());
        ASSERT_TRUE(device.ReadAt(at, seen));
        EXPECT_EQ(seen, bytes);
    };
    {
        auto device = OpenDevice(file, true);
        ASSERT_TRUE(device);
        // One range over data and one in the hole, neither on page bounds.
        EXPECT_FALSE(device->MapForWrites(kFileBytes - 100, 200));
        EXPECT_FALSE(device->MapForWrites(-1, 200));
#ifdef __linux__
        EXPECT_TRUE(device->MapForWrites(5000, 3000));
        EXPECT_TRUE(device->MapForWrites((600 << 10) + 123, 10000));
#endif
        write(*device, 5000, {1, 2, 3});
        write(*device, 7999, {4});                        // the range's last byte
        write(*device, 7998, {5, 6, 7});                  // crosses its end: a write call
        write(*device, (600 << 10) + 4000, std::vector<uint8_t>(600, 9));
        write(*device, 300 << 10, {8, 8});                // outside every range
        EXPECT_TRUE(device->Flush());
    }
    EXPECT_EQ(file.Contents(), expected);
    auto readOnly = OpenDevice(file, false);
    ASSERT_TRUE(readOnly);
    EXPECT_FALSE(readOnly->MapForWrites(5000, 3000));
}

}  // namespace
