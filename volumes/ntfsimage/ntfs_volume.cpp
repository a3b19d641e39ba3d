// NtfsVolume: system files at open, records through $MFT's run list, streams, directories.
#include "volumes/ntfsimage/ntfs_volume.h"

#include "engine/win32_defs.h"
#include "volumes/ntfsimage/fixup.h"
#include "volumes/ntfsimage/ntfs_layout.h"

#include <algorithm>
#include <bit>

namespace zyr::ntfs {
namespace {

constexpr int kMaxIndexDepth = 32;
constexpr int64_t kMaxAttributeListBytes = 1 << 20;
constexpr size_t kMaxExtensionRecords = 4096;
constexpr size_t kFileCacheSize = 8192;
constexpr size_t kNameTables = 64;
constexpr int64_t kMftChunkBytes = 16 << 10;
constexpr size_t kMftChunks = 64;
constexpr int64_t kSummaryStretchBytes = 1 << 20;
constexpr int64_t kWholeIndexBytes = 4 << 20;
constexpr size_t kRunBlock = 8192;
constexpr int64_t kBitmapPageBytes = 4096;
constexpr size_t kBitmapPages = 64;
constexpr int64_t kMappedWindowBytes = 1 << 20;
constexpr size_t kMappedWindows = 16;

}  // namespace

int64_t DeviceOffset(const RunList& runs, int64_t byteOffset, uint32_t clusterSize, int64_t* contiguousBytes) {
    const int64_t vcn = byteOffset / clusterSize;
    auto it = std::upper_bound(runs.begin(), runs.end(), vcn, [](int64_t v, const Run& r) { return v < r.vcn; });
    if (it == runs.begin()) {
        *contiguousBytes = 0;
        return -1;
    }
    --it;
    if (vcn >= it->vcn + it->length) {
        *contiguousBytes = 0;
        return -1;
    }
    const int64_t runEnd = (it->vcn + it->length) * int64_t(clusterSize);
    *contiguousBytes = runEnd - byteOffset;
    if (it->lcn == kHoleLcn) return -1;
    return it->lcn * int64_t(clusterSize) + (byteOffset - it->vcn * int64_t(clusterSize));
}

std::unique_ptr<NtfsVolume> NtfsVolume::Open(const std::wstring& path, bool writable, uint32_t* error) {
    uint32_t ignored;
    uint32_t& err = error ? *error : ignored;
    std::unique_ptr<NtfsVolume> vol(new NtfsVolume);
    vol->device_ = ImageDevice::Open(path, writable, &err);
    if (!vol->device_) return nullptr;
    std::vector<uint8_t> sector(512);
    if (!vol->device_->ReadAt(0, sector)) {
        err = win::ERROR_UNRECOGNIZED_VOLUME_;
        return nullptr;
    }
    auto geometry = ParseBootSector(sector);
    if (!geometry) {
        err = win::ERROR_UNRECOGNIZED_VOLUME_;
        return nullptr;
    }
    vol->geometry_ = *geometry;
    err = vol->LoadSystemFiles();
    if (err) return nullptr;
    return vol;
}

uint32_t NtfsVolume::LoadSystemFiles() {
    const Geometry& g = geometry_;
    // Record 0 from the boot sector's MFT position; its first $DATA extent reads the rest.
    std::vector<uint8_t> rec0(g.bytesPerRecord);
    if (!device_->ReadAt(g.mftLcn * g.bytesPerCluster, rec0)) return win::ERROR_UNRECOGNIZED_VOLUME_;
    if (ApplyFixups(rec0) != FixupResult::kOk) return win::ERROR_UNRECOGNIZED_VOLUME_;
    auto record = ParseFileRecord(rec0);
    if (!record) return win::ERROR_UNRECOGNIZED_VOLUME_;
    for (const AttributeView& a : record->attributes) {
        if (a.type == kAttrData && a.name.empty() && a.nonResident && a.lowestVcn == 0) {
            mft_.type = kAttrData;
            mft_.runs = a.runs;
            mft_.allocatedSize = a.allocatedSize;
            mft_.dataSize = a.dataSize;
            mft_.initializedSize = a.initializedSize;
        }
    }
    if (mft_.runs.empty() || mft_.runs.front().lcn != g.mftLcn || mft_.dataSize < 16 * int64_t(g.bytesPerRecord))
        return win::ERROR_UNRECOGNIZED_VOLUME_;

    LoadedFile file;
    Stream stream;
    if (LoadFile(kRecordMft, &file) || GetStream(file, kAttrData, L"", &stream) || stream.resident)
        return win::ERROR_UNRECOGNIZED_VOLUME_;
    mft_ = std::move(stream);
    mftChunks_.clear();

    if (LoadFile(kRecordMftMirr, &file) || GetStream(file, kAttrData, L"", &mirror_) || mirror_.resident)
        return win::ERROR_UNRECOGNIZED_VOLUME_;
    mirrorCount_ = std::min(mirror_.dataSize / g.bytesPerRecord, recordCount());

    if (LoadFile(kRecordBitmap, &file) || GetStream(file, kAttrData, L"", &bitmap_) || bitmap_.resident ||
        bitmap_.IsCompressed() || bitmap_.dataSize * 8 < g.totalClusters ||
        bitmap_.initializedSize < (g.totalClusters + 7) / 8)
        return win::ERROR_UNRECOGNIZED_VOLUME_;

    if (LoadFile(kRecordUpCase, &file) || GetStream(file, kAttrData, L"", &stream))
        return win::ERROR_UNRECOGNIZED_VOLUME_;
    const int64_t upcaseBytes = std::min<int64_t>(stream.dataSize, 65536 * 2) & ~int64_t(1);
    std::vector<uint8_t> raw(static_cast<size_t>(upcaseBytes));
    if (ReadStream(stream, 0, raw)) return win::ERROR_UNRECOGNIZED_VOLUME_;
    upcase_.resize(raw.size() / 2);
    for (size_t i = 0; i < upcase_.size(); ++i) upcase_[i] = uint16_t(raw[2 * i] | (raw[2 * i + 1] << 8));

    if (LoadFile(kRecordVolume, &file)) return win::ERROR_UNRECOGNIZED_VOLUME_;
    if (!GetStream(file, kAttrVolumeName, L"", &stream) && stream.resident) {
        label_.resize(stream.value.size() / 2);
        for (size_t i = 0; i < label_.size(); ++i) label_[i] = wchar_t(stream.value[2 * i] | (stream.value[2 * i + 1] << 8));
    }
    if (!GetStream(file, kAttrVolumeInformation, L"", &stream) && stream.resident && stream.value.size() >= 10) {
        major_ = stream.value[8];
        minor_ = stream.value[9];
    }
    if (LoadFile(kRecordRoot, &file) || !file.IsDirectory()) return win::ERROR_UNRECOGNIZED_VOLUME_;
    try {
        summaries_.assign(size_t(recordCount()), RecordSummary{});
        const int64_t perStretch = std::max<int64_t>(kSummaryStretchBytes / g.bytesPerRecord, 1);
        summarised_.assign(size_t((recordCount() + perStretch - 1) / perStretch), 0);
    } catch (...) {
        summaries_.clear();  // no summaries: every file is loaded in full
        summarised_.clear();
    }
    return 0;
}

const RecordSummary* NtfsVolume::SimpleSummary(uint64_t number) {
    if (number >= summaries_.size()) return nullptr;
    if (summaries_[number].state == RecordSummary::State::kUnknown) {
        const int64_t perStretch = std::max<int64_t>(kSummaryStretchBytes / geometry_.bytesPerRecord, 1);
        SummariseStretch(int64_t(number) / perStretch);
    }
    const RecordSummary& s = summaries_[number];
    return s.state == RecordSummary::State::kSimple ? &s : nullptr;
}

void NtfsVolume::Summarise(uint64_t number, Bytes record) { Summarise(number, record, ParseFileRecord(record)); }

void NtfsVolume::Summarise(uint64_t number, Bytes record, const std::optional<FileRecord>& parsed) {
    RecordSummary& s = summaries_[number];
    const RecordSummary previous = s;
    s.state = RecordSummary::State::kFull;
    RecordSummary next = SummariseRecord(record, parsed, geometry_, &summaryScratch_);
    const size_t n = summaryScratch_.size();
    if (next.runCount && previous.state == RecordSummary::State::kSimple && previous.runCount >= n) {
        // A rewritten record (a move) mostly keeps or lowers its run count: its runs stay in place.
        next.runBlock = previous.runBlock;
        next.firstRun = previous.firstRun;
        std::copy(summaryScratch_.begin(), summaryScratch_.end(), runBlocks_[previous.runBlock].begin() + previous.firstRun);
    } else if (next.runCount) {
        if (runBlocks_.empty() || runBlocks_.back().capacity() - runBlocks_.back().size() < n) {
            runBlocks_.emplace_back();
            runBlocks_.back().reserve(std::max<size_t>(kRunBlock, n));
        }
        RunList& block = runBlocks_.back();
        next.runBlock = uint32_t(runBlocks_.size() - 1);
        next.firstRun = uint32_t(block.size());
        block.insert(block.end(), summaryScratch_.begin(), summaryScratch_.end());
    }
    s = next;
}

void NtfsVolume::SummariseStretch(int64_t stretch) {
    const uint32_t size = geometry_.bytesPerRecord;
    const int64_t perStretch = std::max<int64_t>(kSummaryStretchBytes / size, 1);
    const int64_t first = stretch * perStretch;
    const int64_t count = std::min<int64_t>(perStretch, recordCount() - first);
    if (size_t(stretch) >= summarised_.size() || summarised_[size_t(stretch)] || count <= 0) return;
    summarised_[size_t(stretch)] = 1;
    try {
        stretchBytes_.resize(size_t(count) * size);
        const bool read = ReadStream(mft_, first * size, stretchBytes_) == 0;
        for (int64_t i = 0; i < count; ++i) {
            RecordSummary& s = summaries_[size_t(first + i)];
            if (s.state != RecordSummary::State::kUnknown) continue;
            s.state = RecordSummary::State::kFull;
            if (!read) continue;
            std::span<uint8_t> record(stretchBytes_.data() + size_t(i) * size, size);
            if (ApplyFixups(record) == FixupResult::kOk) Summarise(uint64_t(first + i), record);
        }
    } catch (...) {
        // Out of memory: what is not summarised is loaded in full.
        for (int64_t i = 0; i < count; ++i)
            if (summaries_[size_t(first + i)].state == RecordSummary::State::kUnknown)
                summaries_[size_t(first + i)].state = RecordSummary::State::kFull;
    }
}

uint32_t NtfsVolume::ReadRecord(uint64_t number, std::vector<uint8_t>* bytes) {
    const uint32_t size = geometry_.bytesPerRecord;
    if (number >= uint64_t(recordCount())) return win::ERROR_FILE_NOT_FOUND_;
    const int64_t offset = int64_t(number) * size;
    const int64_t index = offset / kMftChunkBytes;
    auto chunk = std::find_if(mftChunks_.begin(), mftChunks_.end(), [&](const MftChunk& c) { return c.index == index; });
    if (chunk == mftChunks_.end()) {
        if (mftChunks_.size() < kMftChunks) {
            mftChunks_.emplace_back();
            chunk = mftChunks_.end() - 1;
        } else {
            chunk = mftChunks_.begin() + ptrdiff_t(nextChunk_++ % kMftChunks);
        }
        chunk->index = -1;
        const int64_t start = index * kMftChunkBytes;
        chunk->bytes.resize(size_t(std::min(kMftChunkBytes, mft_.dataSize - start)));
        if (ReadStream(mft_, start, chunk->bytes)) {
            // Past what the run list maps so far (while $MFT's own extents load): this record only.
            bytes->resize(size);
            if (uint32_t e = ReadStream(mft_, offset, *bytes)) return e;
            return ApplyFixups(*bytes) == FixupResult::kOk ? 0 : win::ERROR_FILE_CORRUPT_;
        }
        chunk->index = index;
    }
    const size_t within = size_t(offset - index * kMftChunkBytes);
    if (within + size > chunk->bytes.size()) return win::ERROR_FILE_CORRUPT_;
    bytes->assign(chunk->bytes.begin() + ptrdiff_t(within), chunk->bytes.begin() + ptrdiff_t(within + size));
    if (ApplyFixups(*bytes) != FixupResult::kOk) return win::ERROR_FILE_CORRUPT_;
    return 0;
}

uint32_t NtfsVolume::WriteRecord(uint64_t number, std::vector<uint8_t> bytes) {
    const uint32_t size = geometry_.bytesPerRecord;
    if (number >= uint64_t(recordCount()) || bytes.size() != size) return win::ERROR_INVALID_PARAMETER_;
    // Only what this record feeds goes stale: its own file, or its base file's when it is an
    // extension record.
    const uint64_t base = RecordNumber(ByteReader(bytes).U64(rec::kBaseRecord));
    // The record is parsed once for its summary and, when it holds a whole file (a base record
    // in use without an attribute list), for the file the next load would build from it.
    std::shared_ptr<LoadedFile> file;
    try {
        std::optional<FileRecord> parsed = ParseFileRecord(bytes);
        if (number < summaries_.size()) Summarise(number, bytes, parsed);
        if (parsed && parsed->InUse() && RecordNumber(parsed->baseReference) == 0) {
            file = std::make_shared<LoadedFile>();
            if (AddBaseAttributes(number, bytes, *parsed, file.get()))
                file.reset();
            else
                FinishFile(std::move(*parsed), file.get());
        }
    } catch (...) {
        file.reset();
        if (number < summaries_.size()) summaries_[number].state = RecordSummary::State::kFull;
    }
    if (base != 0 && base < summaries_.size()) summaries_[base].state = RecordSummary::State::kFull;
    fileCache_.erase(number);
    if (base != 0) fileCache_.erase(base);
    if (!ProtectFixups(bytes)) return win::ERROR_FILE_CORRUPT_;
    const int64_t offset = int64_t(number) * size;
    for (MftChunk& chunk : mftChunks_) {
        const int64_t start = chunk.index * kMftChunkBytes;
        if (chunk.index >= 0 && offset >= start && offset + size <= start + int64_t(chunk.bytes.size()))
            std::copy(bytes.begin(), bytes.end(), chunk.bytes.begin() + ptrdiff_t(offset - start));
    }
    MapForWrites(mft_, offset);
    if (uint32_t e = WriteStream(mft_, int64_t(number) * size, bytes)) {
        // What reached the image is not known: read it again when asked.
        mftChunks_.clear();
        if (number < summaries_.size()) summaries_[number].state = RecordSummary::State::kFull;
        return e;
    }
    if (int64_t(number) < mirrorCount_)
        if (uint32_t e = WriteStream(mirror_, int64_t(number) * size, bytes)) return e;
    if (file) {
        try {
            KeepFile(number, std::move(file));
        } catch (...) {
        }
    }
    return 0;
}

uint32_t NtfsVolume::LoadFile(uint64_t number, LoadedFile* file) {
    std::shared_ptr<const LoadedFile> shared;
    if (uint32_t e = LoadFileShared(number, &shared)) return e;
    try {
        *file = *shared;
    } catch (...) {
        return win::ERROR_NOT_ENOUGH_MEMORY_;
    }
    return 0;
}

int64_t NtfsVolume::DataSize(const LoadedFile& file) noexcept {
    for (const AttributeExtent& a : file.attributes)
        if (a.view.type == kAttrData && a.view.name.empty() && a.view.lowestVcn == 0)
            return a.view.nonResident ? a.view.dataSize : int64_t(a.view.valueLength);
    return 0;
}

const AttributeView* NtfsVolume::AddBaseAttributes(uint64_t number, Bytes bytes, const FileRecord& record,
                                                   LoadedFile* file) {
    file->number = number;
    file->attributes.clear();
    file->attributes.reserve(record.attributes.size());
    file->standardAttributes = 0;
    file->parent = 0;
    const AttributeView* list = nullptr;
    for (const AttributeView& a : record.attributes) {
        file->attributes.push_back({number, a, {}});
        if (!a.nonResident) {
            Bytes v = ResidentValue(bytes, a);
            file->attributes.back().value.assign(v.begin(), v.end());
        }
        if (a.type == kAttrAttributeList) list = &a;
    }
    return list;
}

void NtfsVolume::FinishFile(FileRecord record, LoadedFile* file) {
    for (const AttributeExtent& a : file->attributes) {
        if (a.view.nonResident) continue;
        if (a.view.type == kAttrStandardInformation && file->standardAttributes == 0) {
            ByteReader r(a.value);
            file->standardAttributes = r.U32(stdinfo::kFileAttributes);
        } else if (a.view.type == kAttrFileName && file->parent == 0) {
            if (auto name = ParseFileName(a.value)) file->parent = name->parent;
        }
    }
    file->base = std::move(record);
    file->base.attributes.clear();
}

void NtfsVolume::KeepFile(uint64_t number, std::shared_ptr<const LoadedFile> file) {
    if (fileCache_.size() >= kFileCacheSize) fileCache_.clear();
    fileCache_[number] = std::move(file);
}

uint32_t NtfsVolume::LoadFileShared(uint64_t number, std::shared_ptr<const LoadedFile>* out) {
    try {
        if (auto hit = fileCache_.find(number); hit != fileCache_.end()) {
            *out = hit->second;
            return 0;
        }
        auto loaded = std::make_shared<LoadedFile>();
        LoadedFile* file = loaded.get();
        std::vector<uint8_t> bytes;
        if (uint32_t e = ReadRecord(number, &bytes)) return e;
        auto record = ParseFileRecord(bytes);
        if (!record) return win::ERROR_FILE_CORRUPT_;
        if (!record->InUse() || RecordNumber(record->baseReference) != 0) return win::ERROR_FILE_NOT_FOUND_;
        const AttributeView* list = AddBaseAttributes(number, bytes, *record, file);
        if (list) {
            Stream listStream;
            listStream.type = kAttrAttributeList;
            listStream.resident = !list->nonResident;
            std::vector<uint8_t> value;
            if (listStream.resident) {
                Bytes v = ResidentValue(bytes, *list);
                value.assign(v.begin(), v.end());
            } else {
                if (list->dataSize > kMaxAttributeListBytes || list->IsCompressed()) return win::ERROR_FILE_CORRUPT_;
                listStream.runs = list->runs;
                listStream.dataSize = list->dataSize;
                listStream.initializedSize = list->initializedSize;
                listStream.allocatedSize = list->allocatedSize;
                value.resize(size_t(list->dataSize));
                if (ReadStream(listStream, 0, value)) return win::ERROR_FILE_CORRUPT_;
            }
            auto entries = ParseAttributeList(value);
            if (!entries) return win::ERROR_FILE_CORRUPT_;
            std::vector<uint64_t> extensions;
            for (const AttributeListEntry& e : *entries) {
                const uint64_t n = RecordNumber(e.reference);
                if (n != number && std::find(extensions.begin(), extensions.end(), n) == extensions.end())
                    extensions.push_back(n);
            }
            if (extensions.size() > kMaxExtensionRecords) return win::ERROR_FILE_CORRUPT_;
            std::vector<uint8_t> extBytes;
            for (uint64_t n : extensions) {
                if (ReadRecord(n, &extBytes)) return win::ERROR_FILE_CORRUPT_;
                auto ext = ParseFileRecord(extBytes);
                if (!ext || !ext->InUse() || RecordNumber(ext->baseReference) != number) return win::ERROR_FILE_CORRUPT_;
                for (const AttributeView& a : ext->attributes) {
                    const bool listed = std::any_of(entries->begin(), entries->end(), [&](const AttributeListEntry& e) {
                        return RecordNumber(e.reference) == n && e.type == a.type && e.name == a.name &&
                               e.lowestVcn == (a.nonResident ? a.lowestVcn : 0);
                    });
                    if (!listed) continue;
                    file->attributes.push_back({n, a, {}});
                    if (!a.nonResident) {
                        Bytes v = ResidentValue(extBytes, a);
                        file->attributes.back().value.assign(v.begin(), v.end());
                    }
                }
            }
        }
        FinishFile(std::move(*record), file);
        KeepFile(number, loaded);
        *out = std::move(loaded);
        return 0;
    } catch (...) {
        return win::ERROR_NOT_ENOUGH_MEMORY_;
    }
}

uint32_t NtfsVolume::GetStream(const LoadedFile& file, uint32_t type, const std::wstring& name, Stream* stream) {
    std::vector<AttributeExtent> extents;
    for (const AttributeExtent& a : file.attributes)
        if (a.view.type == type && a.view.name == name) extents.push_back(a);
    if (extents.empty()) return win::ERROR_FILE_NOT_FOUND_;
    std::stable_sort(extents.begin(), extents.end(),
                     [](const AttributeExtent& a, const AttributeExtent& b) { return a.view.lowestVcn < b.view.lowestVcn; });
    Stream s;
    s.type = type;
    s.name = name;
    const AttributeView& first = extents.front().view;
    s.flags = first.flags;
    if (!first.nonResident) {
        if (extents.size() != 1) return win::ERROR_FILE_CORRUPT_;
        s.resident = true;
        s.value = extents.front().value;
        s.dataSize = s.initializedSize = int64_t(s.value.size());
        s.extents = std::move(extents);
        *stream = std::move(s);
        return 0;
    }
    if (first.lowestVcn != 0) return win::ERROR_FILE_CORRUPT_;
    s.compressionUnit = first.compressionUnit;
    s.allocatedSize = first.allocatedSize;
    s.dataSize = first.dataSize;
    s.initializedSize = first.initializedSize;
    int64_t next = 0;
    const int64_t cs = geometry_.bytesPerCluster;
    for (const AttributeExtent& e : extents) {
        if (!e.view.nonResident || e.view.lowestVcn != next) return win::ERROR_FILE_CORRUPT_;
        if (e.view.highestVcn >= 0) next = e.view.highestVcn + 1;
        for (const Run& r : e.view.runs) {
            if (r.lcn != kHoleLcn && (r.lcn + r.length > geometry_.totalClusters)) return win::ERROR_FILE_CORRUPT_;
            s.runs.push_back(r);
        }
    }
    if (s.allocatedSize % cs || next * cs > s.allocatedSize || s.dataSize > s.allocatedSize ||
        s.initializedSize > s.allocatedSize)
        return win::ERROR_FILE_CORRUPT_;
    s.extents = std::move(extents);
    *stream = std::move(s);
    return 0;
}

uint32_t NtfsVolume::ReadStream(const Stream& s, int64_t offset, std::span<uint8_t> out) {
    if (offset < 0) return win::ERROR_INVALID_PARAMETER_;
    if (s.resident) {
        for (size_t i = 0; i < out.size(); ++i) {
            const int64_t p = offset + int64_t(i);
            out[i] = p < int64_t(s.value.size()) ? s.value[size_t(p)] : 0;
        }
        return 0;
    }
    if (s.IsCompressed()) return win::ERROR_NOT_SUPPORTED_;
    const uint32_t cs = geometry_.bytesPerCluster;
    size_t done = 0;
    while (done < out.size()) {
        const int64_t pos = offset + int64_t(done);
        int64_t contiguous = 0;
        const int64_t at = DeviceOffset(s.runs, pos, cs, &contiguous);
        if (contiguous <= 0) return win::ERROR_HANDLE_EOF_;
        size_t chunk = size_t(std::min<int64_t>(contiguous, int64_t(out.size() - done)));
        std::span<uint8_t> part = out.subspan(done, chunk);
        if (pos >= s.initializedSize || at < 0) {
            std::fill(part.begin(), part.end(), 0);
        } else {
            const size_t valid = size_t(std::min<int64_t>(int64_t(chunk), s.initializedSize - pos));
            if (!device_->ReadAt(at, part.first(valid))) return win::ERROR_READ_FAULT_;
            std::fill(part.begin() + valid, part.end(), 0);
        }
        done += chunk;
    }
    return 0;
}

uint32_t NtfsVolume::WriteStream(const Stream& s, int64_t offset, std::span<const uint8_t> data) {
    if (s.resident || s.IsCompressed() || offset < 0) return win::ERROR_INVALID_PARAMETER_;
    if (!device_->writable()) return win::ERROR_WRITE_PROTECT_;
    const uint32_t cs = geometry_.bytesPerCluster;
    size_t done = 0;
    while (done < data.size()) {
        const int64_t pos = offset + int64_t(done);
        int64_t contiguous = 0;
        const int64_t at = DeviceOffset(s.runs, pos, cs, &contiguous);
        if (at < 0) return win::ERROR_INVALID_PARAMETER_;
        const size_t chunk = size_t(std::min<int64_t>(contiguous, int64_t(data.size() - done)));
        if (!device_->WriteAt(at, data.subspan(done, chunk))) return win::ERROR_WRITE_FAULT_;
        done += chunk;
    }
    return 0;
}

uint32_t NtfsVolume::ReadIndexBlock(const Stream& allocation, uint32_t blockSize, int64_t vcn,
                                    std::vector<IndexEntry>* entries) {
    const int64_t unit = blockSize >= geometry_.bytesPerCluster ? geometry_.bytesPerCluster : 512;
    if (vcn < 0 || vcn > allocation.allocatedSize / unit) return win::ERROR_FILE_CORRUPT_;
    const int64_t offset = vcn * unit;
    if (offset + blockSize > allocation.allocatedSize) return win::ERROR_FILE_CORRUPT_;
    std::vector<uint8_t> block;
    if (indexBytes_.empty()) {
        block.resize(blockSize);
        if (ReadStream(allocation, offset, block)) return win::ERROR_FILE_CORRUPT_;
    } else {
        // The whole allocation was read in one go: fix up a copy, the next walk may need it again.
        if (offset + blockSize > int64_t(indexBytes_.size())) return win::ERROR_FILE_CORRUPT_;
        block.assign(indexBytes_.begin() + ptrdiff_t(offset), indexBytes_.begin() + ptrdiff_t(offset + blockSize));
    }
    if (ApplyFixups(block) != FixupResult::kOk) return win::ERROR_FILE_CORRUPT_;
    auto parsed = ParseIndexBlock(block, vcn);
    if (!parsed) return win::ERROR_FILE_CORRUPT_;
    *entries = std::move(*parsed);
    return 0;
}

uint32_t NtfsVolume::WalkIndex(const Stream* allocation, uint32_t blockSize, std::vector<IndexEntry>& node,
                               int depth, std::vector<IndexEntry>* out, size_t* budget) {
    for (IndexEntry& e : node) {  // entries move out of the node into the listing
        if (e.hasChild) {
            if (!allocation || depth >= kMaxIndexDepth || *budget == 0) return win::ERROR_FILE_CORRUPT_;
            --*budget;
            std::vector<IndexEntry> child;
            if (uint32_t err = ReadIndexBlock(*allocation, blockSize, e.childVcn, &child)) return err;
            if (uint32_t err = WalkIndex(allocation, blockSize, child, depth + 1, out, budget)) return err;
        }
        if (!e.last) out->push_back(std::move(e));
    }
    return 0;
}

uint32_t NtfsVolume::ListDirectory(uint64_t directory, std::vector<IndexEntry>* entries) {
    try {
        std::shared_ptr<const LoadedFile> shared;
        if (uint32_t e = LoadFileShared(directory, &shared)) return e;
        const LoadedFile& dir = *shared;
        if (!dir.IsDirectory()) return win::ERROR_DIRECTORY_;
        Stream root, allocation;
        if (GetStream(dir, kAttrIndexRoot, L"$I30", &root) || !root.resident) return win::ERROR_FILE_CORRUPT_;
        auto info = ParseIndexRoot(root.value);
        if (!info) return win::ERROR_FILE_CORRUPT_;
        const bool hasAllocation = GetStream(dir, kAttrIndexAllocation, L"$I30", &allocation) == 0 && !allocation.resident;
        size_t budget = hasAllocation ? size_t(allocation.allocatedSize / std::max<uint32_t>(info->blockSize, 1)) + 1 : 0;
        entries->clear();
        // A directory's blocks are read in one request rather than one at a time; an index too
        // large for that, or one that cannot be read whole, is read block by block.
        indexBytes_.clear();
        if (hasAllocation && allocation.allocatedSize <= kWholeIndexBytes && !allocation.IsCompressed()) {
            indexBytes_.resize(size_t(allocation.allocatedSize));
            if (ReadStream(allocation, 0, indexBytes_)) indexBytes_.clear();
        }
        const uint32_t e =
            WalkIndex(hasAllocation ? &allocation : nullptr, info->blockSize, info->entries, 0, entries, &budget);
        indexBytes_.clear();
        if (e) return e;
        KeepNames(directory, *entries);  // the lookups that usually follow a listing
        return 0;
    } catch (...) {
        indexBytes_.clear();
        return win::ERROR_NOT_ENOUGH_MEMORY_;
    }
}

void NtfsVolume::KeepNames(uint64_t directory, const std::vector<IndexEntry>& entries) {
    if (names_.count(directory)) return;
    try {
        NameTable table;
        table.names.reserve(entries.size());
        size_t units = 0;
        for (const IndexEntry& e : entries) units += e.key.name.size();
        table.units.reserve(units);
        for (const IndexEntry& e : entries) {
            table.names.push_back({uint32_t(table.units.size()), uint32_t(e.key.name.size()), e.reference});
            for (wchar_t c : e.key.name) table.units.push_back(uint16_t(c));
        }
        if (names_.size() >= kNameTables) names_.clear();
        names_.emplace(directory, std::move(table));
    } catch (...) {
        // Without memory for it the next lookup lists the directory again.
    }
}

const NtfsVolume::NameTable* NtfsVolume::Names(uint64_t directory, uint32_t* error) {
    if (auto hit = names_.find(directory); hit != names_.end()) return &hit->second;
    if ((*error = ListDirectory(directory, &listingScratch_))) return nullptr;
    auto hit = names_.find(directory);
    if (hit == names_.end()) *error = win::ERROR_NOT_ENOUGH_MEMORY_;
    return hit == names_.end() ? nullptr : &hit->second;
}

int NtfsVolume::CompareNames(std::span<const uint16_t> a, const std::wstring& b) const noexcept {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const uint32_t x = uint32_t(UpCase(wchar_t(a[i]))) & 0xFFFF, y = uint32_t(UpCase(b[i])) & 0xFFFF;
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

uint32_t NtfsVolume::Lookup(uint64_t directory, const std::wstring& name, uint64_t* reference) {
    uint32_t error = 0;
    const NameTable* table = Names(directory, &error);
    if (!table) return error;
    // The index keeps its entries in $UpCase order: a binary search, and a plain scan when the
    // order is broken (a damaged index) so that nothing listed is missed.
    auto unitsOf = [&](const NameTable::Name& n) {
        return std::span<const uint16_t>(table->units).subspan(n.offset, n.length);
    };
    const auto& names = table->names;
    auto it = std::lower_bound(names.begin(), names.end(), name, [&](const NameTable::Name& n, const std::wstring& key) {
        return CompareNames(unitsOf(n), key) < 0;
    });
    if (it == names.end() || CompareNames(unitsOf(*it), name) != 0)
        it = std::find_if(names.begin(), names.end(),
                          [&](const NameTable::Name& n) { return CompareNames(unitsOf(n), name) == 0; });
    if (it == names.end()) return win::ERROR_FILE_NOT_FOUND_;
    *reference = it->reference;
    return 0;
}

bool NtfsVolume::CachedFolder(std::span<const std::wstring> components, uint64_t* record) const {
    if (!folderKnown_ || !std::equal(components.begin(), components.end(), folder_.begin(), folder_.end())) return false;
    *record = folderRecord_;
    return true;
}

void NtfsVolume::RememberFolder(std::span<const std::wstring> components, uint64_t record) {
    if (folderKnown_ && folderRecord_ == record &&
        std::equal(components.begin(), components.end(), folder_.begin(), folder_.end()))
        return;
    folderKnown_ = false;
    try {
        folder_.assign(components.begin(), components.end());
        folderRecord_ = record;
        folderKnown_ = true;
    } catch (...) {
    }
}

wchar_t NtfsVolume::UpCase(wchar_t c) const noexcept {
    const uint32_t u = uint32_t(c) & 0xFFFF;
    return u < upcase_.size() ? wchar_t(upcase_[u]) : c;
}

int NtfsVolume::CompareNames(const std::wstring& a, const std::wstring& b) const noexcept {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const uint32_t x = uint32_t(UpCase(a[i])) & 0xFFFF, y = uint32_t(UpCase(b[i])) & 0xFFFF;
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

uint32_t NtfsVolume::ReadBitmap(int64_t firstByte, std::span<uint8_t> out) {
    if (firstByte < 0 || out.size() > size_t(kBitmapPageBytes)) return ReadStream(bitmap_, firstByte, out);
    try {
        if (bitmapPages_.empty()) bitmapPages_.resize(kBitmapPages);
        size_t done = 0;
        while (done < out.size()) {
            const int64_t at = firstByte + int64_t(done);
            const int64_t index = at / kBitmapPageBytes;
            BitmapPage& page = bitmapPages_[size_t(index) % kBitmapPages];
            if (page.index != index) {
                page.index = -1;
                const int64_t start = index * kBitmapPageBytes;
                page.bytes.resize(size_t(std::clamp<int64_t>(bitmap_.dataSize - start, 0, kBitmapPageBytes)));
                if (uint32_t e = ReadStream(bitmap_, start, page.bytes)) return e;
                page.index = index;
            }
            const size_t within = size_t(at - index * kBitmapPageBytes);
            const size_t n = std::min(out.size() - done, page.bytes.size() - std::min(within, page.bytes.size()));
            if (n == 0) return ReadStream(bitmap_, at, out.subspan(done));  // past the data: as the stream answers
            std::copy_n(page.bytes.begin() + ptrdiff_t(within), n, out.begin() + ptrdiff_t(done));
            done += n;
        }
        return 0;
    } catch (...) {
        return ReadStream(bitmap_, firstByte, out);
    }
}

void NtfsVolume::MapForWrites(const Stream& stream, int64_t offset) {
    // Every move writes $Bitmap twice and a file record once: the windows of those streams
    // that are written go to the device's mapped writes, a few, once each.
    const int64_t window = offset / kMappedWindowBytes;
    if (mappedWindows_.size() >= kMappedWindows) return;
    for (const auto& [s, w] : mappedWindows_)
        if (s == &stream && w == window) return;
    mappedWindows_.emplace_back(&stream, window);
    const int64_t end = std::min((window + 1) * kMappedWindowBytes, stream.dataSize);
    const uint32_t cs = geometry_.bytesPerCluster;
    for (int64_t pos = window * kMappedWindowBytes; pos < end;) {
        int64_t contiguous = 0;
        const int64_t at = DeviceOffset(stream.runs, pos, cs, &contiguous);
        if (contiguous <= 0) return;
        const int64_t n = std::min(contiguous, end - pos);
        if (at >= 0) (void)device_->MapForWrites(at, n);
        pos += n;
    }
}

uint32_t NtfsVolume::WriteBitmap(int64_t firstByte, std::span<const uint8_t> data) {
    if (firstByte >= 0) MapForWrites(bitmap_, firstByte);
    const uint32_t e = WriteStream(bitmap_, firstByte, data);
    for (BitmapPage& page : bitmapPages_) {
        if (page.index < 0) continue;
        const int64_t start = page.index * kBitmapPageBytes, end = start + int64_t(page.bytes.size());
        const int64_t from = std::max(start, firstByte), to = std::min(end, firstByte + int64_t(data.size()));
        if (from >= to) continue;
        if (e) {
            page.index = -1;  // what reached the image is not known: read it again
            continue;
        }
        std::copy_n(data.begin() + ptrdiff_t(from - firstByte), to - from, page.bytes.begin() + ptrdiff_t(from - start));
    }
    return e;
}

uint32_t NtfsVolume::CountFreeClusters(int64_t* free) {
    const int64_t total = geometry_.totalClusters;
    std::vector<uint8_t> chunk(1 << 16);
    int64_t used = 0;
    for (int64_t byte = 0; byte * 8 < total; byte += int64_t(chunk.size())) {
        const size_t n = size_t(std::min<int64_t>(int64_t(chunk.size()), (total + 7) / 8 - byte));
        if (uint32_t e = ReadBitmap(byte, std::span(chunk).first(n))) return e;
        for (size_t i = 0; i < n; ++i) {
            uint8_t b = chunk[i];
            const int64_t firstCluster = (byte + int64_t(i)) * 8;
            if (total - firstCluster < 8) b &= uint8_t((1u << (total - firstCluster)) - 1);
            used += std::popcount(b);
        }
    }
    *free = total - used;
    return 0;
}

}  // namespace zyr::ntfs
