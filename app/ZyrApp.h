// The application object: prepares the process, acts on the command line, opens the main window.
#pragma once
#include "app/CommandLine.h"
#include "framework/App.h"

#include <cstdint>
#include <string>

namespace zyr::app {

// Messages that a second start forwards to the running instance.
inline constexpr UINT UM_SCAN_REQUEST = 1679;
inline constexpr UINT UM_DEFRAG_REQUEST = 1680;
inline constexpr UINT UM_SHUTDOWN_REQUEST = 1724;
inline constexpr UINT UM_FILE_EXTENSION = 1727;

class CZyrApp : public fw::CWinAppBase {
public:
    bool InitInstance() override;
    int ExitInstance() override;

    const std::wstring& programFolder() const { return programFolder_; }
    uint32_t runCount() const { return runCount_; }

private:
    bool RegisterMainWindowClass();
    static void InitializeComAndControls();
    bool IsAdministrator() const;
    void ForwardToRunningInstance(HWND running, const ParsedCommandLine& parsed) const;
    void RecordRunStatistics(bool fromSchedule);

    std::wstring programFolder_;
    HMODULE resourceModule_ = nullptr;
    uint32_t runCount_ = 0;
};

}  // namespace zyr::app
