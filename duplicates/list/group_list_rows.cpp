// The rows' counting, height and hit rules.
#include "duplicates/list/group_list_rows.h"

#include "duplicates/list/group_list_core.h"

#include <algorithm>

CRLIRoot* CRLItem::Root() const { return static_cast<CRLIRoot*>(parent); }

int CRLItem::CheckOffset() const {
    const CRLIRoot* root = Root();
    return root && root->checkable ? 45 : 30;
}

CRLIRoot::~CRLIRoot() = default;

CRLIGroup* CRLIRoot::Group() const { return static_cast<CRLIGroup*>(parent); }

int CRLIRoot::GetHeight() const {
    return expanded ? kItemHeight * (1 + static_cast<int>(items.size())) : kRootHeaderHeight;
}

void CRLIRoot::AddItem(std::unique_ptr<CRLItem> item) {
    item->parent = this;
    items.push_back(std::move(item));
}

void CRLIRoot::CollectChecked(std::vector<const void*>& keys) const {
    for (const auto& item : items)
        if (item->checked) keys.push_back(item->data);
}

void CRLIRoot::SetCheckAll(int32_t state) {
    for (auto& item : items) item->checked = state;
    checked = state;
    checkedCount = state ? static_cast<int32_t>(items.size()) : 0;
}

void CRLIRoot::UpdateCheckState() {
    checkedCount = static_cast<int32_t>(std::count_if(items.begin(), items.end(), [](const auto& i) { return i->checked != 0; }));
    if (checkedCount == 0) checked = 0;
    else if (checkedCount == static_cast<int32_t>(items.size())) checked = 1;
    else checked = 2;
}

void CRLIRoot::DeleteAllItems() {
    for (const auto& item : items)
        if (list) list->ForgetItem(item.get());
    items.clear();
    checkedCount = 0;
    checked = 0;
}

std::unique_ptr<CRLItem> CRLIRoot::TakeItemAt(int index) {
    if (index < 0 || index >= static_cast<int>(items.size())) return nullptr;
    std::unique_ptr<CRLItem> item = std::move(items[index]);
    items.erase(items.begin() + index);
    if (item->checked && checkedCount > 0) --checkedCount;
    if (CRLIGroup* group = Group(); group && group->itemCount > 0) --group->itemCount;
    if (list) list->ForgetItem(item.get());
    return item;
}

void CRLIRoot::RemoveItemAt(int index) {
    std::unique_ptr<CRLItem> item = TakeItemAt(index);
    if (!item) return;
    CRLIGroup* group = Group();
    if (group && group->itemCount > 0) {
        UpdateCheckState();
        group->UpdateTotals();
        if (list) list->UpdateLayout();
    }
}

void CRLIRoot::SortItems() {
    auto fold = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; };
    std::stable_sort(items.begin(), items.end(), [&](const auto& a, const auto& b) {
        return std::lexicographical_compare(a->text.begin(), a->text.end(), b->text.begin(), b->text.end(),
                                            [&](wchar_t x, wchar_t y) { return fold(x) < fold(y); });
    });
}

int CRLIRoot::OnClick(const RowRect& rect, int x, int y) {
    if (y < rect.top + kRootHeaderHeight) {
        RowRect header{rect.left, rect.top, rect.right, rect.top + kRootHeaderHeight};
        if (int r = HitExtra(header, x, y); r != kHitNone) return r;
        if (checkable && x >= rect.left + 31 && x <= rect.left + 45) {
            SetCheckAll(checked == 0 ? 1 : 0);
            return kHitCheck;
        }
        if (collapsible) {
            expanded = !expanded;
            return kHitExpand;
        }
        return kHitHandled;
    }
    if (!expanded) return kHitNone;
    const int index = (y - rect.top - kRootHeaderHeight) / kItemHeight;
    if (index < 0 || index >= static_cast<int>(items.size())) return kHitNone;
    CRLItem& item = *items[index];
    const int top = rect.top + kRootHeaderHeight + index * kItemHeight;
    const RowRect row{rect.left, top, rect.right, top + kItemHeight};
    auto flip = [&] {
        item.checked = !item.checked;
        checkedCount += item.checked ? 1 : -1;
        UpdateCheckState();
        return kHitCheck;
    };
    const int r = item.HitExtra(row, x, y);
    if (r == kHitCheck) return flip();
    if (r == kHitRemoved) {
        RemoveItemAt(index);
        return kHitRemoved;
    }
    if (r != kHitNone) return r;
    if (!item.checkable) return kHitHandled;
    const int i = item.CheckOffset();
    if (x >= rect.left + i && x < rect.left + i + 13) return flip();
    return kHitHandled;
}

CRLIGroup::~CRLIGroup() = default;

void CRLIGroup::AddItemToRoot(std::unique_ptr<CRLItem> item, int rootIndex) {
    if (rootIndex < 0 || rootIndex >= static_cast<int>(roots.size())) return;
    CRLIRoot& root = *roots[rootIndex];
    item->checkable = checkable;
    if (root.checked) item->checked = 1;
    const bool first = root.items.empty();
    root.AddItem(std::move(item));
    ++itemCount;
    if (first && checked == 1) root.SetCheckAll(1);
}

void CRLIGroup::CollectChecked(std::vector<const void*>& keys) const {
    for (const auto& root : roots) root->CollectChecked(keys);
}

void CRLIGroup::UpdateTotals() {
    if (!checkable) return;
    checkedTotal = 0;
    for (auto& root : roots) {
        root->UpdateCheckState();
        checkedTotal += root->checkedCount;
    }
}

int CRLIGroup::GetHeight() const {
    if (itemCount == 0) return 0;
    if (!expanded) return kGroupHeadingHeight;
    int h = kGroupHeadingHeight;
    for (const auto& root : roots)
        if (!root->items.empty()) h += root->GetHeight() + 1;
    return h;
}

int CRLIGroup::OnClick(const RowRect& rect, int x, int y) {
    if (int r = HitExtra(rect, x, y); r != kHitNone) return r;
    if (y < rect.top + kGroupHeadingHeight) {
        if (collapsible) {
            expanded = !expanded;
            return kHitExpand;
        }
        return kHitHandled;
    }
    if (!expanded) return kHitInside;
    int top = rect.top + kGroupHeadingHeight;
    for (auto& root : roots) {
        if (root->items.empty()) continue;
        const int h = root->GetHeight();
        if (y >= top && y < top + h) {
            const int r = root->OnClick(RowRect{rect.left, top, rect.right, top + h}, x, y);
            if (r != kHitNone) UpdateTotals();
            return r;
        }
        top += h + 1;
    }
    return kHitInside;
}

void CRLIGroup::DeleteAllRoots() {
    for (auto& root : roots) root->DeleteAllItems();
    roots.clear();
    itemCount = 0;
    checkedTotal = 0;
}

int CRLIGroup::GetRootItemCount(const std::wstring& title) const {
    for (const auto& root : roots)
        if (root->title == title) return root->GetItemCount();
    return 0;
}

int CRLIGroup::GetRootCheckedCount(const std::wstring& title) const {
    for (const auto& root : roots)
        if (root->title == title) return root->checkedCount;
    return 0;
}

void CRLIGroup::AddRoot(std::unique_ptr<CRLIRoot> root) {
    root->parent = this;
    root->list = list;
    roots.push_back(std::move(root));
}

bool CRLIGroup::RemoveItemByKey(const void* key) {
    for (auto& root : roots)
        for (size_t i = 0; i < root->items.size(); ++i)
            if (root->items[i]->data == key) {
                root->RemoveItemAt(static_cast<int>(i));
                return true;
            }
    return false;
}

bool CRLIGroup::RemoveRoot(CRLIRoot* root) {
    for (auto& r : roots) {
        if (r.get() != root) continue;
        itemCount = std::max(0, itemCount - root->GetItemCount());
        root->DeleteAllItems();
        UpdateTotals();
        if (list) list->UpdateLayout();
        return true;
    }
    return false;
}
