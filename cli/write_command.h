#pragma once
// The write command: the loaded theme with the edits of an edited list and the bulk font
// name applied, rebuilt and put in place of the target.
#include <string>

#include "messages.h"

namespace theme {
class CodePage;
class FontPages;
struct CarriedFonts;
struct ResizedSizes;
}  // namespace theme

namespace cli {

struct Options;

// The most steps --grow takes either way; more would make no font anyone can use.
inline constexpr int kMaxGrowth = 1000;

// The ANSI form of a face, size or option given on the command line (column kColFont,
// kColSize or kColOption); throws Error (status 1) when it breaks the column's rule.
std::string valueFromArgument(int column, const std::string& utf8, const theme::CodePage& cp, Language language);

// The lines on standard error after a write with --fonts-from and with --grow or --scale.
std::string fontsFromSummary(const std::string& other, const theme::CarriedFonts& carried, Language language);
std::string resizeSummary(const theme::ResizedSizes& resized, Language language);

// Loads options.theme in the language and code page of the options, else of the edited
// list, else the user's; applies --from, then --fonts-from (every page), then --font,
// --size and --option, then --grow or --scale, these on the --page pages (all without),
// rebuilds and writes options.out; then says on standard error what --fonts-from, --grow
// and --scale changed.
// Throws Error naming what it is about: the theme, the edited list, a value, OUT (status
// 1), or a --page beyond the theme's pages and OUT naming the list (status 2).
void runWrite(const Options& options, Language language);

}  // namespace cli
