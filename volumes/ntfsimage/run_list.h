// Run lists (mapping pairs): decoding, encoding and the edits a cluster move makes.
#pragma once
#include "volumes/ntfsimage/byte_reader.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zyr::ntfs {

inline constexpr int64_t kHoleLcn = -1;

struct Run {
    int64_t vcn = 0;
    int64_t lcn = kHoleLcn;  // kHoleLcn: sparse, or the unallocated tail of a compression unit
    int64_t length = 0;
    bool operator==(const Run&) const = default;
};
using RunList = std::vector<Run>;

// Decodes mapping pairs that start at lowestVcn. The bytes end at the attribute's end: a pair
// or terminator beyond them, a length of zero or less, an LCN below zero, or VCNs past 2^62
// make the list invalid. The LCN delta restarts from zero in every attribute extent.
std::optional<RunList> DecodeRunList(Bytes mappingPairs, int64_t lowestVcn) noexcept;

// Encodes runs (which must be contiguous in VCN) as mapping pairs with the terminating zero,
// using the fewest bytes for each signed value, as ntfs-3g writes them.
std::vector<uint8_t> EncodeRunList(const RunList& runs);

// Joins neighbours that are physically contiguous or both holes.
RunList MergeRuns(const RunList& runs);

// The runs that cover [begin, end), cut at both ends.
RunList SliceRuns(const RunList& runs, int64_t begin, int64_t end);

// Total clusters of the real (non-hole) runs.
int64_t AllocatedClusters(const RunList& runs) noexcept;

}  // namespace zyr::ntfs
