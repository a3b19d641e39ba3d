// Test doubles for the grouped list: a host window of a given size and an environment over real files.
#pragma once
#include "duplicates/list/dup_results.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

// A window of a fixed client size; records what the list asks of it.
struct FakeHost : IGroupListHost {
    int width = 600, height = 400;
    int notifications = 0, repaints = 0;
    bool vBar = false, hBar = false;
    int vRange = 0, vPos = 0, hRange = 0;

    int ClientWidth() const override { return width - (vBar ? 17 : 0); }
    int ClientHeight() const override { return height; }
    void SetVerticalBar(bool show, int maximum, int page, int position) override {
        vBar = show;
        vRange = maximum;
        vPos = position;
    }
    void SetHorizontalBar(bool show, int maximum, int page, int position) override {
        hBar = show;
        hRange = maximum;
    }
    void Repaint() override { ++repaints; }
    void NotifyParent() override { ++notifications; }
    void RepaintParent() override {}
};

// Texts are their numbers; sizes in bytes; "recycling" moves files into a trash folder,
// unless the user declines.
struct FilesEnv : IDupEnvironment {
    std::filesystem::path trash;
    bool decline = false;
    std::wstring pickedFolder;
    std::vector<int> messages;
    std::vector<std::wstring> opened;
    int trashed = 0;

    std::wstring Text(int id) override {
        if (id == kTextSetTitle) return L"%d files of %s";
        return L"#" + std::to_wstring(id);
    }
    std::wstring FormatByteSize(uint64_t bytes) override { return std::to_wstring(bytes) + L" bytes"; }
    int TextWidth(const std::wstring& text) override { return 7 * static_cast<int>(text.size()); }
    void ShowMessage(int id) override { messages.push_back(id); }
    bool RecycleFiles(const std::vector<std::wstring>& paths, bool) override {
        if (decline) return false;
        for (const auto& p : paths) {
            std::error_code ec;
            std::filesystem::rename(p, trash / std::to_wstring(trashed++), ec);
        }
        return true;
    }
    bool MoveFiles(const std::vector<std::wstring>& paths, const std::wstring& folder) override {
        for (const auto& p : paths) {
            const std::filesystem::path from(p);
            std::filesystem::path to = std::filesystem::path(folder) / from.filename();
            for (int n = 2; std::filesystem::exists(to); ++n)
                to = std::filesystem::path(folder) / (from.stem().wstring() + L" (" + std::to_wstring(n) + L")" + from.extension().wstring());
            std::filesystem::rename(from, to);
        }
        return true;
    }
    bool FileExists(const std::wstring& path) override { return std::filesystem::exists(path); }
    bool IsFolder(const std::wstring& path) override { return std::filesystem::is_directory(path); }
    void OpenFile(const std::wstring& path) override { opened.push_back(path); }
    std::wstring PickMoveFolder(const std::wstring&) override { return pickedFolder; }
    void StoreMoveFolder(const std::wstring&) override {}
};

// A scratch folder with sets of identical files.
struct SetFolder {
    std::filesystem::path root;
    explicit SetFolder(const std::string& name) {
        root = std::filesystem::temp_directory_path() / ("zyr-duplist-" + name);
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "trash");
    }
    ~SetFolder() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    // `count` copies of one content; returns the set as the scanner would report it.
    CDuplicateFileList MakeSet(const std::string& name, int count, uint32_t category = 16) {
        CDuplicateFileList list;
        list.category = category;
        list.size = 100;
        for (int i = 0; i < count; ++i) {
            const auto path = root / (name + "-" + std::to_string(i) + ".dat");
            std::ofstream(path, std::ios::binary) << std::string(100, 'x').replace(0, name.size(), name) ;
            list.files.push_back(path.wstring());
        }
        return list;
    }
};

// The client y of an item's row (or of its root's header with index -1), from the layout rules.
inline int RowTop(const CGroupListCore& list, const CRLIRoot* target, int index) {
    int top = list.ScrolledRect().top;
    for (const auto& group : list.groups) {
        if (group->itemCount == 0) continue;
        int rtop = top + kGroupHeadingHeight;
        for (const auto& root : group->roots) {
            if (root->items.empty()) continue;
            if (root.get() == target) return rtop + kRootHeaderHeight * (index + 1);
            rtop += root->GetHeight() + 1;
        }
        top += group->GetHeight() + 1;
    }
    return -1000;
}
