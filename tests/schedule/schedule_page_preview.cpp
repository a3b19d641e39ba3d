// Shows the schedule page with two schedules and the options dialog open, for a screenshot
// (scripts/schedule_screenshot.sh). Ends by itself after the given seconds.
#include "schedule/DefragSchedulePage.h"
#include "schedule/ScheduleOptionsDlg.h"

#include "resources/ids/schedule_ids.h"
#include "schedule/AccessRights.h"
#include "tests/schedule/FakeTaskScheduler.h"
#include "tests/schedule/ProgramEnvironment.h"
#include "tests/skin/SkinnedHost.h"

#include <cstdlib>

using namespace zyr::schedule;

namespace {
void CALLBACK EndPreview(HWND, UINT, UINT_PTR, DWORD) { ExitProcess(0); }
}  // namespace

int wmain(int argc, wchar_t** argv) {
    int seconds = argc > 1 ? _wtoi(argv[1]) : 20;
    testing::UseBuiltProgram(L"ZyrTests\\SchedulePreview");
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    // Two schedules of this account; like Wine's service the double gives no trigger text,
    // so the page writes its own sentences.
    std::wstring user, domain;
    GetProcessAccount(user, domain);
    testing::FakeTaskService service;
    service.giveTriggerText = false;
    service.AddJob(L"Zyr Disk Care Defrag_sch_A", domain + L"\\" + user, testing::WeeklyTrigger(0x22, 2, 15));
    service.AddJob(L"Zyr Disk Care Defrag_sch_B", domain + L"\\" + user, testing::WeeklyTrigger(0x41, 23, 30));
    SetTaskSchedulerFactory(service.Factory());

    CSkinnedHost host;
    if (!host.CreateEx(0, L"STATIC", L"Zyr Disk Care", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                       RECT{40, 40, 860, 600}, nullptr, 0))
        return 1;
    CDefragSchedulePage page(host.GetSafeHwnd(), {});
    if (!page.CreatePage()) return 1;
    RECT client;
    GetClientRect(host.GetSafeHwnd(), &client);
    MoveWindow(page, 0, 0, client.right, client.bottom, TRUE);
    page.ShowWindow(SW_SHOW);
    SendMessageW(page.logic().scheduleList(), LB_SETCURSEL, 0, 0);
    page.logic().OnScheduleSelChange();
    UpdateWindow(host.GetSafeHwnd());

    SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, EndPreview);
    CScheduleOptionsDlg dialog;
    dialog.days = 0x22;
    dialog.hourIndex = 2;
    dialog.minuteIndex = 1;
    dialog.DoModal(page);
    return 0;
}
