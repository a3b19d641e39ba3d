// Where the Task Scheduler comes from: the system's service, or a test's double in its place.
#pragma once
#include <windows.h>
#include <mstask.h>

#include <functional>

namespace zyr::schedule {

// The Task Scheduler 1.0 identifiers (defined here so no GUID library is needed).
inline constexpr CLSID kClsidTaskScheduler = {0x148BD52A, 0xA2AB, 0x11CE, {0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03}};
inline constexpr IID kIidTaskScheduler = {0x148BD527, 0xA2AB, 0x11CE, {0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03}};
inline constexpr IID kIidTask = {0x148BD524, 0xA2AB, 0x11CE, {0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03}};
inline constexpr CLSID kClsidTask = {0x148BD520, 0xA2AB, 0x11CE, {0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03}};
inline constexpr IID kIidPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Creates a Task Scheduler object; the caller owns the returned reference.
using TaskSchedulerFactory = std::function<HRESULT(ITaskScheduler** scheduler)>;

// The product's factory: CoCreateInstance of the in-process Task Scheduler server.
HRESULT CreateSystemTaskScheduler(ITaskScheduler** scheduler);

// Installs a factory for this process (tests); an empty function restores the system's one.
void SetTaskSchedulerFactory(TaskSchedulerFactory factory);
// Creates a scheduler with the current factory.
HRESULT CreateTaskScheduler(ITaskScheduler** scheduler);

}  // namespace zyr::schedule
