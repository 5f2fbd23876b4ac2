#pragma once
// Theme texts on a terminal: shown without letting them act on it, and measured in the
// columns they take.
#include <cstddef>
#include <string>
#include <string_view>

namespace cli {

// The text with control characters (ESC, BEL, C1 codes, DEL) as \x1b and the like, so that
// no text of a file can drive the terminal.
std::string shown(std::string_view utf8);

// Terminal columns a UTF-8 text takes: two for East Asian wide and full-width characters.
std::size_t displayWidth(std::string_view utf8);

}  // namespace cli
