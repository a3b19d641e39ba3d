// Texts and product values for the main frame and its pages.
#pragma once
#include <string>

// A resource text with "%APPNAME%" and "%COMPANYNAME%" replaced.
std::wstring ShellText(unsigned id);
// A value of the product configuration file (settings.xml beside the program), "" when missing.
std::wstring ShellConfigValue(const wchar_t* key);
