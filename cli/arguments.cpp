#include "arguments.h"

#include "json_text.h"
#include "list_printer.h"
#include "messages.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <map>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "marvento_version.h"

namespace cli {

const char* const kUsage =
    "usage: marvento-cli list THEME [--json] [--codepage N] [--language LANGID] [--languages] [--tsv] [--page N]...\n"
    "       marvento-cli write THEME -o OUT [--from EDITED.json|-] [--font FACE] [--size N] [--option TEXT]\n"
    "                          [--fonts-from OTHER] [--grow N | --scale FACTOR] [--page N]... [--codepage N]\n"
    "                          [--language LANGID]\n"
    "       marvento-cli diff A B [--json] [--codepage N] [--language LANGID] [-q]\n"
    "       marvento-cli --help | --version\n";

// The help in parts: what the program is, each command, what every command shares.
const char* const kHelpIntro =
    "marvento-cli: lists, changes and compares the font settings of a Windows XP visual-style file\n"
    "(.msstyles).\n"
    "\n";
const char* const kHelpList =
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
    "              \\t, \\n and \\\\, other control characters as \\x1b, \\u202e and the like. For\n"
    "              example the faces in use:\n"
    "                marvento-cli list THEME --tsv | cut -f5 | sort | uniq\n"
    "      --page N  lists only page N (0 is the first page); give it again for more pages.\n"
    "\n";
const char* const kHelpWrite =
    "  marvento-cli write THEME -o OUT [--from EDITED.json|-] [--font FACE] [--size N] [--option TEXT]\n"
    "                     [--fonts-from OTHER] [--grow N | --scale FACTOR] [--page N]... [--codepage N]\n"
    "                     [--language LANGID]\n"
    "      Rebuilds THEME with the changes below and writes it to OUT (-o OUT or --output OUT). OUT\n"
    "      may be THEME itself; it is replaced only once the new file is complete, and an\n"
    "      interrupted write leaves it as it was.\n"
    "      OUT must be missing or a writable regular file; a symbolic link's file is replaced.\n"
    "      Every change is checked before anything is written. Even without changes the file is\n"
    "      rebuilt: font lines take their written form (\"Font = Tahoma, 8\", blank lines after\n"
    "      them dropped) and the resources are laid one after another, so data after a rewritten\n"
    "      text moves. Kept as they are: every other resource and its ids, names and languages,\n"
    "      every section besides the resources (those after them move with their end) and the\n"
    "      bytes after the last section. A signature (certificate table) cannot match the new\n"
    "      file: it is left out, and standard error says so.\n"
    "      --from EDITED.json  the output of \"list --json\", edited: the font, size and option of every\n"
    "                          row, \"sizeNameBoxes\" and \"styleName\" are applied, in the language and\n"
    "                          code page the list records unless --language or --codepage say\n"
    "                          otherwise. Rows are taken by page index and row position; their file,\n"
    "                          section and key must still be the theme's, and every listed page must\n"
    "                          list all of its rows. Unknown keys and changed read-only ones\n"
    "                          (pageCount, colourCount, sizeName) are refused; a size may be a JSON\n"
    "                          number. \"-\" reads standard input. UTF-8, at most 64 MiB. OUT may not be\n"
    "                          this file, nor \"-\".\n"
    "      --fonts-from OTHER  takes face, size and option from OTHER, a theme or the output of\n"
    "                          \"list --json\" for one (after --from): page by page, each row from\n"
    "                          OTHER's row with the same section and key (letter case aside), of\n"
    "                          those the one of the same internal file name where there is one.\n"
    "                          Rows without a match keep their values. Every page, whatever --page\n"
    "                          says. For example a font set tuned in one theme, applied to another:\n"
    "                            marvento-cli write Next.msstyles -o Next.msstyles --fonts-from Tuned.msstyles\n"
    "      --font FACE         sets the font name of every row (after --fonts-from). Not blank, no \",\",\n"
    "                          \"[\" or \"]\".\n"
    "      --size N            sets the size of every row: a whole number other than 0; negative\n"
    "                          numbers are heights in pixels.\n"
    "                          A leading \"+\" is refused: to make sizes larger use --grow.\n"
    "      --option TEXT       sets the option of every row: words from bold, italic, underline and\n"
    "                          strikeout, blank-separated, each once; \"\" empties it.\n"
    "      --grow N            makes every size N steps larger (N may be negative, \"+2\" is 2): a step\n"
    "                          is a point for a point size and a pixel for a negative pixel height.\n"
    "                          A size never crosses zero: it stops at 1 or -1. Applied last.\n"
    "                            marvento-cli write THEME -o BIG.msstyles --grow 2\n"
    "      --scale FACTOR      multiplies every size by FACTOR, 0.25 to 4 with a decimal point\n"
    "                          (\"1.5\", never \"1,5\"), rounded to the nearest whole number (halves away\n"
    "                          from zero), at least 1 or -1. Applied last; not with --grow.\n"
    "                          Both leave sizes that are no whole number as they are.\n"
    "                            marvento-cli write THEME -o BIG.msstyles --scale 1.25 --page 0\n"
    "      --page N            --font, --size, --option, --grow and --scale change only page N (0 is\n"
    "                          the first page); give it again for more pages.\n"
    "      Changes apply in this order: --from, --fonts-from, --font/--size/--option, --grow or\n"
    "      --scale. After --fonts-from, --grow or --scale, standard error says what they changed:\n"
    "      rows changed, already alike and with no match (and pages OTHER lacks); sizes changed,\n"
    "      stopped at 1 or -1, and no whole number.\n"
    "\n";
const char* const kHelpDiff =
    "  marvento-cli diff A B [--json] [--codepage N] [--language LANGID] [-q]\n"
    "      Compares two themes page by page: rows (found by file, section and key) whose font, size\n"
    "      or option differ, rows only in A or only in B, and changed size names, size-name boxes,\n"
    "      style name and page count; then texts, string tables and name lists that differ in another\n"
    "      language (\"other language: TYPE NAME LANGID\"); then what a write keeps as it is:\n"
    "      resources of other types (\"other resource: TYPE NAME LANGID\"), sections (\"section NAME:\n"
    "      changed\", \"only in A\" or \"only in B\") and the bytes after the last section, signature\n"
    "      aside (\"appended bytes: SIZE-A -> SIZE-B\"). When something differs the first line\n"
    "      names the two files (\"diff A B\"); nothing is printed when nothing differs.\n"
    "      -q      prints nothing: only the exit status tells.\n"
    "      --json  prints one JSON document: {\"differs\": true|false, \"pages\": [{\"index\": N,\n"
    "              \"changed\": [...], \"onlyInA\": [...], \"onlyInB\": [...]}, ...]}, with \"pageCount\",\n"
    "              \"styleName\", \"sizeName\" and \"sizeNameBox\" as {\"a\": ..., \"b\": ...} where they differ,\n"
    "              and \"otherLanguages\": [{\"type\", \"name\", \"language\"}, ...] where some do;\n"
    "              likewise \"otherResources\", \"sections\": [{\"name\", \"change\": \"changed\"|\"onlyInA\"|\n"
    "              \"onlyInB\"}, ...] and \"appendedBytes\": {\"a\": SIZE, \"b\": SIZE}.\n"
    "\n";
const char* const kHelpCommon =
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
    "change (a value of --font, --size, --option, --grow or --scale, or OTHER) does not fit it, or\n"
    "OUT cannot be written (one line on stderr says why); 2 bad usage.\n"
    "Exit status of diff: 0 the themes do not differ; 1 they differ; 2 bad usage or a theme cannot\n"
    "be read.\n";

const char* const kVersion = "marvento-cli " MARVENTO_VERSION "\n";

namespace {

unsigned parseNumber(std::string_view option, std::string_view text, unsigned max, Language language) {
  unsigned value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value > max) {
    throw usageError(say(language, "{0} needs a number, not {1}", {option, cli::quoted(text)}));
  }
  return value;
}

constexpr std::array<const char*, 3> kCommands = {"list", "write", "diff"};

// The options of each command, for suggestions (CLI11 2.1 makes none).
std::vector<std::string> optionsOf(Command command) {
  std::vector<std::string> names = {"--codepage", "--language", "--help", "--version"};
  const auto add = [&](std::initializer_list<const char*> more) { names.insert(names.end(), more.begin(), more.end()); };
  switch (command) {
    case Command::List: add({"--json", "--languages", "--tsv", "--page"}); break;
    case Command::Write: add({"-o", "--output", "--from", "--fonts-from", "--font", "--size", "--option", "--grow", "--scale", "--page"}); break;
    case Command::Diff: add({"--json", "-q"}); break;
    default: break;
  }
  return names;
}

// Edits (insert, delete, replace) between two words.
std::size_t editDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// "; did you mean "list"?" for the nearest of `names` within two edits or a third of the
// word, else "".
std::string suggestion(std::string_view word, const std::vector<std::string>& names, Language language) {
  const std::string_view bare = word.substr(0, word.find('='));
  const std::string* best = nullptr;
  std::size_t bestDistance = std::max<std::size_t>(2, bare.size() / 3) + 1;  // two letters swapped are two edits
  for (const std::string& name : names) {
    const std::size_t d = editDistance(bare, name);
    if (d < bestDistance) {
      best = &name;
      bestDistance = d;
    }
  }
  return best == nullptr ? "" : say(language, "; did you mean {0}?", {cli::quoted(*best)});
}

// A single-value option: given at most once.
template <class T>
void once(const std::vector<T>& values, std::string_view name, Language language) {
  if (values.size() > 1) throw usageError(say(language, "{0} given twice", {name}));
}

}  // namespace

theme::LanguagePreference languageOf(const Options& options) {
  return options.language ? options.language : theme::userInterfaceLanguage();
}

bool languageAsked(const Options& options) { return options.language || theme::localeLanguage(); }

void checkPages(const Options& options, int pageCount, Language language) {
  for (const int page : options.pages) {
    if (page >= pageCount) {
      throw Error(kBadUsage, say(language, pageCount == 1 ? "--page {0} is no page of {1}, which has {2} page"
                                                          : "--page {0} is no page of {1}, which has {2} pages",
                                 {std::to_string(page), options.theme, std::to_string(pageCount)}));
    }
  }
}

std::string helpText(Command command) {
  switch (command) {
    case Command::List: return std::string(kHelpIntro) + kHelpList + kHelpCommon;
    case Command::Write: return std::string(kHelpIntro) + kHelpWrite + kHelpCommon;
    case Command::Diff: return std::string(kHelpIntro) + kHelpDiff + kHelpCommon;
    default: return std::string(kHelpIntro) + kHelpList + kHelpWrite + kHelpDiff + kHelpCommon;
  }
}

Options parseArguments(std::span<const std::string> args, Language language) {
  Options o;
  if (args.empty()) throw usageError(say(language, "no command given"));

  // CLI11 reads the syntax: subcommands, "--opt value", "--opt=value", "-o value", "--".
  // The values are taken as texts and checked here, so that every message is the
  // program's own and in the user's language.
  CLI::App app;
  app.set_help_flag();
  app.allow_extras();
  bool version = false;
  bool help = false;
  app.add_flag("--version", version);
  app.add_flag("-h,--help", help);
  std::vector<std::string> positional, codePages, languageIds, outs, froms, fonts, sizes, options, pages, fontsFroms, grows, scales;
  bool json = false;
  std::map<Command, CLI::App*> commands;
  for (const char* name : kCommands) {
    CLI::App* sub = app.add_subcommand(name);
    sub->set_help_flag();
    sub->allow_extras();
    sub->fallthrough();  // --version and --help after the command
    sub->add_option("THEME", positional);
    sub->add_option("--codepage", codePages)->allow_extra_args(false);
    sub->add_option("--language", languageIds)->allow_extra_args(false);
    const Command command = name == std::string_view("list") ? Command::List : name == std::string_view("write") ? Command::Write : Command::Diff;
    commands[command] = sub;
    if (command != Command::Write) sub->add_flag("--json", json);
    if (command != Command::Diff) sub->add_option("--page", pages)->allow_extra_args(false);
    switch (command) {
      case Command::List:
        sub->add_flag("--languages", o.languages);
        sub->add_flag("--tsv", o.tsv);
        break;
      case Command::Write:
        sub->add_option("-o,--output", outs)->allow_extra_args(false);
        sub->add_option("--from", froms)->allow_extra_args(false);
        sub->add_option("--font", fonts)->allow_extra_args(false);
        sub->add_option("--size", sizes)->allow_extra_args(false);
        sub->add_option("--option", options)->allow_extra_args(false);
        sub->add_option("--fonts-from", fontsFroms)->allow_extra_args(false);
        sub->add_option("--grow", grows)->allow_extra_args(false);
        sub->add_option("--scale", scales)->allow_extra_args(false);
        break;
      default:
        sub->add_flag("-q", o.quiet);
    }
  }

  std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them last first
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    // A missing value ("--codepage: 1 required TEXT missing") or a value given to a flag.
    // CLI11's own words are not shown; only the option they name is taken from them.
    const std::string what = e.what();
    std::string name;
    for (std::size_t at = 0; at < what.size() && name.empty(); at = what.find_first_of(" :=", at) + 1) {
      if (what[at] == '-') name = what.substr(at, what.find_first_of(" :=", at) - at);
      if (what.find_first_of(" :=", at) == std::string::npos) break;
    }
    if (version || help) {
      // --help and --version win over what else is wrong, as before
    } else if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) != nullptr && name.starts_with("-")) {
      throw usageError(say(language, "{0} needs a value", {name}));
    } else if (!name.empty()) {
      throw usageError(say(language, "{0} takes no value", {cli::quoted(name)}));
    } else {
      throw usageError(say(language, "the arguments cannot be read"));
    }
  }
  if (version) {
    o.command = Command::Version;
    return o;
  }
  for (const auto& [command, sub] : commands) {
    if (sub->parsed()) o.command = command;
  }
  if (help) {
    o.help = true;
    if (o.command == Command::Help || !commands.contains(o.command)) o.command = Command::Help;
    return o;
  }
  if (o.command == Command::Help) {
    const std::vector<std::string> left = app.remaining();
    const std::string word = left.empty() ? args[0] : left.front();
    throw usageError(say(language, "unknown command {0}", {cli::quoted(word)}) +
                     suggestion(word, {kCommands.begin(), kCommands.end()}, language));
  }
  const std::string& command = args[0];
  // Words the command does not know, wherever CLI11 left them (unknown options fall
  // through to the program before they are left over).
  std::vector<std::string> extras = app.remaining(false);
  for (const std::string& extra : commands[o.command]->remaining()) extras.push_back(extra);
  bool optionsEnded = false;
  for (const std::string& extra : extras) {
    if (extra == "--" && !optionsEnded) {  // what follows are file names, even "-x"
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && extra.size() > 1 && extra[0] == '-') {
      throw usageError(say(language, "unknown option {0} for {1}", {cli::quoted(extra), command}) +
                       suggestion(extra, optionsOf(o.command), language));
    }
    positional.push_back(extra);
  }
  const bool writing = o.command == Command::Write;
  o.json = json;

  once(codePages, "--codepage", language);
  once(languageIds, "--language", language);
  once(outs, "-o", language);
  once(froms, "--from", language);
  once(fonts, "--font", language);
  once(sizes, "--size", language);
  once(options, "--option", language);
  once(fontsFroms, "--fonts-from", language);
  once(grows, "--grow", language);
  once(scales, "--scale", language);
  if (!codePages.empty()) o.codePage = parseNumber("--codepage", codePages[0], std::numeric_limits<unsigned>::max(), language);
  if (!languageIds.empty()) {
    o.language = languageIdOf(languageIds[0]);
    if (!o.language) throw usageError(say(language, "{0} needs a number, not {1}", {"--language", cli::quoted(languageIds[0])}));
  }
  for (const std::string& page : pages) o.pages.push_back(static_cast<int>(parseNumber("--page", page, 1000, language)));
  if (!outs.empty()) {
    o.out = outs[0];
    if (o.out.empty()) throw usageError(say(language, "-o needs a file name"));
    // A theme is binary and is put in place only once complete: it goes to a file, never a stream.
    if (o.out == "-") throw usageError(say(language, "-o - is refused: a theme is written to a file, not to standard output"));
  }
  if (!froms.empty()) o.from = froms[0];
  if (!fonts.empty()) o.font = fonts[0];
  if (!sizes.empty()) o.size = sizes[0];
  if (!options.empty()) o.option = options[0];
  if (!fontsFroms.empty()) o.fontsFrom = fontsFroms[0];
  if (!grows.empty()) o.grow = grows[0];
  if (!scales.empty()) o.scale = scales[0];

  const std::size_t themes = o.command == Command::Diff ? 2 : 1;
  if (positional.size() < themes) throw usageError(say(language, themes == 2 ? "{0} needs two THEME files" : "{0} needs a THEME file", {command}));
  if (positional.size() > themes) throw usageError(say(language, "unexpected argument {0}", {cli::quoted(positional[themes])}));
  o.theme = positional[0];
  if (themes == 2) o.other = positional[1];
  if (o.tsv && (o.json || o.languages)) throw usageError(say(language, "--tsv cannot be given with --json or --languages"));
  if (writing) {
    if (o.out.empty()) throw usageError(say(language, "write needs -o OUT"));
    if (!o.pages.empty() && !o.font && !o.size && !o.option && !o.grow && !o.scale) {
      throw usageError(say(language, "--page needs --font, --size, --option, --grow or --scale"));
    }
    // Both at once would leave the user guessing which came first: one or the other.
    if (o.grow && o.scale) throw usageError(say(language, "--grow and --scale cannot be given together"));
    if (o.fontsFrom && o.fontsFrom->empty()) throw usageError(say(language, "--fonts-from needs a file name"));
    if (o.from && *o.from == o.out) throw usageError(say(language, "-o {0} is the --from file: the edited list would be overwritten", {cli::quoted(o.out)}));
  }
  return o;
}

}  // namespace cli
