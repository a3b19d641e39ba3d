// CSkin: the process-wide colours, brushes and fonts of the interface (theSkin).
#pragma once
#include <windows.h>
#include "skin/GdiPlus.h"
#include <memory>
#include <string>
#include "skin/SkinColors.h"

// Built during static initialisation (GDI+ starts here) and read by all drawing code.
// The colour fields carry the names of their keys in colors.xml (see SkinColors).
class CSkin : public SkinColors {
public:
    CSkin();
    ~CSkin();
    CSkin(const CSkin&) = delete;
    CSkin& operator=(const CSkin&) = delete;

    // Recreates the ten fonts with the sizes for Japanese; start-up calls it once when
    // LANGID is "ja" (any case), before any window exists.
    void RebuildFontsForLanguage();
    // A new font made from the system's message font; points -1 keeps the system's height.
    static std::unique_ptr<Gdiplus::Font> CreateSkinFont(int points, bool bold, bool italic, bool underline);
    // Reads colors.xml from another folder (tests); false when the file cannot be read.
    bool LoadColorsFrom(const std::wstring& path);

    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;

    std::unique_ptr<Gdiplus::SolidBrush> itemTextBrush, bodyTextBrush, clientBrush;
    std::unique_ptr<Gdiplus::Font> titleFont, titleUnderlineFont, subtitleFont, mediumFont, mediumBoldFont,
        textFont, buttonFont, titleBoldFont, textBoldFont, linkFont;
    HBRUSH clientGdiBrush = nullptr;

private:
    void MakeBrushes();
    void MakeFonts(bool japanese);
};

extern CSkin theSkin;

// An ARGB colour as a GDI COLORREF (alpha dropped).
inline COLORREF ToColorRef(uint32_t argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}
