// Stand-ins for the Windows-only calls on systems without process tokens or a debugger output.
#include "engine/platform_calls.h"

#include <cstdio>
#include <cstdlib>

namespace zyr::engine {

void EnableDebugPrivilege() noexcept {}

void WriteDebugOutput(const std::wstring& line) noexcept {
    if (!std::getenv("ZYR_DEBUG_OUTPUT")) return;
    std::string utf8;
    for (wchar_t c : line) {
        const auto u = static_cast<uint32_t>(c);
        if (u < 0x80) {
            utf8 += static_cast<char>(u);
        } else if (u < 0x800) {
            utf8 += static_cast<char>(0xC0 | (u >> 6));
            utf8 += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | ((u >> 12) & 0x0F));
            utf8 += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    std::fprintf(stderr, "%s\n", utf8.c_str());
}

}  // namespace zyr::engine
