// CMemDCPerm: a window's permanent off-screen surface; CTransparentParent lends it to children.
#pragma once
#include <windows.h>

class CMemDCPerm {
public:
    CMemDCPerm() = default;
    ~CMemDCPerm();
    CMemDCPerm(const CMemDCPerm&) = delete;
    CMemDCPerm& operator=(const CMemDCPerm&) = delete;

    // Recreates the bitmap at the rectangle's size, fills it and returns the memory DC,
    // whose origin is the rectangle's top left corner.
    HDC Begin(HDC target, COLORREF fill, const RECT& rect);
    // Copies the surface to the target in one SRCCOPY transfer and forgets the target.
    void End();
    // The surface (kept after End so that children can copy their background); null before
    // the first Begin.
    HDC GetDC() const { return dc_; }
    const RECT& Rect() const { return rect_; }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    HDC target_ = nullptr;
    RECT rect_{};
};

// A window whose off-screen surface transparent child controls copy their background from.
class CTransparentParent {
public:
    virtual CMemDCPerm* GetBackgroundDC() = 0;

protected:
    ~CTransparentParent() = default;
};

// The parent's surface under `child` copied into `dc` at (0, 0); false when the parent of
// `child` lends no surface (not a CTransparentParent, or not painted yet).
bool CopyParentBackground(HWND child, HDC dc);
// The parent of `child` as a CTransparentParent, or null.
CTransparentParent* TransparentParentOf(HWND child);
