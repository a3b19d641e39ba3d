// The drive list's texts and the free-space rule.
#include "defragui/model/DriveText.h"

#include <cwchar>
#include <cwctype>

namespace zyr::defragui {
namespace {

constexpr int64_t kKB = 1024, kMB = 1048576, kGB = 1073741824;

std::wstring Print(const wchar_t* format, double value, double share, bool withShare) {
    wchar_t buffer[96];
    if (withShare)
        std::swprintf(buffer, 96, format, value, share);
    else
        std::swprintf(buffer, 96, format, value);
    return buffer;
}

std::wstring Format(int64_t bytes, int64_t total, bool withShare) {
    const double share = withShare && total != 0 ? static_cast<double>(bytes * 100) / static_cast<double>(total) : 0.0;
    if (bytes > kGB) return Print(withShare ? L"%.2f GB (%.1f%%)" : L"%.2f GB", static_cast<double>(bytes) / kGB, share, withShare);
    if (bytes > kMB) return Print(withShare ? L"%.2f MB (%.1f%%)" : L"%.2f MB", static_cast<double>(bytes) / kMB, share, withShare);
    if (bytes > kKB) return Print(withShare ? L"%.2f KB (%.1f%%)" : L"%.2f KB", static_cast<double>(bytes) / kKB, share, withShare);
    wchar_t buffer[96];
    if (withShare)
        std::swprintf(buffer, 96, L"%lld Bytes (%.1f%%)", static_cast<long long>(bytes), share);
    else
        std::swprintf(buffer, 96, L"%lld Bytes", static_cast<long long>(bytes));
    return buffer;
}

}  // namespace

std::wstring FormatSize(int64_t bytes) { return Format(bytes, 0, false); }

std::wstring FormatSizeShare(int64_t bytes, int64_t total) { return Format(bytes, total, true); }

std::wstring DriveOfRowText(const std::wstring& text) {
    const size_t open = text.rfind(L'(');
    if (open == std::wstring::npos || open + 2 >= text.size()) return L"";
    return text.substr(open + 1, 2);
}

std::wstring RowText(const std::wstring& label, const std::wstring& root) { return label + L" (" + root + L")"; }

bool HasRoomToDefragment(uint64_t freeBytes, uint64_t totalBytes) {
    if (totalBytes == 0) return false;
    // 128-bit free avoids the overflow of free x 100 on volumes above 2^57 bytes.
    const unsigned __int128 scaled = static_cast<unsigned __int128>(freeBytes) * 100;
    return scaled / totalBytes > 15;
}

bool ScheduledDriveTicked(const std::wstring& drive, const std::wstring& skipped) {
    if (drive.empty()) return false;
    const wchar_t letter = static_cast<wchar_t>(std::towupper(drive[0]));
    for (wchar_t c : skipped)
        if (static_cast<wchar_t>(std::towupper(c)) == letter) return false;
    return true;
}

}  // namespace zyr::defragui
