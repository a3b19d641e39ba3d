// Texts of point types and creation failures.
#include "restore/RestoreTexts.h"

#include "resources/ids/restore_ids.h"

namespace zyr::restore {

unsigned TypeTextId(uint32_t restorePointType) {
    switch (restorePointType) {
    case 0: return IDS_RESTORE_TYPE_APPLICATION_INSTALL;
    case 1: return IDS_RESTORE_TYPE_APPLICATION_UNINSTALL;
    case 6: return IDS_RESTORE_TYPE_RESTORE;
    case 7: return IDS_RESTORE_TYPE_CHECKPOINT;
    case 10: return IDS_RESTORE_TYPE_DEVICE_DRIVER_INSTALL;
    case 12: return IDS_RESTORE_TYPE_MODIFY_SETTINGS;
    case 14: return IDS_RESTORE_TYPE_BACKUP_RECOVERY;
    case 16: return IDS_RESTORE_TYPE_MANUAL_CHECKPOINT;
    case 18: return IDS_RESTORE_TYPE_CRITICAL_UPDATE;
    default: return 0;
    }
}

unsigned CreationFailedTextId(unsigned majorVersion, unsigned minorVersion) {
    if (majorVersion <= 5) return IDS_RESTORE_CREATE_FAILED_XP;
    if (majorVersion == 6 && minorVersion == 0) return IDS_RESTORE_CREATE_FAILED_VISTA;
    return IDS_RESTORE_CREATE_FAILED;
}

}  // namespace zyr::restore
