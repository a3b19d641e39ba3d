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
    // The product name, the caption of the page's message boxes.
    virtual std::wstring ProductName() = 0;

protected:
    ~IDefragHost() = default;
};

// The home page's view of a page with a button there.
class IHomePageButton {
public:
    virtual std::wstring GetName() = 0;
    virtual std::wstring GetImagePath() = 0;
    virtual std::wstring GetHotImagePath() = 0;
    virtual std::wstring GetTooltip() = 0;
    virtual void OnHomeButtonClick() = 0;

protected:
    ~IHomePageButton() = default;
};

}  // namespace zyr::defragui
