#pragma once
// UTF-8, as the command line and JSON carry text, and the UTF-16 of theme data.
#include <cstddef>
#include <string>
#include <string_view>

namespace theme {

// UTF-8 for the command line and JSON (surrogate pairs joined, lone surrogates as U+FFFD).
std::string utf16ToUtf8(std::u16string_view wide);
std::u16string utf8ToUtf16(std::string_view utf8);  // invalid bytes become U+FFFD

struct Utf8Char {
  char32_t code = 0;
  std::size_t length = 0;  // bytes taken; 0 when the bytes at that place are not UTF-8
};

// The character starting at byte `at` of `text` (at < text.size()). Over-long forms,
// encoded surrogates, values beyond U+10FFFF and cut sequences are not UTF-8.
Utf8Char decodeUtf8(std::string_view text, std::size_t at);

}  // namespace theme
