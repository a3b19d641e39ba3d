// The start-up code's door to the main window.
#pragma once
#include <windows.h>

// Creates, shows and updates the main frame. False when it cannot be created; when its
// resources are incomplete (text 263 is shown) the process ends.
bool CreateMainWindow(HWND* created);
// StartScheduledDefrag on the main frame ("-defrag" at start-up).
void StartScheduledDefragOnMainWindow();
