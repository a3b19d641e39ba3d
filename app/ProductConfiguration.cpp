// settings.xml and the resource texts.
#include "app/ProductConfiguration.h"

#include "framework/ResourceInstance.h"

#include <map>
#include <string_view>
#include <vector>

namespace zyr::config {
namespace {

ProductKeys g_keys;
std::map<UINT, std::wstring> g_texts;

std::wstring WidenAnsi(std::string_view bytes) {
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < (64 << 20);
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() || (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                               read == bytes.size());
    }
    CloseHandle(file);
    return ok;
}

}  // namespace

void LoadProductConfiguration(const std::wstring& programFolder) {
    std::string bytes;
    if (!ReadWholeFile(programFolder + L"\\settings.xml", bytes)) return;
    std::wstring text = WidenUpToZero(bytes, WidenAnsi);
    ReadProductKeys(text.data(), g_keys);
    for (UINT id = 431; id <= 480; ++id) {
        if (id != 477) g_texts[id] = LoadText(id);
    }
}

std::wstring LoadText(UINT id) {
    const wchar_t* stored = nullptr;
    int length = LoadStringW(ResourceInstance(), id, reinterpret_cast<LPWSTR>(&stored), 0);
    if (length <= 0 || !stored) return {};
    return ReplacePlaceholders(std::wstring(stored, static_cast<size_t>(length)), g_keys[Key::APPNAME],
                               g_keys[Key::COMPANYNAME]);
}

std::wstring ConfigurationText(UINT id) {
    auto it = g_texts.find(id);
    return it == g_texts.end() ? std::wstring() : it->second;
}

std::wstring Value(Key key) { return g_keys[key]; }

long ProductId() { return g_keys.pid; }

}  // namespace zyr::config
