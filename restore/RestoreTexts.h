// Which resource text the restore page shows for a point type or a failed creation.
#pragma once
#include <cstdint>

namespace zyr::restore {

// The text of a restore point type in the list's type column; 0 for a type without text.
unsigned TypeTextId(uint32_t restorePointType);

// The message for a failed creation on the given operating-system version.
unsigned CreationFailedTextId(unsigned majorVersion, unsigned minorVersion);

}  // namespace zyr::restore
