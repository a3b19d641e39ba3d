// CSystemRestoreModule: SRCLIENT.DLL for creating and deleting, WMI workers for the rest.
#include "restore/SystemRestoreModule.h"

#include "restore/WmiRestore.h"

#include <process.h>

#include <algorithm>

namespace zyr::restore {
namespace {

HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::wstring path(folder, length);
    path += L'\\';
    path += name;
    return LoadLibraryW(path.c_str());
}

template <class Function>
Function EntryPoint(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Runs `body` on a thread of its own and waits for it; 1 when it returned true.
template <class Body>
int RunOnWorker(Body& body) {
    auto entry = [](void* argument) -> unsigned {
        try {
            return (*static_cast<Body*>(argument))() ? 1u : 0u;
        } catch (...) {
            return 0u;
        }
    };
    using Entry = unsigned(__stdcall*)(void*);
    HANDLE thread = reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, static_cast<Entry>(entry), &body, 0, nullptr));
    if (!thread) return 0;
    WaitForSingleObject(thread, INFINITE);
    DWORD exitCode = 0;
    const BOOL read = GetExitCodeThread(thread, &exitCode);
    CloseHandle(thread);
    return read && exitCode == 1 ? 1 : 0;
}

}  // namespace

CSystemRestoreModule::CSystemRestoreModule() {
    library = LoadSystemLibrary(L"SRCLIENT.DLL");
    if (library) {
        entryPoints.removeRestorePoint = EntryPoint<RemoveRestorePointFn>(library, "SRRemoveRestorePoint");
        entryPoints.setRestorePoint = EntryPoint<SetRestorePointFn>(library, "SRSetRestorePointW");
    }
}

CSystemRestoreModule::CSystemRestoreModule(const SrClientEntryPoints& fakes) : entryPoints(fakes) {}

CSystemRestoreModule::~CSystemRestoreModule() {
    if (library) FreeLibrary(library);
}

int CSystemRestoreModule::ListRestorePoints(RestorePointList& points) {
    auto body = [&points] { return ListRestorePointsOnThisThread(points); };
    return RunOnWorker(body);
}

int CSystemRestoreModule::RestoreSystem(uint32_t sequenceNumber) {
    auto body = [sequenceNumber] { return RestoreSystemOnThisThread(sequenceNumber); };
    return RunOnWorker(body);
}

int CSystemRestoreModule::DeleteRestorePoint(uint32_t sequenceNumber) {
    if (!entryPoints.removeRestorePoint) return 0;
    return entryPoints.removeRestorePoint(sequenceNumber) == ERROR_SUCCESS ? 1 : 0;
}

int CSystemRestoreModule::CreateRestorePoint(const std::wstring& description, RestorePointRecord* created) {
    if (!entryPoints.setRestorePoint) return 0;
    RESTOREPOINTINFOW info{};
    info.dwEventType = kBeginSystemChange;
    info.dwRestorePtType = kModifySettings;
    info.llSequenceNumber = 0;
    // At most 255 characters and always terminated.
    const size_t length = std::min(description.size(), static_cast<size_t>(MAX_DESC_W - 1));
    std::copy_n(description.data(), length, info.szDescription);
    STATEMGRSTATUS status{};
    if (!entryPoints.setRestorePoint(&info, &status)) return 0;

    info.llSequenceNumber = status.llSequenceNumber;
    info.dwEventType = kEndSystemChange;
    if (!entryPoints.setRestorePoint(&info, &status)) return 0;

    if (created) {
        created->description.assign(info.szDescription);
        created->sequenceNumber = static_cast<uint32_t>(info.llSequenceNumber);
        created->dateText.clear();
        created->restorePointType = kModifySettings;
        created->eventType = kEndSystemChange;
    }
    return 1;
}

}  // namespace zyr::restore
