// CGlassButton: the skinned command button of the pages (glass face or face pictures, icon, animation).
#pragma once
#include <windows.h>
#include "skin/GdiPlus.h"
#include <string>
#include <vector>
#include "framework/Wnd.h"
#include "skin/Toolkit.h"

// An owner-drawn push button. Make it from a template control with SubclassDlgItem (the
// button style becomes owner-drawn) or create it with Create. The parent receives BN_CLICKED
// as from any button.
class CGlassButton : public CWnd {
public:
    static constexpr UINT_PTR kHoverTimer = 1000;
    static constexpr UINT_PTR kAnimationTimer = 100;

    CGlassButton();
    bool SubclassDlgItem(UINT id, HWND parent);
    bool Create(const std::wstring& text, const RECT& rect, HWND parent, UINT id);

    void SetIcon(const std::wstring& relativePath);
    void SetFaceImages(const std::wstring& normalPath, const std::wstring& hotPath);
    void SetFrames(std::vector<SkinImage> images);
    void StartAnimation();
    void StopAnimation();
    void SetUnderlineLargeText(bool underline) { underlineLargeText = underline; }
    // Runs the animation frames only while the pointer is over the button.
    void SetAnimateWhileHot(bool animate) { animateWhileHot = animate; }
    void SetColors(uint32_t start, uint32_t end, uint32_t hotStartColor, uint32_t hotEndColor, uint32_t text);

    bool IsHot() const { return hot; }
    bool IsAnimating() const { return animating; }
    size_t FrameIndex() const { return frameIndex; }
    bool HasIcon() const { return icon != nullptr; }
    // The font the caption uses for a button of this size.
    static const Gdiplus::Font* CaptionFont(bool withIcon, int width, int height, bool underline);

    uint32_t faceStart, faceEnd, hotStart, hotEnd, textColor;
    COLORREF backColor;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnDrawItemReflect(DRAWITEMSTRUCT* item) override;

private:
    void Draw(HDC target, const RECT& client, UINT state);

    SkinImage icon, faceImage, hotFaceImage;
    std::vector<SkinImage> frames;
    size_t frameIndex = 0;
    bool animating = false;
    bool hot = false;
    bool underlineLargeText = false;
    bool animateWhileHot = false;
};

// The glass face: shadow, base gradient, sheen, edge and gloss (x, y, w, h is the face area).
void DrawGlassFace(Gdiplus::Graphics& g, float x, float y, float w, float h, Gdiplus::Color start, Gdiplus::Color end, bool hot);
