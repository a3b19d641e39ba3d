// The drawing toolkit shared by the frame, the pages and the controls (GDI+).
#pragma once
#include <windows.h>
#include "skin/GdiPlus.h"
#include <memory>
#include <string>

using SkinImage = std::unique_ptr<Gdiplus::Image>;

// The folder of `module`'s file + `relative`, loaded with GDI+; null when loading fails.
// A null module means the program itself.
SkinImage LoadSkinImage(HMODULE module, const std::wstring& relative);

// Corner bits of AddRoundedRect.
enum : int { kCornerTopLeft = 1, kCornerTopRight = 2, kCornerBottomLeft = 4, kCornerBottomRight = 8, kCornersAll = 15 };
// Adds a closed figure; corners whose bit is set are quarter arcs in a square of `corner`.
void AddRoundedRect(Gdiplus::GraphicsPath& path, const Gdiplus::RectF& rect, float corner, int cornerMask);

// The glossy band at the top of pages and panels, with a soft shadow below it.
void DrawTopBand(Gdiplus::Graphics& g, const Gdiplus::RectF& rect, bool highlighted);
// A rounded panel with its top band; with no surface only the inner rectangle is computed.
// Returns the inner (content) rectangle.
RECT DrawPanel(Gdiplus::Graphics* g, const RECT& rect, bool framed, bool shadowed);

// State: 0 empty, 1 ticked, 2 partly (filled square). Colours in GDI form are drawn opaque.
void DrawSkinCheckBox(Gdiplus::Graphics& g, const Gdiplus::RectF& rect, int state, COLORREF face, COLORREF border,
                      COLORREF markFill, COLORREF mark);
void DrawSkinCheckBoxFlat(Gdiplus::Graphics& g, const Gdiplus::RectF& rect, int state, COLORREF face, COLORREF border,
                          COLORREF markFill, COLORREF mark);
// The matching radio button: a circle, filled dot when checked.
void DrawSkinRadio(Gdiplus::Graphics& g, const Gdiplus::RectF& rect, bool checked, COLORREF face, COLORREF border,
                   COLORREF mark);

// GDI+ text with ellipsis trimming and a line limit. Hot-key prefixes are shown only with a
// hot-key font. Unless `noHint`, fonts above 14 points or bold get anti-aliased grid fit,
// others ClearType grid fit.
void DrawSkinText(Gdiplus::Graphics& g, const Gdiplus::RectF& rect, const std::wstring& text, const Gdiplus::Font* font,
                  const Gdiplus::Brush* brush, Gdiplus::StringAlignment horizontal = Gdiplus::StringAlignmentNear,
                  Gdiplus::StringAlignment vertical = Gdiplus::StringAlignmentNear, const Gdiplus::Font* hotKeyFont = nullptr,
                  bool noHint = false, int extraFormatFlags = 0);
Gdiplus::SizeF MeasureSkinText(Gdiplus::Graphics& g, const std::wstring& text, const Gdiplus::Font* font);

// An image through a saturation matrix (luminance 0.3086, 0.6094, 0.082); 0 gives grey.
void DrawGreyImage(Gdiplus::Graphics& g, Gdiplus::Image* image, int x, int y, int width, int height, float saturation);
// An image with its alpha multiplied by `alpha` (1.0 draws it unchanged).
void DrawImageFaded(Gdiplus::Graphics& g, Gdiplus::Image* image, const Gdiplus::RectF& rect, float alpha);

// Conversions.
inline Gdiplus::RectF ToRectF(const RECT& r) {
    return Gdiplus::RectF(static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.right - r.left),
                          static_cast<float>(r.bottom - r.top));
}
inline Gdiplus::Color OpaqueColor(COLORREF c) { return Gdiplus::Color(255, GetRValue(c), GetGValue(c), GetBValue(c)); }
// A Graphics on a DC with the program's quality settings (anti-aliasing, high-quality images).
std::unique_ptr<Gdiplus::Graphics> MakeGraphics(HDC dc);
