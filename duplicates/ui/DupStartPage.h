// CDupStartPage: the finder's first page: the folder, subfolders and kinds of files; starts a scan.
#pragma once
#include "duplicates/core/scan_options.h"
#include "skin/BaseDlg.h"
#include "skin/GlassButton.h"
#include "skin/ThemeGroup.h"
#include "skin/ThemeLabel.h"

#include <string>

class CDupFinderPage;

class CDupStartPage : public CBaseDlg {
public:
    explicit CDupStartPage(CDupFinderPage& finder);

    bool HeaderLoaded() const { return headerLoaded_; }
    // The choices as the controls show them (the folder is kept by the page).
    zyr::dup::DuplicateScanOptions OptionsFromControls() const;
    // The start button: the scan mask from the controls; message 460 when no kind is chosen.
    void Start();

    std::wstring folder;
    int32_t includeSubfolders = 1;
    int32_t scanImage = 1, scanAudio = 1, scanVideo = 1, scanDocs = 1;

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnSize(UINT type, int width, int height) override;
    bool OnDestroy() override;
    void OnBack() override;

private:
    void OnAllFiles(bool allFiles);
    void Browse();
    void ShowFolder();
    void Layout(int width, int height);

    CDupFinderPage& finder_;
    CThemeGroup folderGroup_, kindsGroup_;
    CThemeLabel explain_;
    CGlassButton browseButton_, startButton_;
    bool headerLoaded_ = false;
};
