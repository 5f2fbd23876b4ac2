#pragma once
// The theme a command reads, and how a command says it cannot.
#include <cstdint>
#include <memory>
#include <string>

#include "cli_error.h"
#include "messages.h"

namespace theme {
class CodePage;
class FontPages;
class PositionedFile;
class ThemeSettings;
struct ThemeImage;
}  // namespace theme

namespace cli {

// What messages call the file a command reads: its path, or "standard input" for "-".
std::string sourceName(const std::string& path, Language language);

// The file at `path`, or standard input for "-", open for reading; a pipe or standard input
// is read whole at once. Throws Error (`status`) naming it.
std::unique_ptr<theme::PositionedFile> openSource(const std::string& path, Language messages, int status = kFailed);

// Loads the theme at `path` ("-": standard input) into `pages` as a command reads it: only
// what the font pages list (a write copies the rest from the file as it writes),
// `language` chosen of the resources stored in several. `open` is the file when it is
// already open. A file that cannot be read as a theme is refused with `status` (diff's
// trouble is not "differs"), naming the file. With `sayFallback`, standard error says
// which language a resource that lacks `language` gave instead.
theme::ThemeImage loadForCommand(const std::string& path, theme::FontPages& pages, const theme::CodePage& cp,
                                 std::uint16_t language, bool sayFallback, Language messages, int status = kFailed,
                                 std::unique_ptr<theme::PositionedFile> open = nullptr);

// The same without a row for each setting: `image` loaded, the name lists and boxes read
// into `pages`, the settings kept to be walked (list, diff).
theme::ThemeSettings loadSettingsForCommand(const std::string& path, theme::ThemeImage& image, theme::FontPages& pages,
                                            const theme::CodePage& cp, std::uint16_t language, bool sayFallback,
                                            Language messages, int status = kFailed);

}  // namespace cli
