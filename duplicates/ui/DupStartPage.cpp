// The start page: reads and writes the scan options, picks the folder and starts the scan.
#include "duplicates/ui/DupStartPage.h"

#include "duplicates/ui/DupFinderPage.h"
#include "duplicates/ui/FinderTexts.h"
#include "duplicates/win32/dup_shell_environment.h"
#include "duplicates/win32/scan_settings.h"
#include "resources/ids/duplicates_ids.h"

#include <algorithm>

namespace {

constexpr UINT kKindBoxes[] = {IDC_DUP_IMAGES, IDC_DUP_AUDIO, IDC_DUP_VIDEO, IDC_DUP_DOCUMENTS};

void Place(HWND control, int x, int y, int width, int height) {
    if (control) ::MoveWindow(control, x, y, std::max(0, width), std::max(0, height), TRUE);
}

bool Checked(HWND page, UINT id) { return ::IsDlgButtonChecked(page, static_cast<int>(id)) == BST_CHECKED; }

}  // namespace

CDupStartPage::CDupStartPage(CDupFinderPage& finder) : CBaseDlg(IDD_DUP_START, &finder), finder_(finder) {
    SkinImage header = LoadSkinImage(nullptr, kDupHeaderImage);
    headerLoaded_ = header != nullptr;
    SetHeader(std::move(header), FinderText(445), FinderText(446));
    ShowHeaderButtons(true);
    EnableHeaderButtons(true, false);
}

bool CDupStartPage::OnInitDialog() {
    HWND page = GetSafeHwnd();
    folderGroup_.SubclassDlgItem(IDC_DUP_FOLDER_GROUP, page);
    folderGroup_.SetCaption(FinderText(206));
    kindsGroup_.SubclassDlgItem(IDC_DUP_KINDS_GROUP, page);
    kindsGroup_.SetCaption(FinderText(207));
    explain_.SubclassDlgItem(IDC_DUP_EXPLAIN, page);
    browseButton_.SubclassDlgItem(IDC_DUP_BROWSE, page);
    startButton_.SubclassDlgItem(IDC_DUP_START, page);

    const zyr::dup::DuplicateScanOptions options = zyr::dup::ReadDuplicateScanOptions();
    const bool allFiles = options.scanAllFiles != 0;
    ::CheckRadioButton(page, IDC_DUP_ALL_FILES, IDC_DUP_KINDS, allFiles ? IDC_DUP_ALL_FILES : IDC_DUP_KINDS);
    OnAllFiles(allFiles);
    includeSubfolders = options.scanFolders;
    scanImage = options.scanImage;
    scanAudio = options.scanAudio;
    scanVideo = options.scanVideo;
    scanDocs = options.scanDocs;
    folder = options.folder;  // empty when the stored folder no longer exists
    ShowFolder();
    ::CheckDlgButton(page, IDC_DUP_SUBFOLDERS, includeSubfolders ? BST_CHECKED : BST_UNCHECKED);
    const int32_t kinds[] = {scanImage, scanAudio, scanVideo, scanDocs};
    for (size_t i = 0; i < 4; ++i) ::CheckDlgButton(page, kKindBoxes[i], kinds[i] ? BST_CHECKED : BST_UNCHECKED);
    const RECT client = ClientRect();
    Layout(client.right, client.bottom);
    return true;
}

void CDupStartPage::ShowFolder() {
    ::SetDlgItemTextW(*this, IDC_DUP_FOLDER, folder.c_str());
    ::EnableWindow(startButton_, !folder.empty());
}

void CDupStartPage::OnAllFiles(bool allFiles) {
    zyr::dup::WriteDuplicateScanAllFiles(allFiles ? 1 : 0);
    for (UINT id : kKindBoxes) ::EnableWindow(::GetDlgItem(*this, static_cast<int>(id)), !allFiles);
}

void CDupStartPage::Browse() {
    const std::wstring picked = zyr::dup::BrowseForFolder(*this, FinderText(159), folder);
    if (picked.empty()) return;
    folder = picked;
    ShowFolder();
}

zyr::dup::DuplicateScanOptions CDupStartPage::OptionsFromControls() const {
    HWND page = GetSafeHwnd();
    zyr::dup::DuplicateScanOptions options;
    options.folder = folder;
    options.scanFolders = Checked(page, IDC_DUP_SUBFOLDERS);
    options.scanAllFiles = Checked(page, IDC_DUP_ALL_FILES);
    options.scanImage = Checked(page, IDC_DUP_IMAGES);
    options.scanAudio = Checked(page, IDC_DUP_AUDIO);
    options.scanVideo = Checked(page, IDC_DUP_VIDEO);
    options.scanDocs = Checked(page, IDC_DUP_DOCUMENTS);
    return options;
}

void CDupStartPage::Start() {
    const zyr::dup::DuplicateScanOptions options = OptionsFromControls();
    includeSubfolders = options.scanFolders;
    scanImage = options.scanImage;
    scanAudio = options.scanAudio;
    scanVideo = options.scanVideo;
    scanDocs = options.scanDocs;
    if (folder.empty()) return;
    const uint32_t mask = zyr::dup::ScanMaskFor(options);
    if (mask == 0) {
        ShowFinderMessage(*this, 460);
        return;
    }
    finder_.StartScan(folder, includeSubfolders, static_cast<int32_t>(mask));
}

bool CDupStartPage::OnCommand(UINT id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_DUP_ALL_FILES: OnAllFiles(true); return true;
    case IDC_DUP_KINDS: OnAllFiles(false); return true;
    case IDC_DUP_BROWSE: Browse(); return true;
    case IDC_DUP_START: Start(); return true;
    default: return false;
    }
}

bool CDupStartPage::OnDestroy() {
    // The folder, subfolder and kind choices are stored when the page goes away.
    zyr::dup::WriteDuplicateScanOptions(OptionsFromControls());
    return false;
}

void CDupStartPage::OnBack() { finder_.GoBack(); }

bool CDupStartPage::OnSize(UINT, int width, int height) {
    Layout(width, height);
    return false;  // the base repaints
}

void CDupStartPage::Layout(int w, int h) {
    HWND page = GetSafeHwnd();
    auto item = [page](UINT id) { return ::GetDlgItem(page, static_cast<int>(id)); };
    const int right = w - 10;
    Place(folderGroup_, 10, 100, right - 10, 132);
    Place(explain_, 28, 126, right - 46, 20);
    Place(browseButton_, right - 18 - 110, 150, 110, 30);
    Place(item(IDC_DUP_FOLDER), 28, 153, right - 18 - 110 - 10 - 28, 24);
    Place(item(IDC_DUP_SUBFOLDERS), 28, 194, 300, 22);
    Place(kindsGroup_, 10, 246, right - 10, 136);
    Place(item(IDC_DUP_ALL_FILES), 28, 272, 300, 22);
    Place(item(IDC_DUP_KINDS), 28, 298, 300, 22);
    Place(item(IDC_DUP_IMAGES), 50, 326, 200, 22);
    Place(item(IDC_DUP_AUDIO), 50, 350, 200, 22);
    Place(item(IDC_DUP_VIDEO), 260, 326, 200, 22);
    Place(item(IDC_DUP_DOCUMENTS), 260, 350, 200, 22);
    Place(startButton_, right - 140, std::max(392, h - 46), 140, 36);
}
