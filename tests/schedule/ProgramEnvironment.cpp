// Test process set-up: the program's resources and configuration, a private settings key.
#include "tests/schedule/ProgramEnvironment.h"

#include "app/ProductConfiguration.h"
#include "framework/App.h"
#include "framework/Profile.h"
#include "framework/ResourceInstance.h"

#include <memory>

namespace zyr::schedule::testing {
namespace {

class TestApp : public fw::CWinAppBase {
public:
    bool InitInstance() override { return false; }
};

}  // namespace

std::wstring DistFolder() {
    std::string unixPath = ZYR_DIST_DIR;
    std::wstring path = L"Z:";
    for (char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

void UseBuiltProgram(const std::wstring& settingsKey) {
    static std::unique_ptr<TestApp> app;
    if (!app) {
        app = std::make_unique<TestApp>();
        HMODULE resources = LoadLibraryExW((DistFolder() + L"\\MyResources.dll").c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE);
        ::SetResourceInstance(resources);
        config::LoadProductConfiguration(DistFolder());
    }
    DeleteSettings(settingsKey);
    size_t slash = settingsKey.find(L'\\');
    fw::SetRegistryKey(settingsKey.substr(0, slash), slash == std::wstring::npos ? L"" : settingsKey.substr(slash + 1));
}

void DeleteSettings(const std::wstring& settingsKey) {
    RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + settingsKey).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, (L"Software\\" + settingsKey).c_str());
}

long ReadUserDword(const std::wstring& path, const std::wstring& name) {
    DWORD value = 0, size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return -1;
    return static_cast<long>(value);
}

}  // namespace zyr::schedule::testing
