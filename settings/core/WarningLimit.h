// The fragmentation limit as the general settings page reads it from its field (portable).
#pragma once
#include <string_view>

namespace zyr::settingspages {

inline constexpr int kMinWarningLimit = 1;
inline constexpr int kMaxWarningLimit = 99;
// Characters of the field that count.
inline constexpr size_t kWarningLimitChars = 10;

// The leading decimal digits of the first 10 characters ("7abc" 7, "099" 99); 0 when the text
// does not start with a digit (a sign or a blank included). Values beyond the int range are
// capped there, so they stay out of range.
int ParseWarningLimit(std::wstring_view text);
// 1 to 99.
inline bool IsValidWarningLimit(int limit) { return limit >= kMinWarningLimit && limit <= kMaxWarningLimit; }

}  // namespace zyr::settingspages
