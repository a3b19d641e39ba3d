// The drawing toolkit shared by the frame, the pages and the controls (GDI+).
#include "skin/Toolkit.h"
#include "skin/Skin.h"
#include <algorithm>

using namespace Gdiplus;

SkinImage LoadSkinImage(HMODULE module, const std::wstring& relative) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring full(path);
    const size_t slash = full.rfind(L'\\');
    full.resize(slash == std::wstring::npos ? 0 : slash + 1);
    full += relative;
    for (wchar_t& c : full)
        if (c == L'/') c = L'\\';
    if (::GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES) return nullptr;
    auto image = std::make_unique<Image>(full.c_str());
    if (image->GetLastStatus() != Ok || image->GetWidth() == 0) return nullptr;
    return image;
}

void AddRoundedRect(GraphicsPath& path, const RectF& r, float corner, int mask) {
    const float d = std::min({corner, r.Width, r.Height});
    const float right = r.X + r.Width, bottom = r.Y + r.Height;
    path.StartFigure();
    if (mask & kCornerTopLeft) path.AddArc(r.X, r.Y, d, d, 180.0f, 90.0f);
    else path.AddLine(r.X, r.Y, r.X, r.Y);
    if (mask & kCornerTopRight) path.AddArc(right - d, r.Y, d, d, 270.0f, 90.0f);
    else path.AddLine(right, r.Y, right, r.Y);
    if (mask & kCornerBottomRight) path.AddArc(right - d, bottom - d, d, d, 0.0f, 90.0f);
    else path.AddLine(right, bottom, right, bottom);
    if (mask & kCornerBottomLeft) path.AddArc(r.X, bottom - d, d, d, 90.0f, 90.0f);
    else path.AddLine(r.X, bottom, r.X, bottom);
    path.CloseFigure();
}

void DrawTopBand(Graphics& g, const RectF& rect, bool highlighted) {
    if (rect.Width <= 0 || rect.Height <= 0) return;
    const Color start(highlighted ? theSkin.top_bg_hl_start : theSkin.top_bg_start);
    const Color end(highlighted ? theSkin.top_bg_hl_end : theSkin.top_bg_end);
    // Soft shadow under the band.
    RectF shadow(rect.X + 2, rect.Y + rect.Height - 2, rect.Width - 4, 6);
    LinearGradientBrush shadowBrush(shadow, Color(0x14, 0, 0, 0), Color(0x05, 0, 0, 0), LinearGradientModeVertical);
    GraphicsPath shadowPath;
    AddRoundedRect(shadowPath, shadow, 6, kCornerBottomLeft | kCornerBottomRight);
    g.FillPath(&shadowBrush, &shadowPath);
    // The band.
    GraphicsPath band;
    AddRoundedRect(band, rect, 10, kCornersAll);
    RectF gradientRect(rect.X, rect.Y - 1, rect.Width, rect.Height + 2);
    LinearGradientBrush fill(gradientRect, start, end, LinearGradientModeVertical);
    g.FillPath(&fill, &band);
    // White gloss over the upper half.
    RectF gloss(rect.X + 1, rect.Y + 1, rect.Width - 2, rect.Height * 0.5f);
    GraphicsPath glossPath;
    AddRoundedRect(glossPath, gloss, 9, kCornerTopLeft | kCornerTopRight);
    RectF glossGradient(gloss.X, gloss.Y - 1, gloss.Width, gloss.Height + 2);
    LinearGradientBrush glossBrush(glossGradient, Color(0x41, 255, 255, 255), Color(0x05, 255, 255, 255), LinearGradientModeVertical);
    g.FillPath(&glossBrush, &glossPath);
    Pen edge(Color(0x30, 0, 0, 0), 1.0f);
    g.DrawPath(&edge, &band);
}

RECT DrawPanel(Graphics* g, const RECT& rect, bool framed, bool shadowed) {
    constexpr int kBand = 28;
    RECT inner = rect;
    inner.left += 6;
    inner.right -= 6;
    inner.top += kBand + 4;
    inner.bottom -= 6;
    if (!g) return inner;
    RectF r = ToRectF(rect);
    if (shadowed) {
        GraphicsPath shadow;
        AddRoundedRect(shadow, RectF(r.X + 2, r.Y + 3, r.Width - 2, r.Height - 2), 10, kCornersAll);
        SolidBrush shadowBrush(Color(0x12, 0, 0, 0));
        g->FillPath(&shadowBrush, &shadow);
        r.Width -= 2;
        r.Height -= 2;
    }
    GraphicsPath body;
    AddRoundedRect(body, r, 10, kCornersAll);
    SolidBrush fill(Color(0xFF, 0xFF, 0xFF, 0xFF));
    g->FillPath(&fill, &body);
    DrawTopBand(*g, RectF(r.X, r.Y, r.Width, static_cast<float>(kBand)), false);
    if (framed) {
        Pen edge(Color(0x40, 0x40, 0x50, 0x60), 1.0f);
        g->DrawPath(&edge, &body);
    }
    return inner;
}

namespace {

void DrawTick(Graphics& g, const RectF& r, COLORREF mark) {
    Pen pen(OpaqueColor(mark), 1.8f);
    pen.SetLineJoin(LineJoinRound);
    pen.SetStartCap(LineCapRound);
    pen.SetEndCap(LineCapRound);
    PointF points[3] = {PointF(r.X + 0.15f * r.Width, r.Y + 0.45f * r.Height), PointF(r.X + 0.35f * r.Width, r.Y + 0.75f * r.Height),
                        PointF(r.X + 0.85f * r.Width, r.Y + 0.25f * r.Height)};
    g.DrawLines(&pen, points, 3);
}

void DrawMark(Graphics& g, const RectF& rect, int state, COLORREF markFill, COLORREF mark, float corner) {
    if (state == 2) {
        RectF fillRect(rect.X + 3, rect.Y + 3, rect.Width - 6, rect.Height - 6);
        SolidBrush brush(OpaqueColor(markFill));
        if (corner > 0) {
            GraphicsPath path;
            AddRoundedRect(path, fillRect, corner / 2, kCornersAll);
            g.FillPath(&brush, &path);
        } else {
            g.FillRectangle(&brush, fillRect);
        }
    } else if (state == 1) {
        DrawTick(g, rect, mark);
    }
}

}  // namespace

void DrawSkinCheckBox(Graphics& g, const RectF& rect, int state, COLORREF face, COLORREF border, COLORREF markFill,
                      COLORREF mark) {
    GraphicsPath path;
    AddRoundedRect(path, RectF(rect.X, rect.Y, rect.Width - 1, rect.Height - 1), 4, kCornersAll);
    LinearGradientBrush fill(rect, OpaqueColor(face), Color(255, 0xEE, 0xF1, 0xF5), LinearGradientModeVertical);
    g.FillPath(&fill, &path);
    Pen pen(OpaqueColor(border), 1.0f);
    g.DrawPath(&pen, &path);
    DrawMark(g, rect, state, markFill, mark, 4);
}

void DrawSkinCheckBoxFlat(Graphics& g, const RectF& rect, int state, COLORREF face, COLORREF border, COLORREF markFill,
                          COLORREF mark) {
    RectF box(rect.X, rect.Y, rect.Width - 1, rect.Height - 1);
    SolidBrush fill(OpaqueColor(face));
    g.FillRectangle(&fill, box);
    Pen pen(OpaqueColor(border), 1.0f);
    g.DrawRectangle(&pen, box);
    DrawMark(g, rect, state, markFill, mark, 0);
}

void DrawSkinRadio(Graphics& g, const RectF& rect, bool checked, COLORREF face, COLORREF border, COLORREF mark) {
    RectF circle(rect.X, rect.Y, rect.Width - 1, rect.Height - 1);
    SolidBrush fill(OpaqueColor(face));
    g.FillEllipse(&fill, circle);
    Pen pen(OpaqueColor(border), 1.0f);
    g.DrawEllipse(&pen, circle);
    if (checked) {
        const float inset = std::max(3.0f, rect.Width * 0.28f);
        SolidBrush dot(OpaqueColor(mark));
        g.FillEllipse(&dot, RectF(circle.X + inset, circle.Y + inset, circle.Width - 2 * inset, circle.Height - 2 * inset));
    }
}

void DrawSkinText(Graphics& g, const RectF& rect, const std::wstring& text, const Font* font, const Brush* brush,
                  StringAlignment horizontal, StringAlignment vertical, const Font* hotKeyFont, bool noHint,
                  int extraFormatFlags) {
    if (!font || !brush || text.empty()) return;
    StringFormat format;
    format.SetAlignment(horizontal);
    format.SetLineAlignment(vertical);
    format.SetTrimming(StringTrimmingEllipsisCharacter);
    format.SetFormatFlags(StringFormatFlagsLineLimit | extraFormatFlags);
    format.SetHotkeyPrefix(hotKeyFont ? HotkeyPrefixShow : HotkeyPrefixHide);
    if (!noHint) {
        const float points = font->GetUnit() == UnitPoint ? font->GetSize() : font->GetSize() * 72.0f / 96.0f;
        const bool bold = (font->GetStyle() & FontStyleBold) != 0;
        g.SetTextRenderingHint(points > 14.0f || bold ? TextRenderingHintAntiAliasGridFit : TextRenderingHintClearTypeGridFit);
    }
    g.DrawString(text.c_str(), static_cast<INT>(text.size()), font, rect, &format, brush);
}

SizeF MeasureSkinText(Graphics& g, const std::wstring& text, const Font* font) {
    if (!font || text.empty()) return SizeF(0, 0);
    RectF bounds;
    StringFormat format(StringFormat::GenericTypographic());
    format.SetFormatFlags(format.GetFormatFlags() | StringFormatFlagsMeasureTrailingSpaces);
    g.MeasureString(text.c_str(), static_cast<INT>(text.size()), font, PointF(0, 0), &format, &bounds);
    return SizeF(bounds.Width, bounds.Height);
}

void DrawGreyImage(Graphics& g, Image* image, int x, int y, int width, int height, float s) {
    if (!image) return;
    const float r = 0.3086f * (1 - s), gr = 0.6094f * (1 - s), b = 0.082f * (1 - s);
    ColorMatrix matrix = {{{r + s, r, r, 0, 0}, {gr, gr + s, gr, 0, 0}, {b, b, b + s, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}}};
    ImageAttributes attributes;
    attributes.SetColorMatrix(&matrix);
    g.DrawImage(image, Rect(x, y, width, height), 0, 0, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()),
                UnitPixel, &attributes);
}

void DrawImageFaded(Graphics& g, Image* image, const RectF& rect, float alpha) {
    if (!image) return;
    ColorMatrix matrix = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, alpha, 0}, {0, 0, 0, 0, 1}}};
    ImageAttributes attributes;
    attributes.SetColorMatrix(&matrix);
    g.DrawImage(image, rect, 0, 0, static_cast<REAL>(image->GetWidth()), static_cast<REAL>(image->GetHeight()), UnitPixel,
                &attributes);
}

std::unique_ptr<Graphics> MakeGraphics(HDC dc) {
    auto g = std::make_unique<Graphics>(dc);
    g->SetSmoothingMode(SmoothingModeAntiAlias);
    g->SetInterpolationMode(InterpolationModeHighQualityBilinear);
    g->SetPixelOffsetMode(PixelOffsetModeHalf);
    g->SetTextRenderingHint(TextRenderingHintClearTypeGridFit);
    return g;
}
