// Update sequence arrays ("fixups") of multi-sector records: FILE and INDX.
#pragma once
#include "volumes/ntfsimage/byte_reader.h"

namespace zyr::ntfs {

enum class FixupResult { kOk, kBadHeader, kMismatch };

// Checks the update sequence header against the record size and, when every protected block
// ends with the sequence number, puts the saved words back. A mismatch leaves the buffer as
// it was read.
[[nodiscard]] FixupResult ApplyFixups(MutableBytes record) noexcept;

// Before a write: advances the sequence number and stores it at the end of each block,
// saving the words it replaces. The header was checked by ApplyFixups when the record was read.
[[nodiscard]] bool ProtectFixups(MutableBytes record) noexcept;

}  // namespace zyr::ntfs
