// The program's access to System Restore: the module interface and its implementation over
// WMI ("root\default", SystemRestore) and the two entry points of SRCLIENT.DLL.
#pragma once
#include <windows.h>
#include <srrestoreptapi.h>

#include "restore/RestorePointRecord.h"

#include <string>

namespace zyr::restore {

class ISystemRestoreModule {
public:
    // Non-zero when the listing query ran, even if it found no point.
    virtual int ListRestorePoints(RestorePointList& points) = 0;
    // Non-zero on success.
    virtual int DeleteRestorePoint(uint32_t sequenceNumber) = 0;
    // Non-zero when the system accepted the request to roll back to the point.
    virtual int RestoreSystem(uint32_t sequenceNumber) = 0;
    // Non-zero on success; `created` (may be null) receives the new point.
    virtual int CreateRestorePoint(const std::wstring& description, RestorePointRecord* created) = 0;
    virtual ~ISystemRestoreModule() = default;
};

// The two exported functions of SRCLIENT.DLL; a null entry makes its operations fail.
using SetRestorePointFn = BOOL(WINAPI*)(RESTOREPOINTINFOW*, STATEMGRSTATUS*);
using RemoveRestorePointFn = DWORD(WINAPI*)(DWORD);
struct SrClientEntryPoints {
    RemoveRestorePointFn removeRestorePoint = nullptr;
    SetRestorePointFn setRestorePoint = nullptr;
};

class CSystemRestoreModule : public ISystemRestoreModule {
public:
    // Loads SRCLIENT.DLL from the system folder and looks up its two entry points.
    CSystemRestoreModule();
    // Uses the given entry points and loads nothing (tests put fakes here).
    explicit CSystemRestoreModule(const SrClientEntryPoints& entryPoints);
    ~CSystemRestoreModule() override;
    CSystemRestoreModule(const CSystemRestoreModule&) = delete;
    CSystemRestoreModule& operator=(const CSystemRestoreModule&) = delete;

    int ListRestorePoints(RestorePointList& points) override;
    int DeleteRestorePoint(uint32_t sequenceNumber) override;
    int RestoreSystem(uint32_t sequenceNumber) override;
    int CreateRestorePoint(const std::wstring& description, RestorePointRecord* created) override;

    bool HasLibrary() const { return library != nullptr; }
    const SrClientEntryPoints& EntryPoints() const { return entryPoints; }

private:
    HMODULE library = nullptr;
    SrClientEntryPoints entryPoints;
};

}  // namespace zyr::restore
