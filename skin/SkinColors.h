// The colours of the skin as colors.xml gives them (portable: no Windows headers).
#pragma once
#include <cstdint>
#include <string>

namespace pug { class xml_node; }

// ARGB colours in the GDI+ layout, named after their keys in colors.xml.
// A key that is missing or malformed is opaque white.
struct SkinColors {
    static constexpr uint32_t kMissing = 0xFFFFFFFFu;

    // colors
    uint32_t body_text = kMissing, frame_grad_start = kMissing, frame_grad_end = kMissing;
    uint32_t tab_highlight = kMissing, tab_text = kMissing, client = kMissing, client_trim = kMissing;
    uint32_t progress_text = kMissing, progress_text_detected = kMissing, progress_text_detected_lower = kMissing;
    uint32_t results_health_text = kMissing, tfn_frame_text = kMissing, tfn_html_text = kMissing;
    // controls
    uint32_t link_text = kMissing;
    // controls > checkbox
    uint32_t box = kMissing, shade = kMissing;
    // controls > dlg
    uint32_t top_bg_start = kMissing, top_bg_end = kMissing, top_bg_hl_start = kMissing, top_bg_hl_end = kMissing;
    // controls > list
    uint32_t bg = kMissing, group_bg = kMissing, group_txt = kMissing, group_border = kMissing;
    uint32_t root_text = kMissing, root_bg = kMissing, root_bg2 = kMissing;
    uint32_t item_first_col = kMissing, item_text = kMissing, item_bg = kMissing, malware_text = kMissing, line = kMissing;
    // controls > group
    uint32_t txt = kMissing, border_start = kMissing, border_end = kMissing;
    // controls > button
    uint32_t text = kMissing, start = kMissing, end = kMissing, overstart = kMissing, overend = kMissing;
    uint32_t starttext = kMissing;
    uint32_t fixstart = kMissing, fixend = kMissing, fixoverstart = kMissing, fixoverend = kMissing;
    uint32_t malfixstart = kMissing, malfixend = kMissing, malfixoverstart = kMissing, malfixoverend = kMissing;
    // controls > home_screen_setting
    uint32_t home_screen_settings_background = kMissing, home_screen_settings_control_border = kMissing;
    uint32_t home_screen_settings_text = kMissing, home_screen_settings_list_background = kMissing;
};

// Reads every key from a colour document (the text is parsed in a private copy).
SkinColors ReadSkinColors(const std::wstring& documentText);

// One colour element: exactly four children (alpha, red, green, blue), else kMissing.
uint32_t ReadColorElement(const pug::xml_node& element);

// A colour component: decimal text with leading blanks and a sign; conversion stops at the
// first non-digit (no digits: 0); only the low 8 bits count (256 gives 0, -1 gives 255).
uint32_t ParseColorByte(const wchar_t* text);

// The font sizes of the skin.
enum class SkinFontId { Title, TitleUnderline, Subtitle, Medium, MediumBold, Text, Button, TitleBold, TextBold, Link, Count };
struct SkinFontStyle {
    int baseSize;
    int baseSizeJa;
    bool bold;
    bool underline;
};
const SkinFontStyle& SkinFontStyleOf(SkinFontId id);
// Points handed to the font maker: trunc((96 / horizontal dpi) * base size), in single precision.
int SkinFontPoints(int baseSize, int dpiX);
// Pixel height of a font of `points`: -round(points * dpiY / 72), as MulDiv rounds.
int SkinFontHeight(int points, int dpiY);
// True when the LANGID value asks for the Japanese sizes ("ja", any case).
bool IsJapaneseLanguage(const std::wstring& langId);
