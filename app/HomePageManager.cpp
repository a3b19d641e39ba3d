// CHomePageManager: the home page's three shortcuts from the profile or the defaults.
#include "app/HomePageManager.h"
#include "skin/ProfileLink.h"
#include <cwchar>

namespace {
const wchar_t kSection[] = L"HomeScreenIcons";
const wchar_t* const kEntries[3] = {L"0", L"1", L"2"};
}  // namespace

IHomePageButton* CHomePageManager::Find(const std::wstring& name) const {
    for (IHomePageButton* button : buttons)
        if (button && button->GetButtonName() == name) return button;
    return nullptr;
}

bool CHomePageManager::ChooseButtons(const TextLoader& loadText, const std::array<std::wstring, 3>& defaultTextIds) {
    const std::wstring first = ProfileString(kSection, kEntries[0], L"");
    if (!first.empty()) {
        std::array<IHomePageButton*, 3> stored{};
        bool all = true;
        for (size_t i = 0; i < 3 && all; ++i) {
            stored[i] = Find(ProfileString(kSection, kEntries[i], L""));
            all = stored[i] != nullptr;
        }
        if (all) {
            chosen = stored;
            return true;
        }
    }
    std::array<IHomePageButton*, 3> defaults{};
    for (size_t i = 0; i < 3; ++i) {
        const unsigned id = static_cast<unsigned>(std::wcstoul(defaultTextIds[i].c_str(), nullptr, 10));
        defaults[i] = Find(loadText(id));
        if (!defaults[i]) return false;
    }
    chosen = defaults;
    for (size_t i = 0; i < 3; ++i) WriteProfileStringValue(kSection, kEntries[i], chosen[i]->GetButtonName());
    return true;
}
