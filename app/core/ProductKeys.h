// The values of settings.xml and the "%APPNAME%"/"%COMPANYNAME%" placeholders (portable).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zyr::config {

// The keys of settings.xml, in the order they are read.
enum class Key {
    APPNAME, APPVER, EXENAME, COMPANYNAME, COMPANYURL, COMPANY_WEB_BUTTON, VENDID, LANGID, CPID, PID, GUID, UCN,
    HOME_SCREEN_ICON1, HOME_SCREEN_ICON2, HOME_SCREEN_ICON3, HOME_SCREEN_ICON4, HOME_SCREEN_ICON5,
    HOME_SCREEN_ICON6, SCAN_ORDER, SCAN_TYPES, UUSPATH,
    Count
};
const wchar_t* KeyName(Key key);

struct ProductKeys {
    std::wstring values[static_cast<size_t>(Key::Count)];
    long pid = 0;
    std::vector<long> scanOrder, scanTypes;

    const std::wstring& operator[](Key key) const { return values[static_cast<size_t>(key)]; }
    std::wstring& operator[](Key key) { return values[static_cast<size_t>(key)]; }
};

// Fills `keys` from the document text (parsed in place). A malformed document yields what was
// parsed before the fault; missing or empty elements leave their keys empty; values are cut
// to 255 characters.
void ReadProductKeys(wchar_t* text, ProductKeys& keys);

// Widens file bytes as ANSI text: the bytes up to the first zero, each through `widen`.
std::wstring WidenUpToZero(std::string_view bytes, std::wstring (*widen)(std::string_view));

// Replaces every "%APPNAME%" by appName, then every "%COMPANYNAME%" by companyName (exact,
// left to right; replaced text is not scanned again for the same placeholder).
std::wstring ReplacePlaceholders(std::wstring text, const std::wstring& appName, const std::wstring& companyName);

}  // namespace zyr::config
