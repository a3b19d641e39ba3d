// CDialog: a modeless dialog created from a template of the resource module.
#pragma once
#include "framework/Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId) : templateId_(templateId) {}

    UINT TemplateId() const { return templateId_; }
    // Creates the dialog as a (child or pop-up) window of `parent`, as its template says.
    // False when the template is missing or creation fails.
    bool Create(HWND parent);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // WM_INITDIALOG; true lets the system set the focus.
    virtual bool OnInitDialog() { return true; }
    // Enter and Escape; the defaults do nothing so that a page never closes itself.
    virtual void OnOK() {}
    virtual void OnCancel() {}

private:
    UINT templateId_;
};
