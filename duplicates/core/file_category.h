// File categories: the process-wide extension table, CTavrinEngine that fills it, GetFileCategory.
#pragma once
#include <cstdint>
#include <map>
#include <string>

// Kinds of files a scan can be restricted to. In a scan mask, CategoryOther means every file.
enum FileCategory : uint32_t {
    CategoryAudio = 1,
    CategoryVideo = 2,
    CategoryImage = 4,
    CategoryDocument = 8,
    CategoryOther = 16,
};

// Fills the extension table once at construction; the main frame keeps the one instance.
class CTavrinEngine {
public:
    CTavrinEngine();
    virtual ~CTavrinEngine() = default;
};

// The category of a file name or full path, decided by the text after the last dot.
uint32_t GetFileCategory(const std::wstring& name);

namespace zyr::dup {
// The extension table (lowercase extension with its dot -> category). Read-only once filled.
const std::map<std::wstring, uint32_t>& ExtensionTable();
}  // namespace zyr::dup
