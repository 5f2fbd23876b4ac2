#pragma once
// Letter-case-insensitive comparison and search on UTF-16 text, as the theme engine
// does it for section names, size names and file names.
#include <string_view>

namespace theme {

char16_t foldCase(char16_t unit);
bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b);
bool containsIgnoreCase(std::u16string_view text, std::u16string_view needle);

}  // namespace theme
