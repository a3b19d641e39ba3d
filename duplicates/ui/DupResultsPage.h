// CDupResultsPage: the finder's results: the grouped list of sets and the actions on the files.
#pragma once
#include "duplicates/ui/DupResultsList.h"
#include "skin/BaseDlg.h"
#include "skin/GlassButton.h"

class CDupFinderPage;

class CDupResultsPage : public CBaseDlg {
public:
    explicit CDupResultsPage(CDupFinderPage& finder);

    bool HeaderLoaded() const { return headerLoaded_; }
    CDupResultsList& List() { return list_; }
    // Enables the recycle and move buttons when some file is checked.
    void UpdateButtons();
    // The framed area behind the list (client coordinates).
    RECT ListFrame() const;

protected:
    bool OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnSize(UINT type, int width, int height) override;
    void PaintContent(Gdiplus::Graphics& g) override;
    void OnBack() override;

private:
    CDupFinderPage& finder_;
    CDupResultsList list_;
    CGlassButton deleteButton_, moveButton_, selectButton_, backButton_;
    bool headerLoaded_ = false;
};
