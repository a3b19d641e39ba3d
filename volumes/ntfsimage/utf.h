// UTF-16 (one unit per wchar_t) to UTF-8 and back, for paths and printing at the edges.
#pragma once
#include <string>

namespace zyr::ntfs {

std::string Utf16ToUtf8(const std::wstring& text);
std::wstring Utf8ToUtf16(const std::string& text);

}  // namespace zyr::ntfs
