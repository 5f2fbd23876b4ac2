#pragma once
// Texts in JSON's string notation, written by nlohmann/json one way for the JSON that
// `list` and `diff` print and for the values quoted in messages; and what the project adds
// around the library, which carries UTF-8 only: lone surrogates, and escapes for terminals.
#include <cstddef>
#include <string>
#include <string_view>

namespace cli {

// "..." with '"' and '\' escaped and every character theme::escapedWhenShown names as an escape,
// so the result is one line that a terminal shows as it is. A lone surrogate (shown_text.h) is
// written as its \uXXXX escape; other bytes that are not UTF-8 become U+FFFD.
std::string jsonString(std::string_view utf8);

// Around the library: a text with its lone surrogates (shown_text.h) hidden as UTF-8 the library
// carries, and back. hideSurrogates goes into every string given to the library,
// revealSurrogates onto every string it gives back.
std::string hideSurrogates(std::string_view text);
std::string revealSurrogates(std::string_view text);

// JSON the library wrote, with hidden surrogates and the rest of what theme::escapedWhenShown
// names (DEL, C1, bidirectional controls) as \uXXXX escapes.
std::string escapeForTerminals(std::string_view json);

// How much of an offending value a message shows.
inline constexpr std::size_t kQuotedChars = 80;

// A value in a message: its first kQuotedChars characters as jsonString, with "..." after
// the closing quote when more was cut off.
std::string quoted(std::string_view utf8);

}  // namespace cli
