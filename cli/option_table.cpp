#include "option_table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

#include "arguments.h"
#include "cli_error.h"
#include "json_text.h"
#include "list_printer.h"

namespace cli {
namespace {

// The width the help and usage are wrapped to.
constexpr std::size_t kWidth = 100;

unsigned numberOf(std::string_view option, std::string_view text, unsigned max, Language language) {
  unsigned value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value > max) {
    throw usageError(say(language, "{0} needs a number, not {1}", {option, cli::quoted(text)}));
  }
  return value;
}

// The value stores. A value option given once keeps its text; the write checks faces,
// sizes, options, growths and factors against the theme's code page and rules.
void storeCodePage(Options& o, const std::string& v, Language l) {
  o.codePage = numberOf("--codepage", v, std::numeric_limits<unsigned>::max(), l);
}
void storeLanguage(Options& o, const std::string& v, Language l) {
  o.language = languageIdOf(v);
  if (!o.language) throw usageError(say(l, "{0} needs a number, not {1}", {"--language", cli::quoted(v)}));
}
void storePage(Options& o, const std::string& v, Language l) {
  o.pages.push_back(static_cast<int>(numberOf("--page", v, kMaxPageNumber, l)));
}
void storeOut(Options& o, const std::string& v, Language l) {
  if (v.empty()) throw usageError(say(l, "-o needs a file name"));
  // A theme is binary and is put in place only once complete: it goes to a file, never a stream.
  if (v == kStandardInput) throw usageError(say(l, "-o - is refused: a theme is written to a file, not to standard output"));
  o.out = v;
}
void storeFrom(Options& o, const std::string& v, Language /*l*/) { o.from = v; }
void storeFontsFrom(Options& o, const std::string& v, Language l) {
  if (v.empty()) throw usageError(say(l, "--fonts-from needs a file name"));
  o.fontsFrom = v;
}
void storeFont(Options& o, const std::string& v, Language /*l*/) { o.font = v; }
void storeSize(Options& o, const std::string& v, Language /*l*/) { o.size = v; }
void storeOption(Options& o, const std::string& v, Language /*l*/) { o.option = v; }
void storeGrow(Options& o, const std::string& v, Language /*l*/) { o.grow = v; }
void storeScale(Options& o, const std::string& v, Language /*l*/) { o.scale = v; }

constexpr std::array kListOptions = {
    OptionSpec{"--json", nullptr, kFlag, &Options::json, nullptr,
               "prints the same as one JSON document, indented by two spaces, every text exactly as the file holds "
               "it (a lone UTF-16 surrogate as a \\uXXXX escape):\n"
               "  {\"language\": \"0x0409\", \"codePage\": N, \"pageCount\": N, \"colourCount\": N,\n"
               "   \"styleName\": \"...\", \"sizeNameBoxes\": [5 texts],\n"
               "   \"pages\": [{\"index\": 0, \"sizeName\": \"...\", \"rows\": [{\"file\": \"...\",\n"
               "   \"section\": \"...\", \"key\": \"...\", \"font\": \"...\", \"size\": \"...\",\n"
               "   \"option\": \"...\"}, ...]}, ...]}\n"
               "with one entry in \"pages\" per page of the theme."},
    OptionSpec{"--languages", nullptr, kFlag, &Options::languages, nullptr,
               "prints instead the languages each text and string table holds."},
    OptionSpec{"--tsv", nullptr, kFlag, &Options::tsv, nullptr,
               "prints one row per line for pipes: page, file, section, key, font, size and option, "
               "tab-separated, no titles; tabs, newlines and backslashes in values as \\t, \\n and \\\\, other "
               "control characters as \\x1b, \\u202e and the like. For example the faces in use:\n"
               "  marvento-cli list THEME --tsv | cut -f5 | sort | uniq"},
    OptionSpec{"--page", "N", kValue | kRepeatable, nullptr, storePage,
               "lists only page N (0 is the first page); give it again for more pages."},
};

constexpr std::array kWriteOptions = {
    OptionSpec{"-o,--output", "OUT", kValue | kRequired, nullptr, storeOut,
               "the file written: missing or a writable regular file (a symbolic link's file is replaced), "
               "never \"-\" nor the --from file. It may be THEME itself; it is replaced only once the new file "
               "is complete, and an interrupted write leaves it as it was."},
    OptionSpec{"--from", "EDITED.json", kValue | kDashReadsInput, nullptr, storeFrom,
               "the output of \"list --json\", edited: the font, size and option of every row, "
               "\"sizeNameBoxes\" and \"styleName\" are applied, in the language and code page the list "
               "records unless --language or --codepage say otherwise. Rows are taken by page index and row "
               "position; their file, section and key must still be the theme's, and every listed page must "
               "list all of its rows. Unknown keys and changed read-only ones (pageCount, colourCount, "
               "sizeName) are refused; a size may be a JSON number. \"-\" reads standard input. UTF-8, at "
               "most 64 MiB."},
    OptionSpec{"--font", "FACE", kValue, nullptr, storeFont,
               "sets the font name of every row (after --fonts-from). Not blank, no \",\", \"[\" or \"]\"."},
    OptionSpec{"--size", "N", kValue, nullptr, storeSize,
               "sets the size of every row: a whole number other than 0; negative numbers are heights in "
               "pixels. A leading \"+\" is refused: to make sizes larger use --grow."},
    OptionSpec{"--option", "TEXT", kValue, nullptr, storeOption,
               "sets the option of every row: words from bold, italic, underline and strikeout, "
               "blank-separated, each once; \"\" empties it."},
    OptionSpec{"--fonts-from", "OTHER", kValue | kDashReadsInput, nullptr, storeFontsFrom,
               "takes face, size and option from OTHER, a theme or the output of \"list --json\" for one "
               "(\"-\" reads standard input), after --from: page by page, each row from OTHER's row with the "
               "same section and key (letter case aside), of those the one of the same internal file name "
               "where there is one. Rows without a match keep their values. Every page, whatever --page "
               "says. For example a font set tuned in one theme, applied to another:\n"
               "  marvento-cli write Next.msstyles -o Next.msstyles --fonts-from Tuned.msstyles"},
    OptionSpec{"--grow", "N", kValue | kOrNext, nullptr, storeGrow,
               "makes every size N steps larger (N may be negative, \"+2\" is 2): a step is a point for a "
               "point size and a pixel for a negative pixel height. A size never crosses zero: it stops at 1 "
               "or -1. Applied last.\n"
               "  marvento-cli write THEME -o BIG.msstyles --grow 2"},
    OptionSpec{"--scale", "FACTOR", kValue, nullptr, storeScale,
               "multiplies every size by FACTOR, 0.25 to 4 with a decimal point (\"1.5\", never \"1,5\"), "
               "rounded to the nearest whole number (halves away from zero), at least 1 or -1. Applied last; "
               "not with --grow. Both leave sizes that are no whole number as they are.\n"
               "  marvento-cli write THEME -o BIG.msstyles --scale 1.25 --page 0"},
    OptionSpec{"--page", "N", kValue | kRepeatable, nullptr, storePage,
               "--font, --size, --option, --grow and --scale change only page N (0 is the first page); give "
               "it again for more pages."},
};

constexpr std::array kDiffOptions = {
    OptionSpec{"--json", nullptr, kFlag, &Options::json, nullptr,
               "prints one JSON document: {\"differs\": true|false, \"pages\": [{\"index\": N, \"changed\": "
               "[...], \"onlyInA\": [...], \"onlyInB\": [...]}, ...]}, with \"pageCount\", \"styleName\", "
               "\"sizeName\" and \"sizeNameBox\" as {\"a\": ..., \"b\": ...} where they differ, and "
               "\"otherLanguages\": [{\"type\", \"name\", \"language\"}, ...] where some do; likewise "
               "\"otherResources\", \"sections\": [{\"name\", \"change\": \"changed\"|\"onlyInA\"|\"onlyInB\"}, "
               "...] and \"appendedBytes\": {\"a\": SIZE, \"b\": SIZE}."},
    OptionSpec{"-q", nullptr, kFlag, &Options::quiet, nullptr, "prints nothing: only the exit status tells."},
};

constexpr std::array kCommonOptions = {
    OptionSpec{"--codepage", "N", kValue, nullptr, storeCodePage,
#ifdef _WIN32
               "the ANSI code page the theme's texts are shown and edited in (default: the system's ANSI code "
               "page)."
#else
               "the ANSI code page the theme's texts are shown and edited in (default: the one Windows pairs "
               "with the locale's language, 1252 for English, 1251 for Russian...; 932 for Japanese and for a "
               "locale that names no language, such as C)."
#endif
    },
    OptionSpec{"--language", "LANGID", kValue, nullptr, storeLanguage,
               "of texts and string tables stored in several languages, the one listed and changed (a Windows "
               "language id, decimal or 0x hex: 0x0411 is Japanese); a resource without it gives one of the "
               "same primary language, else its first (said once on standard error when a language was asked "
               "for).\n"
#ifdef _WIN32
               "Default: the user's interface language."
#else
               "Default: the user's interface language (LC_ALL, LC_MESSAGES or LANG); English (0x0409) when the "
               "locale names none (C, POSIX)."
#endif
    },
};

constexpr std::array kProgramOptions = {
    OptionSpec{"-h,--help", nullptr, kFlag, &Options::help, nullptr, "prints this text."},
    OptionSpec{"--version", nullptr, kFlag, &Options::version, nullptr, "prints the version: marvento-cli X.Y.Z."},
};

constexpr std::array<const char*, 1> kTheme = {"THEME"};
constexpr std::array<const char*, 2> kTwoThemes = {"A", "B"};

constexpr std::array kCommands = {
    CommandSpec{Command::List, "list", kTheme, kListOptions,
                "Prints the language and code page it reads THEME in, then every font page: its tab title (the "
                "size name), its size-name box and its font rows with six columns (internal file name, section, "
                "key, font name, size, option), then the style name. THEME \"-\" reads standard input.",
                ""},
    CommandSpec{Command::Write, "write", kTheme, kWriteOptions,
                "Rebuilds THEME with the changes below and writes it to OUT. THEME \"-\" reads standard input. "
                "Every change is checked before anything is written. Even without changes the file is rebuilt: "
                "font lines take their written form (\"Font = Tahoma, 8\", blank lines after them dropped) and "
                "the resources are laid one after another, so data after a rewritten text moves. Kept as they "
                "are: every other resource and its ids, names and languages, every section besides the resources "
                "(those after them move with their end) and the bytes after the last section. A signature "
                "(certificate table) cannot match the new file: it is left out, and standard error says so.",
                "Changes apply in this order: --from, --fonts-from, --font/--size/--option, --grow or --scale. "
                "After --fonts-from, --grow or --scale, standard error says what they changed: rows changed, "
                "already alike and with no match (and pages OTHER lacks); sizes changed, stopped at 1 or -1, "
                "and no whole number."},
    CommandSpec{Command::Diff, "diff", kTwoThemes, kDiffOptions,
                "Compares two themes page by page: rows (found by file, section and key) whose font, size or "
                "option differ, rows only in A or only in B, and changed size names, size-name boxes, style name "
                "and page count; then texts, string tables and name lists that differ in another language "
                "(\"other language: TYPE NAME LANGID\"); then what a write keeps as it is: resources of other types "
                "(\"other resource: TYPE NAME LANGID\"), sections (\"section NAME: changed\", \"only in A\" or "
                "\"only in B\") and the bytes after the last section, signature aside (\"appended bytes: SIZE-A "
                "-> SIZE-B\"). When something differs the first line names the two "
                "files (\"diff A B\"); nothing is printed when nothing differs. One of A and B may be \"-\", "
                "standard input.",
                ""},
};

const char* const kHelpIntro =
    "marvento-cli: lists, changes and compares the font settings of a Windows XP visual-style file\n"
    "(.msstyles).\n"
    "\n";

const char* const kHelpEnd =
    "Texts on the command line, in JSON and on output are UTF-8. Every text is converted to the code page "
    "and may hold at most 63 bytes there. "
#ifdef _WIN32
    "Table titles and messages are Japanese when the user's interface language is, English otherwise "
#else
    "Table titles and messages are Japanese when LC_ALL, LC_MESSAGES or LANG (the first one set) starts "
    "with \"ja\", English otherwise "
#endif
    "(messages from reading and rebuilding the theme stay English); JSON keys never change. On a Windows "
    "console the output is shown in the console's code page instead.\n"
    "\n"
    "Exit status of list and write: 0 success; 1 THEME cannot be read as a theme, EDITED.json or a change "
    "(a value of --font, --size, --option, --grow or --scale, or OTHER) does not fit it, or OUT cannot be "
    "written (one line on stderr says why); 2 bad usage.\n"
    "Exit status of diff: 0 the themes do not differ; 1 they differ; 2 bad usage or a theme cannot be read.\n";

// Appends `text` from column `at` of the current line on, every line of it at `indent`
// and broken at blanks to fit kWidth; a line that starts with blanks is kept as it is.
void appendWrapped(std::string& out, std::string_view text, std::size_t indent, std::size_t at) {
  bool first = true;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (line.empty()) {
      out += '\n';
      first = false;
      continue;
    }
    const std::size_t lead = std::min(line.find_first_not_of(' '), line.size());
    const std::size_t margin = indent + lead;
    std::size_t column = first && at > 0 ? at : 0;
    if (column < margin) {
      out.append(margin - column, ' ');
      column = margin;
    }
    if (lead > 0) {  // an example or a block of JSON: as written
      out += line.substr(lead);
      out += '\n';
      first = false;
      continue;
    }
    bool lineEmpty = true;
    for (std::size_t w = lead; w < line.size();) {
      std::size_t wordEnd = line.find(' ', w);
      if (wordEnd == std::string_view::npos) wordEnd = line.size();
      const std::string_view word = line.substr(w, wordEnd - w);
      if (!lineEmpty && column + 1 + word.size() > kWidth) {
        out += '\n';
        out.append(margin, ' ');
        column = margin;
        lineEmpty = true;
      }
      if (!lineEmpty) {
        out += ' ';
        ++column;
      }
      out += word;
      column += word.size();
      lineEmpty = false;
      w = line.find_first_not_of(' ', wordEnd);
      if (w == std::string_view::npos) w = line.size();
    }
    out += '\n';
    first = false;
  }
}

// "[--page N]...", "-o OUT", "[--grow N | --scale FACTOR]" (with the next option).
std::string synopsisOf(const OptionSpec& option, const OptionSpec* next) {
  std::string item(nameOf(option));
  if (option.value != nullptr) item += std::string(" ") + option.value + ((option.form & kDashReadsInput) != 0 ? "|-" : "");
  if ((option.form & kOrNext) != 0 && next != nullptr) {
    item += std::string(" | ") + std::string(nameOf(*next)) + (next->value != nullptr ? std::string(" ") + next->value : "");
  }
  if ((option.form & kRequired) != 0) return item;
  return "[" + item + "]" + ((option.form & kRepeatable) != 0 ? "..." : "");
}

// "marvento-cli write THEME -o OUT [--from EDITED.json|-] ...", wrapped below its operands
// after `lead` (the "usage: " or the help's indentation).
std::string synopsisOf(const CommandSpec& command, std::string_view lead) {
  std::string words = std::string("marvento-cli ") + command.name;
  for (const char* operand : command.operands) words += std::string(" ") + operand;
  const std::size_t hang = lead.size() + std::string_view("marvento-cli ").size() + std::string_view(command.name).size() + 1;
  std::vector<std::string> items;
  for (const auto& options : {command.options, commonOptions()}) {
    for (std::size_t k = 0; k < options.size(); ++k) {
      if (k > 0 && (options[k - 1].form & kOrNext) != 0) continue;  // shown with the one before
      items.push_back(synopsisOf(options[k], k + 1 < options.size() ? &options[k + 1] : nullptr));
    }
  }
  std::string out(lead);
  std::size_t column = lead.size() + words.size();
  out += words;
  for (const std::string& item : items) {
    if (column + 1 + item.size() > kWidth) {
      out += '\n';
      out.append(hang, ' ');
      column = hang;
    } else {
      out += ' ';
      ++column;
    }
    out += item;
    column += item.size();
  }
  return out + '\n';
}

std::string labelOf(const OptionSpec& option) {
  std::string label;
  for (const std::string_view name : namesOf(option)) label += (label.empty() ? "" : ", ") + std::string(name);
  if (option.value != nullptr) label += std::string(" ") + option.value;
  return label;
}

// Each option's label at `indent`, its help beside it in one column.
void appendOptions(std::string& out, std::span<const OptionSpec> options, std::size_t indent) {
  constexpr std::size_t kMostLabel = 20;  // a longer label has its help on the next line
  std::size_t widest = 0;
  for (const OptionSpec& option : options) widest = std::max(widest, std::min(labelOf(option).size(), kMostLabel));
  const std::size_t column = indent + widest + 2;
  for (const OptionSpec& option : options) {
    const std::string label = labelOf(option);
    out.append(indent, ' ');
    out += label;
    if (indent + label.size() + 2 > column) out += '\n';
    appendWrapped(out, option.help, column, indent + label.size() + 2 > column ? 0 : indent + label.size());
  }
}

std::string commandHelp(const CommandSpec& command) {
  std::string out = synopsisOf(command, "  ");
  appendWrapped(out, command.about, 6, 0);
  appendOptions(out, command.options, 6);
  if (*command.after != '\0') appendWrapped(out, command.after, 6, 0);
  return out + '\n';
}

}  // namespace

std::span<const CommandSpec> commandTable() { return kCommands; }
std::span<const OptionSpec> commonOptions() { return kCommonOptions; }
std::span<const OptionSpec> programOptions() { return kProgramOptions; }

const CommandSpec* findCommand(std::string_view name) {
  const auto* found = std::find_if(kCommands.begin(), kCommands.end(), [name](const CommandSpec& c) { return c.name == name; });
  return found == kCommands.end() ? nullptr : found;
}

std::vector<std::string_view> namesOf(const OptionSpec& option) {
  std::vector<std::string_view> names;
  const std::string_view all = option.names;
  for (std::size_t at = 0; at <= all.size();) {
    const std::size_t comma = std::min(all.find(',', at), all.size());
    names.push_back(all.substr(at, comma - at));
    at = comma + 1;
  }
  return names;
}

std::string_view nameOf(const OptionSpec& option) { return namesOf(option).front(); }

const std::string& usageText() {
  static const std::string usage = [] {
    std::string text;
    for (const CommandSpec& command : kCommands) text += synopsisOf(command, text.empty() ? "usage: " : "       ");
    return text + "       marvento-cli --help | --version\n";
  }();
  return usage;
}

std::string helpText(Command command) {
  std::string out = kHelpIntro;
  for (const CommandSpec& spec : kCommands) {
    if (command == spec.command || command == Command::Help) out += commandHelp(spec);
  }
  std::vector<OptionSpec> shared(kCommonOptions.begin(), kCommonOptions.end());
  shared.insert(shared.end(), kProgramOptions.begin(), kProgramOptions.end());
  appendOptions(out, shared, 2);
  out += '\n';
  appendWrapped(out, kHelpEnd, 0, 0);
  return out;
}

}  // namespace cli
