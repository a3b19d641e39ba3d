// The start-up code's door to the main window and the skin.
#include "app/MainFrameFactory.h"

#include <memory>

#include "app/MainFrame.h"
#include "app/PageIds.h"
#include "app/ShellText.h"
#include "framework/ModalSeam.h"
#include "framework/ResourceInstance.h"
#include "skin/Skin.h"

namespace zyr::app {
namespace {
std::unique_ptr<CMainFrame> mainFrame;
}  // namespace

bool CreateMainWindow(HWND* created) {
    if (created) *created = nullptr;
    mainFrame = std::make_unique<CMainFrame>();
    const bool made = mainFrame->Create();
    if (!mainFrame->ResourcesComplete()) {
        // Home-page defaults that name no button, or a missing header picture: a broken install.
        ShowMessageBox(nullptr, ShellText(IDS_BROKEN_INSTALL), LoadResourceString(0xE000), MB_OK | MB_ICONERROR);
        mainFrame.reset();
        ::ExitProcess(0);
    }
    if (!made) {
        mainFrame.reset();
        return false;
    }
    mainFrame->ShowWindow(SW_SHOW);
    ::UpdateWindow(*mainFrame);
    if (created) *created = *mainFrame;
    return true;
}

void StartScheduledDefragOnMainWindow() {
    if (mainFrame && mainFrame->IsWindow()) mainFrame->StartScheduledDefrag();
}

void RebuildSkinFontsForLanguage() { theSkin.RebuildFontsForLanguage(); }

}  // namespace zyr::app
