// Recognition of the command-line switches and of file paths.
#include "app/CommandLine.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

using namespace zyr::app;

namespace {

TEST(CommandLine, ArgumentsFollowTheProgramPath) {
    EXPECT_EQ(ArgumentsOf(L"\"C:\\Program Files\\Zyr\\ZyrDiskCare.exe\"   -scan"), L"-scan");
    EXPECT_EQ(ArgumentsOf(L"ZyrDiskCare.exe -defrag "), L"-defrag ");
    EXPECT_EQ(ArgumentsOf(L"ZyrDiskCare.exe"), L"");
    EXPECT_EQ(ArgumentsOf(L"\"C:\\a b\\z.exe\""), L"");
}

TEST(CommandLine, SwitchesAreWholeAndIgnoreCase) {
    struct Case {
        const wchar_t* line;
        StartRequest expected;
    };
    const Case cases[] = {
        {L"", StartRequest::Normal},
        {L"-install", StartRequest::Install},
        {L"-INSTALL", StartRequest::Install},
        {L"-AddTask", StartRequest::AddTask},
        {L"-report", StartRequest::Report},
        {L"-launchOnLogon", StartRequest::LaunchOnLogon},
        {L"-autoscanonstart", StartRequest::AutoScanOnStart},
        {L"-Uninstall", StartRequest::Uninstall},
        {L"-shutdown", StartRequest::Shutdown},
        {L"-SCAN", StartRequest::Scan},
        {L"-defrag", StartRequest::Defrag},
        // Anything after a switch makes it no switch: no extension, no such path.
        {L"-scan ", StartRequest::Other},
        {L"-defrag -scan", StartRequest::Other},
        {L"/scan", StartRequest::Other},
        {L"scan", StartRequest::Other},
        {L"-", StartRequest::Other},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseCommandLine(c.line).request, c.expected) << c.line;
}

TEST(CommandLine, FilesAreNamedByExtensionOrExistence) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"zyr cmdline.d";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring existing = folder + L"\\README";
    HANDLE h = CreateFileW(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);

    struct Case {
        std::wstring line;
        StartRequest expected;
        std::wstring extension;
    };
    const Case cases[] = {
        {L"C:\\missing\\photo.JPG", StartRequest::File, L".JPG"},          // need not exist
        {L"\"C:\\My Files\\report.final.docx\"", StartRequest::File, L".docx"},
        {L"archive.tar.gz", StartRequest::File, L".gz"},
        {folder + L"\\missing", StartRequest::Other, L""},                 // dot only in a folder name
        {folder + L"\\README", StartRequest::File, L""},                   // no extension, but it exists
        {L"\"" + folder + L"\\README\"", StartRequest::File, L""},
    };
    for (const auto& c : cases) {
        ParsedCommandLine parsed = ParseCommandLine(c.line);
        EXPECT_EQ(parsed.request, c.expected) << std::string(c.line.begin(), c.line.end());
        EXPECT_EQ(parsed.extension, c.extension) << std::string(c.line.begin(), c.line.end());
    }
    DeleteFileW(existing.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
