// Texts and product values for the main frame and its pages.
#include "app/ShellText.h"
#include <windows.h>
#include <map>
#include <vector>
#include "framework/ResourceInstance.h"
#include "skin/xml/xml_parser.h"

namespace {

std::map<std::wstring, std::wstring> ReadConfiguration() {
    std::map<std::wstring, std::wstring> values;
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring file(path);
    file.resize(file.rfind(L'\\') + 1);
    file += L"settings.xml";
    HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return values;
    std::vector<char> bytes(1 << 16);
    DWORD read = 0;
    ::ReadFile(handle, bytes.data(), static_cast<DWORD>(bytes.size() - 1), &read, nullptr);
    ::CloseHandle(handle);
    std::vector<wchar_t> text(read + 1, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(read), text.data(), static_cast<int>(read));
    pug::xml_parser parser;
    parser.parse(text.data());
    for (const wchar_t* key : {L"APPNAME", L"APPVER", L"COMPANYNAME", L"COMPANYURL", L"UCN", L"UUSPATH", L"LANGID",
                               L"HOME_SCREEN_ICON1", L"HOME_SCREEN_ICON2", L"HOME_SCREEN_ICON3"}) {
        wchar_t buffer[1024] = {};
        if (parser.document().find_element(key).text(buffer, 1023)) values[key] = buffer;
    }
    return values;
}

const std::map<std::wstring, std::wstring>& Configuration() {
    static const std::map<std::wstring, std::wstring> values = ReadConfiguration();
    return values;
}

void ReplaceAll(std::wstring& text, const std::wstring& what, const std::wstring& with) {
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + with.size())) text.replace(at, what.size(), with);
}

}  // namespace

std::wstring ShellConfigValue(const wchar_t* key) {
    const auto& values = Configuration();
    auto it = values.find(key);
    return it == values.end() ? std::wstring() : it->second;
}

std::wstring ShellText(unsigned id) {
    std::wstring text = LoadResourceString(id);
    ReplaceAll(text, L"%APPNAME%", ShellConfigValue(L"APPNAME"));
    ReplaceAll(text, L"%COMPANYNAME%", ShellConfigValue(L"COMPANYNAME"));
    return text;
}
