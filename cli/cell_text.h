#pragma once
// Crossing between the UTF-8 of the command line and JSON and the ANSI code page in
// which rows and boxes hold their texts.
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "messages.h"

namespace theme {
class CodePage;
class FontPages;
}  // namespace theme

namespace cli {

// The ANSI form of a UTF-8 text given for a cell or box. Refused (std::invalid_argument,
// the message in `language` says why without naming the cell): characters
// the code page cannot hold (they would silently become its default character), control
// characters (they would break the line or string they are written into; the message names
// a code page that holds them, where one does), and texts longer
// than 63 bytes in the code page.
std::string cellFromUtf8(std::string_view utf8, const theme::CodePage& cp, Language language);

// An ANSI code page of Windows that holds `wide` exactly, for messages that suggest one.
std::optional<unsigned> codePageHolding(std::u16string_view wide);

// Page `page`'s tab title as UTF-8: its size name in the code page, cut to a cell's length
// as the tab gets it.
std::string tabTitle(const theme::FontPages& pages, int page, const theme::CodePage& cp);

// A path given in UTF-8 as the core opens it: unchanged on POSIX; on Windows, whose narrow
// file functions the core uses, in the system's ANSI code page.
std::string nativePath(const std::string& utf8);

}  // namespace cli
