// XMessageBox: the modal question box with custom buttons, a "don't ask again" check box and Ctrl+C.
#pragma once
#include <windows.h>
#include <string>

// Optional parameters of a call; zero or empty fields keep the defaults.
struct MessageBoxParams {
    UINT options = 0;                // 1: buttons right-aligned; 2: modern look (set on Vista and later)
    HMODULE stringModule = nullptr;  // texts given by number and the built-in captions; null: the program
    std::wstring customButtons;      // captions separated by "\n" (at most four used, ids 23 to 26)
    COLORREF textColor = static_cast<COLORREF>(-1);
    COLORREF backgroundColor = static_cast<COLORREF>(-1);
};

// Check-box flags of the style (the first given wins).
constexpr UINT kXmbDontAskAgain = 0x01000000;
constexpr UINT kXmbDontTellAgain = 0x02000000;
constexpr UINT kXmbDontShowAgain = 0x04000000;
// Identifiers of the controls.
constexpr int kXmbFirstCustomButton = 23;
constexpr int kXmbCheckBox = 5555;
constexpr int kXmbMessageText = 1001;
constexpr int kXmbIcon = 1000;

// `text` and `caption` are texts, or numbers of strings (MAKEINTRESOURCEW). Returns the pressed
// button's identifier (23 for the first custom button, ...) plus the check-box flag of the call
// when the box was ticked; -1 when the quit message arrived (it is posted again); 2 when the
// template could not be built. Goes through the modal seam (framework/ModalSeam.h) first.
int XMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style, const MessageBoxParams* params = nullptr);

// The text Ctrl+C puts on the clipboard for a box window (at most 8,192 characters).
std::wstring XMessageBoxClipboardText(HWND box);
