// One restore point as the restore page shows it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace zyr::restore {

struct RestorePointRecord {
    std::wstring description;
    uint32_t sequenceNumber = 0;     // identifies the point in every operation
    std::wstring dateText;           // creation time as local date and time; empty when unknown
    uint32_t restorePointType = 0;   // RestorePointType of the platform
    uint32_t eventType = 0;          // EventType of the platform
};

using RestorePointList = std::vector<RestorePointRecord>;

// Restore point types and event types of the platform that the program relies on.
inline constexpr uint32_t kBeginSystemChange = 100;
inline constexpr uint32_t kEndSystemChange = 101;
inline constexpr uint32_t kModifySettings = 12;       // the type of points this program creates
inline constexpr uint32_t kCancelledOperation = 13;   // never listed

}  // namespace zyr::restore
