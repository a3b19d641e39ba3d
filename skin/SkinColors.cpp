// Reading colors.xml into the skin's colours, and the skin's font sizes.
#include "skin/SkinColors.h"
#include "skin/xml/xml_parser.h"
#include <cmath>
#include <vector>

namespace {

// The groups: "colors" anywhere, "controls" inside "colors", the rest inside "controls".
enum Group { kColors, kControls, kCheckbox, kDlg, kList, kGroup, kButton, kHomeScreen, kGroupCount };

struct KeyEntry {
    Group group;
    const wchar_t* key;
    uint32_t SkinColors::*field;
};

// In the order of the file format's table.
const KeyEntry kKeys[] = {
    {kColors, L"body_text", &SkinColors::body_text},
    {kColors, L"frame_grad_start", &SkinColors::frame_grad_start},
    {kColors, L"frame_grad_end", &SkinColors::frame_grad_end},
    {kColors, L"tab_highlight", &SkinColors::tab_highlight},
    {kColors, L"tab_text", &SkinColors::tab_text},
    {kColors, L"client", &SkinColors::client},
    {kColors, L"client_trim", &SkinColors::client_trim},
    {kColors, L"progress_text", &SkinColors::progress_text},
    {kColors, L"progress_text_detected", &SkinColors::progress_text_detected},
    {kColors, L"progress_text_detected_lower", &SkinColors::progress_text_detected_lower},
    {kColors, L"results_health_text", &SkinColors::results_health_text},
    {kColors, L"tfn_frame_text", &SkinColors::tfn_frame_text},
    {kColors, L"tfn_html_text", &SkinColors::tfn_html_text},
    {kControls, L"link_text", &SkinColors::link_text},
    {kCheckbox, L"box", &SkinColors::box},
    {kCheckbox, L"shade", &SkinColors::shade},
    {kDlg, L"top_bg_start", &SkinColors::top_bg_start},
    {kDlg, L"top_bg_end", &SkinColors::top_bg_end},
    {kDlg, L"top_bg_hl_start", &SkinColors::top_bg_hl_start},
    {kDlg, L"top_bg_hl_end", &SkinColors::top_bg_hl_end},
    {kList, L"bg", &SkinColors::bg},
    {kList, L"group_bg", &SkinColors::group_bg},
    {kList, L"group_txt", &SkinColors::group_txt},
    {kList, L"group_border", &SkinColors::group_border},
    {kList, L"root_text", &SkinColors::root_text},
    {kList, L"root_bg", &SkinColors::root_bg},
    {kList, L"root_bg2", &SkinColors::root_bg2},
    {kList, L"item_first_col", &SkinColors::item_first_col},
    {kList, L"item_text", &SkinColors::item_text},
    {kList, L"item_bg", &SkinColors::item_bg},
    {kList, L"malware_text", &SkinColors::malware_text},
    {kList, L"line", &SkinColors::line},
    {kGroup, L"txt", &SkinColors::txt},
    {kGroup, L"border_start", &SkinColors::border_start},
    {kGroup, L"border_end", &SkinColors::border_end},
    {kButton, L"text", &SkinColors::text},
    {kButton, L"start", &SkinColors::start},
    {kButton, L"end", &SkinColors::end},
    {kButton, L"overstart", &SkinColors::overstart},
    {kButton, L"overend", &SkinColors::overend},
    {kButton, L"starttext", &SkinColors::starttext},
    {kButton, L"fixstart", &SkinColors::fixstart},
    {kButton, L"fixend", &SkinColors::fixend},
    {kButton, L"fixoverstart", &SkinColors::fixoverstart},
    {kButton, L"fixoverend", &SkinColors::fixoverend},
    {kButton, L"malfixstart", &SkinColors::malfixstart},
    {kButton, L"malfixend", &SkinColors::malfixend},
    {kButton, L"malfixoverstart", &SkinColors::malfixoverstart},
    {kButton, L"malfixoverend", &SkinColors::malfixoverend},
    {kHomeScreen, L"home_screen_settings_background", &SkinColors::home_screen_settings_background},
    {kHomeScreen, L"home_screen_settings_control_border", &SkinColors::home_screen_settings_control_border},
    {kHomeScreen, L"home_screen_settings_text", &SkinColors::home_screen_settings_text},
    {kHomeScreen, L"home_screen_settings_list_background", &SkinColors::home_screen_settings_list_background},
};

const SkinFontStyle kFonts[] = {
    {22, 18, false, false},  // title
    {22, 18, false, true},   // title underlined
    {9, 8, false, false},    // subtitle
    {13, 10, false, false},  // medium
    {13, 10, true, false},   // medium bold
    {9, 8, false, false},    // text
    {9, 8, false, false},    // button
    {22, 18, true, false},   // title bold
    {9, 8, true, false},     // text bold
    {9, 8, false, true},     // link
};
static_assert(sizeof(kFonts) / sizeof(kFonts[0]) == static_cast<size_t>(SkinFontId::Count));

}  // namespace

uint32_t ParseColorByte(const wchar_t* text) {
    if (!text) return 0;
    while (*text == L' ' || *text == L'\t' || *text == L'\n' || *text == L'\r' || *text == L'\v' || *text == L'\f') ++text;
    bool negative = false;
    if (*text == L'-' || *text == L'+') negative = *text++ == L'-';
    uint32_t value = 0;  // modulo 2^32: only the low byte is kept in the end
    for (; *text >= L'0' && *text <= L'9'; ++text) value = value * 10u + static_cast<uint32_t>(*text - L'0');
    if (negative) value = 0u - value;
    return value & 0xFFu;
}

uint32_t ReadColorElement(const pug::xml_node& element) {
    if (element.empty() || element.child_count() != 4) return SkinColors::kMissing;
    uint32_t color = 0;
    for (size_t i = 0; i < 4; ++i) {
        wchar_t buffer[64] = {};
        if (!element.child(i).text(buffer, 63)) buffer[0] = 0;
        color = (color << 8) | ParseColorByte(buffer);
    }
    return color;
}

SkinColors ReadSkinColors(const std::wstring& documentText) {
    std::vector<wchar_t> text(documentText.begin(), documentText.end());
    text.push_back(L'\0');
    pug::xml_parser parser;
    parser.parse(text.data());

    pug::xml_node groups[kGroupCount];
    groups[kColors] = parser.document().find_element(L"colors");
    groups[kControls] = groups[kColors].find_element(L"controls");
    groups[kCheckbox] = groups[kControls].find_element(L"checkbox");
    groups[kDlg] = groups[kControls].find_element(L"dlg");
    groups[kList] = groups[kControls].find_element(L"list");
    groups[kGroup] = groups[kControls].find_element(L"group");
    groups[kButton] = groups[kControls].find_element(L"button");
    groups[kHomeScreen] = groups[kControls].find_element(L"home_screen_setting");

    SkinColors colors;
    for (const KeyEntry& entry : kKeys) {
        const pug::xml_node& group = groups[entry.group];
        colors.*entry.field = group.empty() ? SkinColors::kMissing : ReadColorElement(group.find_element(entry.key));
    }
    return colors;
}

const SkinFontStyle& SkinFontStyleOf(SkinFontId id) { return kFonts[static_cast<size_t>(id)]; }

int SkinFontPoints(int baseSize, int dpiX) {
    if (dpiX <= 0) dpiX = 96;
    const float scale = 96.0f / static_cast<float>(dpiX);
    return static_cast<int>(scale * static_cast<float>(baseSize));
}

int SkinFontHeight(int points, int dpiY) {
    // MulDiv rounds half away from zero.
    const long long product = static_cast<long long>(points) * dpiY;
    const long long rounded = (product >= 0 ? product + 36 : product - 36) / 72;
    return -static_cast<int>(rounded);
}

bool IsJapaneseLanguage(const std::wstring& langId) {
    return langId.size() == 2 && (langId[0] == L'j' || langId[0] == L'J') && (langId[1] == L'a' || langId[1] == L'A');
}
