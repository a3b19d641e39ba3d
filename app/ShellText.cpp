// Texts and product values for the main frame and its pages (the product configuration's).
#include "app/ShellText.h"

#include <string_view>

#include "app/ProductConfiguration.h"

std::wstring ShellText(unsigned id) { return zyr::config::LoadText(id); }

std::wstring ShellConfigValue(const wchar_t* key) {
    using zyr::config::Key;
    static const struct {
        std::wstring_view name;
        Key key;
    } kKeys[] = {
        {L"APPNAME", Key::APPNAME}, {L"APPVER", Key::APPVER}, {L"COMPANYNAME", Key::COMPANYNAME},
        {L"COMPANYURL", Key::COMPANYURL}, {L"UCN", Key::UCN}, {L"UUSPATH", Key::UUSPATH}, {L"LANGID", Key::LANGID},
        {L"HOME_SCREEN_ICON1", Key::HOME_SCREEN_ICON1}, {L"HOME_SCREEN_ICON2", Key::HOME_SCREEN_ICON2},
        {L"HOME_SCREEN_ICON3", Key::HOME_SCREEN_ICON3},
    };
    for (const auto& entry : kKeys)
        if (entry.name == key) return zyr::config::Value(entry.key);
    return L"";
}
