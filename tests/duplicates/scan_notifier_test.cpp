// The page's side of a scan on Windows: the finished scan posts 1932 to a real window, whose
// thread then collects the results.
#include "duplicates/core/file_category.h"
#include "duplicates/win32/scan_finished_notifier.h"
#include "tests/duplicates/test_tree.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

using namespace zyr::dup;

TEST(ScanFinishedNotifier, PostsTheMessageToTheWindowWhenTheScanEnds) {
    test::TestTree tree;
    tree.Write("one.jpg", test::Bytes(5000, 1));
    tree.Write("sub/two.jpg", test::Bytes(5000, 1));
    static CTavrinEngine engine;
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ScanFinishedNotifier notifier(window);
    std::unique_ptr<IDuplicateFileScanner> scanner(CreateDuplicateFileScanner(&notifier));
    scanner->Start(tree.Path(), 1, CategoryImage);

    MSG message{};
    const DWORD deadline = ::GetTickCount() + 20000;
    bool finished = false;
    while (!finished && ::GetTickCount() < deadline) {
        if (::PeekMessageW(&message, window, 0, 0, PM_REMOVE)) {
            finished = message.message == kScanFinishedMessage;
        } else {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 200, QS_ALLINPUT);  // the page's 200 ms poll
        }
    }
    ASSERT_TRUE(finished);
    int32_t state = 0;
    scanner->GetStatus(&state, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(state, ScanStateFinished);
    std::vector<CDuplicateFileList> sets;
    scanner->GetResults(&sets);
    ASSERT_EQ(sets.size(), 1u);
    std::vector<std::wstring> files = sets[0].files;
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::wstring>{tree.Reported("one.jpg"), tree.Reported("sub/two.jpg")}));
    scanner.reset();
    ::DestroyWindow(window);
}
