// CScheduleOptionsDlg: the modal dialog for a schedule's days of the week and time of day.
#pragma once
#include <windows.h>

namespace zyr::schedule {

// The caller sets the days and the two indexes, runs the dialog, and on IDOK reads them back.
// Cancel leaves them as they were.
class CScheduleOptionsDlg {
public:
    int days = 0;          // TASK_SUNDAY 0x1 ... TASK_SATURDAY 0x40
    int hourIndex = 2;     // 0..23, -1 when none is selected
    int minuteIndex = 0;   // 0..3 for 00, 15, 30, 45, -1 when none is selected

    // IDOK, IDCANCEL, or -1 when the dialog cannot be shown.
    INT_PTR DoModal(HWND owner);

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND dialog);
    void OnOk(HWND dialog);
};

// The day boxes of the dialog with the bit of each in the days mask, Monday first.
struct DayBox {
    int controlId;
    int bit;
};
extern const DayBox kDayBoxes[7];

}  // namespace zyr::schedule
