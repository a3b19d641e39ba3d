// CRestorePage: the page that lists restore points and creates, deletes and restores them.
#pragma once
#include <windows.h>

#include "restore/SystemRestoreModule.h"

#include <functional>
#include <memory>
#include <string>

namespace zyr::restore {

class CRestorePage {
public:
    // The page over the system's restore services.
    CRestorePage();
    // The page over another module (tests give it a double).
    explicit CRestorePage(std::unique_ptr<ISystemRestoreModule> module);
    ~CRestorePage();
    CRestorePage(const CRestorePage&) = delete;
    CRestorePage& operator=(const CRestorePage&) = delete;

    // Creates the page from dialog template 331 as a hidden child of `parent`.
    bool Create(HWND parent);
    HWND GetSafeHwnd() const { return hwnd_; }

    // Rebuilds the list. With a sequence number, lists again every 10 ms until that point is
    // listed or the wait limit has passed; false when the point never appeared.
    bool RefreshList(uint32_t waitForSequence);
    // Adds one point as the first row.
    void AddRow(const RestorePointRecord& record);

    // The home-page button of this page.
    std::wstring GetButtonName() const;
    std::wstring GetButtonImage() const;
    std::wstring GetButtonImageOver() const;
    std::wstring GetButtonTooltip() const;

    // Seams: the restart after an accepted roll-back, and the limit of the wait for a new point.
    using Restarter = std::function<bool()>;
    void SetRestarter(Restarter restart) { restart_ = std::move(restart); }
    void SetNewPointWaitLimit(DWORD milliseconds) { waitLimitMs_ = milliseconds; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnInitDialog();
    void OnCreatePoint();
    void OnDeletePoint();
    void OnRestorePoint();
    void OnSize(int cx, int cy);
    void OnPaint();
    void UpdateButtons();
    void SizeColumns();
    int SelectedRow() const;
    uint32_t RowSequence(int row) const;
    int Message(UINT textId, UINT flags) const;
    RECT ListFrame() const;

    HWND hwnd_ = nullptr;
    HWND list_ = nullptr;
    std::unique_ptr<ISystemRestoreModule> module_;
    std::wstring description_;
    Restarter restart_;
    DWORD waitLimitMs_ = 10000;
    HFONT titleFont_ = nullptr;
};

}  // namespace zyr::restore
