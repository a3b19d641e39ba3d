// An owned registry key handle.
#pragma once
#include <windows.h>

#include <utility>

namespace zyr::fw {

class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    ~RegKey() { Close(); }
    RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegKey& operator=(RegKey&& other) noexcept {
        if (this != &other) {
            Close();
            key_ = std::exchange(other.key_, nullptr);
        }
        return *this;
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    LONG Open(HKEY parent, const wchar_t* path, REGSAM access) {
        Close();
        return RegOpenKeyExW(parent, path, 0, access, &key_);
    }
    LONG Create(HKEY parent, const wchar_t* path, REGSAM access) {
        Close();
        return RegCreateKeyExW(parent, path, 0, nullptr, 0, access, nullptr, &key_, nullptr);
    }
    void Close() {
        if (key_) RegCloseKey(std::exchange(key_, nullptr));
    }
    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

private:
    HKEY key_ = nullptr;
};

}  // namespace zyr::fw
