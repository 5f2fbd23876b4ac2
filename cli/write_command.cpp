#include "write_command.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <optional>
#include <cstring>
#include <fstream>
#include <iostream>
#include <utility>
#include <vector>

#include "arguments.h"
#include "cell_text.h"
#include "command_theme.h"
#include "edited_list.h"
#include "codepage.h"
#include "errors.h"
#include "font_pages.h"
#include "fonts_from_theme.h"
#include "json_reader.h"
#include "json_text.h"
#include "list_printer.h"
#include "messages.h"
#include "positioned_file.h"
#include "theme_image.h"
#include "theme_rebuild.h"
#include "safe_write.h"
#include "signal_cleanup.h"
#include "size_scaling.h"
#include "shown_text.h"

namespace cli {
namespace {

// What --fonts-from carried, with pages the source lacks; for the summary.
struct FontsFrom {
  theme::FontPages pages;
  std::vector<int> unlisted;  // pages within the document's count it does not list
};

// OTHER as pages: a theme (loaded as list loads it) or the `list --json` of one, told apart
// by their first bytes ("MZ" for a theme; JSON starts with "{", after blanks or a BOM). A
// pipe or standard input is read once, whole. Errors name OTHER.
FontsFrom readFontsFrom(const std::string& path, const theme::CodePage& cp, std::uint16_t language, Language messages) {
  FontsFrom from;
  std::unique_ptr<theme::PositionedFile> file = openSource(path, messages);
  const std::string name = sourceName(path, messages);
  bool isTheme = false;
  std::string text;
  try {
    const std::span<const std::uint8_t> magic = file->read(0, std::min<std::uint64_t>(file->size(), 2));
    isTheme = magic.size() == 2 && magic[0] == 'M' && magic[1] == 'Z';
    if (!isTheme) {
      checkListSize(file->size(), messages);
      const std::span<const std::uint8_t> bytes = file->read(0, file->size());
      text = listText({bytes.begin(), bytes.end()}, messages);
    }
  } catch (const theme::ThemeError& e) {  // opened, yet it cannot be read
    throw Error(kFailed, e.what()).about(name);
  } catch (const Error& e) {
    throw e.about(name);
  }
  if (isTheme) {
    loadForCommand(path, from.pages, cp, language, false, messages, kFailed, std::move(file));
    return from;
  }
  try {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos || text[first] != '{') {
      throw Error(kFailed, say(messages, "is neither a theme nor the output of \"list --json\""));
    }
    JsonValue doc;
    try {
      doc = parseJson(text, messages);
    } catch (const Error& e) {
      throw Error(kFailed, say(messages, "not JSON: {0}", {e.what()}));
    }
    from.pages = pagesOfList(doc, cp, from.unlisted, messages);
  } catch (const Error& e) {
    throw e.about(name);
  }
  return from;
}

// A --grow N: a whole number, "+2" as well as "2"; bounded so that no size can overflow.
int growthOf(const std::string& text, Language language) {
  const std::string_view digits = text.starts_with('+') ? std::string_view(text).substr(1) : std::string_view(text);
  int steps = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), steps);
  if (digits.empty() || digits.starts_with('-') != text.starts_with('-') || ec != std::errc() ||
      end != digits.data() + digits.size() || steps < -kMaxGrowth || steps > kMaxGrowth) {
    throw Error(kFailed, say(language, "--grow {0} is not a whole number from {1} to {2}",
                             {cli::quoted(text), std::to_string(-kMaxGrowth), std::to_string(kMaxGrowth)}));
  }
  return steps;
}

// A --scale FACTOR: a decimal number with a point, whatever the locale says ("1,5" is
// refused rather than read as 1), taken exactly as written.
theme::ScaleFactor factorOf(const std::string& text, Language language) {
  const std::optional<theme::ScaleFactor> factor = theme::scaleFactorOf(text);
  if (!factor) {
    throw Error(kFailed, say(language, "--scale {0} is not a factor from 0.25 to 4 (written with a point, as 1.5)", {cli::quoted(text)}));
  }
  return *factor;
}

}  // namespace


std::string valueFromArgument(int column, const std::string& utf8, const theme::CodePage& cp, Language language) {
  static constexpr std::array<const char*, theme::kColumnCount> kOptionNames = {"", "", "", "--font", "--size",
                                                                                "--option"};
  for (std::size_t at = 0; at < utf8.size();) {
    const theme::Utf8Char ch = theme::characterAt(utf8, at);
    if (!ch.valid) throw Error(kFailed, say(language, "{0} {1} is not valid UTF-8", {kOptionNames.at(column), cli::quoted(utf8)}));
    at += ch.length;
  }
  try {
    return checkedCell(column, utf8, cp, language);
  } catch (const std::invalid_argument& e) {
    throw Error(kFailed, say(language, "{0} {1} {2}", {kOptionNames.at(column), cli::quoted(utf8), e.what()}));
  }
}

void runWrite(const Options& options, Language language) {
  theme::removeFileOnSignal();  // an interrupted write leaves no temporary file behind
  // Errors about the edited list name it.
  const std::string listName = sourceName(options.from.value_or(""), language);
  const auto aboutList = [&](auto&& step) {
    try {
      return step();
    } catch (const Error& e) {
      throw e.about(listName);
    }
  };
  JsonValue edited;
  if (options.from) {
    const std::string text = aboutList([&] { return readEditedList(*options.from, language); });
    try {
      edited = parseJson(text, language);
    } catch (const Error& e) {
      throw Error(kFailed, say(language, "not JSON: {0}", {e.what()})).about(listName);
    }
  }
  // The list is read back in the language and code page it was made with, unless told otherwise.
  ListedAs as{*languageOf(options), options.codePage.value_or(theme::defaultCodePage())};
  if (options.from) {
    const ListedAs listed = aboutList([&] { return documentListedAs(edited, as, language); });
    if (!options.language) as.language = listed.language;
    if (!options.codePage) as.codePage = listed.codePage;
  }
  std::optional<theme::CodePage> codePage;
  try {
    codePage.emplace(as.codePage);
  } catch (const std::invalid_argument&) {
    const std::string message = say(language, "unknown code page {0}", {std::to_string(as.codePage)});
    if (options.codePage) throw Error(kBadUsage, message);
    throw Error(kFailed, message).about(listName);
  }
  const theme::CodePage& cp = *codePage;
  if (options.from && *options.from != kStandardInput) {
    std::error_code error;
    if (std::filesystem::equivalent(nativePath(*options.from), nativePath(options.out), error)) {
      throw Error(kBadUsage, say(language, "-o {0} is the --from file: the edited list would be overwritten", {cli::quoted(options.out)}));
    }
  }

  // The values given on the command line, checked before the theme is read.
  if (options.size && options.size->starts_with('+')) {
    // "+1" once quietly became size 1; a sign asks for growth, which --grow does.
    throw Error(kFailed, say(language, "--size {0}: a size takes no \"+\"; to make every size larger, use --grow {1}",
                             {cli::quoted(*options.size), options.size->substr(1)}));
  }
  const int growth = options.grow ? growthOf(*options.grow, language) : 0;
  const theme::ScaleFactor factor = options.scale ? factorOf(*options.scale, language) : theme::ScaleFactor{};
  std::vector<std::pair<int, std::string>> values;
  if (options.font) values.emplace_back(theme::kColFont, valueFromArgument(theme::kColFont, *options.font, cp, language));
  if (options.size) values.emplace_back(theme::kColSize, valueFromArgument(theme::kColSize, *options.size, cp, language));
  if (options.option) {
    values.emplace_back(theme::kColOption, valueFromArgument(theme::kColOption, *options.option, cp, language));
  }

  theme::FontPages pages;
  const theme::ThemeImage image = loadForCommand(options.theme, pages, cp, as.language, languageAsked(options), language);
  checkPages(options, pages.pageCount, language);
  if (options.from) aboutList([&] { applyEditedList(edited, pages, cp, language); });
  std::optional<theme::CarriedFonts> carried;
  if (options.fontsFrom) {
    const FontsFrom from = readFontsFrom(*options.fontsFrom, cp, as.language, language);
    carried = theme::carryFonts(from.pages, pages, cp);
    // A page the document leaves out is a page the source lacks, as one beyond its count.
    for (const int page : from.unlisted) {
      if (page < pages.pageCount) carried->pagesMissing.push_back(page);
    }
    std::sort(carried->pagesMissing.begin(), carried->pagesMissing.end());
  }
  for (int page = 0; page < pages.pageCount; ++page) {
    if (!options.pages.empty() && std::find(options.pages.begin(), options.pages.end(), page) == options.pages.end()) {
      continue;
    }
    for (std::size_t row = 0; row < pages.rowCount(page); ++row) {
      for (const auto& [column, text] : values) pages.setCell(page, row, column, text);
    }
  }
  std::optional<theme::ResizedSizes> resized;
  if (options.grow) resized = theme::growSizes(pages, growth, options.pages);
  if (options.scale) resized = theme::scaleSizes(pages, factor, options.pages);

  bool droppedCertificate = false;
  try {
    const theme::RebuiltTheme rebuilt = theme::rebuildTheme(image, pages, cp);
    theme::writeFileAtomically(nativePath(options.out), rebuilt);
    droppedCertificate = rebuilt.droppedCertificate();
  } catch (const theme::WriteError& e) {
    // The path is named once, before the reason, which is said in the user's language.
    if (e.target().empty()) throw Error(kFailed, e.what()).about(options.out);
    throw Error(kFailed, e.reason().empty() ? say(language, "cannot write")
                                            : say(language, "cannot write: {0}", {say(language, e.reason())}))
        .about(options.out);
  }
  // Said only once the file is written: counts of a write that failed would mislead.
  if (droppedCertificate) {
    std::cerr << "marvento-cli: "
              << say(language, "{0}: the signature (certificate table) was left out: it cannot match the changed file",
                     {theme::shown(options.out)})
              << '\n';
  }
  if (carried) std::cerr << fontsFromSummary(*options.fontsFrom, *carried, language) << '\n';
  if (resized) std::cerr << resizeSummary(*resized, language) << '\n';
}

std::string fontsFromSummary(const std::string& other, const theme::CarriedFonts& carried, Language language) {
  std::string line = say(language, "--fonts-from {0}: {1} rows changed, {2} already alike, {3} with no match",
                         {theme::shown(other), std::to_string(carried.changed), std::to_string(carried.alreadyAlike),
                          std::to_string(carried.unmatched.size())});
  if (!carried.pagesMissing.empty()) {
    std::string list;
    for (const int page : carried.pagesMissing) list += (list.empty() ? "" : ", ") + std::to_string(page);
    line += say(language, "; pages it lacks: {0}", {list});
  }
  return line;
}

std::string resizeSummary(const theme::ResizedSizes& resized, Language language) {
  return say(language, "sizes: {0} changed, {1} stopped at 1 or -1, {2} not whole numbers (left as they are)",
             {std::to_string(resized.changed), std::to_string(resized.stopped), std::to_string(resized.notWhole)});
}

}  // namespace cli
