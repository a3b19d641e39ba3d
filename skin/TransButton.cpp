// CTransButton: background from the parent's surface, a skinned check mark, the caption.
#include "skin/TransButton.h"
#include <uxtheme.h>
#include <vssym32.h>
#include "framework/Gdi.h"
#include "skin/MemDC.h"
#include "skin/Skin.h"
#include "skin/Toolkit.h"

using namespace Gdiplus;

void CTransButton::Paint(HDC target) {
    const RECT client = ClientRect();
    CMemDCPerm buffer;
    HDC dc = buffer.Begin(target, ToColorRef(theSkin.client), client);
    CopyParentBackground(*this, dc);
    const LONG_PTR style = ::GetWindowLongPtrW(*this, GWL_STYLE);
    const UINT type = static_cast<UINT>(style & BS_TYPEMASK);
    const bool checkBox = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
    const bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
    const LRESULT check = SendMessage(BM_GETCHECK);
    const bool enabled = ::IsWindowEnabled(*this) != FALSE;
    int textLeft = 0;
    if (checkBox || radio) {
        const int size = ::GetSystemMetrics(SM_CXMENUCHECK);
        RECT box{0, (client.bottom - size) / 2, size, (client.bottom - size) / 2 + size};
        textLeft = size + 4;
        bool themed = false;
        if (HTHEME theme = ::OpenThemeData(*this, L"BUTTON")) {
            const int part = checkBox ? BP_CHECKBOX : BP_RADIOBUTTON;
            int state = checkBox ? static_cast<int>(check == BST_CHECKED ? CBS_CHECKEDNORMAL : check == BST_INDETERMINATE ? CBS_MIXEDNORMAL : CBS_UNCHECKEDNORMAL)
                                 : static_cast<int>(check == BST_CHECKED ? RBS_CHECKEDNORMAL : RBS_UNCHECKEDNORMAL);
            if (!enabled) state += 3;
            themed = SUCCEEDED(::DrawThemeBackground(theme, dc, part, state, &box, nullptr));
            ::CloseThemeData(theme);
        }
        if (!themed) {
            auto g = MakeGraphics(dc);
            if (checkBox)
                DrawSkinCheckBoxFlat(*g, ToRectF(box), check == BST_CHECKED ? 1 : check == BST_INDETERMINATE ? 2 : 0,
                                     RGB(255, 255, 255), RGB(0x4B, 0x4B, 0x4B), RGB(0x4B, 0x4B, 0x4B), RGB(0x4B, 0x4B, 0x4B));
            else
                DrawSkinRadio(*g, ToRectF(box), check == BST_CHECKED, RGB(255, 255, 255), RGB(0x4B, 0x4B, 0x4B), RGB(0x4B, 0x4B, 0x4B));
        }
    }
    {
        auto g = MakeGraphics(dc);
        HFONT gdiFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        std::unique_ptr<Font> font;
        if (gdiFont) {
            LOGFONTW lf{};
            ::GetObjectW(gdiFont, sizeof(lf), &lf);
            font = std::make_unique<Font>(dc, &lf);
        } else {
            font = CSkin::CreateSkinFont(9, false, false, false);
        }
        SolidBrush brush(enabled ? Color(theSkin.body_text) : Color(0xFF8A8F96));
        const RectF area(static_cast<REAL>(textLeft), 0, static_cast<REAL>(client.right - textLeft), static_cast<REAL>(client.bottom));
        DrawSkinText(*g, area, GetWindowText(), font.get(), &brush, checkBox || radio ? StringAlignmentNear : StringAlignmentCenter,
                     StringAlignmentCenter, font.get());
        if (::GetFocus() == GetSafeHwnd() && (SendMessage(WM_QUERYUISTATE) & UISF_HIDEFOCUS) == 0) {
            RECT focus{textLeft, 1, client.right, client.bottom - 1};
            ::DrawFocusRect(dc, &focus);
        }
    }
    ::BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

LRESULT CTransButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (HandleSelfPaint(*this, msg, wp, [this](HDC dc) { Paint(dc); })) return 0;
    switch (msg) {
    case BM_SETCHECK:
    case BM_SETSTATE:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONUP:
    case WM_KEYUP: {
        // The standard button may paint on these; paint over it at once.
        ::SendMessageW(*this, WM_SETREDRAW, FALSE, 0);
        const LRESULT result = Default();
        ::SendMessageW(*this, WM_SETREDRAW, TRUE, 0);
        ::RedrawWindow(*this, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return result;
    }
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}
