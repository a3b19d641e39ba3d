// CThemeLabel: a static text drawn with the skin's colours and fonts over the parent's background.
#pragma once
#include "skin/GdiPlus.h"
#include <memory>
#include <string>
#include "framework/Wnd.h"

class CThemeLabel : public CWnd {
public:
    CThemeLabel();
    bool SubclassDlgItem(UINT id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id))); }

    // Replaces the font by a skin font of `size` points.
    void SetFont(int size, bool bold);
    void SetColors(uint32_t text, uint32_t fill);
    void SetBorder(float width);
    // The text's width and height in the label's font, plus twice the border, plus 1.
    SIZE MeasureText();
    // Where the text goes: the client area less the border on every side.
    Gdiplus::RectF TextRect() const;

    uint32_t textColor;
    uint32_t borderColor = 0x9BFFFFFF;
    uint32_t fillColor;
    float borderWidth = 0.0f;
    Gdiplus::StringTrimming trimming = Gdiplus::StringTrimmingEllipsisCharacter;
    Gdiplus::StringAlignment alignment = Gdiplus::StringAlignmentNear;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    const Gdiplus::Font* EnsureFont();
    void Paint(HDC target);
    std::unique_ptr<Gdiplus::Font> font;
};
