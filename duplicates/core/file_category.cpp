// The extension table, filled in a fixed order by CTavrinEngine, and the lookup of a name's kind.
#include "duplicates/core/file_category.h"

#include "duplicates/core/text_utf.h"

namespace zyr::dup {
namespace {

std::map<std::wstring, uint32_t>& Table() {
    static std::map<std::wstring, uint32_t> table;
    return table;
}

struct Entry {
    const wchar_t* extension;
    uint32_t category;
};

// In insertion order; an extension inserted twice keeps its first value.
constexpr Entry kEntries[] = {
    {L".wav", CategoryAudio}, {L".mp3", CategoryAudio}, {L".mp2", CategoryAudio},
    {L".aac", CategoryAudio}, {L".aif", CategoryAudio}, {L".m3u", CategoryAudio},
    {L".mid", CategoryAudio}, {L".midi", CategoryAudio}, {L".mpa", CategoryAudio},
    {L".ra", CategoryAudio}, {L".wma", CategoryAudio},

    {L".doc", CategoryDocument}, {L".docx", CategoryDocument}, {L".msg", CategoryDocument},
    {L".rtf", CategoryDocument}, {L".txt", CategoryDocument}, {L".wpd", CategoryDocument},
    {L".pdf", CategoryDocument}, {L".xls", CategoryDocument}, {L".xlsx", CategoryDocument},
    {L".odt", CategoryDocument},

    {L".jpg", CategoryImage}, {L".img", CategoryImage}, {L".bmp", CategoryImage},
    {L".gif", CategoryImage}, {L".pct", CategoryImage}, {L".png", CategoryImage},
    {L".tif", CategoryImage}, {L".ico", CategoryImage}, {L".nef", CategoryImage},
    {L".crw", CategoryImage}, {L".psd", CategoryImage}, {L".dcr", CategoryImage},
    {L".ai", CategoryImage}, {L".dwg", CategoryImage}, {L".cd5", CategoryImage},
    {L".fits", CategoryImage}, {L".ilbm", CategoryImage}, {L".img", CategoryImage},
    {L".jpeg", CategoryImage}, {L".pcx", CategoryImage}, {L".pbm", CategoryImage},
    {L".ppm", CategoryImage}, {L".pgf", CategoryImage}, {L".pgm", CategoryImage},
    {L".psd", CategoryImage}, {L".tga", CategoryImage}, {L".sid", CategoryImage},
    {L".tiff", CategoryImage},

    {L".avi", CategoryVideo}, {L".divx", CategoryVideo}, {L".flv", CategoryVideo},
    {L".mov", CategoryVideo}, {L".mp4", CategoryVideo}, {L".rm", CategoryVideo},
    {L".swf", CategoryVideo}, {L".wmv", CategoryVideo}, {L".mpeg", CategoryVideo},
    {L".mpeg2", CategoryVideo}, {L".mpg", CategoryVideo}, {L".mkv", CategoryVideo},
};

}  // namespace

const std::map<std::wstring, uint32_t>& ExtensionTable() { return Table(); }

}  // namespace zyr::dup

CTavrinEngine::CTavrinEngine() {
    auto& table = zyr::dup::Table();
    for (const auto& entry : zyr::dup::kEntries) table.emplace(entry.extension, entry.category);
}

uint32_t GetFileCategory(const std::wstring& name) {
    const auto& table = zyr::dup::Table();
    const size_t dot = name.rfind(L'.');
    const auto found = dot == std::wstring::npos ? table.find(name)
                                                 : table.find(zyr::dup::LowercaseAscii(name.substr(dot)));
    return found == table.end() ? CategoryOther : found->second;
}
