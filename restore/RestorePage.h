// CRestorePage: the page that lists restore points and creates, deletes and restores them.
#pragma once
#include <windows.h>

#include "app/IHomePageButton.h"
#include "restore/SystemRestoreModule.h"
#include "skin/BaseDlg.h"
#include "skin/GlassButton.h"

#include <functional>
#include <memory>
#include <string>

namespace zyr::restore {

class CRestorePage : public CBaseDlg, public ::IHomePageButton {
public:
    // What the page asks of the main window: show this page, and back to the disk page.
    struct Navigation {
        std::function<void()> showRestorePage;
        std::function<void()> showDiskPage;
    };

    // The page over the system's restore services, on the frame object (its window is made
    // later) or on an existing window.
    CRestorePage(CWnd* frame, Navigation navigation);
    explicit CRestorePage(HWND parent);
    // The page over another module (tests give it a double).
    CRestorePage(HWND parent, std::unique_ptr<ISystemRestoreModule> module);
    ~CRestorePage() override;

    // False when the header picture is missing (the caller shows text 263 and ends the process).
    bool HeaderLoaded() const { return headerLoaded_; }

    // Rebuilds the list. With a sequence number, lists again every 10 ms until that point is
    // listed or the wait limit has passed; false when the point never appeared.
    bool RefreshList(uint32_t waitForSequence);
    // Adds one point as the first row.
    void AddRow(const RestorePointRecord& record);

    // IHomePageButton
    std::wstring GetButtonName() override;
    std::wstring GetButtonImage() override;
    std::wstring GetButtonImageOver() override;
    std::wstring GetButtonTooltip() override;
    void OnButtonClick() override;

    // Seams: the restart after an accepted roll-back, and the limit of the wait for a new point.
    using Restarter = std::function<bool()>;
    void SetRestarter(Restarter restart) { restart_ = std::move(restart); }
    void SetNewPointWaitLimit(DWORD milliseconds) { waitLimitMs_ = milliseconds; }
    // Another module in place of the system's (demonstrations); the list is filled again.
    void SetModule(std::unique_ptr<ISystemRestoreModule> module);

    // The list's frame before it is shrunk by 10 pixels (client coordinates).
    RECT ListFrame() const;

protected:
    bool OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    bool OnSize(UINT type, int cx, int cy) override;
    void PaintContent(Gdiplus::Graphics& g) override;
    void OnBack() override;

private:
    void LoadHeader();
    void OnCreatePoint();
    void OnDeletePoint();
    void OnRestorePoint();
    void UpdateButtons();
    void SizeColumns();
    int SelectedRow() const;
    uint32_t RowSequence(int row) const;
    int Message(UINT textId, UINT flags) const;

    CGlassButton restoreButton_, deleteButton_, createButton_;
    HWND list_ = nullptr;
    std::unique_ptr<ISystemRestoreModule> module_;
    std::wstring description_;
    Restarter restart_;
    DWORD waitLimitMs_ = 10000;
    Navigation navigation_;
    bool headerLoaded_ = false;
};

}  // namespace zyr::restore
