// The real ZyrDiskCare.exe started under Wine: one-shot switches, forwarding to a running
// instance (played by this test), shutdown of a real instance, and the start-up failure.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

const wchar_t* const kClass = L"ZyrDiskCareFrame";
const wchar_t* const kMutex = L"Zyr Disk Care";
const wchar_t* const kSettingsKey = L"Software\\Tavrin Labs\\Zyr Disk Care";

std::wstring WindowsPath(const char* posix) {
    std::wstring path = L"Z:";
    for (const char* p = posix; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    return path;
}
const std::wstring kDist = WindowsPath(ZYR_DIST_DIR);
const std::wstring kProgram = kDist + L"\\ZyrDiskCare.exe";

struct Process {
    HANDLE handle = nullptr;
    ~Process() {
        if (handle) CloseHandle(handle);
    }
};

bool Start(const std::wstring& program, const std::wstring& arguments, Process& process) {
    std::wstring line = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    process.handle = pi.hProcess;
    return true;
}

// Waits for the process while serving this thread's windows; returns its exit code or -1.
int Wait(Process& process, DWORD timeoutMs = 20000) {
    auto deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (GetTickCount64() >= deadline) return -1;
        DWORD left = static_cast<DWORD>(deadline - GetTickCount64());
        DWORD r = MsgWaitForMultipleObjects(1, &process.handle, FALSE, left, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) break;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    DWORD code = 0;
    GetExitCodeProcess(process.handle, &code);
    return static_cast<int>(code);
}

int RunProgram(const std::wstring& arguments, const std::wstring& program = kProgram) {
    Process p;
    if (!Start(program, arguments, p)) return -2;
    return Wait(p);
}

template <typename Pred> bool WaitFor(Pred pred, DWORD timeoutMs = 20000) {
    auto deadline = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < deadline) {
        if (pred()) return true;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(50);
    }
    return pred();
}

DWORD ReadDword(const wchar_t* name, DWORD fallback) {
    DWORD value = fallback, size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return fallback;
    return value;
}

// A stand-in for a running instance: the program's mutex and a window of its class that
// records what a second start sends it.
struct Received {
    UINT message;
    WPARAM wParam;
    std::wstring data;
};
std::vector<Received> g_received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case 1679:
    case 1680:
    case 1724:
        g_received.push_back({message, wParam, L""});
        return 1;
    case WM_COPYDATA: {
        auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        std::wstring text(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
        g_received.push_back({message, data->dwData, text});
        return 1;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_RESTORE) g_received.push_back({message, wParam, L""});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class RunningInstance : public ::testing::Test {
protected:
    void SetUp() override {
        mutex_ = CreateMutexW(nullptr, TRUE, kMutex);
        ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "a real instance is running";
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, kClass, L"stand-in", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        g_received.clear();
    }
    void TearDown() override {
        DestroyWindow(window_);
        UnregisterClassW(kClass, GetModuleHandleW(nullptr));
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
    HANDLE mutex_ = nullptr;
    HWND window_ = nullptr;
};

TEST_F(RunningInstance, EachRequestIsForwardedAsExactlyOneMessage) {
    struct Case {
        std::wstring arguments;
        UINT message;         // 0: nothing is forwarded
        std::wstring data;    // the extension of WM_COPYDATA, with its terminating zero
    };
    const Case cases[] = {
        {L"", WM_SYSCOMMAND, L""},
        {L"-scan", 1679, L""},
        {L"-DEFRAG", 1680, L""},
        {L"-shutdown", 1724, L""},
        {L"C:\\docs\\Report.PDF", WM_COPYDATA, std::wstring(L".PDF") + L'\0'},
        {L"\"C:\\My Music\\song.mp3\"", WM_COPYDATA, std::wstring(L".mp3") + L'\0'},
        {L"-report", WM_SYSCOMMAND, L""},
        {L"-scan -defrag", WM_SYSCOMMAND, L""},
        {L"-autoscanonstart", 0, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.arguments.begin(), c.arguments.end()));
        g_received.clear();
        ASSERT_EQ(RunProgram(c.arguments), 0);
        // A posted request arrives after the sender has gone.
        WaitFor([] { return !g_received.empty(); }, c.message == 1724 ? 3000 : 200);
        if (c.message == 0) {
            EXPECT_TRUE(g_received.empty());
            continue;
        }
        ASSERT_EQ(g_received.size(), 1u);
        EXPECT_EQ(g_received[0].message, c.message);
        if (c.message == WM_COPYDATA) {
            EXPECT_EQ(g_received[0].wParam, 0u);  // dwData
            EXPECT_EQ(g_received[0].data, c.data);
        }
    }
}

TEST(Startup, AutoScanOnStartStoresTheValueAndOpensNoWindow) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"ScanOnStartup");
    EXPECT_EQ(RunProgram(L"-AutoScanOnStart"), 0);
    EXPECT_EQ(ReadDword(L"ScanOnStartup", 0), 1u);
    EXPECT_EQ(FindWindowW(kClass, nullptr), nullptr);
}

TEST(Startup, InstallTwiceThenUninstallLeavesTheHandlerAsBefore) {
    const wchar_t* key = L"Unknown\\shell\\openas\\command";
    const std::wstring original = L"%SystemRoot%\\system32\\rundll32.exe %SystemRoot%\\system32\\shell32.dll,OpenAs_RunDLL %1";
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
    RegSetValueExW(k, nullptr, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(original.c_str()),
                   static_cast<DWORD>((original.size() + 1) * 2));
    RegCloseKey(k);
    auto read = [&](const wchar_t* name, DWORD* type = nullptr) {
        wchar_t buffer[1024] = {};
        DWORD size = sizeof(buffer);
        if (RegGetValueW(HKEY_CLASSES_ROOT, key, name, RRF_RT_ANY | RRF_NOEXPAND, type, buffer, &size) != ERROR_SUCCESS)
            return std::wstring(L"<missing>");
        return std::wstring(buffer);
    };

    EXPECT_EQ(RunProgram(L"-install"), 0);
    EXPECT_EQ(RunProgram(L"-install"), 0);
    EXPECT_EQ(read(nullptr), kDist + L"\\noapp.exe %1");
    EXPECT_EQ(read(L"Zyr Disk Care.old"), original);
    EXPECT_EQ(RunProgram(L"-uninstall"), 0);
    DWORD type = 0;
    EXPECT_EQ(read(nullptr, &type), original);
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(read(L"Zyr Disk Care.old"), L"<missing>");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Unknown\\shell\\openas");
}

TEST(Startup, ShutdownFromASecondStartClosesTheRunningInstance) {
    Process first;
    ASSERT_TRUE(Start(kProgram, L"", first));
    ASSERT_TRUE(WaitFor([] { return FindWindowW(kClass, nullptr) != nullptr; })) << "no main window";
    // The window exists while the frame still builds its pages; the run statistics follow it.
    WaitFor([] { return ReadDword(L"RunCount", 0) >= 1; }, 20000);
    DWORD runCount = ReadDword(L"RunCount", 0);
    EXPECT_GE(runCount, 1u);
    EXPECT_EQ(ReadDword(L"FROMSCHEDULE", 7), 0u);
    EXPECT_EQ(RunProgram(L"-shutdown"), 0);
    EXPECT_EQ(Wait(first, 15000), 0);
    EXPECT_EQ(FindWindowW(kClass, nullptr), nullptr);
    EXPECT_EQ(RunProgram(L"-shutdown"), 0);  // nothing running: ends at once
}

TEST(Startup, MissingResourceLibraryIsReportedAndExitsCleanly) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"zyr-no-resources";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring copy = folder + L"\\ZyrDiskCare.exe";
    ASSERT_TRUE(CopyFileW(kProgram.c_str(), copy.c_str(), FALSE));
    // The skin reads colors.xml before start-up runs; with it in place start-up is reached.
    const std::wstring colors = kDist + L"\\colors.xml";
    ASSERT_TRUE(CopyFileW(colors.c_str(), (folder + L"\\colors.xml").c_str(), FALSE));

    Process p;
    ASSERT_TRUE(Start(copy, L"", p));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindWindowW(L"#32770", L"ZyrDiskCare")) != nullptr; }));
    std::wstring text;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM out) -> BOOL {
            wchar_t buffer[256] = {};
            GetWindowTextW(child, buffer, 256);
            if (wcsncmp(buffer, L"Error (", 7) == 0) *reinterpret_cast<std::wstring*>(out) = buffer;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    EXPECT_EQ(text, L"Error (126): Please reinstall the application");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(Wait(p), 0);
    DeleteFileW(copy.c_str());
    DeleteFileW((folder + L"\\colors.xml").c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(Startup, MissingColourFileIsReportedBeforeAnythingElseAndExitsCleanly) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"zyr-no-colours";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring copy = folder + L"\\ZyrDiskCare.exe";
    ASSERT_TRUE(CopyFileW(kProgram.c_str(), copy.c_str(), FALSE));

    Process p;
    ASSERT_TRUE(Start(copy, L"", p));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindWindowW(L"#32770", L"Zyr Disk Care")) != nullptr; }));
    std::wstring text;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM out) -> BOOL {
            wchar_t buffer[256] = {};
            GetWindowTextW(child, buffer, 256);
            if (wcsstr(buffer, L"colors.xml")) *reinterpret_cast<std::wstring*>(out) = buffer;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    EXPECT_NE(text.find(L"colors.xml"), std::wstring::npos);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(Wait(p), 0);
    EXPECT_EQ(FindWindowW(kClass, nullptr), nullptr) << "no main window without the colour file";
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
