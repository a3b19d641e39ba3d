// Switch recognition, as the installer, the task scheduler and the shell start the program.
#include "app/CommandLine.h"

#include <windows.h>
#include <shlwapi.h>

#include <vector>

namespace zyr::app {
namespace {

struct Switch {
    const wchar_t* text;
    StartRequest request;
};
constexpr Switch kSwitches[] = {
    {L"-install", StartRequest::Install},       {L"-addtask", StartRequest::AddTask},
    {L"-report", StartRequest::Report},         {L"-launchonlogon", StartRequest::LaunchOnLogon},
    {L"-autoscanonstart", StartRequest::AutoScanOnStart}, {L"-uninstall", StartRequest::Uninstall},
    {L"-shutdown", StartRequest::Shutdown},     {L"-scan", StartRequest::Scan},
    {L"-defrag", StartRequest::Defrag},
};

}  // namespace

std::wstring_view ArgumentsOf(std::wstring_view line) {
    size_t i = 0;
    if (i < line.size() && line[i] == L'"') {
        size_t close = line.find(L'"', 1);
        i = close == std::wstring_view::npos ? line.size() : close + 1;
    }
    while (i < line.size() && line[i] != L' ' && line[i] != L'\t') ++i;
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
    return line.substr(i);
}

ParsedCommandLine ParseCommandLine(const std::wstring& arguments) {
    ParsedCommandLine parsed;
    if (arguments.empty()) return parsed;
    for (const Switch& s : kSwitches) {
        if (CompareStringOrdinal(arguments.c_str(), -1, s.text, -1, TRUE) == CSTR_EQUAL) {
            parsed.request = s.request;
            return parsed;
        }
    }
    std::vector<wchar_t> path(arguments.begin(), arguments.end());
    path.push_back(0);
    PathUnquoteSpacesW(path.data());
    const wchar_t* extension = PathFindExtensionW(path.data());
    if (extension && *extension) {
        parsed.request = StartRequest::File;
        parsed.extension = extension;
    } else if (PathFileExistsW(path.data())) {
        parsed.request = StartRequest::File;
    } else {
        parsed.request = StartRequest::Other;
    }
    return parsed;
}

}  // namespace zyr::app
