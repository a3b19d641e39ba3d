// Reading settings.xml's keys and filling in the placeholders of resource texts.
#include "app/core/ProductKeys.h"

#include "skin/xml/xml_parser.h"

#include <cstdlib>

namespace zyr::config {
namespace {

constexpr const wchar_t* kKeyNames[] = {
    L"APPNAME", L"APPVER", L"EXENAME", L"COMPANYNAME", L"COMPANYURL", L"COMPANY_WEB_BUTTON", L"VENDID",
    L"LANGID", L"CPID", L"PID", L"GUID", L"UCN", L"HOME_SCREEN_ICON1", L"HOME_SCREEN_ICON2",
    L"HOME_SCREEN_ICON3", L"HOME_SCREEN_ICON4", L"HOME_SCREEN_ICON5", L"HOME_SCREEN_ICON6", L"SCAN_ORDER",
    L"SCAN_TYPES", L"UUSPATH"};
static_assert(std::size(kKeyNames) == static_cast<size_t>(Key::Count));

long DecimalValue(const std::wstring& text) { return std::wcstol(text.c_str(), nullptr, 10); }

std::vector<long> NumberList(const std::wstring& text) {
    std::vector<long> numbers;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L';', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring part = text.substr(start, end - start);
        if (!part.empty()) numbers.push_back(DecimalValue(part));
        start = end + 1;
    }
    return numbers;
}

std::wstring ReplaceAll(std::wstring text, std::wstring_view placeholder, const std::wstring& value) {
    size_t at = 0;
    while ((at = text.find(placeholder, at)) != std::wstring::npos) {
        text.replace(at, placeholder.size(), value);
        at += value.size();
    }
    return text;
}

}  // namespace

const wchar_t* KeyName(Key key) { return kKeyNames[static_cast<size_t>(key)]; }

void ReadProductKeys(wchar_t* text, ProductKeys& keys) {
    pug::xml_parser parser;
    if (!parser.parse(text)) return;
    pug::xml_node doc = parser.document();
    wchar_t buffer[256];
    for (size_t i = 0; i < static_cast<size_t>(Key::Count); ++i) {
        if (doc.find_element(kKeyNames[i]).text(buffer, 255)) keys.values[i] = buffer;
    }
    keys.pid = DecimalValue(keys[Key::PID]);
    keys.scanOrder = NumberList(keys[Key::SCAN_ORDER]);
    keys.scanTypes = NumberList(keys[Key::SCAN_TYPES]);
}

std::wstring WidenUpToZero(std::string_view bytes, std::wstring (*widen)(std::string_view)) {
    size_t zero = bytes.find('\0');
    return widen(bytes.substr(0, zero == std::string_view::npos ? bytes.size() : zero));
}

std::wstring ReplacePlaceholders(std::wstring text, const std::wstring& appName, const std::wstring& companyName) {
    return ReplaceAll(ReplaceAll(std::move(text), L"%APPNAME%", appName), L"%COMPANYNAME%", companyName);
}

}  // namespace zyr::config
