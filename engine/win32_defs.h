// Windows constants and structure layouts the portable core needs, with the Windows values.
// The portable core never includes <windows.h>; these mirror it byte for byte.
#pragma once
#include <cstdint>

namespace zyr::win {

// Error codes (winerror.h).
inline constexpr uint32_t ERROR_SUCCESS_ = 0;
inline constexpr uint32_t ERROR_INVALID_FUNCTION_ = 1;
inline constexpr uint32_t ERROR_FILE_NOT_FOUND_ = 2;
inline constexpr uint32_t ERROR_PATH_NOT_FOUND_ = 3;
inline constexpr uint32_t ERROR_ACCESS_DENIED_ = 5;
inline constexpr uint32_t ERROR_INVALID_HANDLE_ = 6;
inline constexpr uint32_t ERROR_NOT_ENOUGH_MEMORY_ = 8;
inline constexpr uint32_t ERROR_NO_MORE_FILES_ = 18;
inline constexpr uint32_t ERROR_WRITE_PROTECT_ = 19;
inline constexpr uint32_t ERROR_WRITE_FAULT_ = 29;
inline constexpr uint32_t ERROR_READ_FAULT_ = 30;
inline constexpr uint32_t ERROR_HANDLE_EOF_ = 38;
inline constexpr uint32_t ERROR_NOT_SUPPORTED_ = 50;
inline constexpr uint32_t ERROR_INVALID_PARAMETER_ = 87;
inline constexpr uint32_t ERROR_DISK_FULL_ = 112;
inline constexpr uint32_t ERROR_OPEN_FAILED_ = 110;
inline constexpr uint32_t ERROR_INSUFFICIENT_BUFFER_ = 122;
inline constexpr uint32_t ERROR_INVALID_NAME_ = 123;
inline constexpr uint32_t ERROR_NEGATIVE_SEEK_ = 131;
inline constexpr uint32_t ERROR_DIRECTORY_ = 267;
inline constexpr uint32_t ERROR_ALREADY_EXISTS_ = 183;
inline constexpr uint32_t ERROR_MORE_DATA_ = 234;
inline constexpr uint32_t ERROR_UNRECOGNIZED_VOLUME_ = 1005;
inline constexpr uint32_t ERROR_FILE_CORRUPT_ = 1392;
inline constexpr uint32_t ERROR_DISK_CORRUPT_ = 1393;

// File-system controls (winioctl.h).
inline constexpr uint32_t FSCTL_GET_NTFS_VOLUME_DATA_ = 0x00090064;
inline constexpr uint32_t FSCTL_GET_VOLUME_BITMAP_ = 0x0009006F;
inline constexpr uint32_t FSCTL_GET_RETRIEVAL_POINTERS_ = 0x00090073;
inline constexpr uint32_t FSCTL_MOVE_FILE_ = 0x00090074;

// CreateFileW.
inline constexpr uint32_t GENERIC_READ_ = 0x80000000u;
inline constexpr uint32_t GENERIC_WRITE_ = 0x40000000u;
inline constexpr uint32_t FILE_READ_ATTRIBUTES_ = 0x0080;
inline constexpr uint32_t FILE_SHARE_READ_ = 1;
inline constexpr uint32_t FILE_SHARE_WRITE_ = 2;
inline constexpr uint32_t FILE_SHARE_DELETE_ = 4;
inline constexpr uint32_t OPEN_EXISTING_ = 3;
inline constexpr uint32_t FILE_FLAG_NO_BUFFERING_ = 0x20000000u;
inline constexpr uint32_t FILE_FLAG_BACKUP_SEMANTICS_ = 0x02000000u;
inline constexpr uint32_t FILE_FLAG_OPEN_REPARSE_POINT_ = 0x00200000u;

// SetFilePointer.
inline constexpr uint32_t FILE_BEGIN_ = 0;
inline constexpr uint32_t FILE_CURRENT_ = 1;
inline constexpr uint32_t FILE_END_ = 2;
inline constexpr uint32_t INVALID_SET_FILE_POINTER_ = 0xFFFFFFFFu;

// File attributes.
inline constexpr uint32_t FILE_ATTRIBUTE_READONLY_ = 0x00000001;
inline constexpr uint32_t FILE_ATTRIBUTE_HIDDEN_ = 0x00000002;
inline constexpr uint32_t FILE_ATTRIBUTE_SYSTEM_ = 0x00000004;
inline constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY_ = 0x00000010;
inline constexpr uint32_t FILE_ATTRIBUTE_ARCHIVE_ = 0x00000020;
inline constexpr uint32_t FILE_ATTRIBUTE_NORMAL_ = 0x00000080;
inline constexpr uint32_t FILE_ATTRIBUTE_TEMPORARY_ = 0x00000100;
inline constexpr uint32_t FILE_ATTRIBUTE_SPARSE_FILE_ = 0x00000200;
inline constexpr uint32_t FILE_ATTRIBUTE_REPARSE_POINT_ = 0x00000400;
inline constexpr uint32_t FILE_ATTRIBUTE_COMPRESSED_ = 0x00000800;
inline constexpr uint32_t FILE_ATTRIBUTE_OFFLINE_ = 0x00001000;
inline constexpr uint32_t FILE_ATTRIBUTE_NOT_CONTENT_INDEXED_ = 0x00002000;
inline constexpr uint32_t FILE_ATTRIBUTE_ENCRYPTED_ = 0x00004000;
inline constexpr uint32_t INVALID_FILE_ATTRIBUTES_ = 0xFFFFFFFFu;

// GetDriveTypeW.
inline constexpr uint32_t DRIVE_UNKNOWN_ = 0;
inline constexpr uint32_t DRIVE_NO_ROOT_DIR_ = 1;
inline constexpr uint32_t DRIVE_REMOVABLE_ = 2;
inline constexpr uint32_t DRIVE_FIXED_ = 3;
inline constexpr uint32_t DRIVE_REMOTE_ = 4;
inline constexpr uint32_t DRIVE_CDROM_ = 5;
inline constexpr uint32_t DRIVE_RAMDISK_ = 6;

// Structures of the volume controls (winioctl.h), x64 layout.
struct STARTING_LCN_INPUT_BUFFER {
    int64_t StartingLcn;
};
struct STARTING_VCN_INPUT_BUFFER {
    int64_t StartingVcn;
};
struct VOLUME_BITMAP_BUFFER {
    int64_t StartingLcn;  // 0
    int64_t BitmapSize;   // 8: clusters from StartingLcn to the end of the volume
    uint8_t Buffer[1];    // 16: bit n%8 of byte n/8 set = cluster in use
};
struct RETRIEVAL_POINTERS_EXTENT {
    int64_t NextVcn;
    int64_t Lcn;  // -1 for a hole (sparse or compressed)
};
struct RETRIEVAL_POINTERS_BUFFER {
    uint32_t ExtentCount;  // 0
    uint32_t Padding_;     // 4
    int64_t StartingVcn;   // 8
    RETRIEVAL_POINTERS_EXTENT Extents[1];  // 16
};
struct MOVE_FILE_DATA {
    uint64_t FileHandle;   // 0: HANDLE
    int64_t StartingVcn;   // 8
    int64_t StartingLcn;   // 16
    uint32_t ClusterCount; // 24
    uint32_t Padding_;     // 28
};
struct NTFS_VOLUME_DATA_BUFFER {
    int64_t VolumeSerialNumber;             // 0
    int64_t NumberSectors;                  // 8
    int64_t TotalClusters;                  // 16
    int64_t FreeClusters;                   // 24
    int64_t TotalReserved;                  // 32
    uint32_t BytesPerSector;                // 40
    uint32_t BytesPerCluster;               // 44
    uint32_t BytesPerFileRecordSegment;     // 48
    uint32_t ClustersPerFileRecordSegment;  // 52
    int64_t MftValidDataLength;             // 56
    int64_t MftStartLcn;                    // 64
    int64_t Mft2StartLcn;                   // 72
    int64_t MftZoneStart;                   // 80
    int64_t MftZoneEnd;                     // 88
};
static_assert(sizeof(VOLUME_BITMAP_BUFFER) == 24);
static_assert(sizeof(RETRIEVAL_POINTERS_BUFFER) == 32);
static_assert(sizeof(MOVE_FILE_DATA) == 32);
static_assert(sizeof(NTFS_VOLUME_DATA_BUFFER) == 96);

}  // namespace zyr::win
