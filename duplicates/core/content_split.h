// Splitting files of equal size (and equal first block) into sets of byte-identical content.
#pragma once
#include "duplicates/core/file_system.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zyr::dup {

struct ContentSet {
    std::vector<size_t> members;  // indexes into the paths given, in their order; 2 or more
    std::wstring digest;          // MD5 of the content, 32 lowercase hex digits
};

// Chunk buffers reused from one call to the next by the thread that owns them.
struct ChunkBuffer {
    std::unique_ptr<uint8_t[]> data;
    size_t size = 0;
};
using ChunkBuffers = std::vector<ChunkBuffer>;

struct SplitHooks {
    std::function<bool()> cancelled;                // polled before every file read
    std::function<void(size_t index)> fileDone;     // once per file whose fate is settled
};

// Reads the files side by side, chunk by chunk, and splits them wherever their bytes differ.
// A file that is unique drops out as soon as it differs from all others; a file that cannot
// be opened or read in full, or whose length is no longer `size`, drops out and is never
// reported. Only one file of each set is fed to MD5. The sets come back ordered by digest
// text (then by their first member). Returns false when cancelled (the sets are then
// incomplete and must not be reported).
bool SplitByContent(IFileSystem& fs, const std::vector<std::wstring>& paths, uint64_t size,
                    const SplitHooks& hooks, ChunkBuffers* buffers, std::vector<ContentSet>* sets);

}  // namespace zyr::dup
