// CGroupListCore: the grouped list's rows, columns, layout, scrolling and click rules.
#pragma once
#include "duplicates/list/group_list_rows.h"

#include <map>

// What the window around the list does for it. The core never touches a window itself.
class IGroupListHost {
public:
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    // Shows or hides a scroll bar with the core's range, page and position.
    virtual void SetVerticalBar(bool show, int maximum, int page, int position) = 0;
    virtual void SetHorizontalBar(bool show, int maximum, int page, int position) = 0;
    virtual void Repaint() = 0;
    // Posts the "check states or contents changed" message to the parent, if any.
    virtual void NotifyParent() = 0;
    virtual void RepaintParent() = 0;

protected:
    ~IGroupListHost() = default;
};

inline constexpr int kScrollUnit = 30;
inline constexpr unsigned kGroupListChangedMessage = 1899;

struct ColumnRecord {
    int32_t kind = 0;   // 1 fixed width, 0 automatic
    int32_t width = 0;
};

enum class ScrollCommand { LineUp, LineDown, PageUp, PageDown, Track };

class CGroupListCore {
public:
    explicit CGroupListCore(IGroupListHost& host) : host_(host) {}
    virtual ~CGroupListCore();
    CGroupListCore(const CGroupListCore&) = delete;
    CGroupListCore& operator=(const CGroupListCore&) = delete;

    void Reset();
    void AddItem(std::unique_ptr<CRLItem> item, CRLIGroup* group, int rootIndex);
    void AddItemToGroup(std::unique_ptr<CRLItem> item, const std::wstring& groupTitle, int rootIndex);
    void GetCheckedItems(std::vector<const void*>& keys) const;
    bool RemoveItem(const void* key);
    void RemoveRootItems(CRLIRoot* root);
    int GetItemCount() const { return static_cast<int>(allItems.size()); }
    void DeleteAll(bool redraw);
    void AddColumn(int32_t kind, int32_t width);
    void ResizeColumns(bool keepScrollBars);
    void OnResize() { ResizeColumns(false); }
    void SetColumnWidth(int index, int width);
    int GetColumnWidth(int index) const;
    int GetColumnCount() const { return static_cast<int>(columns.size()); }
    CRLIGroup* AddGroup(const std::wstring& title, int32_t checkable, int headingImage, int32_t collapsible);
    // Appends a root title; with createRoots, a root of that title at the end of every group.
    virtual void AddRoot(const std::wstring& title, bool createRoots);
    void UpdateLayout();
    void SortItems();
    void SetEmptyText(const std::wstring& text) { emptyText = text; }

    // Layout arithmetic.
    int ContentHeight() const;
    // The painted (and clicked) rectangle: extended by the scroll ranges, shifted by the positions.
    RowRect ScrolledRect() const;
    // Scroll bar commands and the mouse wheel; positions are clamped to 0 and the maximum.
    void Scroll(bool vertical, ScrollCommand command, int trackPosition = 0);
    void Wheel(int delta);
    // A left click at client (x, y); returns the hit result after acting on it.
    int Click(int x, int y);
    // The item under client (x, y) in column 0 (past its check box) of a root that offers
    // tooltips, with its row; null when none. The tooltip shows the item's text.
    const CRLItem* ItemAt(int x, int y, RowRect* row) const;

    // Called by rows whose items leave the list.
    void ForgetItem(const CRLItem* item);
    IGroupListHost& Host() const { return host_; }

    std::wstring emptyText;
    std::vector<std::unique_ptr<CRLIGroup>> groups;
    std::vector<std::wstring> rootTitles;
    int32_t vScrollMax = 0, hScrollMax = 0, vScrollPos = 0, hScrollPos = 0;
    int32_t totalColumnWidth = 0;
    std::vector<const CRLItem*> allItems;
    std::map<std::wstring, CRLIGroup*> groupsByTitle;
    std::vector<ColumnRecord> columns;

protected:
    // A new root of `title` for a group; subclasses make their own row classes.
    virtual std::unique_ptr<CRLIRoot> MakeRoot(const std::wstring& title, CRLIGroup& group);
    // Whether the item rows of `root` offer their text as a tooltip: those of checkable roots.
    virtual bool OffersTips(const CRLIRoot& root) const { return root.checkable != 0; }

private:
    bool UpdateVertical();
    bool UpdateHorizontal();
    void SetVerticalPos(int pos);
    void SetHorizontalPos(int pos);

    IGroupListHost& host_;
    bool vShown_ = false;
    bool hShown_ = false;
};
