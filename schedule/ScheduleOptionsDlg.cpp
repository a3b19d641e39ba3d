// The schedule options dialog on template 177.
#include "schedule/ScheduleOptionsDlg.h"

#include "app/ProductConfiguration.h"
#include "framework/ResourceInstance.h"
#include "resources/ids/schedule_ids.h"

#include <cwchar>

namespace zyr::schedule {

const DayBox kDayBoxes[7] = {
    {IDC_SCHEDULE_MONDAY, 0x2},  {IDC_SCHEDULE_TUESDAY, 0x4}, {IDC_SCHEDULE_WEDNESDAY, 0x8},
    {IDC_SCHEDULE_THURSDAY, 0x10}, {IDC_SCHEDULE_FRIDAY, 0x20}, {IDC_SCHEDULE_SATURDAY, 0x40},
    {IDC_SCHEDULE_SUNDAY, 0x1},
};

namespace {

bool AnyDayTicked(HWND dialog) {
    for (const DayBox& box : kDayBoxes)
        if (IsDlgButtonChecked(dialog, box.controlId) == BST_CHECKED) return true;
    return false;
}

void UpdateOk(HWND dialog) { EnableWindow(GetDlgItem(dialog, IDOK), AnyDayTicked(dialog)); }

void FillNumbers(HWND combo, int first, int last, int step) {
    for (int n = first; n <= last; n += step) {
        wchar_t text[8];
        swprintf(text, 8, L"%.2d", n);
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
}

}  // namespace

INT_PTR CScheduleOptionsDlg::DoModal(HWND owner) {
    return DialogBoxParamW(::ResourceInstance(), MAKEINTRESOURCEW(IDD_SCHEDULE_OPTIONS), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void CScheduleOptionsDlg::OnInitDialog(HWND dialog) {
    std::wstring caption = config::LoadText(IDS_SCHEDULE_OPTIONS_CAPTION);
    if (!caption.empty()) SetWindowTextW(dialog, caption.c_str());
    HWND hours = GetDlgItem(dialog, IDC_SCHEDULE_HOUR);
    HWND minutes = GetDlgItem(dialog, IDC_SCHEDULE_MINUTE);
    FillNumbers(hours, 0, 23, 1);
    FillNumbers(minutes, 0, 45, 15);
    SendMessageW(hours, CB_SETCURSEL, static_cast<WPARAM>(hourIndex), 0);
    SendMessageW(minutes, CB_SETCURSEL, static_cast<WPARAM>(minuteIndex), 0);
    for (const DayBox& box : kDayBoxes)
        CheckDlgButton(dialog, box.controlId, (days & box.bit) ? BST_CHECKED : BST_UNCHECKED);
    UpdateOk(dialog);
}

void CScheduleOptionsDlg::OnOk(HWND dialog) {
    if (!AnyDayTicked(dialog)) return;  // Enter while OK is disabled
    int ticked = 0;
    for (const DayBox& box : kDayBoxes)
        if (IsDlgButtonChecked(dialog, box.controlId) == BST_CHECKED) ticked |= box.bit;
    days = ticked;
    hourIndex = static_cast<int>(SendDlgItemMessageW(dialog, IDC_SCHEDULE_HOUR, CB_GETCURSEL, 0, 0));
    minuteIndex = static_cast<int>(SendDlgItemMessageW(dialog, IDC_SCHEDULE_MINUTE, CB_GETCURSEL, 0, 0));
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK CScheduleOptionsDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        auto* self = reinterpret_cast<CScheduleOptionsDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
        switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            reinterpret_cast<CScheduleOptionsDlg*>(lParam)->OnInitDialog(dialog);
            return TRUE;
        case WM_COMMAND: {
            int id = LOWORD(wParam);
            if (id == IDOK && self) {
                self->OnOk(dialog);
                return TRUE;
            }
            if (id == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            if (HIWORD(wParam) == BN_CLICKED) {
                for (const DayBox& box : kDayBoxes)
                    if (box.controlId == id) UpdateOk(dialog);
            }
            return FALSE;
        }
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

}  // namespace zyr::schedule
