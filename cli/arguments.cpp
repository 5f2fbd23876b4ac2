#include "arguments.h"

#include "json_text.h"
#include "messages.h"

#include <charconv>
#include <limits>
#include <string_view>
#include <vector>

#include "marvento_version.h"

namespace cli {

const char* const kUsage =
    "usage: marvento-cli list THEME [--json] [--codepage N] [--language LANGID] [--languages] [--tsv] [--page N]...\n"
    "       marvento-cli write THEME -o OUT [--from EDITED.json|-] [--font FACE] [--size N] [--option TEXT]\n"
    "                          [--page N]... [--codepage N] [--language LANGID]\n"
    "       marvento-cli diff A B [--json] [--codepage N] [--language LANGID] [-q]\n"
    "       marvento-cli --help | --version\n";

const char* const kHelp =
    "marvento-cli: lists, changes and compares the font settings of a Windows XP visual-style file\n"
    "(.msstyles).\n"
    "\n"
    "  marvento-cli list THEME [--json] [--codepage N] [--language LANGID] [--languages] [--tsv]\n"
    "                    [--page N]...\n"
    "      Prints the language and code page it reads THEME in, then every font page: its tab title\n"
    "      (the size name), its size-name box and its font rows with six columns (internal file name,\n"
    "      section, key, font name, size, option), then the style name.\n"
    "      --json  prints the same as one JSON document, indented by two spaces, every text exactly\n"
    "              as the file holds it (a lone UTF-16 surrogate as a \\uXXXX escape):\n"
    "              {\"language\": \"0x0409\", \"codePage\": N, \"pageCount\": N, \"colourCount\": N,\n"
    "               \"styleName\": \"...\", \"sizeNameBoxes\": [5 texts],\n"
    "               \"pages\": [{\"index\": 0, \"sizeName\": \"...\", \"rows\": [{\"file\": \"...\",\n"
    "               \"section\": \"...\", \"key\": \"...\", \"font\": \"...\", \"size\": \"...\",\n"
    "               \"option\": \"...\"}, ...]}, ...]}\n"
    "              with one entry in \"pages\" per page of the theme.\n"
    "      --languages  prints instead the languages each text and string table holds.\n"
    "      --tsv   prints one row per line for pipes: page, file, section, key, font, size and\n"
    "              option, tab-separated, no titles; tabs, newlines and backslashes in values as\n"
    "              \\t, \\n and \\\\. For example the faces in use:\n"
    "                marvento-cli list THEME --tsv | cut -f5 | sort | uniq\n"
    "      --page N  lists only page N (0 is the first page); give it again for more pages.\n"
    "\n"
    "  marvento-cli write THEME -o OUT [--from EDITED.json|-] [--font FACE] [--size N] [--option TEXT]\n"
    "                     [--page N]... [--codepage N] [--language LANGID]\n"
    "      Rebuilds THEME with the changes below and writes it to OUT. OUT may be THEME itself; it is\n"
    "      replaced only once the new file is complete, and an interrupted write leaves it as it was.\n"
    "      OUT must be missing or a writable regular file; a symbolic link's file is replaced.\n"
    "      Without changes the file is rebuilt as is. Every change is checked before anything is\n"
    "      written.\n"
    "      --from EDITED.json  the output of \"list --json\", edited: the font, size and option of every\n"
    "                          row, \"sizeNameBoxes\" and \"styleName\" are applied, in the language and\n"
    "                          code page the list records unless --language or --codepage say\n"
    "                          otherwise. Rows are taken by page index and row position; their file,\n"
    "                          section and key must still be the theme's, and every listed page must\n"
    "                          list all of its rows. Unknown keys and changed read-only ones\n"
    "                          (pageCount, colourCount, sizeName) are refused; a size may be a JSON\n"
    "                          number. \"-\" reads standard input. UTF-8, at most 64 MiB. OUT may not be\n"
    "                          this file, nor \"-\".\n"
    "      --font FACE         sets the font name of every row (after --from). Not blank, no \",\",\n"
    "                          \"[\" or \"]\".\n"
    "      --size N            sets the size of every row: a whole number other than 0; negative\n"
    "                          numbers are heights in pixels.\n"
    "      --option TEXT       sets the option of every row: words from bold, italic, underline and\n"
    "                          strikeout, blank-separated, each once; \"\" empties it.\n"
    "      --page N            --font, --size and --option change only page N (0 is the first page);\n"
    "                          give it again for more pages.\n"
    "\n"
    "  marvento-cli diff A B [--json] [--codepage N] [--language LANGID] [-q]\n"
    "      Compares two themes page by page: rows (found by file, section and key) whose font, size\n"
    "      or option differ, rows only in A or only in B, and changed size names, size-name boxes,\n"
    "      style name and page count; then texts, string tables and name lists that differ in another\n"
    "      language (\"other language: TYPE NAME LANGID\"). When something differs the first line\n"
    "      names the two files (\"diff A B\"); nothing is printed when nothing differs.\n"
    "      -q      prints nothing: only the exit status tells.\n"
    "      --json  prints one JSON document: {\"differs\": true|false, \"pages\": [{\"index\": N,\n"
    "              \"changed\": [...], \"onlyInA\": [...], \"onlyInB\": [...]}, ...]}, with \"pageCount\",\n"
    "              \"styleName\", \"sizeName\" and \"sizeNameBox\" as {\"a\": ..., \"b\": ...} where they differ,\n"
    "              and \"otherLanguages\": [{\"type\", \"name\", \"language\"}, ...] where some do.\n"
    "\n"
#ifdef _WIN32
    "  --codepage N  the ANSI code page the theme's texts are shown and edited in (default: the\n"
    "                system's ANSI code page).\n"
#else
    "  --codepage N  the ANSI code page the theme's texts are shown and edited in (default: the one\n"
    "                Windows pairs with the locale's language, 1252 for English, 1251 for Russian...;\n"
    "                932 for Japanese and for a locale that names no language, such as C).\n"
#endif
    "  --language LANGID  of texts and string tables stored in several languages, the one listed\n"
    "                and changed (a Windows language id, decimal or 0x hex: 0x0411 is Japanese); a\n"
    "                resource without it gives one of the same primary language, else its first\n"
    "                (said once on standard error when a language was asked for).\n"
#ifdef _WIN32
    "                Default: the user's interface language.\n"
#else
    "                Default: the user's interface language (LC_ALL, LC_MESSAGES or LANG); English\n"
    "                (0x0409) when the locale names none (C, POSIX).\n"
#endif
    "  --help        prints this text.\n"
    "  --version     prints the version: marvento-cli X.Y.Z.\n"
    "\n"
    "Texts on the command line, in JSON and on output are UTF-8. Every text is converted to the code\n"
#ifdef _WIN32
    "page and may hold at most 63 bytes there. Table titles and messages are Japanese when the\n"
    "user's interface language is, English otherwise (messages from reading and rebuilding the\n"
    "theme stay English); JSON keys never change.\n"
#else
    "page and may hold at most 63 bytes there. Table titles and messages are Japanese when LC_ALL,\n"
    "LC_MESSAGES or LANG (the first one set) starts with \"ja\", English otherwise (messages from\n"
    "reading and rebuilding the theme stay English); JSON keys never change.\n"
#endif
    "On a Windows console the output is shown in the console's code page instead.\n"
    "\n"
    "Exit status of list and write: 0 success; 1 THEME cannot be read as a theme, EDITED.json or a\n"
    "change (a value of --font, --size or --option) does not fit it, or OUT cannot be written (one\n"
    "line on stderr says why); 2 bad usage.\n"
    "Exit status of diff: 0 the themes do not differ; 1 they differ; 2 bad usage or a theme cannot\n"
    "be read.\n";

const char* const kVersion = "marvento-cli " MARVENTO_VERSION "\n";

namespace {

unsigned parseNumber(std::string_view option, std::string_view text, unsigned max, Language language, int base = 10) {
  unsigned value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || ec != std::errc() || ptr != end || value > max) {
    throw usageError(say(language, "{0} needs a number, not {1}", {option, quoted(text)}));
  }
  return value;
}

}  // namespace

theme::LanguagePreference languageOf(const Options& options) {
  return options.language ? options.language : theme::userInterfaceLanguage();
}

Options parseArguments(std::span<const std::string> args, Language language) {
  Options o;
  if (args.empty()) throw usageError(say(language, "no command given"));
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") return o;
    if (a == "--version") {
      o.command = Command::Version;
      return o;
    }
  }

  const std::string& command = args[0];
  if (command == "list") {
    o.command = Command::List;
  } else if (command == "write") {
    o.command = Command::Write;
  } else if (command == "diff") {
    o.command = Command::Diff;
  } else {
    throw usageError(say(language, "unknown command {0}", {quoted(command)}));
  }
  const bool writing = o.command == Command::Write;

  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string_view a = args[i];
    if (optionsEnded || a.size() < 2 || a[0] != '-') {
      positional.emplace_back(a);
      continue;
    }
    if (a == "--") {
      optionsEnded = true;
      continue;
    }
    // "--name=value" or "--name value"
    std::string_view name = a;
    std::optional<std::string> inlineValue;
    if (const auto eq = a.find('='); a.starts_with("--") && eq != std::string_view::npos) {
      name = a.substr(0, eq);
      inlineValue = std::string(a.substr(eq + 1));
    }
    auto value = [&]() -> std::string {
      if (inlineValue) return *inlineValue;
      if (i + 1 >= args.size()) throw usageError(say(language, "{0} needs a value", {name}));
      return args[++i];
    };
    auto once = [&](bool alreadySet) {
      if (alreadySet) throw usageError(say(language, "{0} given twice", {name}));
    };
    auto textOnce = [&](std::optional<std::string>& field) {
      once(field.has_value());
      field = value();
    };

    if (name == "--codepage") {
      once(o.codePage.has_value());
      o.codePage = parseNumber(name, value(), std::numeric_limits<unsigned>::max(), language);
    } else if (name == "--language") {
      once(o.language.has_value());
      const std::string text = value();
      const bool hex = text.starts_with("0x") || text.starts_with("0X");
      o.language = static_cast<std::uint16_t>(parseNumber(name, hex ? text.substr(2) : text, 0xFFFF, language, hex ? 16 : 10));
    } else if (name == "--json" && !writing && !inlineValue) {
      o.json = true;
    } else if (name == "--languages" && o.command == Command::List && !inlineValue) {
      o.languages = true;
    } else if (name == "--tsv" && o.command == Command::List && !inlineValue) {
      o.tsv = true;
    } else if (name == "-q" && o.command == Command::Diff) {
      o.quiet = true;
    } else if (name == "-o" && writing) {
      once(!o.out.empty());
      o.out = value();
      if (o.out.empty()) throw usageError(say(language, "-o needs a file name"));
      // A theme is binary and is put in place only once complete: it goes to a file, never a stream.
      if (o.out == "-") throw usageError(say(language, "-o - is refused: a theme is written to a file, not to standard output"));
    } else if (name == "--from" && writing) {
      textOnce(o.from);
    } else if (name == "--font" && writing) {
      textOnce(o.font);
    } else if (name == "--size" && writing) {
      textOnce(o.size);
    } else if (name == "--option" && writing) {
      textOnce(o.option);
    } else if (name == "--page" && o.command != Command::Diff) {
      o.pages.push_back(static_cast<int>(parseNumber(name, value(), 1000, language)));
    } else {
      throw usageError(say(language, "unknown option {0} for {1}", {quoted(a), command}));
    }
  }

  const std::size_t themes = o.command == Command::Diff ? 2 : 1;
  if (positional.size() < themes) throw usageError(say(language, themes == 2 ? "{0} needs two THEME files" : "{0} needs a THEME file", {command}));
  if (positional.size() > themes) throw usageError(say(language, "unexpected argument {0}", {quoted(positional[themes])}));
  o.theme = positional[0];
  if (themes == 2) o.other = positional[1];
  if (o.tsv && (o.json || o.languages)) throw usageError(say(language, "--tsv cannot be given with --json or --languages"));
  if (writing) {
    if (o.out.empty()) throw usageError(say(language, "write needs -o OUT"));
    if (!o.pages.empty() && !o.font && !o.size && !o.option) throw usageError(say(language, "--page needs --font, --size or --option"));
    if (o.from && *o.from == o.out) throw usageError(say(language, "-o {0} is the --from file: the edited list would be overwritten", {quoted(o.out)}));
  }
  return o;
}

}  // namespace cli
