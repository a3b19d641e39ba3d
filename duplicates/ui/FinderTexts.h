// Texts of the duplicate finder's pages: resource strings by number and the message-box caption.
#pragma once
#include <windows.h>

#include <string>

// Resource text `id` with the product names filled in.
std::wstring FinderText(UINT id);
// The application title, the caption of every message box.
std::wstring FinderCaption();
// The message of resource text `id` over `owner`, with the application title as caption.
void ShowFinderMessage(HWND owner, UINT id);

// Every child page shows this header picture.
inline constexpr wchar_t kDupHeaderImage[] = L"images/buttons and headers/header_duplicate.png";
