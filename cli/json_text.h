#pragma once
// Texts in JSON's string notation, written one way for the JSON that `list` and `diff`
// print and for the values quoted in messages.
#include <cstddef>
#include <string>
#include <string_view>

namespace cli {

// "..." with '"' and '\' escaped and every control character (C0, DEL, C1) as an escape,
// so the result is one line that a terminal shows as it is. A lone surrogate (utf8.h) is
// written as its \uXXXX escape; other bytes that are not UTF-8 become \ufffd.
std::string jsonString(std::string_view utf8);

// How much of an offending value a message shows.
inline constexpr std::size_t kQuotedChars = 80;

// A value in a message: its first kQuotedChars characters as jsonString, with "..." after
// the closing quote when more was cut off.
std::string quoted(std::string_view utf8);

}  // namespace cli
