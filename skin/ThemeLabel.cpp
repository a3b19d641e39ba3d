// CThemeLabel: painting and measuring.
#include "skin/ThemeLabel.h"
#include "framework/Gdi.h"
#include "skin/MemDC.h"
#include "skin/Skin.h"
#include "skin/Toolkit.h"

using namespace Gdiplus;

CThemeLabel::CThemeLabel() : textColor(theSkin.body_text), fillColor(theSkin.client) {}

void CThemeLabel::SetFont(int size, bool bold) {
    font = CSkin::CreateSkinFont(size, bold, false, false);
    if (IsWindow()) Invalidate();
}

void CThemeLabel::SetColors(uint32_t text, uint32_t fill) {
    textColor = text;
    fillColor = fill;
    if (IsWindow()) Invalidate();
}

void CThemeLabel::SetBorder(float width) {
    borderWidth = width;
    if (IsWindow()) Invalidate();
}

const Font* CThemeLabel::EnsureFont() {
    if (!font) font = CSkin::CreateSkinFont(-1, false, false, false);
    return font.get();
}

RectF CThemeLabel::TextRect() const {
    const RECT client = ClientRect();
    return RectF(borderWidth, borderWidth, static_cast<REAL>(client.right) - 2 * borderWidth,
                 static_cast<REAL>(client.bottom) - 2 * borderWidth);
}

SIZE CThemeLabel::MeasureText() {
    WindowDc screen(nullptr);
    Graphics g(screen.get());
    const SizeF size = MeasureSkinText(g, GetWindowText(), EnsureFont());
    return SIZE{static_cast<LONG>(size.Width + 2 * borderWidth + 1), static_cast<LONG>(size.Height + 2 * borderWidth + 1)};
}

void CThemeLabel::Paint(HDC target) {
    const RECT client = ClientRect();
    CMemDCPerm buffer;
    HDC dc = buffer.Begin(target, ToColorRef(fillColor), client);
    const bool buffered = CopyParentBackground(*this, dc);
    HDC drawTo = buffered ? dc : target;
    {
        auto g = MakeGraphics(drawTo);
        if (!buffered) {
            SolidBrush fill{Color(fillColor)};
            g->FillRectangle(&fill, ToRectF(client));
        }
        if (borderWidth > 0) {
            GraphicsPath path;
            const REAL half = borderWidth / 2;
            AddRoundedRect(path, RectF(half, half, static_cast<REAL>(client.right) - borderWidth, static_cast<REAL>(client.bottom) - borderWidth),
                           5, kCornersAll);
            Pen pen(Color(borderColor), borderWidth);
            g->DrawPath(&pen, &path);
        }
        StringFormat format;
        format.SetTrimming(trimming);
        format.SetAlignment(alignment);
        format.SetHotkeyPrefix(HotkeyPrefixHide);
        SolidBrush brush{Color(textColor)};
        const std::wstring text = GetWindowText();
        g->SetTextRenderingHint(TextRenderingHintClearTypeGridFit);
        g->DrawString(text.c_str(), static_cast<INT>(text.size()), EnsureFont(), TextRect(), &format, &brush);
    }
    if (buffered) ::BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

LRESULT CThemeLabel::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (HandleSelfPaint(*this, msg, wp, [this](HDC dc) { Paint(dc); })) return 0;
    switch (msg) {
    case WM_SETTEXT: {
        const LRESULT result = Default();
        Invalidate();
        return result;
    }
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}
