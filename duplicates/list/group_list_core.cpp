// CGroupListCore: registry of items, columns, scroll arithmetic and click dispatch.
#include "duplicates/list/group_list_core.h"

#include <algorithm>

CGroupListCore::~CGroupListCore() {
    for (auto& group : groups) group->DeleteAllRoots();
}

void CGroupListCore::Reset() {
    DeleteAll(true);
    ResizeColumns(false);
}

void CGroupListCore::AddItem(std::unique_ptr<CRLItem> item, CRLIGroup* group, int rootIndex) {
    if (!group || !item || rootIndex < 0 || rootIndex >= static_cast<int>(group->roots.size())) return;
    const int before = ContentHeight();
    item->list = this;
    allItems.push_back(item.get());
    group->AddItemToRoot(std::move(item), rootIndex);
    group->UpdateTotals();
    if (ContentHeight() != before) UpdateLayout();
    host_.Repaint();
    host_.NotifyParent();
}

void CGroupListCore::AddItemToGroup(std::unique_ptr<CRLItem> item, const std::wstring& groupTitle, int rootIndex) {
    AddItem(std::move(item), AddGroup(groupTitle, 1, 0, 0), rootIndex);
}

void CGroupListCore::GetCheckedItems(std::vector<const void*>& keys) const {
    for (const auto& group : groups)
        if (group->checkable) group->CollectChecked(keys);
}

bool CGroupListCore::RemoveItem(const void* key) {
    for (auto& group : groups)
        if (group->RemoveItemByKey(key)) {
            UpdateLayout();
            host_.Repaint();
            return true;
        }
    return false;
}

void CGroupListCore::RemoveRootItems(CRLIRoot* root) {
    if (!root) return;
    for (auto& group : groups)
        if (group->RemoveRoot(root)) break;  // the root's items leave allItems as they are deleted
    UpdateLayout();
    host_.Repaint();
}

void CGroupListCore::ForgetItem(const CRLItem* item) {
    auto it = std::find(allItems.begin(), allItems.end(), item);
    if (it != allItems.end()) allItems.erase(it);
}

void CGroupListCore::DeleteAll(bool redraw) {
    for (auto& group : groups) group->DeleteAllRoots();
    groups.clear();
    allItems.clear();
    groupsByTitle.clear();
    rootTitles.clear();
    if (redraw) {
        UpdateLayout();
        host_.Repaint();
    }
    host_.NotifyParent();
}

void CGroupListCore::AddColumn(int32_t kind, int32_t width) { columns.push_back(ColumnRecord{kind, width}); }

void CGroupListCore::ResizeColumns(bool keepScrollBars) {
    int fixed = 0, autoCount = 0;
    for (const auto& c : columns) {
        if (c.kind == 1) fixed += c.width;
        else ++autoCount;
    }
    const int free = host_.ClientWidth() - fixed;
    for (auto& c : columns) {
        if (c.kind == 1) continue;
        c.width = free <= 0 ? 100 : std::max(100, free / autoCount);
    }
    totalColumnWidth = 0;
    for (const auto& c : columns) totalColumnWidth += c.width;
    if (!keepScrollBars) UpdateLayout();
}

void CGroupListCore::SetColumnWidth(int index, int width) {
    if (index >= 0 && index < GetColumnCount()) columns[index].width = width;
}

int CGroupListCore::GetColumnWidth(int index) const {
    return index >= 0 && index < GetColumnCount() ? columns[index].width : -1;
}

CRLIGroup* CGroupListCore::AddGroup(const std::wstring& title, int32_t checkable, int headingImage, int32_t collapsible) {
    if (auto it = groupsByTitle.find(title); it != groupsByTitle.end()) return it->second;
    auto group = std::make_unique<CRLIGroup>();
    group->text = title;
    group->list = this;
    group->checkable = checkable;
    group->headingImage = headingImage;
    group->collapsible = collapsible;
    CRLIGroup* raw = group.get();
    groups.push_back(std::move(group));
    groupsByTitle[title] = raw;
    for (const auto& rootTitle : rootTitles) raw->AddRoot(MakeRoot(rootTitle, *raw));
    UpdateLayout();
    return raw;
}

std::unique_ptr<CRLIRoot> CGroupListCore::MakeRoot(const std::wstring& title, CRLIGroup& group) {
    auto root = std::make_unique<CRLIRoot>();
    root->title = title;
    root->text = title;
    root->checkable = group.checkable;
    root->collapsible = group.collapsible;
    return root;
}

void CGroupListCore::AddRoot(const std::wstring& title, bool createRoots) {
    rootTitles.push_back(title);
    if (!createRoots) return;
    for (auto& group : groups) group->AddRoot(MakeRoot(title, *group));
}

int CGroupListCore::ContentHeight() const {
    int h = 0;
    for (const auto& group : groups)
        if (group->itemCount > 0) h += group->GetHeight() + 1;
    return h;
}

bool CGroupListCore::UpdateVertical() {
    const int content = ContentHeight();
    const int client = host_.ClientHeight();
    if (content > client) {
        const int max = std::max(1, (content - client + kScrollUnit - 1) / kScrollUnit);
        if (max == vScrollMax && vShown_) return false;
        vScrollMax = max;
        vScrollPos = std::clamp(vScrollPos, 0, vScrollMax);
        const bool appeared = !vShown_;
        vShown_ = true;
        host_.SetVerticalBar(true, vScrollMax + 1, 2, vScrollPos);
        if (appeared) ResizeColumns(true);
        return true;
    }
    const bool wasShown = vShown_;
    vScrollMax = vScrollPos = 0;
    if (!wasShown) return false;
    vShown_ = false;
    host_.SetVerticalBar(false, 0, 0, 0);
    ResizeColumns(true);
    return true;
}

bool CGroupListCore::UpdateHorizontal() {
    const int client = host_.ClientWidth();
    if (totalColumnWidth > client) {
        const int max = std::max(1, (totalColumnWidth - client + kScrollUnit / 2) / kScrollUnit);
        if (max == hScrollMax && hShown_) return false;
        hScrollMax = max;
        hScrollPos = std::clamp(hScrollPos, 0, hScrollMax);
        hShown_ = true;
        host_.SetHorizontalBar(true, hScrollMax, 1, hScrollPos);
        return true;
    }
    const bool wasShown = hShown_;
    hScrollMax = hScrollPos = 0;
    if (!wasShown) return false;
    hShown_ = false;
    host_.SetHorizontalBar(false, 0, 0, 0);
    return true;
}

void CGroupListCore::UpdateLayout() {
    const bool v = UpdateVertical();
    const bool h = UpdateHorizontal();
    if (v || h) host_.Repaint();
}

void CGroupListCore::SortItems() {
    for (auto& group : groups)
        for (auto& root : group->roots) root->SortItems();
}

RowRect CGroupListCore::ScrolledRect() const {
    RowRect r{0, 0, host_.ClientWidth() + hScrollMax * kScrollUnit, host_.ClientHeight() + vScrollMax * kScrollUnit};
    r.left -= hScrollPos * kScrollUnit;
    r.right -= hScrollPos * kScrollUnit;
    r.top -= vScrollPos * kScrollUnit;
    r.bottom -= vScrollPos * kScrollUnit;
    return r;
}

void CGroupListCore::SetVerticalPos(int pos) {
    pos = std::clamp(pos, 0, vScrollMax);
    if (pos == vScrollPos) return;
    vScrollPos = pos;
    host_.SetVerticalBar(true, vScrollMax + 1, 2, vScrollPos);
    host_.Repaint();
}

void CGroupListCore::SetHorizontalPos(int pos) {
    pos = std::clamp(pos, 0, hScrollMax);
    if (pos == hScrollPos) return;
    hScrollPos = pos;
    host_.SetHorizontalBar(true, hScrollMax, 1, hScrollPos);
    host_.Repaint();
}

void CGroupListCore::Scroll(bool vertical, ScrollCommand command, int trackPosition) {
    const int page = vertical ? std::max(0, (host_.ClientHeight() - 5) / kScrollUnit) : 1;
    const int pos = vertical ? vScrollPos : hScrollPos;
    int next = pos;
    switch (command) {
        case ScrollCommand::LineUp: next = pos - 1; break;
        case ScrollCommand::LineDown: next = pos + 1; break;
        case ScrollCommand::PageUp: next = pos - page; break;
        case ScrollCommand::PageDown: next = pos + page; break;
        case ScrollCommand::Track: next = trackPosition; break;
    }
    if (vertical) SetVerticalPos(next);
    else SetHorizontalPos(next);
}

void CGroupListCore::Wheel(int delta) {
    const int steps = std::max(1, std::abs(delta) / 120);
    SetVerticalPos(vScrollPos + (delta > 0 ? -steps : steps));
}

int CGroupListCore::Click(int x, int y) {
    const RowRect area = ScrolledRect();
    int top = area.top;
    int result = kHitNone;
    for (auto& group : groups) {
        if (group->itemCount == 0) continue;
        const int h = group->GetHeight();
        if (y >= top && y < top + h) {
            result = group->OnClick(RowRect{area.left, top, area.right, top + h}, x, y);
            break;
        }
        top += h + 1;
    }
    if (result == kHitExpand) {
        UpdateLayout();
        host_.Repaint();
    } else if (result == kHitCheck || result == kHitHandled) {
        host_.Repaint();
        host_.NotifyParent();
        host_.RepaintParent();
    } else if (result == kHitRemoved) {
        // The row is gone: the buttons that depend on the checks must follow.
        host_.Repaint();
        host_.NotifyParent();
    }
    return result;
}

const CRLItem* CGroupListCore::ItemAt(int x, int y, RowRect* row) const {
    const RowRect area = ScrolledRect();
    int top = area.top;
    for (const auto& group : groups) {
        if (group->itemCount == 0) continue;
        const int h = group->GetHeight();
        if (y >= top && y < top + h) {
            if (!group->expanded || y < top + kGroupHeadingHeight) return nullptr;
            int rtop = top + kGroupHeadingHeight;
            for (const auto& root : group->roots) {
                if (root->items.empty()) continue;
                const int rh = root->GetHeight();
                if (y >= rtop && y < rtop + rh) {
                    if (!OffersTips(*root) || !root->expanded || y < rtop + kRootHeaderHeight) return nullptr;
                    const int index = (y - rtop - kRootHeaderHeight) / kItemHeight;
                    const CRLItem* item = root->items[index].get();
                    const int column0 = columns.empty() ? area.right - area.left : columns[0].width;
                    if (x < area.left + item->CheckOffset() + 13 || x >= area.left + column0) return nullptr;
                    if (row) *row = RowRect{area.left, rtop + kRootHeaderHeight + index * kItemHeight,
                                            area.left + column0, rtop + kRootHeaderHeight + (index + 1) * kItemHeight};
                    return item;
                }
                rtop += rh + 1;
            }
            return nullptr;
        }
        top += h + 1;
    }
    return nullptr;
}
