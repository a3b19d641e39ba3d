// IHomePageButton: a page's shortcut on the home page.
#pragma once
#include <string>

// Implemented by the pages that can appear on the home page (defrag, defrag schedule,
// duplicate finder, general settings, restore). Slot order is fixed.
class IHomePageButton {
public:
    // The button's name: a resource text unique among the buttons; shown and stored.
    virtual std::wstring GetButtonName() = 0;
    // Relative path of the button's picture.
    virtual std::wstring GetButtonImage() = 0;
    // Picture for the pressed state (the same path as GetButtonImage).
    virtual std::wstring GetButtonImageOver() = 0;
    virtual std::wstring GetButtonTooltip() = 0;
    // Shows the page.
    virtual void OnButtonClick() = 0;

protected:
    ~IHomePageButton() = default;
};
