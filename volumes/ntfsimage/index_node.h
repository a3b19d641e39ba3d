// Directory index nodes: the entries of an $INDEX_ROOT value or of an INDX block.
#pragma once
#include "volumes/ntfsimage/byte_reader.h"
#include "volumes/ntfsimage/file_record.h"

#include <optional>
#include <vector>

namespace zyr::ntfs {

struct IndexEntry {
    uint64_t reference = 0;
    bool hasChild = false;
    bool last = false;  // the end entry carries no key
    int64_t childVcn = -1;
    FileName key;
};

// Entries of the node whose INDEX_HEADER starts at headerOffset of container, in order,
// ending with the last entry. Offsets inside the header count from the header itself.
std::optional<std::vector<IndexEntry>> ParseIndexNode(Bytes container, size_t headerOffset) noexcept;

struct IndexRootInfo {
    uint32_t blockSize = 0;
    std::vector<IndexEntry> entries;
};
std::optional<IndexRootInfo> ParseIndexRoot(Bytes value) noexcept;

// An INDX block after its fixups: checks the signature and its own VCN, returns the entries.
std::optional<std::vector<IndexEntry>> ParseIndexBlock(Bytes block, int64_t expectedVcn) noexcept;

}  // namespace zyr::ntfs
