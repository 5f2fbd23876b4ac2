#include "arguments.h"

#include "json_text.h"

#include <charconv>
#include <limits>
#include <string_view>
#include <vector>

#include "marvento_version.h"

namespace cli {

const char* const kUsage =
    "usage: marvento-cli list THEME [--json] [--codepage N] [--language LANGID]\n"
    "       marvento-cli write THEME -o OUT [--from EDITED.json] [--font FACE [--page N]] [--codepage N]\n"
    "                          [--language LANGID]\n"
    "       marvento-cli --help | --version\n";

const char* const kHelp =
    "marvento-cli: lists and changes the font settings of a Windows XP visual-style file (.msstyles).\n"
    "\n"
    "  marvento-cli list THEME [--json] [--codepage N]\n"
    "      Prints every font page of THEME: its tab title (the size name), its size-name box and its\n"
    "      font rows with six columns (internal file name, section, key, font name, size, option),\n"
    "      then the style name.\n"
    "      --json  prints the same as one line of JSON:\n"
    "              {\"pageCount\":N,\"colourCount\":N,\"styleName\":\"...\",\"sizeNameBoxes\":[5 texts],\n"
    "               \"pages\":[{\"index\":0,\"sizeName\":\"...\",\"rows\":[{\"file\":\"...\",\"section\":\"...\",\n"
    "               \"key\":\"...\",\"font\":\"...\",\"size\":\"...\",\"option\":\"...\"},...]},...]}\n"
    "              with one entry in \"pages\" per page of the theme.\n"
    "\n"
    "  marvento-cli write THEME -o OUT [--from EDITED.json] [--font FACE [--page N]] [--codepage N]\n"
    "      Rebuilds THEME with the changes below and writes it to OUT. OUT may be THEME itself; it is\n"
    "      replaced only once the new file is complete. Without changes the file is rebuilt as is.\n"
    "      --from EDITED.json  the output of \"list --json\", edited: the font, size and option of every\n"
    "                          row, \"sizeNameBoxes\" and \"styleName\" are applied. Rows are taken by page\n"
    "                          index and row position; their file, section and key must still be the\n"
    "                          theme's, and every listed page must list all of its rows.\n"
    "      --font FACE         sets the font name of every row of every page (after --from).\n"
    "      --page N            with --font: only of page N (0 is the first page).\n"
    "\n"
    "  --codepage N  the ANSI code page the theme's texts are shown and edited in (default 932).\n"
    "  --language LANGID  of texts and string tables stored in several languages, the one listed\n"
    "                and changed (a Windows language id, decimal or 0x hex: 0x0411 is Japanese); a\n"
    "                resource without it gives one of the same primary language, else its first.\n"
    "                Default: the user's interface language (LC_ALL, LC_MESSAGES or LANG).\n"
    "  --help        prints this text.\n"
    "  --version     prints the version: marvento-cli X.Y.Z.\n"
    "\n"
    "Texts on the command line, in JSON and on output are UTF-8. Every text is converted to the code\n"
    "page and may hold at most 63 bytes there.\n"
    "On a Windows console the output is shown in the console's code page instead.\n"
    "\n"
    "Exit status: 0 success; 1 THEME cannot be read as a theme, EDITED.json does not fit it, or OUT\n"
    "cannot be written (one line on stderr says why); 2 bad usage.\n";

const char* const kVersion = "marvento-cli " MARVENTO_VERSION "\n";

namespace {

unsigned parseNumber(std::string_view option, std::string_view text, unsigned max, int base = 10) {
  unsigned value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || ec != std::errc() || ptr != end || value > max) {
    throw UsageError(std::string(option) + " needs a number, not " + quoted(text));
  }
  return value;
}

}  // namespace

theme::LanguagePreference languageOf(const Options& options) {
  return options.language ? options.language : theme::userInterfaceLanguage();
}

Options parseArguments(std::span<const std::string> args) {
  Options o;
  if (args.empty()) throw UsageError("no command given");
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
  } else {
    throw UsageError("unknown command " + quoted(command));
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
      if (i + 1 >= args.size()) throw UsageError(std::string(name) + " needs a value");
      return args[++i];
    };
    auto once = [&](bool alreadySet) {
      if (alreadySet) throw UsageError(std::string(name) + " given twice");
    };

    if (name == "--codepage") {
      once(o.codePage.has_value());
      o.codePage = parseNumber(name, value(), std::numeric_limits<unsigned>::max());
    } else if (name == "--language") {
      once(o.language.has_value());
      const std::string text = value();
      const bool hex = text.starts_with("0x") || text.starts_with("0X");
      o.language = static_cast<std::uint16_t>(parseNumber(name, hex ? text.substr(2) : text, 0xFFFF, hex ? 16 : 10));
    } else if (name == "--json" && !writing && !inlineValue) {
      o.json = true;
    } else if (name == "-o" && writing) {
      once(!o.out.empty());
      o.out = value();
      if (o.out.empty()) throw UsageError("-o needs a file name");
    } else if (name == "--from" && writing) {
      once(o.from.has_value());
      o.from = value();
    } else if (name == "--font" && writing) {
      once(o.font.has_value());
      o.font = value();
    } else if (name == "--page" && writing) {
      once(o.page.has_value());
      o.page = static_cast<int>(parseNumber(name, value(), 1000));
    } else {
      throw UsageError("unknown option " + quoted(a) + " for " + command);
    }
  }

  if (positional.empty()) throw UsageError(command + " needs a THEME file");
  if (positional.size() > 1) throw UsageError("unexpected argument " + quoted(positional[1]));
  o.theme = positional[0];
  if (writing) {
    if (o.out.empty()) throw UsageError("write needs -o OUT");
    if (o.page && !o.font) throw UsageError("--page needs --font");
  }
  return o;
}

}  // namespace cli
