// What the duplicate results list needs from the system: texts, the shell and the file system.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class IDupEnvironment {
public:
    // A resource text by number.
    virtual std::wstring Text(int id) = 0;
    // A size as the shell writes it ("1.50 KB").
    virtual std::wstring FormatByteSize(uint64_t bytes) = 0;
    // The pixel width of `text` in the list's font.
    virtual int TextWidth(const std::wstring& text) = 0;
    // The message of resource text `id`, with the application title as caption.
    virtual void ShowMessage(int id) = 0;
    // Sends the files to the Recycle Bin (the shell confirms). False when the call failed or
    // was cancelled; files may be gone either way, callers look at the disk.
    virtual bool RecycleFiles(const std::vector<std::wstring>& paths, bool ownedByPage) = 0;
    // Moves the files into `folder`, renaming on a name collision.
    virtual bool MoveFiles(const std::vector<std::wstring>& paths, const std::wstring& folder) = 0;
    virtual bool FileExists(const std::wstring& path) = 0;
    virtual bool IsFolder(const std::wstring& path) = 0;
    // Opens a file with its associated program; false (after telling the user) when none is.
    virtual void OpenFile(const std::wstring& path) = 0;
    // The folder picker for moving; empty when cancelled. `current` is the initial selection.
    virtual std::wstring PickMoveFolder(const std::wstring& current) = 0;
    // Remembers the move folder in the settings store.
    virtual void StoreMoveFolder(const std::wstring& folder) = 0;

protected:
    ~IDupEnvironment() = default;
};

// Resource texts of the results list.
enum DupTextId : int {
    kTextGroupImage = 161,
    kTextGroupAudio = 162,
    kTextGroupVideo = 163,
    kTextGroupDocument = 164,
    kTextGroupOther = 165,
    kTextKeepOneCopy = 166,
    kTextSetTitle = 311,
    kTextRecycle = 312,
    kTextOpen = 313,
    kTextRemove = 314,
    kTextNoApplication = 315,
    kTextBadMoveFolder = 461,
    kTextMoveTitle = 462,
};
