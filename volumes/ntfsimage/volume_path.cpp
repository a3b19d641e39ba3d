// Path splitting for the volume door.
#include "volumes/ntfsimage/volume_path.h"

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

}  // namespace zyr::ntfs
