// The duplicate layer of the grouped list: sets (CDupRoot), files (CDupItem) and the actions.
#pragma once
#include "duplicates/core/duplicate_file_list.h"
#include "duplicates/list/dup_environment.h"
#include "duplicates/list/group_list_core.h"

#include <array>

class CDupResultsCore;

// One file row. Its check box keeps one copy of every set unchecked.
class CDupItem : public CRLItem {
public:
    int HitExtra(const RowRect& rect, int x, int y) override;
    CDupResultsCore& Owner() const;
};

// The header of one set, with the links that open its first file and drop it from the list.
class CDupRoot : public CRLIRoot {
public:
    int HitExtra(const RowRect& rect, int x, int y) override;
    void RemoveItemAt(int index) override;
    // The two links in the header, from the header's rectangle.
    RowRect OpenRect(const RowRect& header) const;
    RowRect RemoveRect(const RowRect& header) const;
};

// Heading pictures of the five category groups (the window layer maps them to files).
enum DupGroupImage : int { kDupImageImage = 1, kDupImageAudio, kDupImageVideo, kDupImageDocument, kDupImageOther };

class CDupResultsCore : public CGroupListCore {
public:
    CDupResultsCore(IGroupListHost& host, IDupEnvironment& env) : CGroupListCore(host), env_(env) {}

    void ResetGroups(bool withColumns);
    void AddDuplicateList(const CDuplicateFileList& list);
    void SelectAllButFirst();
    // Page actions; both return whether anything was attempted.
    bool DeleteCheckedFiles();
    bool MoveCheckedFiles();

    IDupEnvironment& Env() const { return env_; }
    // The group of a category (1 audio, 2 video, 4 image, 8 document, other).
    CRLIGroup* GroupFor(uint32_t category) const;

    std::wstring moveFolder;

protected:
    std::unique_ptr<CRLIRoot> MakeRoot(const std::wstring& title, CRLIGroup& group) override;
    // A set's header has no check box, yet its file rows show their full path as a tooltip.
    bool OffersTips(const CRLIRoot&) const override { return true; }

private:
    std::vector<std::wstring> CheckedPaths(std::vector<const void*>& keys) const;
    void RemoveVanished(const std::vector<const void*>& keys);

    IDupEnvironment& env_;
    std::array<CRLIGroup*, 5> groups_{};  // image, audio, video, document, other
};
