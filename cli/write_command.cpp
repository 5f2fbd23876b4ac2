#include "write_command.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iostream>
#include <utility>
#include <vector>

#include "arguments.h"
#include "cell_text.h"
#include "codepage.h"
#include "font_pages.h"
#include "json_reader.h"
#include "json_text.h"
#include "list_printer.h"
#include "messages.h"
#include "resource_languages.h"
#include "theme_image.h"
#include "theme_rebuild.h"
#include "utf8.h"
#include "value_rules.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace cli {
namespace {

using Kind = JsonValue::Kind;

// A JSON number as a size's text: whole numbers as digits; anything else as written in
// C's %g, which the size rule then refuses by name.
std::string numberText(double number) {
  if (std::abs(number) < 1e15 && number == std::floor(number)) return std::to_string(static_cast<long long>(number));
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%g", number);
  return text.data();
}

// An edited value checked against its column's rule and converted to the code page.
std::string cellFor(int column, std::string_view utf8, const theme::CodePage& cp) {
  std::string ansi = cellFromUtf8(utf8, cp);
  checkValue(column, utf8);
  return ansi;
}

const JsonValue& member(const JsonValue& object, const char* key, Kind kind, const std::string& where) {
  const JsonValue* v = object.find(key);
  if (v == nullptr) throw EditError(say("{0}{1} is missing", {where, cli::quoted(key)}));
  if (!v->is(kind)) {
    static constexpr std::array<const char*, 6> kKindNames = {"null", "true or false", "a number",
                                                              "a string", "an array", "an object"};
    throw EditError(say("{0}{1} must be {2}", {where, cli::quoted(key), say(kKindNames.at(static_cast<std::size_t>(kind)))}));
  }
  return *v;
}

// Members a write cannot apply are refused by name rather than silently ignored: a typo
// ("stylename") would otherwise lose the edit without a word.
void onlyKnownKeys(const JsonValue& object, const std::vector<std::string_view>& known, const std::string& where) {
  for (const JsonMember& m : object.members) {
    if (std::find(known.begin(), known.end(), m.name) == known.end()) {
      throw EditError(say("{0}unknown key {1}", {where, cli::quoted(m.name)}));
    }
  }
}

// A read-only member, where given, must still say what the theme says.
void unchanged(const JsonValue& object, const char* key, const std::string& themes, const std::string& where) {
  const JsonValue* v = object.find(key);
  if (v == nullptr) return;
  const bool same = v->is(Kind::Number) ? themes == numberText(v->number) : v->is(Kind::String) && v->string == themes;
  if (!same) throw EditError(say("{0}{1} cannot be changed: the theme's is {2}", {where, cli::quoted(key), cli::quoted(themes)}));
}

void setBox(theme::EditableText& box, const JsonValue& value, const std::string& where, const theme::CodePage& cp) {
  if (!value.is(Kind::String)) throw EditError(say("{0} must be a string", {where}));
  if (value.string == exactText(box, cp)) return;
  // The string rewriter writes only strings the file has (an empty string is none).
  if (box.original.empty()) throw EditError(say("{0}: the theme has no string for this name, so it cannot be changed", {where}));
  try {
    box.text = cellFromUtf8(value.string, cp);
  } catch (const CellTextError& e) {
    throw EditError(say("{0} {1} {2}", {where, cli::quoted(value.string), e.what()}));
  }
}

// A row's value as text: sizes may be JSON numbers as well as strings.
const std::string& givenText(const JsonValue& row, int col, const std::string& where, std::string& scratch) {
  const JsonValue* field = row.find(kRowJsonNames.at(col));
  if (field != nullptr && field->is(Kind::String)) return field->string;
  if (col == theme::kColSize && field != nullptr && field->is(Kind::Number)) return scratch = numberText(field->number);
  return member(row, kRowJsonNames.at(col), Kind::String, where).string;  // throws
}

void applyRows(const JsonValue& rows, int page, theme::FontPages& pages, const theme::CodePage& cp) {
  const std::size_t loaded = pages.rowCount(page);
  const auto pageName = [page] { return say("page {0}", {std::to_string(page)}); };
  for (std::size_t r = 0; r < rows.items.size(); ++r) {
    // Names for messages are made only when one is needed: most rows are taken as they are.
    const auto rowName = [page, r] { return say("page {0} row {1}", {std::to_string(page), std::to_string(r)}); };
    if (r >= loaded) {
      throw EditError(say("{0}: the theme has no such row ({1} has {2} rows)", {rowName(), pageName(), std::to_string(loaded)}));
    }
    const JsonValue& row = rows.items[r];
    if (!row.is(Kind::Object)) throw EditError(say("{0} must be an object", {rowName()}));
    onlyKnownKeys(row, {kRowJsonNames.begin(), kRowJsonNames.end()}, rowName() + ": ");
    for (int col = 0; col < theme::kColumnCount; ++col) {
      std::string scratch;
      const std::string& given = givenText(row, col, rowName() + ": ", scratch);
      const std::string loadedText = exactCell(pages.rows(page)[r], col, cp);
      if (given == loadedText) continue;  // unchanged: the stored UTF-16 is kept
      if (col < theme::kColFont) {
        throw EditError(say("{0}{1} {2} does not match the theme's {3}",
                            {rowName() + ": ", kRowJsonNames.at(col), cli::quoted(given), cli::quoted(loadedText)}));
      }
      try {
        pages.setCell(page, r, col, cellFor(col, given, cp));
      } catch (const std::invalid_argument& e) {
        throw EditError(say("{0}{1} {2} {3}", {rowName() + ": ", kRowJsonNames.at(col), cli::quoted(given), e.what()}));
      }
    }
  }
  if (rows.items.size() < loaded) {
    throw EditError(say("{0}: lists {1} rows, the theme has {2}",
                        {pageName(), std::to_string(rows.items.size()), std::to_string(loaded)}));
  }
}

// The whole stream, refused past kMaxEditedListBytes: an endless or huge input (a device,
// a pipe that never ends) must not take all memory.
std::string readBounded(std::istream& in) {
  std::string text;
  std::array<char, 1 << 16> chunk{};
  while (in) {
    in.read(chunk.data(), chunk.size());
    text.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxEditedListBytes) {
      throw EditError(say("is larger than {0} MiB, too large for an edited list", {std::to_string(kMaxEditedListBytes >> 20)}));
    }
  }
  if (in.bad()) throw EditError(say("cannot be read"));
  // Notepad starts UTF-8 with a byte-order mark; UTF-16 (its "Unicode") is refused by name,
  // as its NUL bytes would otherwise be reported as a JSON syntax error.
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  const bool utf16 = text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF") ||
                     (text.size() >= 2 && (text[0] == '\0' || text[1] == '\0'));
  if (utf16) throw EditError(say("is UTF-16 text; save it as UTF-8"));
  return text;
}

std::string readEditedList(const std::string& path) {
  if (path == kStandardInput) {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    return readBounded(std::cin);
  }
  std::ifstream in(nativePath(path), std::ios::binary);
  if (!in) throw EditError(say("cannot be read: {0}", {std::strerror(errno)}));
  return readBounded(in);
}

}  // namespace

void applyEditedList(const JsonValue& edited, theme::FontPages& pages, const theme::CodePage& cp) {
  if (!edited.is(Kind::Object)) throw EditError(say("must be a JSON object as \"list --json\" prints it"));
  onlyKnownKeys(edited, {"language", "codePage", "pageCount", "colourCount", "styleName", "sizeNameBoxes", "pages"}, "");
  theme::FontPages result = pages;
  unchanged(edited, "pageCount", std::to_string(result.pageCount), "");
  unchanged(edited, "colourCount", std::to_string(result.colourCount), "");

  if (const JsonValue* boxes = edited.find("sizeNameBoxes")) {
    if (!boxes->is(Kind::Array) || boxes->items.size() != result.sizeNameBoxes.size()) {
      throw EditError(say("\"sizeNameBoxes\" must be an array of {0} strings", {std::to_string(result.sizeNameBoxes.size())}));
    }
    for (std::size_t k = 0; k < boxes->items.size(); ++k) {
      setBox(result.sizeNameBoxes[k], boxes->items[k], "sizeNameBoxes[" + std::to_string(k) + "]", cp);
    }
  }
  if (const JsonValue* style = edited.find("styleName")) setBox(result.styleNameBox, *style, "styleName", cp);

  const JsonValue& list = member(edited, "pages", Kind::Array, "");
  std::vector<bool> seen(static_cast<std::size_t>(std::max(result.pageCount, 0)), false);
  for (std::size_t i = 0; i < list.items.size(); ++i) {
    const std::string where = "pages[" + std::to_string(i) + "]";
    const JsonValue& entry = list.items[i];
    if (!entry.is(Kind::Object)) throw EditError(say("{0} must be an object", {where}));
    onlyKnownKeys(entry, {"index", "sizeName", "rows"}, where + ": ");
    const double index = member(entry, "index", Kind::Number, where + ": ").number;
    if (index < 0 || index >= result.pageCount || index != std::floor(index)) {
      throw EditError(say("{0}: \"index\" must be a page of the theme, 0 to {1}", {where, std::to_string(result.pageCount - 1)}));
    }
    const auto page = static_cast<int>(index);
    if (seen[static_cast<std::size_t>(page)]) throw EditError(say("{0}: page {1} listed twice", {where, std::to_string(page)}));
    seen[static_cast<std::size_t>(page)] = true;
    unchanged(entry, "sizeName", exactUtf8(result.sizeNames.at(page)), where + ": ");
    applyRows(member(entry, "rows", Kind::Array, where + ": "), page, result, cp);
  }
  pages = std::move(result);
}

ListedAs documentListedAs(const JsonValue& edited, ListedAs fallback) {
  ListedAs as = fallback;
  if (!edited.is(Kind::Object)) return as;
  if (const JsonValue* cp = edited.find("codePage")) {
    if (!cp->is(Kind::Number) || cp->number < 1 || cp->number > 65535 || cp->number != std::floor(cp->number)) {
      throw EditError(say("{0} must be a code page number such as 932", {cli::quoted("codePage")}));
    }
    as.codePage = static_cast<unsigned>(cp->number);
  }
  if (const JsonValue* language = edited.find("language")) {
    const std::string_view text = language->is(Kind::String) ? std::string_view(language->string) : "";
    unsigned id = 0;
    const bool hex = text.starts_with("0x") || text.starts_with("0X");
    const std::string_view digits = hex ? text.substr(2) : text;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), id, hex ? 16 : 10);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || id > 0xFFFF) {
      throw EditError(say("{0} must be a language id such as \"0x0409\"", {cli::quoted("language")}));
    }
    as.language = static_cast<std::uint16_t>(id);
  }
  return as;
}

std::string valueFromArgument(int column, const std::string& utf8, const theme::CodePage& cp) {
  static constexpr std::array<const char*, theme::kColumnCount> kOptionNames = {"", "", "", "--font", "--size",
                                                                                "--option"};
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t length = theme::decodeUtf8(utf8, at).length;
    if (length == 0) throw ValueError(say("{0} {1} is not valid UTF-8", {kOptionNames.at(column), cli::quoted(utf8)}));
    at += length;
  }
  try {
    return cellFor(column, utf8, cp);
  } catch (const std::invalid_argument& e) {
    throw ValueError(say("{0} {1} {2}", {kOptionNames.at(column), cli::quoted(utf8), e.what()}));
  }
}

void runWrite(const Options& options) {
  JsonValue edited;
  if (options.from) edited = parseJson(readEditedList(*options.from));
  // The list is read back in the language and code page it was made with, unless told otherwise.
  ListedAs as{*languageOf(options), options.codePage.value_or(theme::defaultCodePage())};
  if (options.from) {
    const ListedAs listed = documentListedAs(edited, as);
    if (!options.language) as.language = listed.language;
    if (!options.codePage) as.codePage = listed.codePage;
  }
  std::optional<theme::CodePage> codePage;
  try {
    codePage.emplace(as.codePage);
  } catch (const std::invalid_argument&) {
    if (options.codePage) throw UsageError(say("unknown code page {0}", {std::to_string(as.codePage)}));
    throw EditError(say("unknown code page {0}", {std::to_string(as.codePage)}));
  }
  const theme::CodePage& cp = *codePage;
  if (options.from && *options.from != kStandardInput) {
    std::error_code error;
    if (std::filesystem::equivalent(nativePath(*options.from), nativePath(options.out), error)) {
      throw UsageError(say("-o {0} is the --from file: the edited list would be overwritten", {cli::quoted(options.out)}));
    }
  }

  // The values given on the command line, checked before the theme is read.
  std::vector<std::pair<int, std::string>> values;
  if (options.font) values.emplace_back(theme::kColFont, valueFromArgument(theme::kColFont, *options.font, cp));
  if (options.size) values.emplace_back(theme::kColSize, valueFromArgument(theme::kColSize, *options.size, cp));
  if (options.option) {
    values.emplace_back(theme::kColOption, valueFromArgument(theme::kColOption, *options.option, cp));
  }

  theme::FontPages pages;
  const theme::ThemeImage image = theme::loadTheme(nativePath(options.theme), pages, cp, as.language);
  if (options.language || theme::localeLanguage()) noteFallback(std::cerr, options.theme, image, as.language);
  for (const int page : options.pages) {
    if (page >= pages.pageCount) {
      throw UsageError(say(pages.pageCount == 1 ? "--page {0} is no page of {1}, which has {2} page"
                                                : "--page {0} is no page of {1}, which has {2} pages",
                           {std::to_string(page), options.theme, std::to_string(pages.pageCount)}));
    }
  }
  if (options.from) applyEditedList(edited, pages, cp);
  for (int page = 0; page < pages.pageCount; ++page) {
    if (!options.pages.empty() && std::find(options.pages.begin(), options.pages.end(), page) == options.pages.end()) {
      continue;
    }
    for (std::size_t row = 0; row < pages.rowCount(page); ++row) {
      for (const auto& [column, text] : values) pages.setCell(page, row, column, text);
    }
  }

  const theme::RebuiltTheme rebuilt = theme::rebuildTheme(image, pages, cp);
  theme::writeFileAtomically(nativePath(options.out), rebuilt);
}

}  // namespace cli
