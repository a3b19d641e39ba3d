// CGlassButton: drawing, hover tracking and animation.
#include "skin/GlassButton.h"
#include "framework/Gdi.h"
#include "skin/MemDC.h"
#include "skin/Skin.h"

using namespace Gdiplus;

void DrawGlassFace(Graphics& g, float x, float y, float w, float h, Color start, Color end, bool hot) {
    if (w <= 8 || h <= 4) return;
    // Shadow: a 3-pixel strip along the left and bottom edges.
    {
        Region shadow(RectF(x, y, w - 4, h));
        shadow.Exclude(RectF(x + 3, y, w - 7, h - 3));
        LinearGradientBrush brush(RectF(x, y, w - 4, h), Color(0x05, 0, 0, 0), Color(0x14, 0, 0, 0), LinearGradientModeBackwardDiagonal);
        g.FillRegion(&brush, &shadow);
    }
    const RectF face(x + 3, y, w - 4, h - 3);
    g.SetClip(face);
    LinearGradientBrush base(RectF(face.X, face.Y - 1, face.Width, face.Height + 2), start, end, LinearGradientModeVertical);
    g.FillRectangle(&base, face);
    {
        GraphicsPath sheenPath;
        sheenPath.AddRectangle(face);
        PathGradientBrush sheen(&sheenPath);
        sheen.SetCenterColor(Color(0x00, 255, 255, 255));
        Color surround(0x0F, 255, 255, 255);
        INT count = 1;
        sheen.SetSurroundColors(&surround, &count);
        sheen.SetFocusScales(0.9f, 0.8f);
        g.FillRectangle(&sheen, face);
    }
    {
        LinearGradientBrush edgeBrush(RectF(face.X, face.Y, face.Width / 2, face.Height / 2),
                                      hot ? Color(0x37, 255, 255, 255) : Color(0x05, 255, 255, 255),
                                      hot ? Color(0xFA, 255, 255, 255) : Color(0xB9, 255, 255, 255), LinearGradientModeForwardDiagonal);
        edgeBrush.SetWrapMode(WrapModeTileFlipXY);
        Pen edge(&edgeBrush, 1.9f);
        g.DrawRectangle(&edge, face);
    }
    {
        GraphicsPath gloss(FillModeAlternate);
        gloss.AddEllipse(RectF(face.X - 20, face.Y + face.Height / 6, face.Width * 2, face.Height * 1.5f));
        gloss.AddRectangle(face);
        LinearGradientBrush glossBrush(RectF(face.X - 1, face.Y, face.Width + 2, face.Height), Color(0x41, 255, 255, 255),
                                       Color(0x05, 255, 255, 255), LinearGradientModeHorizontal);
        g.FillPath(&glossBrush, &gloss);
    }
    g.ResetClip();
}

CGlassButton::CGlassButton()
    : faceStart(theSkin.start), faceEnd(theSkin.end), hotStart(theSkin.overstart), hotEnd(theSkin.overend),
      textColor(theSkin.text), backColor(ToColorRef(theSkin.client)) {}

bool CGlassButton::SubclassDlgItem(UINT id, HWND parent) {
    HWND control = ::GetDlgItem(parent, static_cast<int>(id));
    if (!control || !SubclassWindow(control)) return false;
    LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
    ::SetWindowLongPtrW(control, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
    Invalidate();
    return true;
}

bool CGlassButton::Create(const std::wstring& text, const RECT& rect, HWND parent, UINT id) {
    return CreateEx(0, L"BUTTON", text.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, rect, parent, id);
}

void CGlassButton::SetIcon(const std::wstring& path) {
    icon = LoadSkinImage(nullptr, path);
    if (IsWindow()) Invalidate();
}

void CGlassButton::SetFaceImages(const std::wstring& normalPath, const std::wstring& hotPath) {
    faceImage = LoadSkinImage(nullptr, normalPath);
    hotFaceImage = LoadSkinImage(nullptr, hotPath);
    if (IsWindow()) Invalidate();
}

void CGlassButton::SetFrames(std::vector<SkinImage> images) {
    frames = std::move(images);
    frameIndex = 0;
}

void CGlassButton::StartAnimation() {
    if (frames.empty()) return;
    animating = true;
    if (IsWindow() && IsVisible()) SetTimer(kAnimationTimer, 100);
}

void CGlassButton::StopAnimation() {
    animating = false;
    frameIndex = 0;
    if (IsWindow()) {
        KillTimer(kAnimationTimer);
        Invalidate();
    }
}

void CGlassButton::SetColors(uint32_t start, uint32_t end, uint32_t hotStartColor, uint32_t hotEndColor, uint32_t text) {
    faceStart = start;
    faceEnd = end;
    hotStart = hotStartColor;
    hotEnd = hotEndColor;
    textColor = text;
    if (IsWindow()) Invalidate();
}

const Font* CGlassButton::CaptionFont(bool withIcon, int width, int height, bool underline) {
    const bool large = withIcon ? (height > 100 && width > 200) : height >= 51;
    if (!large) return theSkin.buttonFont.get();
    return underline ? theSkin.titleUnderlineFont.get() : theSkin.titleFont.get();
}

bool CGlassButton::OnDrawItemReflect(DRAWITEMSTRUCT* item) {
    RECT client{};
    ::GetClientRect(item->hwndItem, &client);
    Draw(item->hDC, client, item->itemState);
    return true;
}

void CGlassButton::Draw(HDC target, const RECT& client, UINT state) {
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0) return;
    const bool disabled = (state & ODS_DISABLED) != 0;
    const bool pressedNow = (state & ODS_SELECTED) != 0;
    const bool hotFace = hot && !pressedNow;
    CMemDCPerm buffer;
    HDC dc = buffer.Begin(target, backColor, client);
    CopyParentBackground(*this, dc);
    {
        auto g = MakeGraphics(dc);
        Image* iconImage = animating && !frames.empty() ? frames[frameIndex % frames.size()].get() : icon.get();
        const bool withIcon = iconImage != nullptr;
        const REAL faceTop = withIcon ? static_cast<REAL>(height) / 7.0f : 0.0f;
        if (faceImage) {
            Image* face = hotFace && !disabled && hotFaceImage ? hotFaceImage.get() : faceImage.get();
            const int fw = static_cast<int>(face->GetWidth()), fh = static_cast<int>(face->GetHeight());
            const int fx = (width - fw) / 2, fy = height - fh;
            if (disabled) DrawGreyImage(*g, face, fx, fy, fw, fh, 0.0f);
            else g->DrawImage(face, Rect(fx, fy, fw, fh));
        } else if (!disabled) {
            DrawGlassFace(*g, 0, faceTop, static_cast<REAL>(width), static_cast<REAL>(height) - faceTop,
                          Color(hotFace ? hotStart : faceStart), Color(hotFace ? hotEnd : faceEnd), hotFace);
        } else {
            DrawGlassFace(*g, 0, faceTop, static_cast<REAL>(width), static_cast<REAL>(height) - faceTop, Color(0xBF7A7A7A),
                          Color(0xBF999999), false);
        }
        if (iconImage) {
            const REAL iw = static_cast<REAL>(iconImage->GetWidth()), ih = static_cast<REAL>(iconImage->GetHeight());
            const RectF to((static_cast<REAL>(width) - iw) / 2, 0, iw, ih);
            if (disabled) DrawGreyImage(*g, iconImage, static_cast<int>(to.X), 0, static_cast<int>(iw), static_cast<int>(ih), 0.0f);
            else g->DrawImage(iconImage, to);
        }
        std::wstring caption = GetWindowText();
        const Font* font = CaptionFont(withIcon, width, height, underlineLargeText && hotFace);
        const Color color(disabled ? 0xFF8A8F96 : textColor);
        SolidBrush brush(color);
        const RectF area(2, 0, static_cast<REAL>(width - 4), static_cast<REAL>(height));
        if (withIcon) {
            RectF measured;
            StringFormat format;
            format.SetAlignment(StringAlignmentCenter);
            g->MeasureString(caption.c_str(), static_cast<INT>(caption.size()), font, area, &format, &measured);
            if (measured.Height <= font->GetHeight(g.get()) + 10) caption += L"\n ";
            DrawSkinText(*g, RectF(area.X, area.Y, area.Width, area.Height - 6), caption, font, &brush, StringAlignmentCenter,
                         StringAlignmentFar);
        } else {
            DrawSkinText(*g, area, caption, font, &brush, StringAlignmentCenter, StringAlignmentCenter);
        }
    }
    ::BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

LRESULT CGlassButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        if (!hot) {
            hot = true;
            Invalidate();
            SetTimer(kHoverTimer, 100);
            if (animateWhileHot) StartAnimation();
        }
        break;
    case WM_TIMER:
        if (wp == kHoverTimer) {
            POINT pt{};
            ::GetCursorPos(&pt);
            ::ScreenToClient(*this, &pt);
            const RECT client = ClientRect();
            if (!::PtInRect(&client, pt)) {
                hot = false;
                KillTimer(kHoverTimer);
                if (animateWhileHot) StopAnimation();
                Invalidate();
            }
            return 0;
        }
        if (wp == kAnimationTimer) {
            if (animating && !frames.empty()) {
                frameIndex = (frameIndex + 1) % frames.size();
                Invalidate();
            }
            return 0;
        }
        break;
    case WM_SHOWWINDOW:
        if (wp) {
            if (animating) SetTimer(kAnimationTimer, 100);
        } else {
            KillTimer(kAnimationTimer);
        }
        break;
    case WM_LBUTTONUP: {
        const LRESULT result = Default();
        if (IsWindow() && GetParent()) ::SetFocus(GetParent());
        return result;
    }
    case WM_LBUTTONDBLCLK:
        // A quick second click is a click, not a double click.
        return Default(WM_LBUTTONDOWN, wp, lp);
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}
