// The command-line switches of the program and the test whether the line names a file.
#pragma once
#include <string>
#include <string_view>

namespace zyr::app {

enum class StartRequest {
    Normal,           // empty command line
    Install,          // "-install"
    AddTask,          // "-addtask"
    Report,           // "-report"
    LaunchOnLogon,    // "-launchonlogon"
    AutoScanOnStart,  // "-autoscanonstart"
    Uninstall,        // "-uninstall"
    Shutdown,         // "-shutdown"
    Scan,             // "-scan"
    Defrag,           // "-defrag"
    File,             // names a file: its extension is forwarded
    Other,            // anything else
};

struct ParsedCommandLine {
    StartRequest request = StartRequest::Normal;
    std::wstring extension;  // for File: the extension with its dot, or empty (an existing path)
};

// The arguments of a full command line: the text after the program path, blanks skipped.
std::wstring_view ArgumentsOf(std::wstring_view commandLine);

// Compares the whole argument text with each switch ignoring case, first match wins;
// otherwise tests whether it names a file.
ParsedCommandLine ParseCommandLine(const std::wstring& arguments);

}  // namespace zyr::app
