// CDuplicateFileList: one set of identical files as the scanner reports it; copied by value.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class CDuplicateFileList {
public:
    CDuplicateFileList() = default;
    CDuplicateFileList(uint32_t category, std::vector<std::wstring> files, std::wstring hash, uint64_t size)
        : category(category), files(std::move(files)), hash(std::move(hash)), size(size) {}
    CDuplicateFileList(const CDuplicateFileList&) = default;
    CDuplicateFileList(CDuplicateFileList&&) = default;
    CDuplicateFileList& operator=(const CDuplicateFileList&) = default;
    CDuplicateFileList& operator=(CDuplicateFileList&&) = default;
    virtual ~CDuplicateFileList() = default;

    uint32_t category = 0;            // FileCategory of the first file
    std::vector<std::wstring> files;  // in the order the scanner found them; at least 2
    std::wstring hash;                // 32 lowercase hexadecimal digits of MD5
    uint64_t size = 0;                // bytes of each file
};
