// The schedule page's lists and buttons: drives to defragment, schedules to add, edit, delete.
#include "schedule/SchedulePageLogic.h"

#include "app/ProductConfiguration.h"
#include "app/SettingsValues.h"
#include "framework/App.h"
#include "framework/ModalSeam.h"
#include "resources/ids/schedule_ids.h"
#include "schedule/AccessRights.h"
#include "schedule/ScheduleOptionsDlg.h"
#include "schedule/Scheduler.h"
#include "schedule/core/ScheduleText.h"

namespace zyr::schedule {
namespace {

constexpr UINT kStateImageBits = 0x3000;
constexpr int kMaxSchedules = 10;

struct Column {
    UINT textId;
    int width;
};
constexpr Column kDriveColumns[] = {
    {IDS_DRIVE_COLUMN_DRIVE, 100}, {IDS_DRIVE_COLUMN_FILE_SYSTEM, 50}, {IDS_DRIVE_COLUMN_TOTAL, 100},
    {IDS_DRIVE_COLUMN_FREE, 100},  {IDS_DRIVE_COLUMN_USED, 100},
};

// The drive letter a row was filled with (its item data).
wchar_t RowLetter(HWND list, int row) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return L'\0';
    return static_cast<wchar_t>(item.lParam);
}

bool IsTicked(HWND list, int row) {
    return ListView_GetCheckState(list, row) != FALSE;
}

void SetSubItem(HWND list, int row, int column, const std::wstring& text) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// A schedule as the options dialog left it, for this program.
ScheduleItemStruct ItemFromDialog(const CScheduleOptionsDlg& dialog) {
    ScheduleItemStruct item;
    const std::wstring folder = ProgramFolder();
    item.application = folder + L"\\" + config::ExeName();
    item.workingDirectory = folder + L"\\";
    item.days = dialog.days;
    item.hour = dialog.hourIndex < 0 ? 2 : dialog.hourIndex;
    item.minute = dialog.minuteIndex < 0 ? 0 : dialog.minuteIndex * 15;
    item.parameters = L"-defrag";
    return item;
}

std::wstring AppTitle() { return fw::App() ? fw::App()->appTitle() : std::wstring(); }

}  // namespace

int MinuteIndex(int minute) {
    if (minute >= 0 && minute <= 14) return 0;
    if (minute >= 15 && minute <= 29) return 1;
    if (minute >= 30 && minute <= 44) return 2;
    if (minute >= 45 && minute <= 59) return 3;
    return 0;
}

void CSchedulePageLogic::Attach(HWND page) {
    page_ = page;
    driveList_ = GetDlgItem(page, IDC_SCHEDULE_DRIVE_LIST);
    scheduleList_ = GetDlgItem(page, IDC_SCHEDULE_LIST);
    addButton_ = GetDlgItem(page, IDC_SCHEDULE_ADD);
    editButton_ = GetDlgItem(page, IDC_SCHEDULE_EDIT);
    deleteButton_ = GetDlgItem(page, IDC_SCHEDULE_DELETE);
}

void CSchedulePageLogic::Initialize(HWND page, const std::vector<FixedDrive>& drives) {
    Attach(page);
    std::wstring user, domain;
    GetProcessAccount(user, domain);
    LoadSchedules(user, domain);
    RefreshScheduleList();
    FillDriveList(drives);
}

void CSchedulePageLogic::LoadSchedules(const std::wstring& user, const std::wstring& domain) {
    manager_.LoadTasks(user, domain, config::LoadText(IDS_SCHEDULE_PREFIX));
}

int CSchedulePageLogic::Message(UINT textId, UINT flags) {
    return ::ShowMessageBox(page_, config::LoadText(textId), AppTitle(), flags);
}

void CSchedulePageLogic::FillDriveList(const std::vector<FixedDrive>& drives) {
    if (!driveList_) return;
    ListView_SetExtendedListViewStyleEx(driveList_, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                                        LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    const std::wstring skip = settings::Read(settings::SkipScheduleDefrag);
    int columnIndex = 0;
    for (const Column& column : kDriveColumns) {
        std::wstring header = config::LoadText(column.textId);
        LVCOLUMNW lvc = {};
        lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        lvc.fmt = LVCFMT_LEFT;
        lvc.cx = column.width;
        lvc.pszText = header.data();
        lvc.iSubItem = columnIndex;
        SendMessageW(driveList_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(columnIndex++), reinterpret_cast<LPARAM>(&lvc));
    }

    filling_ = true;
    for (const FixedDrive& drive : drives) {
        std::wstring name = drive.label + L" (" + drive.root + L")";
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = ListView_GetItemCount(driveList_);
        item.pszText = name.data();
        item.lParam = drive.root.empty() ? 0 : drive.root[0];
        int row = static_cast<int>(SendMessageW(driveList_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (row < 0) continue;
        SetSubItem(driveList_, row, 1, drive.fileSystem);
        SetSubItem(driveList_, row, 2, FormatSize(drive.totalBytes));
        SetSubItem(driveList_, row, 3, FormatSize(drive.freeBytes));
        SetSubItem(driveList_, row, 4, FormatSize(drive.totalBytes - drive.freeBytes));
        bool skipped = !skip.empty() && !drive.root.empty() && skip.find(drive.root[0]) != std::wstring::npos;
        ListView_SetCheckState(driveList_, row, !skipped);
    }
    filling_ = false;
}

void CSchedulePageLogic::OnDriveItemChanged(const NMLISTVIEW& change) {
    if (filling_ || !(change.uNewState & kStateImageBits)) return;
    const int rows = ListView_GetItemCount(driveList_);
    std::wstring unticked;
    for (int row = 0; row < rows; ++row)
        if (!IsTicked(driveList_, row)) unticked += RowLetter(driveList_, row);

    if (rows > 0 && static_cast<int>(unticked.size()) == rows) {
        // Back to the stored choice; these ticks store it again through this handler.
        const std::wstring stored = settings::Read(settings::SkipScheduleDefrag);
        bool anyTicked = false;
        for (int row = 0; row < rows; ++row) {
            if (stored.find(RowLetter(driveList_, row)) == std::wstring::npos) {
                ListView_SetCheckState(driveList_, row, TRUE);
                anyTicked = true;
            }
        }
        // A stored choice that leaves no drive (the drives changed since) keeps this row.
        if (!anyTicked && change.iItem >= 0 && change.iItem < rows) ListView_SetCheckState(driveList_, change.iItem, TRUE);
        Message(IDS_ONE_DRIVE_NEEDED, MB_OK);
        return;
    }
    settings::Write(settings::SkipScheduleDefrag, unticked);
}

std::wstring CSchedulePageLogic::ScheduleLine(int index) {
    std::wstring text;
    if (manager_.GetTriggerText(index, text) != 0) return {};
    if (!text.empty()) return text;
    TASK_TRIGGER trigger = {};
    if (manager_.GetTrigger(index, trigger) != 0) return {};
    switch (trigger.TriggerType) {
    case TASK_TIME_TRIGGER_WEEKLY:
        return WeeklySentence(trigger.Type.Weekly.rgfDaysOfTheWeek, trigger.wStartHour, trigger.wStartMinute,
                              trigger.Type.Weekly.WeeksInterval);
    case TASK_TIME_TRIGGER_DAILY:
        return DailySentence(trigger.Type.Daily.DaysInterval, trigger.wStartHour, trigger.wStartMinute);
    default:
        return WeeklySentence(0, trigger.wStartHour, trigger.wStartMinute);
    }
}

void CSchedulePageLogic::EnableEditing(bool enable) {
    if (deleteButton_) EnableWindow(deleteButton_, enable);
    if (editButton_) EnableWindow(editButton_, enable);
}

void CSchedulePageLogic::RefreshScheduleList() {
    if (!scheduleList_) return;
    SendMessageW(scheduleList_, LB_RESETCONTENT, 0, 0);
    const int count = manager_.GetCount();
    if (count <= 0) {
        EnableEditing(false);
        std::wstring placeholder = config::LoadText(IDS_NO_SCHEDULES);
        LRESULT line = SendMessageW(scheduleList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(placeholder.c_str()));
        if (line >= 0) SendMessageW(scheduleList_, LB_SETITEMDATA, static_cast<WPARAM>(line), static_cast<LPARAM>(-1));
        return;
    }
    for (int index = 0; index < count; ++index) {
        std::wstring text = ScheduleLine(index);
        if (text.empty()) continue;
        LRESULT line = SendMessageW(scheduleList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (line >= 0) SendMessageW(scheduleList_, LB_SETITEMDATA, static_cast<WPARAM>(line), index);
    }
    EnableEditing(SendMessageW(scheduleList_, LB_GETCURSEL, 0, 0) != LB_ERR);
}

int CSchedulePageLogic::SelectedSchedule() const {
    LRESULT line = SendMessageW(scheduleList_, LB_GETCURSEL, 0, 0);
    if (line == LB_ERR) return -1;
    LRESULT index = SendMessageW(scheduleList_, LB_GETITEMDATA, static_cast<WPARAM>(line), 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void CSchedulePageLogic::OnScheduleSelChange() {
    if (manager_.GetCount() <= 0) {
        EnableEditing(false);
        return;
    }
    EnableEditing(SendMessageW(scheduleList_, LB_GETCURSEL, 0, 0) != LB_ERR);
}

void CSchedulePageLogic::OnAddSchedule() {
    // Schedules whose line could not be made count as well.
    if (manager_.GetCount() >= kMaxSchedules) {
        Message(IDS_SCHEDULE_LIMIT, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CScheduleOptionsDlg dialog;
    dialog.days = 0;
    dialog.hourIndex = 2;
    dialog.minuteIndex = 0;
    if (dialog.DoModal(page_) != IDOK) return;
    manager_.AddTask(ItemFromDialog(dialog));
    RefreshScheduleList();
}

void CSchedulePageLogic::OnEditSchedule() {
    const int index = SelectedSchedule();
    ScheduleItemStruct stored;
    if (manager_.GetTask(index, &stored) != 0) {
        Message(IDS_SCHEDULE_UNREADABLE, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CScheduleOptionsDlg dialog;
    dialog.days = stored.days;
    dialog.hourIndex = stored.hour >= 0 && stored.hour <= 23 ? stored.hour : 2;
    dialog.minuteIndex = MinuteIndex(stored.minute);
    if (dialog.DoModal(page_) != IDOK) return;
    manager_.UpdateTask(index, ItemFromDialog(dialog));
    RefreshScheduleList();
}

void CSchedulePageLogic::OnDeleteSchedule() {
    if (Message(IDS_SCHEDULE_DELETE_QUESTION, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    const int index = SelectedSchedule();
    if (index < 0) return;
    manager_.DeleteTask(index);
    RefreshScheduleList();
}

bool CSchedulePageLogic::OnCommand(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case IDC_SCHEDULE_ADD:
        if (HIWORD(wParam) != BN_CLICKED) return false;
        OnAddSchedule();
        return true;
    case IDC_SCHEDULE_EDIT:
        if (HIWORD(wParam) != BN_CLICKED) return false;
        OnEditSchedule();
        return true;
    case IDC_SCHEDULE_DELETE:
        if (HIWORD(wParam) != BN_CLICKED) return false;
        OnDeleteSchedule();
        return true;
    case IDC_SCHEDULE_LIST:
        if (HIWORD(wParam) != LBN_SELCHANGE) return false;
        OnScheduleSelChange();
        return true;
    default:
        return false;
    }
}

bool CSchedulePageLogic::OnNotify(const NMHDR& header) {
    if (header.idFrom != IDC_SCHEDULE_DRIVE_LIST || header.code != LVN_ITEMCHANGED) return false;
    OnDriveItemChanged(reinterpret_cast<const NMLISTVIEW&>(header));
    return true;
}

}  // namespace zyr::schedule
