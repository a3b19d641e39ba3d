// The rows of the grouped results list: groups hold roots, roots hold items (no drawing).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CGroupListCore;

// What a hit operation reports to its caller.
enum HitResult : int {
    kHitNone = -1,      // not here
    kHitInside = 0,     // inside, nothing hit
    kHitExpand = 1,     // expand state changed
    kHitCheck = 2,      // check state changed
    kHitHandled = 3,    // handled without a check change
    kHitRemoved = 5,    // the item removed itself (its own action)
};

// A row rectangle in list coordinates.
struct RowRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

inline constexpr int kItemHeight = 26;
inline constexpr int kRootHeaderHeight = 26;
inline constexpr int kGroupHeadingHeight = 36;

class CRLIBase {
public:
    virtual ~CRLIBase() = default;
    // Hook before the standard hit test; -1 lets the standard test run.
    virtual int HitExtra(const RowRect& rect, int x, int y) { return kHitNone; }

    int32_t checkable = 0;
    int32_t highlighted = 0;
    int32_t checked = 0;
    std::wstring text;
    CGroupListCore* list = nullptr;
    CRLIBase* parent = nullptr;
};

class CRLIRoot;
class CRLIGroup;

class CRLItem : public CRLIBase {
public:
    CRLIRoot* Root() const;
    // The check box's left edge offset in the row: 45 under a checkable root, else 30.
    int CheckOffset() const;

    std::vector<std::wstring> columns;
    const void* data = nullptr;
};

class CRLIRoot : public CRLIBase {
public:
    ~CRLIRoot() override;
    CRLIGroup* Group() const;

    virtual int OnClick(const RowRect& rect, int x, int y);
    virtual int GetHeight() const;
    virtual void AddItem(std::unique_ptr<CRLItem> item);
    virtual void CollectChecked(std::vector<const void*>& keys) const;
    virtual void SetCheckAll(int32_t state);
    virtual void UpdateCheckState();
    virtual void DeleteAllItems();
    virtual int GetItemCount() const { return static_cast<int>(items.size()); }
    // Removes the item at `index` (it leaves the list's item registry and is deleted).
    virtual void RemoveItemAt(int index);
    virtual void SortItems();

    // Takes the item at `index` out of the root; counts follow. Null for a bad index.
    std::unique_ptr<CRLItem> TakeItemAt(int index);

    std::vector<std::unique_ptr<CRLItem>> items;
    std::wstring title;
    int32_t checkedCount = 0;
    int32_t expanded = 1;
    int32_t collapsible = 0;
};

class CRLIGroup : public CRLIBase {
public:
    ~CRLIGroup() override;

    virtual void AddItemToRoot(std::unique_ptr<CRLItem> item, int rootIndex);
    virtual void CollectChecked(std::vector<const void*>& keys) const;
    virtual void UpdateTotals();
    virtual int GetHeight() const;
    virtual int OnClick(const RowRect& rect, int x, int y);
    virtual void DeleteAllRoots();
    virtual int GetItemCount() const { return itemCount; }
    virtual int GetRootItemCount(const std::wstring& title) const;
    virtual int GetRootCheckedCount(const std::wstring& title) const;
    virtual void AddRoot(std::unique_ptr<CRLIRoot> root);
    virtual bool RemoveItemByKey(const void* key);
    // Deletes the root's items; the empty root stays and is no longer drawn.
    virtual bool RemoveRoot(CRLIRoot* root);

    int32_t checkedTotal = 0;
    int32_t itemCount = 0;
    std::vector<std::unique_ptr<CRLIRoot>> roots;
    int32_t headerBottom = 0;
    int32_t collapsible = 0;
    int32_t expanded = 1;
    int headingImage = 0;  // index of the heading picture; the window layer maps it
};
