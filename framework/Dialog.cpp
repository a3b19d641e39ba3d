// CDialog: a modeless dialog created from a template of the resource module.
#include "framework/Dialog.h"
#include "framework/ResourceInstance.h"

namespace {
// The dialog manager's procedure; everything reaches the object through its subclass first.
INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
}  // namespace

bool CDialog::Create(HWND parent) {
    HINSTANCE module = ResourceInstance();
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(templateId_), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (!found) return false;
    HGLOBAL loaded = ::LoadResource(module, found);
    auto* dialogTemplate = loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
    if (!dialogTemplate) return false;
    return CreateWith([&] {
        return ::CreateDialogIndirectParamW(module, dialogTemplate, parent, &PassiveDialogProc, 0);
    });
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
        if ((lp == 0 && HIWORD(wp) == 0) || HIWORD(wp) == BN_CLICKED) {
            if (LOWORD(wp) == IDOK) { OnOK(); return 0; }
            if (LOWORD(wp) == IDCANCEL) { OnCancel(); return 0; }
        }
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}
