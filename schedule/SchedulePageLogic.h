// What the defrag schedule page does with its drive list, schedule list and three buttons.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "schedule/FixedDrives.h"
#include "schedule/ScheduleManager.h"

#include <string>
#include <vector>

namespace zyr::schedule {

// Works on the controls of a page made from template 416 (ids 1000, 151, 152, 154, 160), whoever
// draws the page. Each line of the schedule list carries its manager index as item data (-1 for
// the placeholder), so a schedule whose text cannot be had never shifts the others.
class CSchedulePageLogic {
public:
    CSchedulePageLogic() = default;
    CSchedulePageLogic(const CSchedulePageLogic&) = delete;
    CSchedulePageLogic& operator=(const CSchedulePageLogic&) = delete;

    // Takes the page's controls by their ids.
    void Attach(HWND page);
    // The page's initialisation: the account's schedules, the schedule list, the drive list.
    void Initialize(HWND page, const std::vector<FixedDrive>& drives);
    // Step 1 alone: loads the schedules of `user`/`domain` with the schedule prefix (text 529).
    void LoadSchedules(const std::wstring& user, const std::wstring& domain);

    void FillDriveList(const std::vector<FixedDrive>& drives);
    void RefreshScheduleList();
    void OnScheduleSelChange();
    void OnAddSchedule();
    void OnEditSchedule();
    void OnDeleteSchedule();
    void OnDriveItemChanged(const NMLISTVIEW& change);

    // WM_COMMAND and WM_NOTIFY of the page; true when handled.
    bool OnCommand(WPARAM wParam, LPARAM lParam);
    bool OnNotify(const NMHDR& header);

    CScheduleManager& manager() { return manager_; }
    HWND driveList() const { return driveList_; }
    HWND scheduleList() const { return scheduleList_; }

    // The line of a schedule: the service's sentence, else one made from its trigger; empty
    // when neither can be had.
    std::wstring ScheduleLine(int index);

private:
    int SelectedSchedule() const;
    void EnableEditing(bool enable);
    int Message(UINT textId, UINT flags);

    HWND page_ = nullptr;
    HWND driveList_ = nullptr, scheduleList_ = nullptr;
    HWND addButton_ = nullptr, editButton_ = nullptr, deleteButton_ = nullptr;
    CScheduleManager manager_;
    bool filling_ = false;
};

// The minute index of the options dialog for a stored minute: 0-14 → 0, ... 45-59 → 3, else 0.
int MinuteIndex(int minute);

}  // namespace zyr::schedule
