// Path splitting for the volume door.
#include "volumes/ntfsimage/volume_path.h"
#include <algorithm>

namespace zyr::ntfs {
namespace {

bool IsLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? wchar_t(c - L'a' + L'A') : c; }
bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

std::optional<VolumePath> ParseVolumePath(const std::wstring& path) {
    VolumePath out;
    size_t pos = 0;
    bool prefixed = false;
    if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == L'.' || path[2] == L'?') &&
        IsSeparator(path[3])) {
        pos = 4;
        prefixed = true;
    }
    if (path.size() < pos + 2 || !IsLetter(path[pos]) || path[pos + 1] != L':') return std::nullopt;
    out.letter = Upper(path[pos]);
    pos += 2;
    if (pos == path.size()) {
        out.device = prefixed;  // "V:" alone is the current folder of V:, taken as its root
        return out;
    }
    if (!IsSeparator(path[pos])) return std::nullopt;
    std::wstring part;
    out.components.reserve(8);
    for (; pos <= path.size(); ++pos) {
        if (pos == path.size() || IsSeparator(path[pos])) {
            if (!part.empty()) out.components.push_back(std::move(part));
            part.clear();
        } else {
            part += path[pos];
        }
    }
    return out;
}

wchar_t DriveLetterOf(const std::wstring& path) {
    auto parsed = ParseVolumePath(path);
    return parsed ? parsed->letter : 0;
}

uint32_t WriteDriveStrings(const std::vector<wchar_t>& letters, uint32_t bufferLength, wchar_t* buffer) {
    std::wstring all;
    for (wchar_t letter : letters) {
        all += letter;
        all += L":\\";
        all += L'\0';
    }
    const uint32_t needed = uint32_t(all.size()) + 1;
    if (bufferLength < needed || !buffer) return needed;
    std::copy(all.begin(), all.end(), buffer);
    buffer[all.size()] = 0;
    return uint32_t(all.size());
}

}  // namespace zyr::ntfs
