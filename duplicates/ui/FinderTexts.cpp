// Texts of the duplicate finder's pages through the product configuration.
#include "duplicates/ui/FinderTexts.h"

#include "app/ProductConfiguration.h"
#include "framework/App.h"
#include "framework/ModalSeam.h"

std::wstring FinderText(UINT id) { return zyr::config::LoadText(id); }

std::wstring FinderCaption() {
    if (zyr::fw::App() && !zyr::fw::App()->appTitle().empty()) return zyr::fw::App()->appTitle();
    return zyr::config::AppName();
}

void ShowFinderMessage(HWND owner, UINT id) {
    ShowMessageBox(owner, FinderText(id), FinderCaption(), MB_OK | MB_ICONINFORMATION);
}
