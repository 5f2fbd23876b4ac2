#pragma once
// The theme a command reads, and how a command says it cannot.
#include <cstdint>
#include <string>

#include "cli_error.h"
#include "messages.h"

namespace theme {
class CodePage;
class FontPages;
struct ThemeImage;
}  // namespace theme

namespace cli {

// Loads the theme at `path` into `pages` as a command reads it: only what the font pages
// list (a write copies the rest from the file as it writes), `language` chosen of the
// resources stored in several. A file that cannot be read as a theme is refused with
// `status` (diff's trouble is not "differs"), naming the file. With `sayFallback`,
// standard error says which language a resource that lacks `language` gave instead.
theme::ThemeImage loadForCommand(const std::string& path, theme::FontPages& pages, const theme::CodePage& cp,
                                 std::uint16_t language, bool sayFallback, Language messages, int status = kFailed);

}  // namespace cli
