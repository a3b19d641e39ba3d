// Text helpers of the scanner: ASCII lowercasing and UTF-8 <-> UTF-16 (in wchar_t) at the edges.
#pragma once
#include <string>
#include <string_view>

namespace zyr::dup {

// Maps A-Z to a-z and leaves every other character unchanged.
std::wstring LowercaseAscii(std::wstring_view text);

// UTF-8 to UTF-16 code units. Bytes that are not valid UTF-8 become the lone surrogates
// U+DC80..U+DCFF, so any POSIX file name survives the round trip through WideToUtf8.
std::wstring Utf8ToWide(std::string_view text);

// UTF-16 code units to UTF-8. Lone surrogates U+DC80..U+DCFF turn back into their byte;
// other lone surrogates become U+FFFD.
std::string WideToUtf8(std::wstring_view text);

}  // namespace zyr::dup
