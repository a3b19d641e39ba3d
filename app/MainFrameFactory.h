// What start-up asks of the main frame and the skin, kept behind three calls.
#pragma once
#include <windows.h>

namespace zyr::app {

// Creates, shows and updates the main window (resource id 128, style 0x820F0000, no parent).
// False when it cannot be created.
bool CreateMainWindow(HWND* created);
// Starts the scheduled defragmentation on the main window ("-defrag").
void StartScheduledDefragOnMainWindow();
// Rebuilds the skin's fonts for the configured language (LANGID "ja").
void RebuildSkinFontsForLanguage();

}  // namespace zyr::app
