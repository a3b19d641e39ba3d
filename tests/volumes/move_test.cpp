// FSCTL_MOVE_FILE on images: refusals before any write, real moves checked with ntfs-3g.
#include "engine/win32_defs.h"
#include "tests/volumes/fixture.h"
#include "volumes/ntfsimage/image_volume_api.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

using namespace zyr;
using test::ImageCopy;
using test::Quote;
using test::Shell;

namespace {

struct Session {
    explicit Session(const std::string& name) : image(name) {
        EXPECT_EQ(api.Mount(L'V', image.wpath()), 0u);
        volume = api.CreateFile(L"\\\\.\\V:", win::GENERIC_READ_ | win::GENERIC_WRITE_, 3, win::OPEN_EXISTING_, 0);
        win::NTFS_VOLUME_DATA_BUFFER d{};
        EXPECT_TRUE(api.DeviceIoControl(volume, win::FSCTL_GET_NTFS_VOLUME_DATA_, nullptr, 0, &d, sizeof d, nullptr));
        total = d.TotalClusters;
    }
    vol::Handle Open(const std::wstring& inside) {
        return api.CreateFile(L"\\\\?\\V:\\" + inside, win::FILE_READ_ATTRIBUTES_, 7, win::OPEN_EXISTING_,
                              win::FILE_FLAG_BACKUP_SEMANTICS_);
    }
    uint32_t Move(vol::Handle file, int64_t vcn, int64_t lcn, uint32_t count, uint32_t inSize = 32) {
        win::MOVE_FILE_DATA m{uint64_t(file), vcn, lcn, count, 0};
        api.SetLastError(0);
        return api.DeviceIoControl(volume, win::FSCTL_MOVE_FILE_, &m, inSize, nullptr, 0, nullptr) ? 0 : api.GetLastError();
    }
    std::vector<uint8_t> Bitmap() {
        std::vector<uint8_t> out(16 + size_t(total / 8) + 1);
        int64_t start = 0;
        EXPECT_TRUE(api.DeviceIoControl(volume, win::FSCTL_GET_VOLUME_BITMAP_, &start, 8, out.data(), uint32_t(out.size()), nullptr));
        return std::vector<uint8_t>(out.begin() + 16, out.end());
    }
    // (vcn, lcn, length) of the file's extents.
    std::vector<std::array<int64_t, 3>> Runs(vol::Handle file) {
        std::vector<uint8_t> out(16 + 16 * 4096);
        int64_t vcn = 0;
        std::vector<std::array<int64_t, 3>> runs;
        if (!api.DeviceIoControl(file, win::FSCTL_GET_RETRIEVAL_POINTERS_, &vcn, 8, out.data(), uint32_t(out.size()), nullptr))
            return runs;
        uint32_t count;
        std::memcpy(&count, out.data(), 4);
        std::memcpy(&vcn, out.data() + 8, 8);
        for (uint32_t i = 0; i < count; ++i) {
            int64_t next, lcn;
            std::memcpy(&next, out.data() + 16 + 16 * i, 8);
            std::memcpy(&lcn, out.data() + 24 + 16 * i, 8);
            runs.push_back({vcn, lcn, next - vcn});
            vcn = next;
        }
        return runs;
    }
    // First stretch of `count` free clusters at or after `from`.
    int64_t FreeStretch(int64_t count, int64_t from = 0) {
        const auto bits = Bitmap();
        int64_t run = 0;
        for (int64_t c = from; c < total; ++c) {
            run = (bits[size_t(c / 8)] >> (c % 8)) & 1 ? 0 : run + 1;
            if (run == count) return c - count + 1;
        }
        return -1;
    }
    std::string Cat(const std::string& path) { return Shell("ntfscat " + Quote(image.path()) + " " + Quote(path)); }

    ImageCopy image;
    vol::ImageVolumeApi api;
    vol::Handle volume;
    int64_t total = 0;
};

void ExpectIntact(const std::string& image) {
    int status = 0;
    const std::string fix = Shell("ntfsfix -n " + Quote(image) + " 2>&1", &status);
    EXPECT_EQ(status, 0) << fix;
    const std::string resize = Shell("ntfsresize -i -f " + Quote(image) + " 2>&1", &status);
    EXPECT_EQ(status, 0) << resize;
    EXPECT_EQ(resize.find("accounting failed"), std::string::npos) << resize;
}

}  // namespace

TEST(MoveFile, RefusesWhatWindowsRefusesAndWritesNothing) {
    Session s("mixed");
    const std::string before = Shell("md5sum < " + Quote(s.image.path()));
    const vol::Handle frag = s.Open(L"frag-a.bin");
    const int64_t free = s.FreeStretch(200);
    ASSERT_GE(free, 0);
    const int64_t used = s.Runs(frag).at(0)[1];
    struct Case {
        const char* what;
        vol::Handle file;
        int64_t vcn, lcn;
        uint32_t count, inSize, error;
    };
    const Case cases[] = {
        {"no clusters", frag, 0, free, 0, 32, win::ERROR_INVALID_PARAMETER_},
        {"destination in use (the boot sector)", frag, 0, 0, 10, 32, win::ERROR_ACCESS_DENIED_},
        {"destination overlaps its own clusters", frag, 0, used, 10, 32, win::ERROR_ACCESS_DENIED_},
        {"destination past the volume", frag, 0, s.total - 5, 10, 32, win::ERROR_INVALID_PARAMETER_},
        {"negative LCN", frag, 0, -1, 10, 32, win::ERROR_INVALID_PARAMETER_},
        {"range past the end of the file", frag, 150, free, 20, 32, win::ERROR_INVALID_PARAMETER_},
        {"the master file table", s.Open(L"$MFT"), 0, free, 1, 32, win::ERROR_ACCESS_DENIED_},
        {"the bitmap file", s.Open(L"$Bitmap"), 0, free, 1, 32, win::ERROR_ACCESS_DENIED_},
        {"under $Extend", s.Open(L"$Extend\\$Reparse"), 0, free, 1, 32, win::ERROR_ACCESS_DENIED_},
        {"resident data", s.Open(L"tiny.txt"), 0, free, 1, 32, win::ERROR_INVALID_PARAMETER_},
        {"compressed, not on a unit", s.Open(L"compressed\\text.txt"), 3, free, 16, 32, win::ERROR_INVALID_PARAMETER_},
        {"not a handle", 0x4321, 0, free, 1, 32, win::ERROR_INVALID_HANDLE_},
        {"a volume handle as the file", s.volume, 0, free, 1, 32, win::ERROR_INVALID_HANDLE_},
        {"short input", frag, 0, free, 1, 31, win::ERROR_INSUFFICIENT_BUFFER_},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NE(c.file, vol::kInvalidHandle);
        EXPECT_EQ(s.Move(c.file, c.vcn, c.lcn, c.count, c.inSize), c.error);
    }
    // VCNs beyond the allocation: success, nothing moves.
    EXPECT_EQ(s.Move(frag, 500, free, 4), 0u);
    EXPECT_EQ(Shell("md5sum < " + Quote(s.image.path())), before);
}

TEST(MoveFile, WholeAndPartialMovesKeepEveryByte) {
    Session s("small-clusters");
    const std::string a = s.Cat("/frag-a.bin"), b = s.Cat("/frag-b.bin"), sparse = s.Cat("/sparse.bin");
    const vol::Handle fa = s.Open(L"frag-a.bin");
    const auto runs = s.Runs(fa);
    ASSERT_GT(runs.size(), 5u);
    const int64_t clusters = runs.back()[0] + runs.back()[2];
    // Whole file into one stretch: one run where asked; the old clusters are free again.
    const int64_t to = s.FreeStretch(clusters);
    ASSERT_GE(to, 0);
    ASSERT_EQ(s.Move(fa, 0, to, uint32_t(clusters)), 0u);
    EXPECT_EQ(s.Runs(fa), (std::vector<std::array<int64_t, 3>>{{0, to, clusters}}));
    const auto bits = s.Bitmap();
    for (const auto& r : runs)
        for (int64_t c = r[1]; c < r[1] + r[2]; ++c) EXPECT_EQ((bits[size_t(c / 8)] >> (c % 8)) & 1, 0) << c;
    // A middle part of the other file: its run list grows by a split.
    const vol::Handle fb = s.Open(L"frag-b.bin");
    const auto before = s.Runs(fb);
    const int64_t mid = s.FreeStretch(7, to + clusters);
    ASSERT_EQ(s.Move(fb, before[1][0] + 1, mid, 7), 0u);
    EXPECT_EQ(s.Runs(fb)[2][1], mid);
    // The sparse file: holes stay holes, data packed from the destination.
    const vol::Handle sp = s.Open(L"sparse.bin");
    const auto sparseRuns = s.Runs(sp);
    int64_t allocated = 0, end = 0;
    for (const auto& r : sparseRuns) {
        if (r[1] != -1) allocated += r[2];
        end = r[0] + r[2];
    }
    const int64_t packed = s.FreeStretch(allocated, mid + 7);
    ASSERT_EQ(s.Move(sp, 0, packed, uint32_t(end)), 0u);
    const auto moved = s.Runs(sp);
    ASSERT_EQ(moved.size(), sparseRuns.size());
    for (size_t i = 0; i < moved.size(); ++i) EXPECT_EQ(moved[i][1] == -1, sparseRuns[i][1] == -1);
    // ntfs-3g reads the same bytes and finds the volume sound.
    EXPECT_EQ(s.Cat("/frag-a.bin"), a);
    EXPECT_EQ(s.Cat("/frag-b.bin"), b);
    EXPECT_EQ(s.Cat("/sparse.bin"), sparse);
    ExpectIntact(s.image.path());
}

TEST(MoveFile, RefusesBeforeWritingWhenTheRunListNoLongerFits) {
    Session s("mixed");
    const std::string content = s.Cat("/frag-a.bin");
    const vol::Handle file = s.Open(L"frag-a.bin");
    const auto runs = s.Runs(file);
    const int64_t clusters = runs.back()[0] + runs.back()[2];
    // Scatter single clusters into every other free cluster until the record is full.
    int64_t lcn = s.FreeStretch(400);
    ASSERT_GE(lcn, 0);
    uint32_t error = 0;
    std::string image;
    for (int64_t vcn = 0; vcn < clusters && error == 0; vcn += 2, lcn += 2) {
        image = Shell("md5sum < " + Quote(s.image.path()));
        error = s.Move(file, vcn, lcn, 1);
    }
    EXPECT_EQ(error, win::ERROR_DISK_FULL_);
    EXPECT_EQ(Shell("md5sum < " + Quote(s.image.path())), image);  // the refused move wrote nothing
    EXPECT_EQ(s.Cat("/frag-a.bin"), content);
    ExpectIntact(s.image.path());
}

TEST(MoveFile, DirectoryIndexSpreadOverExtensionRecords) {
    // "many" has an attribute list: its index allocation runs span several records.
    Session s("mixed");
    const std::string listing = Shell("ntfsls -p /many " + Quote(s.image.path()) + " | sort");
    const vol::Handle dir = s.Open(L"many");
    const auto runs = s.Runs(dir);
    ASSERT_GT(runs.size(), 100u);
    const int64_t clusters = runs.back()[0] + runs.back()[2];
    const int64_t to = s.FreeStretch(clusters);
    ASSERT_GE(to, 0);
    ASSERT_EQ(s.Move(dir, 0, to, uint32_t(clusters)), 0u);
    EXPECT_EQ(s.Runs(dir), (std::vector<std::array<int64_t, 3>>{{0, to, clusters}}));
    EXPECT_EQ(Shell("ntfsls -p /many " + Quote(s.image.path()) + " | sort"), listing);
    ExpectIntact(s.image.path());
}

TEST(MoveFile, ProgramStoppedBetweenMovesLeavesASoundVolume) {
    // A child process moves a fragmented file extent by extent and is killed after some moves,
    // before it closes the volume: every write it made must already leave a sound volume.
    for (const size_t stopAfter : {size_t(1), size_t(4)}) {
        SCOPED_TRACE(stopAfter);
        Session s("small-clusters");
        const std::string a = s.Cat("/frag-a.bin"), b = s.Cat("/frag-b.bin");
        const vol::Handle file = s.Open(L"frag-a.bin");
        const auto runs = s.Runs(file);
        ASSERT_GT(runs.size(), stopAfter + 1);
        const int64_t clusters = runs.back()[0] + runs.back()[2];
        const int64_t to = s.FreeStretch(clusters);
        ASSERT_GE(to, 0);
        int done[2];
        ASSERT_EQ(pipe(done), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(done[0]);
            // It stops after its last move, so the kill lands between moves, not inside one.
            for (size_t i = 0; i < stopAfter; ++i) {
                const auto& run = runs[i];
                if (s.Move(file, run[0], to + run[0], uint32_t(run[2])) != 0) _exit(1);
                const char moved = 1;
                if (write(done[1], &moved, 1) != 1) _exit(1);
            }
            for (;;) pause();
        }
        close(done[1]);
        size_t moves = 0;
        char moved;
        while (moves < stopAfter && read(done[0], &moved, 1) == 1) ++moves;
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        close(done[0]);
        ASSERT_EQ(moves, stopAfter);
        // The moves made are there, the rest is where it was, and nothing else changed.
        vol::ImageVolumeApi fresh;
        ASSERT_EQ(fresh.Mount(L'W', s.image.wpath()), 0u);
        const vol::Handle again = fresh.CreateFile(L"\\\\?\\W:\\frag-a.bin", win::FILE_READ_ATTRIBUTES_, 7,
                                                   win::OPEN_EXISTING_, 0);
        ASSERT_NE(again, vol::kInvalidHandle);
        std::vector<uint8_t> out(16 + 16 * 4096);
        int64_t vcn = 0;
        ASSERT_TRUE(fresh.DeviceIoControl(again, win::FSCTL_GET_RETRIEVAL_POINTERS_, &vcn, 8, out.data(),
                                          uint32_t(out.size()), nullptr));
        int64_t first = 0;
        std::memcpy(&first, out.data() + 24, 8);
        EXPECT_EQ(first, to);
        EXPECT_EQ(s.Cat("/frag-a.bin"), a);
        EXPECT_EQ(s.Cat("/frag-b.bin"), b);
        ExpectIntact(s.image.path());
    }
}
