// CTransButton: a check box, radio button or push button drawn over its parent's painted background.
#pragma once
#include "framework/Wnd.h"

class CTransButton : public CWnd {
public:
    bool SubclassDlgItem(UINT id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id))); }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Paint(HDC target);
};
