// The duplicate sets in the grouped list, the one-copy-stays rule and the file actions.
#include "duplicates/list/dup_results.h"

#include <algorithm>
#include <cwchar>

namespace {
constexpr int kLinkIconWidth = 16;  // the open and remove link pictures

std::wstring FormatSetTitle(const std::wstring& format, int count, const std::wstring& size) {
    // The resource text takes an integer and a string, in that order (%d and %s).
    std::wstring out;
    int arg = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == L'%' && i + 1 < format.size()) {
            const wchar_t c = format[i + 1];
            if (c == L'%') { out += L'%'; ++i; continue; }
            if ((c == L'd' || c == L'u' || c == L'i') && arg == 0) { out += std::to_wstring(count); ++i; ++arg; continue; }
            if ((c == L's' || c == L'S') && arg == 1) { out += size; ++i; ++arg; continue; }
        }
        out += format[i];
    }
    return out;
}
}  // namespace

CDupResultsCore& CDupItem::Owner() const { return *static_cast<CDupResultsCore*>(list); }

int CDupItem::HitExtra(const RowRect& rect, int x, int y) {
    CDupResultsCore& owner = Owner();
    const int col0 = std::max(0, owner.GetColumnWidth(0));
    const int col1 = std::max(0, owner.GetColumnWidth(1));
    if (x >= rect.left + col0 && x < rect.left + col0 + col1) {
        // One file to the Recycle Bin; the row goes only when the file really is gone.
        owner.Env().RecycleFiles({text}, false);
        return owner.Env().FileExists(text) ? kHitHandled : kHitRemoved;
    }
    const int i = CheckOffset();
    if (!checkable || x < rect.left + i || x >= rect.left + i + 13) return kHitNone;
    if (checked) return kHitCheck;
    for (const auto& other : Root()->items)
        if (other.get() != this && !other->checked) return kHitCheck;
    owner.Env().ShowMessage(kTextKeepOneCopy);
    return kHitHandled;
}

RowRect CDupRoot::OpenRect(const RowRect& header) const {
    IDupEnvironment& env = static_cast<CDupResultsCore*>(list)->Env();
    const int w1 = env.TextWidth(env.Text(kTextOpen)) + kLinkIconWidth + 3;
    const int w2 = env.TextWidth(env.Text(kTextRemove)) + kLinkIconWidth + 3;
    return RowRect{header.right - w2 - w1 - 40, header.top, header.right - w2 - 40, header.bottom};
}

RowRect CDupRoot::RemoveRect(const RowRect& header) const {
    IDupEnvironment& env = static_cast<CDupResultsCore*>(list)->Env();
    const int w2 = env.TextWidth(env.Text(kTextRemove)) + kLinkIconWidth + 3;
    return RowRect{header.right - w2 - 20, header.top, header.right - 20, header.bottom};
}

int CDupRoot::HitExtra(const RowRect& rect, int x, int y) {
    auto inside = [&](const RowRect& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; };
    if (inside(OpenRect(rect))) {
        if (!items.empty()) static_cast<CDupResultsCore*>(list)->Env().OpenFile(items.front()->text);
        return kHitHandled;
    }
    if (inside(RemoveRect(rect))) {
        list->RemoveRootItems(this);  // the files stay on disk
        return kHitHandled;
    }
    return kHitNone;
}

void CDupRoot::RemoveItemAt(int index) {
    std::unique_ptr<CRLItem> item = TakeItemAt(index);
    if (!item) return;
    CRLIGroup* group = Group();
    if (group->itemCount > 0) {
        UpdateCheckState();
        group->UpdateTotals();
        list->UpdateLayout();
    }
    if (!items.empty() && checkedCount == static_cast<int32_t>(items.size())) {
        items.front()->checked = 0;
        UpdateCheckState();
        group->UpdateTotals();
        list->UpdateLayout();
    }
    if (items.size() == 1) list->RemoveRootItems(this);  // one file left: no longer a duplicate
}

std::unique_ptr<CRLIRoot> CDupResultsCore::MakeRoot(const std::wstring& title, CRLIGroup& group) {
    auto root = std::make_unique<CDupRoot>();
    root->title = title;
    root->text = title;
    root->checkable = 0;
    root->expanded = 1;
    root->collapsible = group.collapsible;
    return root;
}

void CDupResultsCore::ResetGroups(bool withColumns) {
    DeleteAll(true);
    if (withColumns) {
        AddColumn(0, 300);
        AddColumn(1, env_.TextWidth(env_.Text(kTextRecycle)) + 30);
    }
    ResizeColumns(false);
    const int titles[] = {kTextGroupImage, kTextGroupAudio, kTextGroupVideo, kTextGroupDocument, kTextGroupOther};
    const int images[] = {kDupImageImage, kDupImageAudio, kDupImageVideo, kDupImageDocument, kDupImageOther};
    for (int i = 0; i < 5; ++i) groups_[i] = AddGroup(env_.Text(titles[i]), 1, images[i], 1);
}

CRLIGroup* CDupResultsCore::GroupFor(uint32_t category) const {
    switch (category) {
        case 1: return groups_[1];
        case 2: return groups_[2];
        case 8: return groups_[3];
        case 4: return groups_[0];
        default: return groups_[4];
    }
}

void CDupResultsCore::AddDuplicateList(const CDuplicateFileList& list) {
    CRLIGroup* group = GroupFor(list.category);
    if (!group || list.files.size() < 2) return;
    const std::wstring title = FormatSetTitle(env_.Text(kTextSetTitle), static_cast<int>(list.files.size()),
                                              env_.FormatByteSize(list.size));
    AddRoot(title, true);
    const int rootIndex = static_cast<int>(rootTitles.size()) - 1;
    for (const auto& path : list.files) {
        auto item = std::make_unique<CDupItem>();
        item->text = path;
        item->columns.push_back(env_.Text(kTextRecycle));
        item->data = item.get();
        AddItem(std::move(item), group, rootIndex);
    }
}

void CDupResultsCore::SelectAllButFirst() {
    for (auto& group : groups) {
        for (auto& root : group->roots) {
            for (size_t i = 0; i < root->items.size(); ++i) root->items[i]->checked = i == 0 ? 0 : 1;
            root->UpdateCheckState();
        }
        group->UpdateTotals();
    }
    Host().Repaint();
}

std::vector<std::wstring> CDupResultsCore::CheckedPaths(std::vector<const void*>& keys) const {
    GetCheckedItems(keys);
    std::vector<std::wstring> paths;
    for (const void* key : keys) paths.push_back(static_cast<const CDupItem*>(key)->text);
    return paths;
}

void CDupResultsCore::RemoveVanished(const std::vector<const void*>& keys) {
    // Paths first: removing a row can end its set and delete the other rows with it.
    std::vector<std::pair<const void*, std::wstring>> rows;
    for (const void* key : keys) rows.emplace_back(key, static_cast<const CDupItem*>(key)->text);
    for (const auto& [key, path] : rows) {
        if (env_.FileExists(path)) continue;
        if (std::find(allItems.begin(), allItems.end(), key) == allItems.end()) continue;
        RemoveItem(key);
    }
}

bool CDupResultsCore::DeleteCheckedFiles() {
    std::vector<const void*> keys;
    const std::vector<std::wstring> paths = CheckedPaths(keys);
    if (paths.empty()) return false;
    env_.RecycleFiles(paths, true);
    RemoveVanished(keys);
    Host().NotifyParent();
    return true;
}

bool CDupResultsCore::MoveCheckedFiles() {
    const std::wstring picked = env_.PickMoveFolder(moveFolder);
    if (picked.empty()) return false;
    moveFolder = picked;
    env_.StoreMoveFolder(moveFolder);
    if (moveFolder.empty() || !env_.IsFolder(moveFolder)) {
        env_.ShowMessage(kTextBadMoveFolder);
        return false;
    }
    std::vector<const void*> keys;
    const std::vector<std::wstring> paths = CheckedPaths(keys);
    if (paths.empty()) return false;
    env_.MoveFiles(paths, moveFolder);
    RemoveVanished(keys);
    Host().NotifyParent();
    return true;
}
