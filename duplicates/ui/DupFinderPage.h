// CDupFinderPage: the duplicate finder's container page: its three child pages and the scan.
#pragma once
#include "app/IHomePageButton.h"
#include "duplicates/core/duplicate_file_scanner.h"
#include "duplicates/ui/DupProgPage.h"
#include "duplicates/ui/DupResultsPage.h"
#include "duplicates/ui/DupStartPage.h"
#include "skin/BaseDlg.h"

#include <functional>
#include <memory>

inline constexpr UINT kDupScanFinishedMessage = 1932;
inline constexpr UINT_PTR kDupPollTimer = 100;

// Shows one child at a time (start, progress, results), sized to its client area. Owns the
// scanner of the current scan and is its receiver; polls it every 200 ms while it runs.
class CDupFinderPage : public CBaseDlg, public IDuplicateFileScanResultsReceiver, public IHomePageButton {
public:
    // What the finder asks of the main window.
    struct Navigation {
        std::function<void(bool)> setBusy;      // the frame's busy flag
        std::function<void(bool)> enableTabs;   // the frame's navigation
        std::function<void()> showFinder;       // this page on the disk tab, selected, focused
        std::function<void()> showDiskPage;     // the disk tools page on its tab, selected, focused
    };

    CDupFinderPage(CWnd* frame, Navigation navigation);
    CDupFinderPage(HWND parent, Navigation navigation);
    // Cancels a running scan and waits for its worker.
    ~CDupFinderPage() override;

    // False when a child's header picture is missing (start-up shows text 263 and ends).
    bool HeaderLoaded() const;

    // Called by the start page: a new scanner, navigation off, busy, progress page.
    void StartScan(const std::wstring& folder, int32_t recursive, int32_t mask);
    // Asks the running scan, if any, to stop; the results page follows when it has ended.
    void CancelScan();
    // The main window closes while the finder holds it busy (a scan runs or its results are
    // shown): ends a running scan and gives the navigation back.
    void LeaveForClose();
    bool ScanRunning() const;
    // Hides the current child and shows `page` over the whole client area; null does nothing.
    void ShowChild(CBaseDlg* page);
    // Ends the current scan (waiting for its cancelled worker), then empty progress, empty
    // results list, start page.
    void ResetToStart();
    // The back action of the start and results pages: the disk tools page, navigation on.
    void GoBack();

    CBaseDlg* CurrentChild() const { return currentChild_; }
    CDupStartPage& StartPage() { return startPage_; }
    CDupProgPage& ProgPage() { return progPage_; }
    CDupResultsPage& ResultsPage() { return resultsPage_; }

    // IDuplicateFileScanResultsReceiver (worker thread): posts the finished message.
    void OnScanFinished() override;

    // IHomePageButton
    std::wstring GetButtonName() override;
    std::wstring GetButtonImage() override;
    std::wstring GetButtonImageOver() override;
    std::wstring GetButtonTooltip() override;
    void OnButtonClick() override;

protected:
    bool OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnTimer(UINT_PTR id) override;
    bool OnSize(UINT type, int width, int height) override;

private:
    void PollScanner();
    void OnScanFinishedMessage();
    void DeleteScanner();
    void HoldFrame(bool hold);

    Navigation navigation_;
    CDupStartPage startPage_;
    CDupProgPage progPage_;
    CDupResultsPage resultsPage_;
    CBaseDlg* currentChild_ = nullptr;
    std::unique_ptr<IDuplicateFileScanner> scanner_;
    HWND window_ = nullptr;  // for the worker's post; set before any scan starts
    bool holdsFrame_ = false;  // navigation off and busy set by this page
};
