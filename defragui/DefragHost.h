// What the defrag page asks of the main window that holds it.
#pragma once
#include <windows.h>
#include <string>

namespace zyr::defragui {

class IDefragHost {
public:
    virtual HWND MainWindow() = 0;
    virtual void SetBusy(bool busy) = 0;
    virtual void EnableTabs(bool enable) = 0;
    // Shows tab 0 (home) or tab 1 (disk page) with the focus.
    virtual void ShowTab(int tab) = 0;
    // Shows this page on tab 1 (the home-page button's click).
    virtual void ShowDefragPage() = 0;
    // The product name, the caption of the page's message boxes.
    virtual std::wstring ProductName() = 0;

protected:
    ~IDefragHost() = default;
};

}  // namespace zyr::defragui
