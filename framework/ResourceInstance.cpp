// The module that holds the program's resources.
#include "framework/ResourceInstance.h"

namespace {
HINSTANCE resourceInstance = nullptr;
}

void SetResourceInstance(HINSTANCE module) { resourceInstance = module; }

HINSTANCE ResourceInstance() {
    return resourceInstance ? resourceInstance : ::GetModuleHandleW(nullptr);
}

std::wstring LoadResourceString(UINT id) {
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(ResourceInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}
