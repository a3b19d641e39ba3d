// The WMI side of System Restore ("root\default", class SystemRestore): the listing and the
// roll-back request. The bodies run on the calling thread; the module gives each its own thread.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "restore/RestorePointRecord.h"

#include <functional>

namespace zyr::restore {

// Reads one property of a listed object into `value` (an empty VARIANT on entry);
// false when the property cannot be read.
using PropertyReader = std::function<bool(const wchar_t* name, VARIANT& value)>;

// Fills `record` from a listed object's properties, skipping any that cannot be read or are
// null. False when the point is not to be listed: restore point type 13, or no sequence number
// (such an object names no point that could be deleted or restored).
bool RecordFromProperties(const PropertyReader& get, const TIME_ZONE_INFORMATION& zone, LCID locale,
                          RestorePointRecord& record);

// True when a Restore call was accepted: the call succeeded and the method's ReturnValue,
// when it has one, is 0.
bool RestoreAccepted(HRESULT execResult, const VARIANT* returnValue);

// Initialises COM for this thread, connects and lists every point but those of type 13 into
// `points`. True when the listing query ran.
bool ListRestorePointsOnThisThread(RestorePointList& points);
// Initialises COM for this thread, connects and asks the system to roll back to the point.
bool RestoreSystemOnThisThread(uint32_t sequenceNumber);

}  // namespace zyr::restore
