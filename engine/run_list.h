// A file's run list as the file system reports it (an owned RETRIEVAL_POINTERS_BUFFER), how it
// is read from an open file, and how its clusters and breaks are counted.
#pragma once
#include "engine/scoped_handle.h"
#include "engine/win32_defs.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zyr::engine {

class RunList {
public:
    // Keeps exactly the bytes returned (at least the 16-byte header, zero-padded).
    explicit RunList(const uint8_t* bytes, size_t size);

    const uint8_t* Data() const noexcept { return bytes_.data(); }
    size_t ByteSize() const noexcept { return bytes_.size(); }
    // ExtentCount as reported, bounded by the extents that the bytes hold.
    uint32_t ExtentCount() const noexcept;
    int64_t StartingVcn() const noexcept;
    win::RETRIEVAL_POINTERS_EXTENT Extent(uint32_t i) const noexcept;

private:
    std::vector<uint8_t> bytes_;
};

// An open file for layout queries and the last error its open left.
struct OpenedFile {
    ScopedHandle handle;
    uint32_t lastError = 0;
};
// Opens "\\?\" + path: a file for FILE_READ_ATTRIBUTES without buffering, a directory for
// GENERIC_READ with backup semantics; share read, write and delete.
OpenedFile OpenTargetFile(const std::wstring& path, bool isFile) noexcept;

// The run list from virtual cluster 0 (requests of 1632, 3232, 6432, ... bytes until it fits),
// or null (invalid handle, any failure but ERROR_MORE_DATA, or nothing returned).
std::unique_ptr<RunList> GetRetrievalPointers(vol::Handle file) noexcept;

struct ClusterCount {
    int64_t clusters = 0;
    bool fragmented = false;
};
// Clusters of a run list (ExtentCount >= 1) and whether its real runs break apart on disk.
ClusterCount CountFileClusters(const RunList& runs) noexcept;

}  // namespace zyr::engine
