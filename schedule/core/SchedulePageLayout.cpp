// The schedule page's geometry: panels under the header, lists inside them, buttons below.
#include "schedule/core/SchedulePageLayout.h"

namespace zyr::schedule {
namespace {

PageRect Shrink(PageRect r, int by) { return {r.left + by, r.top + by, r.right - by, r.bottom - by}; }

}  // namespace

SchedulePageLayout LayoutPanels(int cx, const std::function<PageRect(const PageRect&)>& innerOf, int addWidth,
                                int editWidth, int deleteWidth) {
    SchedulePageLayout layout;
    layout.drivesPanel = {1, 100, cx - 1, 200};
    layout.schedulesPanel = {1, 210, cx - 1, 410};
    layout.driveList = Shrink(innerOf(layout.drivesPanel), 10);
    layout.scheduleList = Shrink(innerOf(layout.schedulesPanel), 10);

    // Right-aligned to the schedules panel, right to left: Delete, Edit, Add, 8 pixels apart.
    const int top = layout.schedulesPanel.bottom + 8, bottom = top + 25;
    int right = layout.schedulesPanel.right;
    layout.deleteButton = {right - deleteWidth, top, right, bottom};
    right = layout.deleteButton.left - 8;
    layout.editButton = {right - editWidth, top, right, bottom};
    right = layout.editButton.left - 8;
    layout.addButton = {right - addWidth, top, right, bottom};
    return layout;
}

}  // namespace zyr::schedule
