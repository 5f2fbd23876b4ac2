#pragma once
// The command line of marvento-cli: which command, which theme, which options.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli_error.h"
#include "messages.h"
#include "option_table.h"
#include "ui_language.h"

namespace cli {

// A THEME, --from or --fonts-from of "-": standard input, which a command reads once at most.
inline constexpr const char* kStandardInput = "-";

// The highest --page accepted; the theme then says whether it has it.
inline constexpr unsigned kMaxPageNumber = 1000;

struct Options {
  Command command = Command::Help;  // with help: the command whose help is asked for, or Help for all
  std::string theme;  // for diff: theme A
  std::string other;  // diff: theme B
  std::optional<unsigned> codePage;
  std::optional<std::uint16_t> language;  // LANGID; without it, the user's interface language
  // list and diff
  bool json = false;
  bool languages = false;  // list --languages
  bool tsv = false;        // list --tsv
  bool quiet = false;      // diff -q
  bool help = false;       // --help given: print helpText(command)
  bool version = false;    // --version given
  // write
  std::string out;
  std::optional<std::string> from;
  std::optional<std::string> font;    // UTF-8, as given
  std::optional<std::string> size;    // UTF-8, as given
  std::optional<std::string> option;  // UTF-8, as given; "" empties the options
  std::optional<std::string> fontsFrom;  // a theme, or the `list --json` of one
  std::optional<std::string> grow;       // as given; checked by the write
  std::optional<std::string> scale;      // as given; checked by the write
  std::vector<int> pages;             // --page (write and list), in the order given; empty for every page
};

// The language to read and edit: --language, else the user's interface language.
theme::LanguagePreference languageOf(const Options& options);

// Whether the user asked for a language (so a fallback is worth a word): --language, or a
// locale that names one.
bool languageAsked(const Options& options);

// Throws a usage error (status 2) for a --page the loaded theme, of `pageCount` pages, lacks.
void checkPages(const Options& options, int pageCount, Language language);

// `args` without the program name, as the tables of option_table.h describe them.
// Throws usageError(), the message in `language`.
Options parseArguments(std::span<const std::string> args, Language language);

extern const char* const kVersion;  // what --version prints: "marvento-cli X.Y.Z"

}  // namespace cli
