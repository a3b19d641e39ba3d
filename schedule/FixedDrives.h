// The fixed drives of the machine as the schedule page lists them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace zyr::schedule {

struct FixedDrive {
    std::wstring root;        // "C:\"
    std::wstring label;       // may be empty
    std::wstring fileSystem;  // "NTFS"
    int64_t totalBytes = 0;
    int64_t freeBytes = 0;
};

// Every root of type DRIVE_FIXED, in the order the system lists them.
std::vector<FixedDrive> ListFixedDrives();

}  // namespace zyr::schedule
