// The scan worker's stages: the folder walk, the first-block checksum and the whole-file digest.
#pragma once
#include "duplicates/core/duplicate_file_scanner.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zyr::dup {

// File size -> paths of that size, in walk order.
using SizeMap = std::map<uint64_t, std::vector<std::wstring>>;

// Walks `folder` depth-first in listing order and files every accepted, non-empty file under
// its size.
void WalkFolder(IFileSystem& fs, IDuplicateFileScannerPrivate& scanner, const std::wstring& folder,
                int32_t recursive, int32_t mask, SizeMap* sizes);

// Adler-32 of the first min(size, 1024) bytes as "%u" text; false when the file cannot be
// opened or read in full.
bool QuickChecksum(IFileSystem& fs, const std::wstring& path, uint64_t size, std::wstring* text);

// MD5 of the whole file as 32 lowercase hex digits; false when it cannot be opened or read.
bool FileDigest(IFileSystem& fs, const std::wstring& path, std::wstring* text);

// Compares the size groups (quick stage, then content) and reports the sets in order.
void CompareSizeGroups(IFileSystem& fs, IDuplicateFileScannerPrivate& scanner, const SizeMap& sizes);

}  // namespace zyr::dup
