// Where the schedule page puts its two panels, two lists and three buttons for a client width.
#pragma once
#include <functional>

namespace zyr::schedule {

struct PageRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PageRect&) const = default;
};

struct SchedulePageLayout {
    PageRect drivesPanel, schedulesPanel;
    PageRect driveList, scheduleList;
    PageRect addButton, editButton, deleteButton;
};

// `innerOf` gives a panel's content area as the skin draws it; the buttons keep their widths.
SchedulePageLayout LayoutPanels(int clientWidth, const std::function<PageRect(const PageRect&)>& innerOf,
                                int addWidth, int editWidth, int deleteWidth);

}  // namespace zyr::schedule
