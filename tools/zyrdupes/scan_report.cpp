// Text and JSON forms of the found sets.
#include "tools/zyrdupes/scan_report.h"

#include "duplicates/core/text_utf.h"

#include <cstdio>

namespace zyr::dup {
namespace {

void AppendJsonString(std::string& out, const std::wstring& text) {
    out.push_back('"');
    for (wchar_t c : text) {
        const auto u = static_cast<uint32_t>(c) & 0xFFFF;
        if (u == '"' || u == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(u));
        } else if (u >= 0x20 && u < 0x7F) {
            out.push_back(static_cast<char>(u));
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(u));
            out += escape;
        }
    }
    out.push_back('"');
}

}  // namespace

std::string FormatSetsAsText(const std::vector<CDuplicateFileList>& sets) {
    std::string out;
    for (const auto& set : sets) {
        out += std::to_string(set.size) + ' ' + WideToUtf8(set.hash) + ' ' + std::to_string(set.category) + '\n';
        for (const auto& file : set.files) out += WideToUtf8(file) + '\n';
        out += '\n';
    }
    return out;
}

std::string FormatSetsAsJson(const std::vector<CDuplicateFileList>& sets) {
    std::string out = "[";
    for (size_t i = 0; i < sets.size(); ++i) {
        const auto& set = sets[i];
        out += i ? ",\n" : "\n";
        out += "{\"size\":" + std::to_string(set.size) + ",\"hash\":";
        AppendJsonString(out, set.hash);
        out += ",\"category\":" + std::to_string(set.category) + ",\"files\":[";
        for (size_t k = 0; k < set.files.size(); ++k) {
            if (k) out += ',';
            AppendJsonString(out, set.files[k]);
        }
        out += "]}";
    }
    out += "\n]\n";
    return out;
}

}  // namespace zyr::dup
