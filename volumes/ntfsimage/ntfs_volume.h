// An NTFS volume in an image file: geometry, file records, streams, directories, $Bitmap.
#pragma once
#include "volumes/ntfsimage/boot_sector.h"
#include "volumes/ntfsimage/file_record.h"
#include "volumes/ntfsimage/image_device.h"
#include "volumes/ntfsimage/index_node.h"
#include "volumes/ntfsimage/record_summary.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace zyr::ntfs {

// One attribute (or attribute extent) of a file, with the record that holds it.
struct AttributeExtent {
    uint64_t record = 0;
    AttributeView view;
    std::vector<uint8_t> value;  // a resident attribute's value
};

// A stream: every extent of one attribute type and name, joined in VCN order.
struct Stream {
    uint32_t type = 0;
    std::wstring name;
    bool resident = false;
    std::vector<uint8_t> value;  // resident value
    uint16_t flags = 0;
    uint8_t compressionUnit = 0;
    int64_t allocatedSize = 0;
    int64_t dataSize = 0;
    int64_t initializedSize = 0;
    RunList runs;
    std::vector<AttributeExtent> extents;

    bool IsCompressed() const noexcept { return (flags & 0x00FF) != 0; }
    bool IsSparse() const noexcept { return (flags & 0x8000) != 0; }
};

// A file record with its extension records' attributes (through $ATTRIBUTE_LIST).
struct LoadedFile {
    uint64_t number = 0;
    FileRecord base;  // header fields; the attributes are in `attributes`
    std::vector<AttributeExtent> attributes;
    bool IsDirectory() const noexcept { return base.IsDirectory(); }
    uint32_t StandardAttributes() const noexcept { return standardAttributes; }
    uint32_t standardAttributes = 0;
    uint64_t parent = 0;  // from the first $FILE_NAME
};

class NtfsVolume {
public:
    // Opens an image; returns null and a Windows error code (ERROR_UNRECOGNIZED_VOLUME for
    // anything that is not a sound NTFS volume).
    static std::unique_ptr<NtfsVolume> Open(const std::wstring& path, bool writable, uint32_t* error);

    const Geometry& geometry() const noexcept { return geometry_; }
    const std::wstring& label() const noexcept { return label_; }
    uint8_t majorVersion() const noexcept { return major_; }
    uint8_t minorVersion() const noexcept { return minor_; }
    ImageDevice& device() noexcept { return *device_; }
    const Stream& mft() const noexcept { return mft_; }
    const Stream& bitmap() const noexcept { return bitmap_; }
    int64_t recordCount() const noexcept { return mft_.dataSize / geometry_.bytesPerRecord; }
    // Records mirrored in $MFTMirr.
    int64_t mirrorCount() const noexcept { return mirrorCount_; }
    const RunList& mirrorRuns() const noexcept { return mirror_.runs; }

    // Serialises every use of one volume: moves change records and the bitmap.
    std::mutex& lock() noexcept { return lock_; }

    // Reads a record through $MFT's run list and applies its fixups. 0 or a Windows error.
    [[nodiscard]] uint32_t ReadRecord(uint64_t number, std::vector<uint8_t>* bytes);
    // Writes a record (fixups applied here) to $MFT and, when mirrored, to $MFTMirr.
    [[nodiscard]] uint32_t WriteRecord(uint64_t number, std::vector<uint8_t> bytes);
    // The base record in use with every attribute of the file.
    [[nodiscard]] uint32_t LoadFile(uint64_t number, LoadedFile* file);
    // The same, shared with the cache (no copy).
    [[nodiscard]] uint32_t LoadFileShared(uint64_t number, std::shared_ptr<const LoadedFile>* file);
    // The record's compact facts when it is a plain base record (read with its neighbours in
    // one pass over a stretch of $MFT), else null: the caller loads the file in full.
    const RecordSummary* SimpleSummary(uint64_t number);
    std::span<const Run> SummaryRuns(const RecordSummary& s) const noexcept {
        if (s.runCount == 0) return {};
        return std::span<const Run>(runBlocks_[s.runBlock]).subspan(s.firstRun, s.runCount);
    }
    // The unnamed $DATA size (0 without one), as GetFileSizeEx reports it.
    static int64_t DataSize(const LoadedFile& file) noexcept;
    // Joins the extents of one attribute. ERROR_FILE_NOT_FOUND when the file has none.
    [[nodiscard]] uint32_t GetStream(const LoadedFile& file, uint32_t type, const std::wstring& name, Stream* stream);

    // Reads bytes of a stream: holes and bytes past the initialized size read as zeros.
    // Compressed streams are not decoded (ERROR_NOT_SUPPORTED).
    [[nodiscard]] uint32_t ReadStream(const Stream& stream, int64_t offset, std::span<uint8_t> out);
    // Writes bytes inside the allocated, uncompressed part of a non-resident stream.
    [[nodiscard]] uint32_t WriteStream(const Stream& stream, int64_t offset, std::span<const uint8_t> data);

    // The directory's entries in collation order, DOS names included.
    [[nodiscard]] uint32_t ListDirectory(uint64_t directory, std::vector<IndexEntry>* entries);

    // A name in a directory, compared through $UpCase. ERROR_FILE_NOT_FOUND when absent.
    [[nodiscard]] uint32_t Lookup(uint64_t directory, const std::wstring& name, uint64_t* reference);

    // Bytes of $Bitmap (cluster n = bit n%8 of byte n/8). Small reads come from a few cached
    // pages that writes keep in step; writes go straight to the image.
    [[nodiscard]] uint32_t ReadBitmap(int64_t firstByte, std::span<uint8_t> out);
    [[nodiscard]] uint32_t WriteBitmap(int64_t firstByte, std::span<const uint8_t> data);
    // Zero bits below TotalClusters.
    [[nodiscard]] uint32_t CountFreeClusters(int64_t* free);

    // The last folder a path walk went through: its components as given and its record.
    bool CachedFolder(std::span<const std::wstring> components, uint64_t* record) const;
    void RememberFolder(std::span<const std::wstring> components, uint64_t record);

    int CompareNames(const std::wstring& a, const std::wstring& b) const noexcept;
    wchar_t UpCase(wchar_t c) const noexcept;

private:
    NtfsVolume() = default;
    uint32_t LoadSystemFiles();
    uint32_t ReadIndexBlock(const Stream& allocation, uint32_t blockSize, int64_t vcn, std::vector<IndexEntry>* entries);
    uint32_t WalkIndex(const Stream* allocation, uint32_t blockSize, std::vector<IndexEntry>& node, int depth,
                       std::vector<IndexEntry>* out, size_t* visited);

    // Parsed files. A written base record that holds its whole file replaces it here; any other
    // written record drops the file it belongs to. Directory names are kept across writes: this
    // volume never renames, and moving index clusters leaves them alone.
    std::unordered_map<uint64_t, std::shared_ptr<const LoadedFile>> fileCache_;
    // Recently read stretches of $MFT: neighbouring records are read together.
    struct MftChunk {
        int64_t index = -1;
        std::vector<uint8_t> bytes;
    };
    std::vector<MftChunk> mftChunks_;
    size_t nextChunk_ = 0;
    // The names of recently listed directories for lookups, in index order: UTF-16 units in one
    // buffer per directory.
    struct NameTable {
        struct Name {
            uint32_t offset = 0;
            uint32_t length = 0;
            uint64_t reference = 0;
        };
        std::vector<Name> names;
        std::vector<uint16_t> units;
    };
    const NameTable* Names(uint64_t directory, uint32_t* error);
    void KeepNames(uint64_t directory, const std::vector<IndexEntry>& entries);
    int CompareNames(std::span<const uint16_t> a, const std::wstring& b) const noexcept;
    std::unordered_map<uint64_t, NameTable> names_;
    // One summary per record, filled a stretch of $MFT at a time; a written record is summarised
    // again from what was written. Its runs take the place of its old ones when they fit, else
    // the old ones stay behind in the store unused.
    void SummariseStretch(int64_t stretch);
    void Summarise(uint64_t number, Bytes record);
    void Summarise(uint64_t number, Bytes record, const std::optional<FileRecord>& parsed);
    // The parts of a file its base record holds; returns its $ATTRIBUTE_LIST, if any.
    const AttributeView* AddBaseAttributes(uint64_t number, Bytes bytes, const FileRecord& record, LoadedFile* file);
    // The facts taken from the attributes once they are all there.
    static void FinishFile(FileRecord record, LoadedFile* file);
    void KeepFile(uint64_t number, std::shared_ptr<const LoadedFile> file);
    std::vector<RecordSummary> summaries_;
    std::vector<uint8_t> summarised_;  // per stretch
    std::vector<RunList> runBlocks_;  // filled one after another, never reallocated
    RunList summaryScratch_;
    std::vector<IndexEntry> listingScratch_;  // the listing a lookup's names come from
    struct BitmapPage {
        int64_t index = -1;
        std::vector<uint8_t> bytes;
    };
    std::vector<BitmapPage> bitmapPages_;  // direct-mapped by page index
    // Windows of $Bitmap and $MFT offered to the device's mapped writes: (stream, window index).
    void MapForWrites(const Stream& stream, int64_t offset);
    std::vector<std::pair<const Stream*, int64_t>> mappedWindows_;
    std::vector<uint8_t> stretchBytes_;
    std::vector<std::wstring> folder_;
    uint64_t folderRecord_ = 0;
    bool folderKnown_ = false;
    std::vector<uint8_t> indexBytes_;  // the index allocation of the directory being listed

    std::unique_ptr<ImageDevice> device_;
    Geometry geometry_;
    Stream mft_;
    Stream bitmap_;
    Stream mirror_;
    int64_t mirrorCount_ = 0;
    std::vector<uint16_t> upcase_;
    std::wstring label_;
    uint8_t major_ = 0, minor_ = 0;
    std::mutex lock_;
};

// Byte offset on the device of a stream byte, or -1 for a hole / outside the runs.
int64_t DeviceOffset(const RunList& runs, int64_t byteOffset, uint32_t clusterSize, int64_t* contiguousBytes);

}  // namespace zyr::ntfs
