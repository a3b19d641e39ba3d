// Reading the master file table from the volume device.
#include "engine/mft_parser.h"

#include "engine/defrag_parent.h"
#include "engine/volume_context.h"
#include "engine/win32_defs.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace zyr::engine {

namespace {

constexpr uint32_t kErrorCrc = 23;
constexpr uint64_t kRootDirectoryRecord = 5;
constexpr uint64_t kFirstUserRecord = 16;
constexpr size_t kSectorAlignment = 4096;

bool IsPowerOfTwo(int64_t v) { return v > 0 && (v & (v - 1)) == 0; }

}  // namespace

CMFTParser::CMFTParser(const std::wstring& driveName)
    : devicePath_(VolumeDevicePath(driveName)), driveName_(driveName) {}

CMFTParser::~CMFTParser() = default;

bool CMFTParser::OpenDevice() {
    if (volume_.Valid()) return true;
    volume_.Reset(vol::VolumeApi().CreateFile(devicePath_, win::GENERIC_READ_ | win::GENERIC_WRITE_,
                                              win::FILE_SHARE_READ_ | win::FILE_SHARE_WRITE_, win::OPEN_EXISTING_, 0));
    // A failed open shows in the reads that follow.
    try {
        chunk_.assign(kChunkBytes, 0);
        sectors_.assign(kChunkBytes + kSectorAlignment, 0);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

uint8_t* CMFTParser::AlignedBuffer() noexcept {
    const auto address = reinterpret_cast<uintptr_t>(sectors_.data());
    return sectors_.data() + (kSectorAlignment - address % kSectorAlignment) % kSectorAlignment;
}

uint32_t CMFTParser::ReadRunBytes(int64_t position, int64_t count, uint8_t* out) {
    auto& api = vol::VolumeApi();
    if (count < 0 || count > kChunkBytes || bytesPerSector_ <= 0) return 87;
    api.SetLastError(0);
    int32_t high = static_cast<int32_t>(position >> 32);
    const uint32_t low = api.SetFilePointer(volume_.Get(), static_cast<int32_t>(position & 0xFFFFFFFF), &high,
                                            win::FILE_BEGIN_);
    if (low == win::INVALID_SET_FILE_POINTER_ && api.GetLastError() != 0) return api.GetLastError();
    const int64_t rounded = (count + bytesPerSector_ - 1) / bytesPerSector_ * bytesPerSector_;
    uint8_t* buffer = AlignedBuffer();
    std::memset(buffer, 0, kChunkBytes);
    uint32_t read = 0;
    if (!api.ReadFile(volume_.Get(), buffer, static_cast<uint32_t>(rounded), &read)) {
        const uint32_t error = api.GetLastError();
        if (error != kErrorCrc) return error ? error : 87;
    }
    std::memcpy(out, buffer, static_cast<size_t>(count));
    return 0;
}

bool CMFTParser::ReadMftLayout() {
    if (!OpenDevice()) return false;
    auto fail = [this] {
        volume_.Reset();
        return false;
    };
    // The boot sector, read as the first 4096 bytes of the volume.
    uint8_t* head = AlignedBuffer();
    std::memset(head, 0, 4096);
    auto& api = vol::VolumeApi();
    api.SetLastError(0);
    int32_t high = 0;
    if (api.SetFilePointer(volume_.Get(), 0, &high, win::FILE_BEGIN_) == win::INVALID_SET_FILE_POINTER_ &&
        api.GetLastError() != 0)
        return fail();
    uint32_t read = 0;
    if (!api.ReadFile(volume_.Get(), head, 4096, &read) || read != 4096) return fail();
    std::memcpy(bootSector_, head, sizeof(bootSector_));

    uint16_t bytesPerSector;
    std::memcpy(&bytesPerSector, bootSector_ + 0x0B, 2);
    const uint8_t sectorsPerCluster = bootSector_[0x0D];
    int64_t mftCluster;
    std::memcpy(&mftCluster, bootSector_ + 0x30, 8);
    const uint8_t clustersPerRecord = bootSector_[0x40];

    // Geometry that no NTFS volume has is refused rather than used.
    if (!IsPowerOfTwo(bytesPerSector) || bytesPerSector < 256 || bytesPerSector > 4096) return fail();
    int64_t clusterSize = 0;
    if (sectorsPerCluster >= 0xF0)  // large clusters: 2^(256 - value) sectors
        clusterSize = int64_t{bytesPerSector} << std::min(256 - sectorsPerCluster, 24);
    else
        clusterSize = int64_t{bytesPerSector} * sectorsPerCluster;
    if (!IsPowerOfTwo(clusterSize) || clusterSize > (int64_t{1} << 30)) return fail();
    int64_t recordSize = 0;
    if (clustersPerRecord > 0x80) {
        const int exponent = 256 - clustersPerRecord;
        recordSize = exponent <= 30 ? int64_t{1} << exponent : 0;
    } else {
        recordSize = int64_t{clustersPerRecord} * clusterSize;
    }
    if (recordSize < 256 || recordSize > kChunkBytes) return fail();
    if (mftCluster < 0 || mftCluster > INT64_MAX / clusterSize) return fail();
    bytesPerSector_ = bytesPerSector;
    clusterSize_ = static_cast<int>(clusterSize);
    recordSize_ = static_cast<int>(recordSize);
    mftOffset_ = mftCluster * clusterSize;

    // Record 0 describes the table itself.
    std::vector<uint8_t> record(static_cast<size_t>(recordSize_), 0);
    if (ReadRunBytes(mftOffset_, recordSize_, record.data()) != 0) return fail();
    ApplyFixups(record);
    std::vector<AttributeRef> dataAttributes;
    const uint32_t error = ParseRecord(record, static_cast<uint32_t>(recordSize_), &dataAttributes, nullptr);
    if ((error != 0 && dataAttributes.size() == 1) || dataAttributes.empty()) return fail();
    mftRuns_.clear();
    DecodeDataRuns(record, dataAttributes, clusterSize_, mftRuns_);
    volume_.Reset();
    return !mftRuns_.empty();  // a table without runs cannot be read
}

CMFTParser::ReadResult CMFTParser::ReadMftChunk(int64_t offset) {
    if (!volume_.Valid() || offset < 0) return {87, 0};
    std::fill(chunk_.begin(), chunk_.end(), 0);
    int64_t total = 0;
    for (const MftRun& run : mftRuns_) total = run.byteLength > INT64_MAX - total ? INT64_MAX : total + run.byteLength;
    if (total == 0 || total <= offset) return {0, 0};
    const int64_t want = std::min(total - offset, kChunkBytes);
    int64_t got = 0;
    for (const MftRun& run : mftRuns_) {
        if (got >= want) break;
        if (offset >= run.byteLength) {
            offset -= run.byteLength;
            continue;
        }
        const int64_t count = std::min(want - got, run.byteLength - offset);
        if (run.lcn > (INT64_MAX - offset) / clusterSize_) return {87, 0};
        if (const uint32_t error = ReadRunBytes(run.lcn * clusterSize_ + offset, count, chunk_.data() + got))
            return {error, 0};
        got += count;
        offset = 0;
    }
    return {0, got};
}

bool CMFTParser::ReadFileRecords(IDefragParent* parent) {
    if (recordSize_ <= 0 || !OpenDevice()) return false;
    auto stopRequested = [parent] { return parent && parent->IsStopRequested(); };
    const int64_t recordsPerChunk = kChunkBytes / recordSize_;
    int64_t tableOffset = 0;
    uint64_t recordNumber = 0;
    bool ok = true;
    // Room for every record the table's runs can hold (bounded: the runs come from the disk),
    // so that the lists are not copied and re-hashed as they grow.
    int64_t tableBytes = 0;
    for (const MftRun& run : mftRuns_) tableBytes += std::clamp<int64_t>(run.byteLength, 0, int64_t(1) << 40);
    try {
        const size_t expected = static_cast<size_t>(std::min<int64_t>(tableBytes / recordSize_, int64_t(1) << 22));
        entries_.reserve(expected);
        entriesByRecord_.reserve(expected);
    } catch (const std::exception&) {
        // Grown as needed instead.
    }
    for (;;) {
        const ReadResult chunk = ReadMftChunk(tableOffset);
        if (chunk.error) {
            ok = false;
            break;
        }
        if (chunk.bytes == 0) break;
        tableOffset += chunk.bytes;
        for (int64_t i = 0; i < recordsPerChunk && i <= chunk.bytes / recordSize_; ++i, ++recordNumber) {
            if (stopRequested()) break;
            if (recordNumber < kFirstUserRecord) continue;
            const std::span<uint8_t> record(chunk_.data() + i * recordSize_, static_cast<size_t>(recordSize_));
            uint32_t signature;
            std::memcpy(&signature, record.data(), 4);
            if (signature != kFileSignature || !ApplyFixups(record)) continue;
            uint16_t flags;
            std::memcpy(&flags, record.data() + 22, 2);
            if (!(flags & kRecordInUse)) continue;
            MftFileEntry entry;
            ParseRecord(record, static_cast<uint32_t>(recordSize_), nullptr, &entry);
            if (entry.parentRecord == 0) continue;
            entriesByRecord_[entry.recordNumber] = entries_.size();
            entries_.push_back(std::move(entry));
        }
        if (chunk.bytes != kChunkBytes || stopRequested()) break;
    }
    volume_.Reset();
    return ok;
}

const std::wstring& CMFTParser::NameOf(const MftFileEntry& entry) const noexcept {
    return entry.longName.empty() ? entry.shortName : entry.longName;
}

CMFTParser::EntryPath CMFTParser::GetEntryPath(size_t index) const {
    EntryPath result;
    if (index >= entries_.size()) return result;
    result.entry = entries_[index];
    std::wstring path = NameOf(result.entry);
    uint64_t parent = result.entry.parentRecord;
    // A parent chain longer than the listing is a cycle in a corrupt table.
    for (size_t levels = 0; parent != kRootDirectoryRecord && levels < entries_.size(); ++levels) {
        const auto it = entriesByRecord_.find(parent);
        if (it == entriesByRecord_.end()) break;
        const MftFileEntry& up = entries_[it->second];
        path = NameOf(up) + L"\\" + path;
        parent = up.parentRecord;
    }
    if (!path.empty()) path = driveName_ + L"\\" + path;
    result.path = std::move(path);
    return result;
}

}  // namespace zyr::engine
