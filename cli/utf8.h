#pragma once
// Reading UTF-8 one character at a time, for everything in the command line that looks
// at characters rather than bytes: the JSON reader, column widths, escapes and cut quotes.
#include <cstddef>
#include <string_view>

namespace cli {

struct Utf8Char {
  char32_t code = 0;
  std::size_t length = 0;  // bytes taken; 0 when the bytes at that place are not UTF-8
};

// The character starting at byte `at` of `text` (at < text.size()). Over-long forms,
// encoded surrogates, values beyond U+10FFFF and cut sequences are not UTF-8.
Utf8Char decodeUtf8(std::string_view text, std::size_t at);

// A C0 or C1 control character or DEL: what a terminal may act on instead of showing.
constexpr bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// The first `maxChars` characters of `text`; bytes that are not UTF-8 count as one each.
std::string_view firstChars(std::string_view text, std::size_t maxChars);

}  // namespace cli
