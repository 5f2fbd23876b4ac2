#pragma once
// Characters rather than bytes, for the JSON reader, column widths, escapes and cut
// quotes: the core's UTF-8 decoder, and what the command line adds to it.
#include <cstddef>
#include <string_view>

#include "utf8_codec.h"

namespace cli {

using theme::decodeUtf8;
using theme::Utf8Char;

// A C0 or C1 control character or DEL: what a terminal may act on instead of showing.
constexpr bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// The first `maxChars` characters of `text`; bytes that are not UTF-8 count as one each.
std::string_view firstChars(std::string_view text, std::size_t maxChars);

}  // namespace cli
