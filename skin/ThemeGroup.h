// CThemeGroup: a group frame with a gradient border, an icon and a caption cut into the frame.
#pragma once
#include "skin/GdiPlus.h"
#include <memory>
#include <string>
#include "framework/Wnd.h"
#include "skin/Toolkit.h"

class CThemeGroup : public CWnd {
public:
    CThemeGroup();
    bool SubclassDlgItem(UINT id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id))); }
    void SetCaption(const std::wstring& text);
    void SetIcon(const std::wstring& relativePath);

    std::wstring caption;
    uint32_t captionColor, borderStart, borderEnd;
    Gdiplus::StringAlignment captionAlign = Gdiplus::StringAlignmentNear;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Paint(HDC target);
    std::unique_ptr<Gdiplus::Font> font;
    SkinImage icon;
};
