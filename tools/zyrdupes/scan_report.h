// Printing the sets a scan found: as text blocks or as one JSON array.
#pragma once
#include "duplicates/core/duplicate_file_list.h"

#include <string>
#include <vector>

namespace zyr::dup {

// "size hash category" then one path per line, a blank line after each set. UTF-8.
std::string FormatSetsAsText(const std::vector<CDuplicateFileList>& sets);

// [{"size":..,"hash":"..","category":..,"files":[..]},..]; every character outside printable
// ASCII is written as a \u escape of its UTF-16 code unit.
std::string FormatSetsAsJson(const std::vector<CDuplicateFileList>& sets);

}  // namespace zyr::dup
