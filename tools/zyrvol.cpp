// zyrvol: an NTFS image seen through the volume door (listing, extents, bitmap, moves).
#include "engine/volume_api.h"
#include "engine/win32_defs.h"
#include "volumes/ntfsimage/image_volume_api.h"
#include "volumes/ntfsimage/utf.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace zyr;

namespace {

constexpr wchar_t kLetter = L'V';

int Usage() {
    std::fprintf(stderr,
                 "usage: zyrvol ls [-l] [-r] IMAGE            every path (-l: size and attributes, -r: runs)\n"
                 "       zyrvol extents IMAGE PATH           VCN, LCN and length of each extent\n"
                 "       zyrvol bitmap IMAGE [OUT]           total, used and free clusters (OUT: the raw bitmap)\n"
                 "       zyrvol info IMAGE                   the NTFS volume data\n"
                 "       zyrvol move IMAGE PATH VCN LCN COUNT\n"
                 "PATH is inside the volume, \"/\" or \"\\\" as separator.\n");
    return 2;
}

int Error(const char* what, uint32_t code) {
    std::fprintf(stderr, "zyrvol: %s failed, error %u\n", what, code);
    return 1;
}

std::wstring FilePath(const std::string& inside) {
    std::wstring p = L"\\\\?\\V:\\";
    for (wchar_t c : ntfs::Utf8ToUtf16(inside)) p += (c == L'/') ? L'\\' : c;
    return p;
}

bool ParseInt(const char* text, int64_t* value) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text, &end, 0);
    if (errno || !end || *end || end == text) return false;
    *value = v;
    return true;
}

// The retrieval pointers of an open file: (next VCN, LCN) pairs from StartingVcn.
uint32_t Extents(vol::IVolumeApi& api, vol::Handle file, int64_t* startVcn, std::vector<win::RETRIEVAL_POINTERS_EXTENT>* out) {
    static std::vector<uint8_t> buffer(16 + 16 * 64);
    win::STARTING_VCN_INPUT_BUFFER in{0};
    for (;;) {
        uint32_t returned = 0;
        const bool ok = api.DeviceIoControl(file, win::FSCTL_GET_RETRIEVAL_POINTERS_, &in, sizeof in, buffer.data(),
                                            uint32_t(buffer.size()), &returned);
        const uint32_t error = ok ? 0 : api.GetLastError();
        if (!ok && error != win::ERROR_MORE_DATA_) return error;
        uint32_t count;
        std::memcpy(&count, buffer.data(), 4);
        int64_t first;
        std::memcpy(&first, buffer.data() + 8, 8);
        if (out->empty()) *startVcn = first;
        for (uint32_t i = 0; i < count; ++i) {
            win::RETRIEVAL_POINTERS_EXTENT e;
            std::memcpy(&e, buffer.data() + 16 + 16 * i, 16);
            out->push_back(e);
        }
        if (ok || count == 0) return 0;
        in.StartingVcn = out->back().NextVcn;
    }
}

// Prints "\t" and the runs as LCN+length, comma-separated ("-" without clusters).
void PrintRuns(vol::IVolumeApi& api, const std::wstring& path, bool directory) {
    const vol::Handle h = api.CreateFile(path, win::FILE_READ_ATTRIBUTES_, 7, win::OPEN_EXISTING_,
                                         directory ? win::FILE_FLAG_BACKUP_SEMANTICS_ : 0);
    if (h == vol::kInvalidHandle) {
        std::printf("\topen-error-%u", api.GetLastError());
        return;
    }
    int64_t vcn = 0;
    static std::vector<win::RETRIEVAL_POINTERS_EXTENT> extents;
    extents.clear();
    const uint32_t e = Extents(api, h, &vcn, &extents);
    api.CloseHandle(h);
    if (e == win::ERROR_HANDLE_EOF_) {
        std::fputs("\t-", stdout);
        return;
    }
    if (e) {
        std::printf("\terror-%u", e);
        return;
    }
    if (extents.empty()) std::fputs("\t", stdout);
    char separator = '\t';
    for (const auto& x : extents) {
        std::printf("%c%" PRId64 "+%" PRId64, separator, x.Lcn, x.NextVcn - vcn);
        separator = ',';
        vcn = x.NextVcn;
    }
}

int List(vol::IVolumeApi& api, const std::wstring& dir, const std::string& shown, bool longForm, bool runs, int depth) {
    if (depth > 512) return 0;
    vol::FindData d;
    const vol::Handle find = api.FindFirstFile(dir + L"*", &d);
    if (find == vol::kInvalidHandle) {
        const uint32_t e = api.GetLastError();
        if (e == win::ERROR_FILE_NOT_FOUND_) return 0;  // an empty root
        std::fprintf(stderr, "zyrvol: cannot list %s, error %u\n", shown.empty() ? "/" : shown.c_str(), e);
        return 1;
    }
    int status = 0;
    std::vector<std::pair<std::wstring, std::string>> subdirs;
    do {
        if (d.fileName == L"." || d.fileName == L"..") continue;
        const bool isDir = d.attributes & win::FILE_ATTRIBUTE_DIRECTORY_;
        const std::string path = shown + "/" + ntfs::Utf16ToUtf8(d.fileName);
        if (longForm)
            std::printf("%12" PRIu64 " %08x %s%s", d.fileSize, d.attributes, path.c_str(), isDir ? "/" : "");
        else
            std::printf("%s%s", path.c_str(), isDir ? "/" : "");
        if (runs) PrintRuns(api, dir + d.fileName, isDir);
        std::printf("\n");
        // Reparse points (links, junctions) are listed, not followed.
        if (isDir && !(d.attributes & win::FILE_ATTRIBUTE_REPARSE_POINT_)) subdirs.emplace_back(dir + d.fileName + L"\\", path);
    } while (api.FindNextFile(find, &d));
    const uint32_t end = api.GetLastError();
    api.FindClose(find);
    if (end != win::ERROR_NO_MORE_FILES_) status = 1;
    for (const auto& [sub, subShown] : subdirs) status |= List(api, sub, subShown, longForm, runs, depth + 1);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    bool longForm = false, runs = false;
    if (command == "ls") {
        while (!args.empty() && args[0].size() > 1 && args[0][0] == '-') {
            for (char c : args[0].substr(1)) {
                if (c == 'l') longForm = true;
                else if (c == 'r') runs = true;
                else return Usage();
            }
            args.erase(args.begin());
        }
    }
    if (args.empty()) return Usage();

    vol::ImageVolumeApi api;
    if (uint32_t e = api.Mount(kLetter, ntfs::Utf8ToUtf16(args[0]), command == "move")) {
        std::fprintf(stderr, "zyrvol: %s is not a usable NTFS image (error %u)\n", args[0].c_str(), e);
        return 1;
    }

    if (command == "ls" && args.size() == 1) return List(api, L"\\\\?\\V:\\", "", longForm, runs, 0);

    if (command == "extents" && args.size() == 2) {
        const std::wstring path = FilePath(args[1]);
        vol::Handle h = api.CreateFile(path, win::FILE_READ_ATTRIBUTES_, 7, win::OPEN_EXISTING_, win::FILE_FLAG_BACKUP_SEMANTICS_);
        if (h == vol::kInvalidHandle) return Error("open", api.GetLastError());
        int64_t vcn = 0;
        std::vector<win::RETRIEVAL_POINTERS_EXTENT> extents;
        const uint32_t e = Extents(api, h, &vcn, &extents);
        api.CloseHandle(h);
        if (e == win::ERROR_HANDLE_EOF_) return 0;  // no clusters: resident or empty
        if (e) return Error("FSCTL_GET_RETRIEVAL_POINTERS", e);
        for (const auto& x : extents) {
            std::printf("%" PRId64 " %" PRId64 " %" PRId64 "\n", vcn, x.Lcn, x.NextVcn - vcn);
            vcn = x.NextVcn;
        }
        return 0;
    }

    if ((command == "bitmap" && (args.size() == 1 || args.size() == 2)) || (command == "info" && args.size() == 1)) {
        vol::Handle volume = api.CreateFile(L"\\\\.\\V:", win::GENERIC_READ_, 3, win::OPEN_EXISTING_, 0);
        if (volume == vol::kInvalidHandle) return Error("open", api.GetLastError());
        if (command == "info") {
            win::NTFS_VOLUME_DATA_BUFFER d{};
            uint32_t returned = 0;
            if (!api.DeviceIoControl(volume, win::FSCTL_GET_NTFS_VOLUME_DATA_, nullptr, 0, &d, sizeof d, &returned))
                return Error("FSCTL_GET_NTFS_VOLUME_DATA", api.GetLastError());
            std::wstring label;
            api.GetVolumeInformation(L"V:\\", &label, nullptr, nullptr, nullptr, nullptr);
            std::printf("label %s\nserial %016" PRIx64 "\nsectors %" PRId64 "\ntotal clusters %" PRId64
                        "\nfree clusters %" PRId64 "\nbytes per sector %u\nbytes per cluster %u\n"
                        "bytes per record %u\nclusters per record %u\nmft valid data length %" PRId64
                        "\nmft lcn %" PRId64 "\nmft mirror lcn %" PRId64 "\nmft zone %" PRId64 "-%" PRId64 "\n",
                        ntfs::Utf16ToUtf8(label).c_str(), uint64_t(d.VolumeSerialNumber), d.NumberSectors,
                        d.TotalClusters, d.FreeClusters, d.BytesPerSector, d.BytesPerCluster,
                        d.BytesPerFileRecordSegment, d.ClustersPerFileRecordSegment, d.MftValidDataLength,
                        d.MftStartLcn, d.Mft2StartLcn, d.MftZoneStart, d.MftZoneEnd);
            return 0;
        }
        // The whole bitmap in one request, sized from the volume data.
        win::NTFS_VOLUME_DATA_BUFFER d{};
        if (!api.DeviceIoControl(volume, win::FSCTL_GET_NTFS_VOLUME_DATA_, nullptr, 0, &d, sizeof d, nullptr))
            return Error("FSCTL_GET_NTFS_VOLUME_DATA", api.GetLastError());
        std::vector<uint8_t> buffer(16 + size_t((d.TotalClusters + 7) / 8));
        win::STARTING_LCN_INPUT_BUFFER in{0};
        if (!api.DeviceIoControl(volume, win::FSCTL_GET_VOLUME_BITMAP_, &in, sizeof in, buffer.data(),
                                 uint32_t(buffer.size()), nullptr))
            return Error("FSCTL_GET_VOLUME_BITMAP", api.GetLastError());
        int64_t total, used = 0;
        std::memcpy(&total, buffer.data() + 8, 8);
        for (int64_t c = 0; c < total; ++c) used += (buffer[16 + size_t(c / 8)] >> (c % 8)) & 1;
        std::printf("total %" PRId64 "\nused %" PRId64 "\nfree %" PRId64 "\n", total, used, total - used);
        if (args.size() == 2) {
            FILE* f = std::fopen(args[1].c_str(), "wb");
            if (!f || std::fwrite(buffer.data() + 16, 1, buffer.size() - 16, f) != buffer.size() - 16) {
                if (f) std::fclose(f);
                std::fprintf(stderr, "zyrvol: cannot write %s\n", args[1].c_str());
                return 1;
            }
            std::fclose(f);
        }
        return 0;
    }

    if (command == "move" && args.size() == 5) {
        int64_t vcn, lcn, count;
        if (!ParseInt(args[2].c_str(), &vcn) || !ParseInt(args[3].c_str(), &lcn) || !ParseInt(args[4].c_str(), &count) ||
            count < 0 || count > 0xFFFFFFFFll)
            return Usage();
        vol::Handle file = api.CreateFile(FilePath(args[1]), win::FILE_READ_ATTRIBUTES_, 7, win::OPEN_EXISTING_,
                                          win::FILE_FLAG_BACKUP_SEMANTICS_);
        if (file == vol::kInvalidHandle) return Error("open", api.GetLastError());
        vol::Handle volume = api.CreateFile(L"\\\\.\\V:", win::GENERIC_READ_ | win::GENERIC_WRITE_, 3, win::OPEN_EXISTING_, 0);
        win::MOVE_FILE_DATA move{uint64_t(file), vcn, lcn, uint32_t(count), 0};
        uint32_t returned = 0;
        if (!api.DeviceIoControl(volume, win::FSCTL_MOVE_FILE_, &move, sizeof move, nullptr, 0, &returned))
            return Error("FSCTL_MOVE_FILE", api.GetLastError());
        return 0;
    }
    return Usage();
}
