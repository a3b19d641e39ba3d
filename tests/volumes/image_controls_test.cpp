// The image backend's volume controls, files and listings, checked against ntfs-3g's tools
// and against the buffer rules Windows documents.
#include "engine/win32_defs.h"
#include "tests/volumes/fixture.h"
#include "volumes/ntfsimage/image_volume_api.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>

using namespace zyr;
using test::ImageCopy;
using test::Quote;
using test::Shell;

namespace {

struct Mounted {
    explicit Mounted(const std::string& name) : image(name) {
        EXPECT_EQ(api.Mount(L'V', image.wpath()), 0u);
        volume = api.CreateFile(L"\\\\.\\V:", win::GENERIC_READ_, 3, win::OPEN_EXISTING_, 0);
    }
    vol::Handle Open(const std::wstring& inside, uint32_t flags = win::FILE_FLAG_BACKUP_SEMANTICS_) {
        return api.CreateFile(L"\\\\?\\V:\\" + inside, win::FILE_READ_ATTRIBUTES_, 7, win::OPEN_EXISTING_, flags);
    }
    ImageCopy image;
    vol::ImageVolumeApi api;
    vol::Handle volume = vol::kInvalidHandle;
};

int64_t ParseField(const std::string& text, const std::string& label) {
    size_t at = text.find(label);
    if (at == std::string::npos) return -1;
    at = text.find_first_of("0123456789", at + label.size());
    return at == std::string::npos ? -1 : std::stoll(text.substr(at));
}

template <typename T> T At(const std::vector<uint8_t>& b, size_t offset) {
    T v;
    std::memcpy(&v, b.data() + offset, sizeof v);
    return v;
}

}  // namespace

TEST(ImageVolumeData, EveryFieldAgreesWithTheImage) {
    for (const char* name : {"mixed", "small-clusters", "big-sectors"}) {
        SCOPED_TRACE(name);
        Mounted m(name);
        win::NTFS_VOLUME_DATA_BUFFER d{};
        uint32_t returned = 0;
        ASSERT_TRUE(m.api.DeviceIoControl(m.volume, win::FSCTL_GET_NTFS_VOLUME_DATA_, nullptr, 0, &d, sizeof d, &returned));
        EXPECT_EQ(returned, 96u);
        const std::string info = Shell("ntfsinfo -m " + Quote(m.image.path()));
        const std::string cluster = Shell("ntfscluster -i " + Quote(m.image.path()));
        EXPECT_EQ(d.BytesPerSector, ParseField(info, "Sector Size"));
        EXPECT_EQ(d.BytesPerCluster, ParseField(info, "Cluster Size"));
        EXPECT_EQ(d.TotalClusters, ParseField(info, "Volume Size in Clusters"));
        EXPECT_EQ(d.BytesPerFileRecordSegment, ParseField(info, "MFT Record Size"));
        EXPECT_EQ(d.MftStartLcn, ParseField(info, "LCN of Data Attribute for FILE_MFT"));
        EXPECT_EQ(d.Mft2StartLcn, ParseField(info, "LCN of Data Attribute for File_MFTMirr"));
        EXPECT_EQ(d.FreeClusters, ParseField(cluster, "clusters of free space"));
        EXPECT_EQ(d.ClustersPerFileRecordSegment, d.BytesPerFileRecordSegment / d.BytesPerCluster);
        // The boot sector counts one sector less than the device (mkntfs keeps the last for the backup).
        EXPECT_EQ(d.NumberSectors, std::filesystem::file_size(m.image.path()) / d.BytesPerSector - 1);
        EXPECT_EQ(d.TotalClusters, d.NumberSectors * d.BytesPerSector / d.BytesPerCluster);
        EXPECT_EQ(d.MftValidDataLength % d.BytesPerFileRecordSegment, 0);
        EXPECT_EQ(d.MftZoneStart % 32, 0);
        EXPECT_TRUE(d.MftZoneEnd % 32 == 0 || d.MftZoneEnd == d.TotalClusters);
        EXPECT_LE(d.MftZoneStart, d.MftZoneEnd);
        EXPECT_LE(d.MftZoneEnd, d.TotalClusters);
        EXPECT_EQ(d.VolumeSerialNumber, At<int64_t>(m.image.Read(0x48, 8), 0));
        // Short output fails; a longer one also gets the extended data (NTFS 3.1).
        win::NTFS_VOLUME_DATA_BUFFER small{};
        EXPECT_FALSE(m.api.DeviceIoControl(m.volume, win::FSCTL_GET_NTFS_VOLUME_DATA_, nullptr, 0, &small, 95, &returned));
        EXPECT_EQ(m.api.GetLastError(), win::ERROR_INSUFFICIENT_BUFFER_);
        std::vector<uint8_t> big(128);
        ASSERT_TRUE(m.api.DeviceIoControl(m.volume, win::FSCTL_GET_NTFS_VOLUME_DATA_, nullptr, 0, big.data(), 128, &returned));
        EXPECT_EQ(returned, 104u);
        EXPECT_EQ(At<uint16_t>(big, 100), 3);
        EXPECT_EQ(At<uint16_t>(big, 102), 1);
    }
}

TEST(ImageVolumeBitmap, MatchesBitmapFileAndFollowsTheBufferRules) {
    Mounted m("small-clusters");
    win::NTFS_VOLUME_DATA_BUFFER d{};
    ASSERT_TRUE(m.api.DeviceIoControl(m.volume, win::FSCTL_GET_NTFS_VOLUME_DATA_, nullptr, 0, &d, sizeof d, nullptr));
    const std::string theirs = Shell("ntfscat " + Quote(m.image.path()) + " '$Bitmap'");
    const int64_t total = d.TotalClusters;

    // From cluster 13: rounded down to 8, the rest of the volume, the same bits.
    std::vector<uint8_t> out(16 + size_t(total / 8) + 1);
    int64_t start = 13;
    uint32_t returned = 0;
    ASSERT_TRUE(m.api.DeviceIoControl(m.volume, win::FSCTL_GET_VOLUME_BITMAP_, &start, 8, out.data(), uint32_t(out.size()), &returned));
    EXPECT_EQ(At<int64_t>(out, 0), 8);
    EXPECT_EQ(At<int64_t>(out, 8), total - 8);
    EXPECT_EQ(returned, 16 + uint32_t((total - 8 + 7) / 8));
    for (int64_t c = 8; c < total; ++c)
        ASSERT_EQ((out[16 + size_t((c - 8) / 8)] >> ((c - 8) % 8)) & 1, (uint8_t(theirs[size_t(c / 8)]) >> (c % 8)) & 1) << c;

    // A 24-byte buffer: the header and 64 clusters, then ERROR_MORE_DATA.
    std::vector<uint8_t> small(24, 0xCC);
    start = 0;
    m.api.SetLastError(0);
    EXPECT_FALSE(m.api.DeviceIoControl(m.volume, win::FSCTL_GET_VOLUME_BITMAP_, &start, 8, small.data(), 24, &returned));
    EXPECT_EQ(m.api.GetLastError(), win::ERROR_MORE_DATA_);
    EXPECT_EQ(returned, 24u);
    EXPECT_EQ(At<int64_t>(small, 0), 0);
    EXPECT_EQ(At<int64_t>(small, 8), total);
    EXPECT_EQ(small[16], uint8_t(theirs[0]));

    struct Bad {
        int64_t start;
        uint32_t inSize, outSize, error;
    };
    for (const Bad& b : {Bad{-1, 8, 64, win::ERROR_INVALID_PARAMETER_}, Bad{total, 8, 64, win::ERROR_INVALID_PARAMETER_},
                         Bad{0, 7, 64, win::ERROR_INSUFFICIENT_BUFFER_}, Bad{0, 8, 23, win::ERROR_INSUFFICIENT_BUFFER_}}) {
        returned = 777;
        EXPECT_FALSE(m.api.DeviceIoControl(m.volume, win::FSCTL_GET_VOLUME_BITMAP_, &b.start, b.inSize, small.data(), b.outSize, &returned));
        EXPECT_EQ(m.api.GetLastError(), b.error) << b.start;
        EXPECT_EQ(returned, 777u);  // errors leave the count alone
    }
    // Success leaves the last error as it was.
    m.api.SetLastError(1234);
    EXPECT_TRUE(m.api.DeviceIoControl(m.volume, win::FSCTL_GET_VOLUME_BITMAP_, &start, 8, out.data(), uint32_t(out.size()), &returned));
    EXPECT_EQ(m.api.GetLastError(), 1234u);
}

TEST(ImageRetrievalPointers, StartsFollowsAndFailsAsWindowsDoes) {
    Mounted m("mixed");
    auto query = [&](vol::Handle h, int64_t vcn, uint32_t size, uint32_t* returned) {
        std::vector<uint8_t> out(size);
        const bool ok = m.api.DeviceIoControl(h, win::FSCTL_GET_RETRIEVAL_POINTERS_, &vcn, 8, out.data(), size, returned);
        return std::make_pair(ok, out);
    };
    uint32_t returned = 0;
    // Files without clusters: resident, empty, a directory with only its index root.
    for (const wchar_t* path : {L"tiny.txt", L"empty.txt", L"Mixed Case Dir"}) {
        const vol::Handle h = m.Open(path);
        ASSERT_NE(h, vol::kInvalidHandle) << path;
        EXPECT_FALSE(query(h, 0, 64, &returned).first);
        EXPECT_EQ(m.api.GetLastError(), win::ERROR_HANDLE_EOF_);
    }
    // frag-a.bin: 16 runs of 10 clusters (ntfsinfo agrees, see check_image.py).
    const vol::Handle frag = m.Open(L"frag-a.bin", 0);
    auto [ok, all] = query(frag, 0, 16 + 16 * 64, &returned);
    ASSERT_TRUE(ok);
    const uint32_t count = At<uint32_t>(all, 0);
    EXPECT_EQ(count, 16u);
    EXPECT_EQ(returned, 16 + 16 * count);
    // From VCN 15: the extent holding it starts at 10.
    auto [ok2, from] = query(frag, 15, 16 + 16 * 64, &returned);
    ASSERT_TRUE(ok2);
    EXPECT_EQ(At<int64_t>(from, 8), 10);
    EXPECT_EQ(At<uint32_t>(from, 0), count - 1);
    EXPECT_EQ(At<int64_t>(from, 24), At<int64_t>(all, 24 + 16));
    // Room for one extent: ERROR_MORE_DATA with that one filled.
    auto [ok3, one] = query(frag, 0, 32, &returned);
    EXPECT_FALSE(ok3);
    EXPECT_EQ(m.api.GetLastError(), win::ERROR_MORE_DATA_);
    EXPECT_EQ(At<uint32_t>(one, 0), 1u);
    EXPECT_EQ(returned, 32u);
    EXPECT_EQ(At<int64_t>(one, 16), 10);
    // Past the allocation, negative VCN, short buffers.
    EXPECT_FALSE(query(frag, 160, 64, &returned).first);
    EXPECT_EQ(m.api.GetLastError(), win::ERROR_HANDLE_EOF_);
    EXPECT_FALSE(query(frag, -1, 64, &returned).first);
    EXPECT_EQ(m.api.GetLastError(), win::ERROR_INVALID_PARAMETER_);
    EXPECT_FALSE(query(frag, 0, 31, &returned).first);
    EXPECT_EQ(m.api.GetLastError(), win::ERROR_INSUFFICIENT_BUFFER_);
    // Sparse holes are LCN -1; the volume handle maps $BadClus:$Bad, one hole.
    auto [ok4, sparse] = query(m.Open(L"sparse.bin", 0), 0, 256, &returned);
    ASSERT_TRUE(ok4);
    EXPECT_EQ(At<int64_t>(sparse, 24), -1);
    auto [ok5, bad] = query(m.volume, 0, 64, &returned);
    ASSERT_TRUE(ok5);
    EXPECT_EQ(At<uint32_t>(bad, 0), 1u);
    EXPECT_EQ(At<int64_t>(bad, 24), -1);
}

TEST(ImageFiles, PathsOpenAsWindowsOpensThem) {
    Mounted m("mixed");
    struct Case {
        std::wstring path;
        uint32_t flags;
        uint32_t error;  // 0: opens
    };
    const std::wstring deep = L"deep\\level-01-of-a-deep-directory-chain\\level-02-of-a-deep-directory-chain\\"
                              L"level-03-of-a-deep-directory-chain\\level-04-of-a-deep-directory-chain\\"
                              L"level-05-of-a-deep-directory-chain\\level-06-of-a-deep-directory-chain\\"
                              L"level-07-of-a-deep-directory-chain\\level-08-of-a-deep-directory-chain\\"
                              L"level-09-of-a-deep-directory-chain\\level-10-of-a-deep-directory-chain\\"
                              L"level-11-of-a-deep-directory-chain\\level-12-of-a-deep-directory-chain\\"
                              L"level-13-of-a-deep-directory-chain\\level-14-of-a-deep-directory-chain\\leaf.txt";
    const Case cases[] = {
        {L"FRAG-A.BIN", 0, 0},                        // names compare through $UpCase
        {L"mixed case dir\\WITH SPACE.TXT", 0, 0},
        {L"\x00DCN\x00CF" L"C\x00D8" L"D\x00C9.TXT", 0, 0},  // ÜNÏCØDÉ.TXT
        {deep, 0, 0},                                 // far beyond 260 characters
        {L"compressed", 0, win::ERROR_ACCESS_DENIED_},  // a directory needs backup semantics
        {L"compressed", win::FILE_FLAG_BACKUP_SEMANTICS_, 0},
        {L"", win::FILE_FLAG_BACKUP_SEMANTICS_, 0},    // the root
        {L"no-such-file", 0, win::ERROR_FILE_NOT_FOUND_},
        {L"no-such-dir\\file", 0, win::ERROR_PATH_NOT_FOUND_},
        {L"tiny.txt\\below-a-file", 0, win::ERROR_PATH_NOT_FOUND_},
    };
    for (const Case& c : cases) {
        const vol::Handle h = m.Open(c.path, c.flags);
        EXPECT_EQ(h == vol::kInvalidHandle ? m.api.GetLastError() : 0u, c.error) << std::string(c.path.begin(), c.path.end());
        if (h != vol::kInvalidHandle) {
            EXPECT_TRUE(m.api.CloseHandle(h));
        }
    }
    EXPECT_EQ(m.api.CreateFile(L"\\\\.\\W:", win::GENERIC_READ_, 3, win::OPEN_EXISTING_, 0), vol::kInvalidHandle);
    EXPECT_FALSE(m.api.CloseHandle(12345));
    EXPECT_EQ(m.api.GetLastError(), win::ERROR_INVALID_HANDLE_);

    // Sizes: the $DATA size, sparse and compressed files by their logical size, directories 0.
    struct SizeCase {
        const wchar_t* path;
        int64_t size;
    };
    for (const SizeCase& s : {SizeCase{L"frag-b.bin", 655360}, SizeCase{L"sparse.bin", 3 << 20}, SizeCase{L"tiny.txt", 40},
                              SizeCase{L"compressed\\text.txt", 200000}, SizeCase{L"wide", 0}}) {
        int64_t size = -1;
        EXPECT_TRUE(m.api.GetFileSizeEx(m.Open(s.path), &size));
        EXPECT_EQ(size, s.size) << std::string(s.path, s.path + wcslen(s.path));
    }
    // File contents read through the handle equal ntfscat's.
    const vol::Handle h = m.Open(L"frag-b.bin", 0);
    std::string ours(655360 + 100, '\0');
    uint32_t read = 0;
    ASSERT_TRUE(m.api.ReadFile(h, ours.data(), uint32_t(ours.size()), &read));
    ours.resize(read);
    EXPECT_EQ(ours, Shell("ntfscat " + Quote(m.image.path()) + " /frag-b.bin"));
}

TEST(ImageFiles, VolumeReadsAreWholeSectorsOfTheImage) {
    Mounted m("big-sectors");
    std::vector<uint8_t> sector(4096);
    uint32_t read = 0;
    int32_t high = 0;
    EXPECT_EQ(m.api.SetFilePointer(m.volume, 8192, &high, win::FILE_BEGIN_), 8192u);
    ASSERT_TRUE(m.api.ReadFile(m.volume, sector.data(), 4096, &read));
    EXPECT_EQ(read, 4096u);
    EXPECT_EQ(sector, m.image.Read(8192, 4096));
    // Unaligned offsets and lengths fail, as on an uncached volume handle.
    EXPECT_FALSE(m.api.ReadFile(m.volume, sector.data(), 512, &read));
    EXPECT_EQ(m.api.GetLastError(), win::ERROR_INVALID_PARAMETER_);
    m.api.SetFilePointer(m.volume, 100, nullptr, win::FILE_BEGIN_);
    EXPECT_FALSE(m.api.ReadFile(m.volume, sector.data(), 4096, &read));
    EXPECT_EQ(m.api.SetFilePointer(m.volume, -200, nullptr, win::FILE_CURRENT_), win::INVALID_SET_FILE_POINTER_);
    EXPECT_EQ(m.api.GetLastError(), win::ERROR_NEGATIVE_SEEK_);
}

TEST(ImageListing, EntriesAttributesAndEndsAsFindFirstFileReports) {
    Mounted m("mixed");
    auto list = [&](const std::wstring& pattern, uint32_t* error) {
        std::vector<vol::FindData> out;
        vol::FindData d;
        const vol::Handle f = m.api.FindFirstFile(pattern, &d);
        if (f == vol::kInvalidHandle) {
            *error = m.api.GetLastError();
            return out;
        }
        do out.push_back(d);
        while (m.api.FindNextFile(f, &d));
        *error = m.api.GetLastError();
        EXPECT_TRUE(m.api.FindClose(f));
        return out;
    };
    uint32_t error = 0;
    const auto root = list(L"V:\\*", &error);
    EXPECT_EQ(error, win::ERROR_NO_MORE_FILES_);
    std::map<std::wstring, vol::FindData> byName;
    for (const auto& d : root) byName[d.fileName] = d;
    EXPECT_FALSE(byName.count(L"."));
    EXPECT_FALSE(byName.count(L"$MFT"));
    EXPECT_FALSE(byName.count(L"$Extend"));
    const std::pair<const wchar_t*, uint32_t> attributes[] = {
        {L"hidden.txt", 0x22},   {L"system.txt", 0x24},  {L"readonly.txt", 0x21},   {L"temporary.txt", 0x120},
        {L"sparse.bin", 0x220},  {L"compressed", 0x810}, {L"reparse-symlink", 0x420}, {L"junction", 0x430},
        {L"deep", 0x30},         {L"tiny.txt", 0x20},
    };
    for (const auto& [name, attrs] : attributes) {
        ASSERT_TRUE(byName.count(name)) << std::string(name, name + wcslen(name));
        EXPECT_EQ(byName[name].attributes, attrs) << std::string(name, name + wcslen(name));
    }
    EXPECT_EQ(byName[L"sparse.bin"].fileSize, 3u << 20);
    EXPECT_EQ(byName[L"deep"].fileSize, 0u);
    // Entries come in collation order (upper-cased UTF-16).
    for (size_t i = 1; i < root.size(); ++i) {
        std::wstring a = root[i - 1].fileName, b = root[i].fileName;
        for (auto* s : {&a, &b})
            for (auto& c : *s) c = (c >= L'a' && c <= L'z') ? wchar_t(c - 32) : c;
        EXPECT_LE(a, b);
    }
    // A subdirectory starts with "." and ".."; patterns filter; ends and misses.
    const auto wide = list(L"\\\\?\\V:\\wide\\*", &error);
    ASSERT_GE(wide.size(), 702u);
    EXPECT_EQ(wide[0].fileName, L".");
    EXPECT_EQ(wide[1].fileName, L"..");
    EXPECT_EQ(wide.size(), 702u);
    EXPECT_EQ(list(L"V:\\wide\\ENTRY-06??.dat", &error).size(), 100u);
    EXPECT_TRUE(list(L"V:\\wide\\nothing*", &error).empty());
    EXPECT_EQ(error, win::ERROR_FILE_NOT_FOUND_);
    EXPECT_TRUE(list(L"V:\\missing\\*", &error).empty());
    EXPECT_EQ(error, win::ERROR_PATH_NOT_FOUND_);
}
