// CBaseDlg: the skinned page base: header, double-buffered painting, transparent children.
#pragma once
#include <windows.h>
#include "skin/GdiPlus.h"
#include <string>
#include "framework/Dialog.h"
#include "skin/MemDC.h"
#include "skin/Toolkit.h"

// Every page of the main window derives from it. A page is a child dialog of the frame made
// from a template of the resource library; the frame shows, hides and places it.
//
// What a page usually does:
//   - in OnInitDialog: SetHeader(image, title, subtitle), subclass its controls as skinned
//     controls (CGlassButton::SubclassDlgItem ...), ShowHeaderButtons(true) for a sub-page;
//   - OnSize: lay its controls out (the frame resizes pages with the window);
//   - PaintContent: draw what is not a control (panels, texts) on the page's surface;
//   - OnBack / OnForward: the header's navigation buttons.
// Enter and Escape never close a page (OnOK / OnCancel do nothing).
class CBaseDlg : public CDialog, public CTransparentParent {
public:
    // `parent` is the frame (or parent page) object; its window must exist at CreatePage.
    CBaseDlg(UINT templateId, CWnd* parent, const std::wstring& logoText = L"");
    // A page whose parent window already exists (previews, tests, pages hosted by a page).
    CBaseDlg(UINT templateId, HWND parent, const std::wstring& logoText = L"");
    ~CBaseDlg() override;

    // Creates the page as a child of the parent given at construction (hidden until shown).
    bool CreatePage();
    HWND ParentWindow() const { return parent_ ? parent_->GetSafeHwnd() : parentWindow_; }

    void SetHeader(const std::wstring& imagePath, const std::wstring& title, const std::wstring& subtitle);
    // Without an image the title and subtitle start at x 20 and 25.
    void SetHeader(SkinImage image, const std::wstring& title, const std::wstring& subtitle);
    void ShowHeaderButtons(bool show);
    void EnableHeaderButtons(bool back, bool forward);
    bool HasHeader() const { return hasHeader; }
    Gdiplus::Image* HeaderImage() const { return headerImage.get(); }

    CMemDCPerm* GetBackgroundDC() override { return &memDC; }

    // Header geometry (client coordinates), for tests and for pages placing their content.
    RECT BackButtonRect() const;
    RECT ForwardButtonRect() const;
    static constexpr int kHeaderBottom = 90;

protected:
    virtual void OnBack() {}
    virtual void OnForward() {}
    // The page draws its own content onto its surface (after the header).
    virtual void PaintContent(Gdiplus::Graphics& g) {}

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void RedrawHeader();

    CMemDCPerm memDC;
    bool hasHeader = false;
    SkinImage headerImage;
    std::wstring title, subtitle;
    std::wstring logoText;
    SkinImage logoImage;
    bool transparentBackground = true;
    bool headerButtons = false;
    bool backEnabled = false;
    bool forwardEnabled = false;
    SkinImage navBg, navBack, navForward;

private:
    void Paint();
    CWnd* parent_ = nullptr;
    HWND parentWindow_ = nullptr;
};
