// CMemDCPerm and the copying of a parent's background.
#include "skin/MemDC.h"
#include "framework/Wnd.h"

CMemDCPerm::~CMemDCPerm() {
    if (dc_) {
        if (previous_) ::SelectObject(dc_, previous_);
        ::DeleteDC(dc_);
    }
    if (bitmap_) ::DeleteObject(bitmap_);
}

HDC CMemDCPerm::Begin(HDC target, COLORREF fill, const RECT& rect) {
    target_ = target;
    rect_ = rect;
    const int width = rect.right - rect.left > 0 ? rect.right - rect.left : 1;
    const int height = rect.bottom - rect.top > 0 ? rect.bottom - rect.top : 1;
    if (!dc_) dc_ = ::CreateCompatibleDC(target);
    if (!dc_) return nullptr;
    HBITMAP bitmap = ::CreateCompatibleBitmap(target, width, height);
    HGDIOBJ old = ::SelectObject(dc_, bitmap);
    if (!previous_) previous_ = old;
    if (bitmap_) ::DeleteObject(bitmap_);
    bitmap_ = bitmap;
    ::SetViewportOrgEx(dc_, -rect.left, -rect.top, nullptr);
    HBRUSH brush = ::CreateSolidBrush(fill);
    ::FillRect(dc_, &rect, brush);
    ::DeleteObject(brush);
    return dc_;
}

void CMemDCPerm::End() {
    if (dc_ && target_)
        ::BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, dc_, rect_.left,
                 rect_.top, SRCCOPY);
    target_ = nullptr;
}

CTransparentParent* TransparentParentOf(HWND child) {
    return dynamic_cast<CTransparentParent*>(CWnd::FromHandle(::GetParent(child)));
}

bool CopyParentBackground(HWND child, HDC dc) {
    CTransparentParent* parent = TransparentParentOf(child);
    CMemDCPerm* surface = parent ? parent->GetBackgroundDC() : nullptr;
    if (!surface || !surface->GetDC()) return false;
    RECT r{};
    ::GetClientRect(child, &r);
    POINT origin{0, 0};
    ::MapWindowPoints(child, ::GetParent(child), &origin, 1);
    ::BitBlt(dc, 0, 0, r.right, r.bottom, surface->GetDC(), origin.x, origin.y, SRCCOPY);
    return true;
}
