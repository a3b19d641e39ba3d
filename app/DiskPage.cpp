// CDiskPage: header, five buttons, their actions.
#include "app/DiskPage.h"
#include "app/MainFrame.h"
#include "app/PageIds.h"
#include "app/PrivacyCleanup.h"
#include "app/ShellText.h"
#include "framework/ModalSeam.h"
#include "framework/ResourceInstance.h"

namespace {

struct DiskButton {
    UINT id;
    const wchar_t* picture;  // null: a plain glass button
    unsigned tooltip;
};

const DiskButton kButtons[5] = {
    {IDC_DISK_DUPLICATES, L"images/buttons and headers/button_duplicate.png", IDS_TIP_DUPLICATES},
    {IDC_DISK_RESTORE, L"images/buttons and headers/button_restore.png", IDS_TIP_RESTORE},
    {IDC_DISK_DEFRAG, L"images/buttons and headers/button_defrag.png", IDS_TIP_DEFRAG},
    {IDC_DISK_TEMP_FILES, nullptr, IDS_TIP_TEMP_FILES},
    {IDC_DISK_RECENT_DOCS, nullptr, IDS_TIP_RECENT_DOCS},
};

}  // namespace

CDiskPage::CDiskPage(CMainFrame& frame) : CBaseDlg(IDD_DISK_PAGE, &frame), frame_(frame) {}

bool CDiskPage::OnInitDialog() {
    SetWindowText(ShellText(128));
    SkinImage header = LoadSkinImage(nullptr, L"images/buttons and headers/header_disk.png");
    headerLoaded_ = header != nullptr;
    SetHeader(std::move(header), ShellText(IDS_TAB_DISK), ShellText(IDS_DISK_SUBTITLE));
    toolTip.Create(*this);
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (!buttons[i].SubclassDlgItem(kButtons[i].id, *this)) continue;
        if (kButtons[i].picture) {
            buttons[i].SetIcon(kButtons[i].picture);
            buttons[i].SetFaceImages(L"images/buttons and headers/button.png", L"images/buttons and headers/button_over.png");
        }
        toolTip.AddTool(buttons[i], ShellText(kButtons[i].tooltip));
    }
    Layout(ClientRect().right);
    return true;
}

void CDiskPage::Layout(int w) {
    const RECT places[5] = {
        {w / 2 - 170, 110, w / 2 - 5, 204}, {w / 2 + 15, 110, w / 2 + 180, 204}, {w / 2 - 170, 214, w / 2 - 5, 308},
        {w / 2 - 170, 338, w / 2 - 5, 388}, {w / 2 + 15, 338, w / 2 + 180, 388},
    };
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i].IsWindow()) buttons[i].MoveWindow(places[i], false);
    Invalidate();
}

bool CDiskPage::OnSize(UINT, int width, int) {
    Layout(width);
    return false;
}

void CDiskPage::AskAndClean(unsigned question, int (*work)(), unsigned done) {
    const std::wstring caption = LoadResourceString(0xE000);
    if (ShowMessageBox(frame_, ShellText(question), caption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    {
        HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        work();
        ::SetCursor(previous);
    }
    ShowMessageBox(frame_, ShellText(done), caption, MB_OK | MB_ICONINFORMATION);
}

bool CDiskPage::OnCommand(UINT id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_DISK_DUPLICATES:
        frame_.DupFinderButton().OnButtonClick();
        return true;
    case IDC_DISK_RESTORE:
        frame_.RestoreButton().OnButtonClick();
        return true;
    case IDC_DISK_DEFRAG:
        frame_.ShowDefragPage();
        return true;
    case IDC_DISK_TEMP_FILES:
        AskAndClean(IDS_TEMP_QUESTION, &CleanTemporaryFiles, IDS_TEMP_DONE);
        return true;
    case IDC_DISK_RECENT_DOCS:
        AskAndClean(IDS_RECENT_QUESTION, &CleanRecentDocuments, IDS_RECENT_DONE);
        return true;
    default:
        return false;
    }
}
