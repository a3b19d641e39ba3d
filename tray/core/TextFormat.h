// printf-style formatting of resource texts with typed arguments (portable, never reads past its arguments).
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace zyr::tray {

// One argument: a text for %s, a number for %d, %i and %u.
struct TextArg {
    TextArg(std::wstring_view text) : isText(true), text(text) {}
    TextArg(const std::wstring& text) : isText(true), text(text) {}
    TextArg(const wchar_t* text) : isText(true), text(text ? text : L"") {}
    TextArg(int64_t number) : isText(false), number(number) {}
    TextArg(int number) : isText(false), number(number) {}
    bool isText;
    std::wstring_view text;
    int64_t number = 0;
};

// Replaces %s, %d, %i, %u (with an optional "l", "ll" or "I64" size) by the arguments in order and
// "%%" by "%". A conversion without an argument left, or of the other kind (a number for %s),
// stays as written; any other "%" sequence is copied unchanged.
std::wstring FormatText(std::wstring_view format, std::initializer_list<TextArg> args);

}  // namespace zyr::tray
