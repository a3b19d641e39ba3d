// A top-level window that lends its skinned surface to a page, as the main frame does: pages
// draw their header and panels only over a parent that gives them its background.
#pragma once
#include <windows.h>

#include "framework/Gdi.h"
#include "framework/Wnd.h"
#include "skin/MemDC.h"
#include "skin/Skin.h"
#include "skin/SkinColors.h"

class CSkinnedHost : public CWnd, public CTransparentParent {
public:
    CMemDCPerm* GetBackgroundDC() override { return &surface_; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_ERASEBKGND) return 1;
        if (msg == WM_PAINT) {
            PaintDc paint(*this);
            const RECT client = ClientRect();
            const COLORREF fill = theSkin.client == SkinColors::kMissing ? RGB(245, 247, 250) : ToColorRef(theSkin.client);
            if (surface_.Begin(paint, fill, client)) surface_.End();
            return 0;
        }
        return CWnd::WindowProc(msg, wp, lp);
    }

private:
    CMemDCPerm surface_;
};
