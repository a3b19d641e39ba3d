// CHomePageManager: chooses the three page shortcuts of the home page.
#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>
#include "app/IHomePageButton.h"

class CHomePageManager {
public:
    // Texts by number (the shell's LoadText) and the settings.xml defaults HOME_SCREEN_ICON1..3.
    using TextLoader = std::function<std::wstring(unsigned id)>;

    void Register(IHomePageButton* button) { buttons.push_back(button); }
    // Reads "HomeScreenIcons" "0", "1", "2"; when entry "0" is empty or any name is unknown,
    // takes the defaults and stores their names. False when the defaults do not name three
    // registered buttons (the caller shows text 263 and ends the process).
    bool ChooseButtons(const TextLoader& loadText, const std::array<std::wstring, 3>& defaultTextIds);
    IHomePageButton* Chosen(size_t index) const { return index < chosen.size() ? chosen[index] : nullptr; }
    // The first registered button whose name equals `name` exactly, or null.
    IHomePageButton* Find(const std::wstring& name) const;

    std::vector<IHomePageButton*> buttons;
    std::array<IHomePageButton*, 3> chosen{};
};
