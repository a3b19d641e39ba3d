// The product configuration of this build, read once from settings.xml beside the program,
// and LoadText: a resource text with the product and company names filled in.
#pragma once
#include <windows.h>

#include "app/core/ProductKeys.h"

#include <string>

namespace zyr::config {

// Reads <program folder>\settings.xml and then the configuration texts. Called once at start.
void LoadProductConfiguration(const std::wstring& programFolder);

// Resource text `id` of the resource library with the placeholders replaced; empty when missing.
std::wstring LoadText(UINT id);
// The stored text of a configuration text (431..476, 478..480), read at start.
std::wstring ConfigurationText(UINT id);

std::wstring Value(Key key);
inline std::wstring AppName() { return Value(Key::APPNAME); }
inline std::wstring AppVersion() { return Value(Key::APPVER); }
inline std::wstring ExeName() { return Value(Key::EXENAME); }
inline std::wstring CompanyName() { return Value(Key::COMPANYNAME); }
inline std::wstring WindowClassName() { return Value(Key::UCN); }
inline std::wstring LanguageId() { return Value(Key::LANGID); }
inline std::wstring UpdatePath() { return Value(Key::UUSPATH); }
long ProductId();

}  // namespace zyr::config
