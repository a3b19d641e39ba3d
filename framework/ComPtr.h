// ComPtr: the one owner of a COM interface pointer (released when it goes), move-only.
#pragma once
#include <objbase.h>

#include <utility>

namespace zyr::fw {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already holds.
    explicit ComPtr(T* owned) : p_(owned) {}
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out parameters: releases what is held and hands out the slot.
    T** put() {
        reset();
        return &p_;
    }
    // For out parameters typed IUnknown** (Activate, NewWorkItem).
    IUnknown** putUnknown() { return reinterpret_cast<IUnknown**>(put()); }
    void reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    T* detach() { return std::exchange(p_, nullptr); }

    template <class U>
    HRESULT As(const IID& iid, ComPtr<U>& out) const {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(iid, reinterpret_cast<void**>(out.put()));
    }

private:
    T* p_ = nullptr;
};

// A string the COM service allocated, freed with CoTaskMemFree.
class CoTaskString {
public:
    CoTaskString() = default;
    ~CoTaskString() { reset(); }
    CoTaskString(const CoTaskString&) = delete;
    CoTaskString& operator=(const CoTaskString&) = delete;

    wchar_t** put() {
        reset();
        return &text_;
    }
    const wchar_t* get() const { return text_; }
    explicit operator bool() const { return text_ != nullptr; }
    void reset() {
        if (text_) CoTaskMemFree(std::exchange(text_, nullptr));
    }

private:
    wchar_t* text_ = nullptr;
};

}  // namespace zyr::fw
