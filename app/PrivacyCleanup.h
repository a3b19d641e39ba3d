// Privacy cleanup: the temporary-file folders and the recently used documents.
#pragma once
#include <windows.h>
#include <string>

// Deletes everything below `folder`. Reparse points (junctions, symbolic links) are neither
// followed nor deleted; files that cannot be deleted stay, with the folders that hold them.
// Subfolders are removed when they became empty; the folder itself only when `removeFolder`.
// Returns 0 when every deletion succeeded, 13 when the folder could not be listed, otherwise
// the error code of the last deletion that failed.
DWORD DeleteFolderContents(const std::wstring& folder, bool removeFolder);

// Empties "%windir%\Temp", "%TEMP%", "%userprofile%\Local Settings\Temp" and the temporary
// Internet files folder (each kept). Always 1.
int CleanTemporaryFiles();
// Empties the two Recent folders and recreates the RecentDocs registry key empty. Always 1.
int CleanRecentDocuments();
