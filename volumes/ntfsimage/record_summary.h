// Compact facts of one file record: enough for listings, path walks and retrieval pointers.
#pragma once
#include "volumes/ntfsimage/boot_sector.h"
#include "volumes/ntfsimage/byte_reader.h"
#include "volumes/ntfsimage/file_record.h"
#include "volumes/ntfsimage/run_list.h"

#include <cstdint>
#include <optional>

namespace zyr::ntfs {

struct RecordSummary {
    enum class State : uint8_t {
        kUnknown,  // not summarised yet
        kFull,     // needs the full load: free, an extension, an attribute list, or anything odd
        kSimple,   // a base record in use whose facts below are exact
    };
    State state = State::kUnknown;
    bool directory = false;
    bool hasStream = false;       // the retrieval stream: unnamed $DATA, or $I30 allocation for a directory
    bool streamResident = false;
    uint32_t standardAttributes = 0;
    uint32_t runBlock = 0;        // merged runs of the stream, in the volume's run store
    uint32_t firstRun = 0;
    uint32_t runCount = 0;
    uint64_t parent = 0;          // from the first $FILE_NAME
    int64_t dataSize = 0;         // the unnamed $DATA's size, as GetFileSizeEx reports it
    int64_t allocatedSize = 0;    // the stream's
};

// Summarises a record whose fixups were applied. Returns kSimple, with the stream's merged runs
// in `runs` (runCount of them), only when the full load would find exactly these facts without
// an error (one extent per attribute, run lists inside the volume, sizes that agree); kFull
// otherwise.
RecordSummary SummariseRecord(Bytes record, const Geometry& geometry, RunList* runs);
// The same from the record's parse (empty when it did not parse).
RecordSummary SummariseRecord(Bytes record, const std::optional<FileRecord>& parsed, const Geometry& geometry,
                              RunList* runs);

}  // namespace zyr::ntfs
