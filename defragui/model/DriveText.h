// The drive list's texts: sizes with their thresholds, the drive of a row, the free-space rule.
#pragma once
#include <cstdint>
#include <string>

namespace zyr::defragui {

// "%.2f GB" above 2^30 bytes, "%.2f MB" above 2^20, "%.2f KB" above 2^10, else "%lld Bytes".
std::wstring FormatSize(int64_t bytes);
// The same with the share of `total` appended: "1.50 GB (37.5%)".
std::wstring FormatSizeShare(int64_t bytes, int64_t total);
// "System (C:\)" -> "C:": the two characters after the last "("; empty when there are none.
std::wstring DriveOfRowText(const std::wstring& text);
// The row text "%s (%s)" of a label and a root path.
std::wstring RowText(const std::wstring& label, const std::wstring& root);
// True when free x 100 / total (64-bit, truncated) is above 15; false for a zero total.
bool HasRoomToDefragment(uint64_t freeBytes, uint64_t totalBytes);
// The drive letters of `drives` ("C:" ...) that the scheduled run treats: those not listed in
// `skipped` (one letter per left-out drive, any case).
bool ScheduledDriveTicked(const std::wstring& drive, const std::wstring& skipped);

}  // namespace zyr::defragui
