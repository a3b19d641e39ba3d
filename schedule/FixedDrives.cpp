// Fixed drives with their labels, file systems and sizes.
#include "schedule/FixedDrives.h"

#include <windows.h>

namespace zyr::schedule {

std::vector<FixedDrive> ListFixedDrives() {
    std::vector<FixedDrive> drives;
    wchar_t roots[200] = {};
    DWORD length = GetLogicalDriveStringsW(200, roots);
    if (length == 0 || length >= 200) return drives;
    for (const wchar_t* root = roots; *root; root += wcslen(root) + 1) {
        if (GetDriveTypeW(root) != DRIVE_FIXED) continue;
        FixedDrive drive;
        drive.root = root;
        wchar_t label[101] = {}, fileSystem[101] = {};
        GetVolumeInformationW(root, label, 100, nullptr, nullptr, nullptr, fileSystem, 100);
        drive.label = label;
        drive.fileSystem = fileSystem;
        ULARGE_INTEGER available = {}, total = {}, totalFree = {};
        if (GetDiskFreeSpaceExW(root, &available, &total, &totalFree)) {
            drive.totalBytes = static_cast<int64_t>(total.QuadPart);
            drive.freeBytes = static_cast<int64_t>(totalFree.QuadPart);
        } else {
            DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
            if (GetDiskFreeSpaceW(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) {
                int64_t cluster = static_cast<int64_t>(sectorsPerCluster) * bytesPerSector;
                drive.totalBytes = cluster * totalClusters;
                drive.freeBytes = cluster * freeClusters;
            }
        }
        drives.push_back(std::move(drive));
    }
    return drives;
}

}  // namespace zyr::schedule
