// CThemeGroup: painting.
#include "skin/ThemeGroup.h"
#include "framework/Gdi.h"
#include "skin/MemDC.h"
#include "skin/Skin.h"

using namespace Gdiplus;

CThemeGroup::CThemeGroup()
    : captionColor(theSkin.txt), borderStart(theSkin.border_start), borderEnd(theSkin.border_end),
      font(CSkin::CreateSkinFont(10, false, false, false)) {}

void CThemeGroup::SetCaption(const std::wstring& text) {
    caption = text;
    if (IsWindow()) Invalidate();
}

void CThemeGroup::SetIcon(const std::wstring& path) {
    icon = LoadSkinImage(nullptr, path);
    if (IsWindow()) Invalidate();
}

void CThemeGroup::Paint(HDC target) {
    const RECT client = ClientRect();
    CMemDCPerm buffer;
    HDC dc = buffer.Begin(target, ToColorRef(theSkin.client), client);
    CopyParentBackground(*this, dc);
    {
        auto g = MakeGraphics(dc);
        if (!font) font = CSkin::CreateSkinFont(12, false, false, false);
        const std::wstring text = caption.empty() ? GetWindowText() : caption;
        const REAL strip = font->GetHeight(g.get());
        const REAL iconWidth = icon ? static_cast<REAL>(icon->GetWidth()) + 4 : 0;
        const SizeF textSize = MeasureSkinText(*g, text, font.get());
        const REAL width = static_cast<REAL>(client.right), height = static_cast<REAL>(client.bottom);
        // The caption's place in the strip, cut out of the frame.
        REAL textX = 10 + iconWidth;
        if (captionAlign == StringAlignmentCenter) textX = (width - textSize.Width) / 2;
        else if (captionAlign == StringAlignmentFar) textX = width - 10 - textSize.Width;
        GraphicsPath frame;
        AddRoundedRect(frame, RectF(0.5f, strip / 2, width - 1.5f, height - strip / 2 - 1.5f), 10, kCornersAll);
        Region clip(RectF(0, 0, width, height));
        if (!text.empty()) clip.Exclude(RectF(textX - 4, 0, textSize.Width + 8, strip));
        if (icon) clip.Exclude(RectF(6, 0, iconWidth + 4, static_cast<REAL>(icon->GetHeight())));
        g->SetClip(&clip);
        LinearGradientBrush borderBrush(RectF(-1, 0, width + 2, height), Color(borderStart), Color(borderEnd), LinearGradientModeHorizontal);
        Pen pen(&borderBrush, 1.0f);
        g->DrawPath(&pen, &frame);
        g->ResetClip();
        if (icon) g->DrawImage(icon.get(), RectF(8, 0, static_cast<REAL>(icon->GetWidth()), static_cast<REAL>(icon->GetHeight())));
        SolidBrush brush{Color(captionColor)};
        // As tall as the measured line and a little wider: a tighter box drops or trims the line.
        DrawSkinText(*g, RectF(textX, 0, textSize.Width + 6, textSize.Height > strip ? textSize.Height : strip), text, font.get(), &brush, StringAlignmentNear,
                     StringAlignmentCenter, nullptr, false, StringFormatFlagsNoWrap);
    }
    ::BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

LRESULT CThemeGroup::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (HandleSelfPaint(*this, msg, wp, [this](HDC dc) { Paint(dc); })) return 0;
    return CWnd::WindowProc(msg, wp, lp);
}
