// Shows the schedule page's controls with two schedules and the options dialog open, for a
// screenshot (scripts/schedule_screenshot.sh). Ends by itself after the given seconds.
#include "schedule/ScheduleOptionsDlg.h"
#include "schedule/SchedulePageLogic.h"

#include "framework/App.h"
#include "resources/ids/schedule_ids.h"
#include "tests/schedule/FakeTaskScheduler.h"
#include "tests/schedule/ProgramEnvironment.h"

#include <cstdlib>

using namespace zyr::schedule;

namespace {

INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
    auto* logic = reinterpret_cast<CSchedulePageLogic*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!logic) return FALSE;
    if (message == WM_COMMAND) return logic->OnCommand(wParam, lParam);
    if (message == WM_NOTIFY) return logic->OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    return FALSE;
}

void CALLBACK EndPreview(HWND, UINT, UINT_PTR, DWORD) { ExitProcess(0); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int seconds = argc > 1 ? _wtoi(argv[1]) : 20;
    testing::UseBuiltProgram(L"ZyrTests\\SchedulePreview");
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    testing::FakeTaskService service;
    service.giveTriggerText = false;  // as Wine's service: the page writes its own sentences
    service.AddJob(L"Zyr Disk Care Defrag_sch_A", L"HOST\\alice", testing::WeeklyTrigger(0x22, 2, 15));
    service.AddJob(L"Zyr Disk Care Defrag_sch_B", L"HOST\\alice", testing::WeeklyTrigger(0x41, 23, 30));
    SetTaskSchedulerFactory(service.Factory());

    HWND host = CreateWindowExW(0, L"STATIC", L"Zyr Disk Care", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 820, 560,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    CSchedulePageLogic logic;
    HWND page = CreateDialogParamW(zyr::fw::ResourceInstance(), MAKEINTRESOURCEW(IDD_DEFRAG_SCHEDULE_PAGE), host,
                                   PageProc, reinterpret_cast<LPARAM>(&logic));
    RECT client;
    GetClientRect(host, &client);
    MoveWindow(page, 0, 0, client.right, client.bottom, TRUE);
    ShowWindow(page, SW_SHOW);
    logic.Attach(page);
    logic.LoadSchedules(L"alice", L"HOST");
    logic.RefreshScheduleList();
    logic.FillDriveList(ListFixedDrives());
    SendMessageW(logic.scheduleList(), LB_SETCURSEL, 0, 0);
    logic.OnScheduleSelChange();

    SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, EndPreview);
    CScheduleOptionsDlg dialog;
    dialog.days = 0x22;
    dialog.hourIndex = 2;
    dialog.minuteIndex = 1;
    dialog.DoModal(page);
    return 0;
}
