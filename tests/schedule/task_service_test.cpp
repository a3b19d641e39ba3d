// The switches of the built program against Wine's own Task Scheduler service and job files.
#include "schedule/AccessRights.h"
#include "tests/schedule/JobFile.h"
#include "tests/schedule/ProgramEnvironment.h"

#include <gtest/gtest.h>

#include <map>

namespace zyr::schedule {
namespace {

using testing::DistFolder;
using testing::JobFile;
using testing::ReadJobFile;

const std::wstring kSettingsPath = L"Software\\Tavrin Labs\\Zyr Disk Care";

std::wstring TasksFolder() {
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    return std::wstring(windows) + L"\\Tasks\\";
}

bool JobExists(const std::wstring& name) {
    return GetFileAttributesW((TasksFolder() + name + L".job").c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs the built program with one switch and waits for it to end.
void RunProgram(const std::wstring& switchText) {
    std::wstring exe = DistFolder() + L"\\ZyrDiskCare.exe";
    std::wstring commandLine = L"\"" + exe + L"\" " + switchText;
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               DistFolder().c_str(), &si, &pi))
        << GetLastError();
    DWORD waited = WaitForSingleObject(pi.hProcess, 60000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "the program did not end";
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The enabled weekly triggers of a job (Wine also keeps a disabled one-time trigger in front
// of them, see the notes of the manager).
std::vector<TASK_TRIGGER> WeeklyTriggers(const JobFile& job) {
    std::vector<TASK_TRIGGER> weekly;
    for (const TASK_TRIGGER& t : job.triggers)
        if (t.TriggerType == TASK_TIME_TRIGGER_WEEKLY && !(t.rgFlags & TASK_TRIGGER_FLAG_DISABLED)) weekly.push_back(t);
    return weekly;
}

class TaskServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunProgram(L"-uninstall");
        ASSERT_FALSE(JobExists(L"Zyr Disk Care"));
    }
    void TearDown() override { RunProgram(L"-uninstall"); }
};

TEST_F(TaskServiceTest, AddTaskLeavesTwoWeeklyJobsOnceAndUninstallRemovesThem) {
    RunProgram(L"-addtask");
    JobFile scan, defrag;
    ASSERT_TRUE(ReadJobFile(TasksFolder() + L"Zyr Disk Care.job", scan));
    ASSERT_TRUE(ReadJobFile(TasksFolder() + L"Zyr Disk Care Defrag.job", defrag));

    const std::wstring program = DistFolder() + L"\\ZyrDiskCare.exe";
    EXPECT_TRUE(SameText(scan.application, program)) << scan.application.c_str();
    EXPECT_TRUE(SameText(defrag.application, program)) << defrag.application.c_str();
    EXPECT_EQ(scan.parameters, L"-scan");
    EXPECT_EQ(defrag.parameters, L"-defrag");
    EXPECT_TRUE(SameText(scan.workingDirectory, DistFolder() + L"\\")) << scan.workingDirectory.c_str();
    EXPECT_EQ(scan.comment, L"Zyr Disk Care");
    EXPECT_EQ(defrag.comment, L"Zyr Disk Care Defrag");
    EXPECT_EQ(scan.flags & TASK_FLAG_RUN_ONLY_IF_LOGGED_ON, static_cast<DWORD>(TASK_FLAG_RUN_ONLY_IF_LOGGED_ON));

    std::vector<TASK_TRIGGER> scanWeekly = WeeklyTriggers(scan), defragWeekly = WeeklyTriggers(defrag);
    ASSERT_EQ(scanWeekly.size(), 1u);
    ASSERT_EQ(defragWeekly.size(), 1u);
    const TASK_TRIGGER& s = scanWeekly[0];
    const TASK_TRIGGER& d = defragWeekly[0];
    EXPECT_GE(s.wStartHour, 1);
    EXPECT_LE(s.wStartHour, 4);
    EXPECT_LE(s.wStartMinute, 58);
    EXPECT_EQ(d.wStartHour, s.wStartHour);
    EXPECT_EQ(d.wStartMinute, s.wStartMinute);
    EXPECT_EQ(s.Type.Weekly.WeeksInterval, 1);
    const std::map<WORD, WORD> rows = {{0x20, 0x09}, {0x08, 0x22}, {0x10, 0x44}};  // defrag days -> scan days
    auto row = rows.find(d.Type.Weekly.rgfDaysOfTheWeek);
    ASSERT_NE(row, rows.end()) << d.Type.Weekly.rgfDaysOfTheWeek;
    EXPECT_EQ(s.Type.Weekly.rgfDaysOfTheWeek, row->second);
    SYSTEMTIME today;
    GetLocalTime(&today);
    EXPECT_EQ(s.wBeginYear, today.wYear);

    // A second run leaves both jobs as they are.
    RunProgram(L"-addtask");
    JobFile again;
    ASSERT_TRUE(ReadJobFile(TasksFolder() + L"Zyr Disk Care.job", again));
    ASSERT_EQ(again.triggers.size(), scan.triggers.size());
    EXPECT_EQ(WeeklyTriggers(again)[0].wStartMinute, s.wStartMinute);
    EXPECT_EQ(WeeklyTriggers(again)[0].Type.Weekly.rgfDaysOfTheWeek, s.Type.Weekly.rgfDaysOfTheWeek);

    // The access list of a real job file can be widened (Wine keeps only the permission bits).
    std::wstring user, domain, line;
    ASSERT_TRUE(GetProcessAccount(user, domain));
    EXPECT_TRUE(AddAccessRights(domain + L"\\" + user, TasksFolder() + L"Zyr Disk Care.job", &line));
    EXPECT_EQ(line, L"Access Success");

    RunProgram(L"-uninstall");
    EXPECT_FALSE(JobExists(L"Zyr Disk Care"));
    EXPECT_FALSE(JobExists(L"Zyr Disk Care Defrag"));
}

TEST_F(TaskServiceTest, LaunchOnLogonThenUninstallLeavesNoTaskAndTheSettingOff) {
    RunProgram(L"-launchonlogon");
    JobFile logon;
    ASSERT_TRUE(ReadJobFile(TasksFolder() + L"Zyr Disk Care at logon.job", logon));
    EXPECT_TRUE(SameText(logon.application, DistFolder() + L"\\ZyrDiskCare.exe"));
    EXPECT_EQ(logon.parameters, L"");
    EXPECT_TRUE(SameText(logon.workingDirectory, DistFolder()));
    EXPECT_EQ(logon.comment, L"Starts Zyr Disk Care when you log on.");
    bool atLogon = false;
    for (const TASK_TRIGGER& t : logon.triggers)
        atLogon |= t.TriggerType == TASK_EVENT_TRIGGER_AT_LOGON && t.wBeginYear == 2006 && t.wBeginMonth == 1;
    EXPECT_TRUE(atLogon);
    EXPECT_EQ(testing::ReadUserDword(kSettingsPath, L"LaunchOnStartup"), 1);

    RunProgram(L"-addtask");
    RunProgram(L"-uninstall");
    for (const wchar_t* name : {L"Zyr Disk Care", L"Zyr Disk Care Defrag", L"Zyr Disk Care at logon"})
        EXPECT_FALSE(JobExists(name)) << name;
    EXPECT_EQ(testing::ReadUserDword(kSettingsPath, L"LaunchOnStartup"), 0);
}

}  // namespace
}  // namespace zyr::schedule
