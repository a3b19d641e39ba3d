// The Task Scheduler factory seam.
#include "schedule/TaskSchedulerFactory.h"

namespace zyr::schedule {
namespace {
TaskSchedulerFactory& CurrentFactory() {
    static TaskSchedulerFactory factory;
    return factory;
}
}  // namespace

HRESULT CreateSystemTaskScheduler(ITaskScheduler** scheduler) {
    if (!scheduler) return E_POINTER;
    *scheduler = nullptr;
    return CoCreateInstance(kClsidTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, kIidTaskScheduler,
                            reinterpret_cast<void**>(scheduler));
}

void SetTaskSchedulerFactory(TaskSchedulerFactory factory) { CurrentFactory() = std::move(factory); }

HRESULT CreateTaskScheduler(ITaskScheduler** scheduler) {
    const TaskSchedulerFactory& factory = CurrentFactory();
    if (!factory) return CreateSystemTaskScheduler(scheduler);
    if (!scheduler) return E_POINTER;
    *scheduler = nullptr;
    return factory(scheduler);
}

}  // namespace zyr::schedule
