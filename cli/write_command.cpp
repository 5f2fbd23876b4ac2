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
#include "errors.h"
#include "font_pages.h"
#include "fonts_from_theme.h"
#include "json_reader.h"
#include "json_text.h"
#include "list_printer.h"
#include "messages.h"
#include "resource_languages.h"
#include "theme_image.h"
#include "theme_rebuild.h"
#include "safe_write.h"
#include "size_scaling.h"
#include "shown_text.h"
#include "value_messages.h"
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
std::string cellFor(int column, std::string_view utf8, const theme::CodePage& cp, Language language) {
  std::string ansi = cellFromUtf8(utf8, cp, language);
  checkValue(column, utf8, language);
  return ansi;
}

const JsonValue& member(const JsonValue& object, const char* key, Kind kind, const std::string& where,
                        Language language) {
  const JsonValue* v = object.find(key);
  if (v == nullptr) throw Error(kFailed, say(language, "{0}{1} is missing", {where, cli::quoted(key)}));
  if (!v->is(kind)) {
    static constexpr std::array<const char*, 6> kKindNames = {"null", "true or false", "a number",
                                                              "a string", "an array", "an object"};
    throw Error(kFailed, say(language, "{0}{1} must be {2}", {where, cli::quoted(key), say(language, kKindNames.at(static_cast<std::size_t>(kind)))}));
  }
  return *v;
}

// Members a write cannot apply are refused by name rather than silently ignored: a typo
// ("stylename") would otherwise lose the edit without a word.
void onlyKnownKeys(const JsonValue& object, const std::vector<std::string_view>& known, const std::string& where,
                   Language language) {
  for (const JsonMember& m : object.members) {
    if (std::find(known.begin(), known.end(), m.name) == known.end()) {
      throw Error(kFailed, say(language, "{0}unknown key {1}", {where, cli::quoted(m.name)}));
    }
  }
}

// A read-only member, where given, must still say what the theme says.
void unchanged(const JsonValue& object, const char* key, const std::string& themes, const std::string& where,
               Language language) {
  const JsonValue* v = object.find(key);
  if (v == nullptr) return;
  const bool same = v->is(Kind::Number) ? themes == numberText(v->number) : v->is(Kind::String) && v->string == themes;
  if (!same) throw Error(kFailed, say(language, "{0}{1} cannot be changed: the theme's is {2}", {where, cli::quoted(key), cli::quoted(themes)}));
}

void setBox(theme::EditableText& box, const JsonValue& value, const std::string& where, const theme::CodePage& cp,
            Language language) {
  if (!value.is(Kind::String)) throw Error(kFailed, say(language, "{0} must be a string", {where}));
  if (value.string == exactText(box, cp)) return;
  // The string rewriter writes only strings the file has (an empty string is none).
  if (box.original.empty()) throw Error(kFailed, say(language, "{0}: the theme has no string for this name, so it cannot be changed", {where}));
  try {
    box.text = cellFromUtf8(value.string, cp, language);
  } catch (const std::invalid_argument& e) {
    throw Error(kFailed, say(language, "{0} {1} {2}", {where, cli::quoted(value.string), e.what()}));
  }
}

// A row's value as text: sizes may be JSON numbers as well as strings.
const std::string& givenText(const JsonValue& row, int col, const std::string& where, std::string& scratch,
                             Language language) {
  const JsonValue* field = row.find(kRowJsonNames.at(col));
  if (field != nullptr && field->is(Kind::String)) return field->string;
  if (col == theme::kColSize && field != nullptr && field->is(Kind::Number)) return scratch = numberText(field->number);
  return member(row, kRowJsonNames.at(col), Kind::String, where, language).string;  // throws
}

void applyRows(const JsonValue& rows, int page, theme::FontPages& pages, const theme::CodePage& cp, Language language) {
  const std::size_t loaded = pages.rowCount(page);
  const auto pageName = [page, language] { return say(language, "page {0}", {std::to_string(page)}); };
  for (std::size_t r = 0; r < rows.items.size(); ++r) {
    // Names for messages are made only when one is needed: most rows are taken as they are.
    const auto rowName = [page, r, language] { return say(language, "page {0} row {1}", {std::to_string(page), std::to_string(r)}); };
    if (r >= loaded) {
      throw Error(kFailed, say(language, "{0}: the theme has no such row ({1} has {2} rows)", {rowName(), pageName(), std::to_string(loaded)}));
    }
    const JsonValue& row = rows.items[r];
    if (!row.is(Kind::Object)) throw Error(kFailed, say(language, "{0} must be an object", {rowName()}));
    onlyKnownKeys(row, {kRowJsonNames.begin(), kRowJsonNames.end()}, rowName() + ": ", language);
    for (int col = 0; col < theme::kColumnCount; ++col) {
      std::string scratch;
      const std::string& given = givenText(row, col, rowName() + ": ", scratch, language);
      const std::string loadedText = exactCell(pages.rows(page)[r], col, cp);
      if (given == loadedText) continue;  // unchanged: the stored UTF-16 is kept
      if (col < theme::kColFont) {
        throw Error(kFailed, say(language, "{0}{1} {2} does not match the theme's {3}",
                            {rowName() + ": ", kRowJsonNames.at(col), cli::quoted(given), cli::quoted(loadedText)}));
      }
      try {
        pages.setCell(page, r, col, cellFor(col, given, cp, language));
      } catch (const std::invalid_argument& e) {
        throw Error(kFailed, say(language, "{0}{1} {2} {3}", {rowName() + ": ", kRowJsonNames.at(col), cli::quoted(given), e.what()}));
      }
    }
  }
  if (rows.items.size() < loaded) {
    throw Error(kFailed, say(language, "{0}: lists {1} rows, the theme has {2}",
                        {pageName(), std::to_string(rows.items.size()), std::to_string(loaded)}));
  }
}

// The whole stream, refused past kMaxEditedListBytes: an endless or huge input (a device,
// a pipe that never ends) must not take all memory.
std::string readBounded(std::istream& in, Language language) {
  std::string text;
  std::array<char, 1 << 16> chunk{};
  while (in) {
    in.read(chunk.data(), chunk.size());
    text.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxEditedListBytes) {
      throw Error(kFailed, say(language, "is larger than {0} MiB, too large for an edited list", {std::to_string(kMaxEditedListBytes >> 20)}));
    }
  }
  if (in.bad()) throw Error(kFailed, say(language, "cannot be read"));
  // Notepad starts UTF-8 with a byte-order mark; UTF-16 (its "Unicode") is refused by name,
  // as its NUL bytes would otherwise be reported as a JSON syntax error.
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  const bool utf16 = text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF") ||
                     (text.size() >= 2 && (text[0] == '\0' || text[1] == '\0'));
  if (utf16) throw Error(kFailed, say(language, "is UTF-16 text; save it as UTF-8"));
  return text;
}

std::string readEditedList(const std::string& path, Language language) {
  if (path == kStandardInput) {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    return readBounded(std::cin, language);
  }
  std::ifstream in(nativePath(path), std::ios::binary);
  if (!in) throw Error(kFailed, say(language, "cannot be read: {0}", {std::strerror(errno)}));
  return readBounded(in, language);
}

// Every entry of a document's "pages", in order: an object naming a page of the theme by
// its "index", each page at most once. visit(page, entry, where it stands for messages).
template <typename Visit>
void forEachListedPage(const JsonValue& list, int pageCount, Language language, Visit&& visit) {
  std::vector<bool> seen(static_cast<std::size_t>(std::max(pageCount, 0)), false);
  for (std::size_t i = 0; i < list.items.size(); ++i) {
    const std::string where = "pages[" + std::to_string(i) + "]";
    const JsonValue& entry = list.items[i];
    if (!entry.is(Kind::Object)) throw Error(kFailed, say(language, "{0} must be an object", {where}));
    onlyKnownKeys(entry, {"index", "sizeName", "rows"}, where + ": ", language);
    const double index = member(entry, "index", Kind::Number, where + ": ", language).number;
    if (index < 0 || index >= pageCount || index != std::floor(index)) {
      throw Error(kFailed, say(language, "{0}: \"index\" must be a page of the theme, 0 to {1}", {where, std::to_string(pageCount - 1)}));
    }
    const auto page = static_cast<int>(index);
    if (seen[static_cast<std::size_t>(page)]) throw Error(kFailed, say(language, "{0}: page {1} listed twice", {where, std::to_string(page)}));
    seen[static_cast<std::size_t>(page)] = true;
    visit(page, entry, where);
  }
}

// The `list --json` of a theme as pages of its own: every listed row with the exact UTF-16
// the document carries, its identity and its occurrence numbered as a load numbers them
// (per page, in listing order). Pages the document does not list are left empty and named in
// `unlisted`. Throws Error (status 1) for a document of another shape.
theme::FontPages pagesOfList(const JsonValue& doc, const theme::CodePage& cp, std::vector<int>& unlisted,
                             Language language) {
  if (!doc.is(Kind::Object)) throw Error(kFailed, say(language, "must be a JSON object as \"list --json\" prints it"));
  onlyKnownKeys(doc, {"language", "codePage", "pageCount", "colourCount", "styleName", "sizeNameBoxes", "pages"}, "", language);
  documentListedAs(doc, {}, language);  // "language" and "codePage", where given, must be such
  theme::FontPages pages;
  pages.clear();
  const double count = member(doc, "pageCount", Kind::Number, "", language).number;
  if (count < 1 || count > theme::kMaxPages || count != std::floor(count)) {
    throw Error(kFailed, say(language, "{0} must be a number from 1 to {1}", {cli::quoted("pageCount"), std::to_string(theme::kMaxPages)}));
  }
  pages.pageCount = static_cast<int>(count);
  std::vector<bool> seen(static_cast<std::size_t>(pages.pageCount), false);
  forEachListedPage(member(doc, "pages", Kind::Array, "", language), pages.pageCount, language,
                    [&](int page, const JsonValue& entry, const std::string& where) {
    seen[static_cast<std::size_t>(page)] = true;
    const JsonValue& rows = member(entry, "rows", Kind::Array, where + ": ", language);
    for (std::size_t r = 0; r < rows.items.size(); ++r) {
      const std::string rowName = say(language, "page {0} row {1}", {std::to_string(page), std::to_string(r)}) + ": ";
      const JsonValue& row = rows.items[r];
      if (!row.is(Kind::Object)) throw Error(kFailed, say(language, "{0} must be an object", {rowName}));
      onlyKnownKeys(row, {kRowJsonNames.begin(), kRowJsonNames.end()}, rowName, language);
      std::array<std::u16string, theme::kColumnCount> wide;
      for (int col = 0; col < theme::kColumnCount; ++col) {
        std::string scratch;
        const std::string& given = givenText(row, col, rowName, scratch, language);
        wide.at(col) = theme::exactUtf16(given);
        // A theme's own values may break the edit rules ("8.5") and are carried as they are;
        // but no value of a theme holds what would break the line it is written into.
        const bool control = std::any_of(wide.at(col).begin(), wide.at(col).end(), [](char16_t c) { return theme::isControl(c); });
        const bool comma = col < theme::kColOption && wide.at(col).find(u',') != std::u16string::npos;
        const bool edge = theme::hasEdgeBlanks(wide.at(col));
        if (col >= theme::kColFont && (control || comma || edge)) {
          throw Error(kFailed, say(language, "{0}{1} {2} {3}", {rowName, kRowJsonNames.at(col), cli::quoted(given),
                                                                control ? say(language, "holds a control character")
                                                                : comma ? say(language, "holds a '{0}'", {","})
                                                                        : say(language, kEdgeBlankReason)}));
        }
      }
      theme::FontRow added;
      added.file = theme::cutToCell(wide[theme::kColFile], cp);
      added.section = theme::cutToCell(wide[theme::kColSection], cp);
      added.key = theme::cutToCell(wide[theme::kColKey], cp);
      for (const int col : {theme::kColFont, theme::kColSize, theme::kColOption}) {
        added.value(col) = theme::EditableText::fromFile(wide.at(col), cp);
      }
      added.identity = theme::rowIdentity(wide[theme::kColFile], wide[theme::kColSection], wide[theme::kColKey]);
      added.occurrence = pages.occurrencesOn(page, added.identity);
      pages.appendRow(page, std::move(added));
    }
  });
  for (int page = 0; page < pages.pageCount; ++page) {
    if (!seen[static_cast<std::size_t>(page)]) unlisted.push_back(page);
  }
  return pages;
}

// What --fonts-from carried, with pages the source lacks; for the summary.
struct FontsFrom {
  theme::FontPages pages;
  std::vector<int> unlisted;  // pages within the document's count it does not list
};

// OTHER as pages: a theme (loaded as list loads it) or the `list --json` of one, told apart
// by their first bytes ("MZ" for a theme; JSON starts with "{", after blanks or a BOM).
FontsFrom readFontsFrom(const std::string& path, const theme::CodePage& cp, std::uint16_t language, Language messages) {
  FontsFrom from;
  std::ifstream in(nativePath(path), std::ios::binary);
  if (!in) throw Error(kFailed, say(messages, "cannot be read: {0}", {std::strerror(errno)}));
  std::array<char, 2> magic{};
  in.read(magic.data(), magic.size());
  if (in.gcount() == 2 && magic[0] == 'M' && magic[1] == 'Z') {
    in.close();
    try {
      theme::loadTheme(nativePath(path), from.pages, cp, language, theme::Reading::ListedPartsOnly);
    } catch (const theme::ThemeError& e) {
      throw Error(kFailed, e.what());
    }
    return from;
  }
  in.clear();
  in.seekg(0);
  const std::string text = readBounded(in, messages);
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

void applyEditedList(const JsonValue& edited, theme::FontPages& pages, const theme::CodePage& cp, Language language) {
  if (!edited.is(Kind::Object)) throw Error(kFailed, say(language, "must be a JSON object as \"list --json\" prints it"));
  onlyKnownKeys(edited, {"language", "codePage", "pageCount", "colourCount", "styleName", "sizeNameBoxes", "pages"}, "", language);
  theme::FontPages result = pages;
  unchanged(edited, "pageCount", std::to_string(result.pageCount), "", language);
  unchanged(edited, "colourCount", std::to_string(result.colourCount), "", language);

  if (const JsonValue* boxes = edited.find("sizeNameBoxes")) {
    if (!boxes->is(Kind::Array) || boxes->items.size() != result.sizeNameBoxes.size()) {
      throw Error(kFailed, say(language, "\"sizeNameBoxes\" must be an array of {0} strings", {std::to_string(result.sizeNameBoxes.size())}));
    }
    for (std::size_t k = 0; k < boxes->items.size(); ++k) {
      setBox(result.sizeNameBoxes[k], boxes->items[k], "sizeNameBoxes[" + std::to_string(k) + "]", cp, language);
    }
  }
  if (const JsonValue* style = edited.find("styleName")) setBox(result.styleNameBox, *style, "styleName", cp, language);

  forEachListedPage(member(edited, "pages", Kind::Array, "", language), result.pageCount, language,
                    [&](int page, const JsonValue& entry, const std::string& where) {
                      unchanged(entry, "sizeName", theme::exactUtf8(result.sizeNames.at(page)), where + ": ", language);
                      applyRows(member(entry, "rows", Kind::Array, where + ": ", language), page, result, cp, language);
                    });
  pages = std::move(result);
}

ListedAs documentListedAs(const JsonValue& edited, ListedAs fallback, Language language) {
  ListedAs as = fallback;
  if (!edited.is(Kind::Object)) return as;
  if (const JsonValue* cp = edited.find("codePage")) {
    if (!cp->is(Kind::Number) || cp->number < 1 || cp->number > 65535 || cp->number != std::floor(cp->number)) {
      throw Error(kFailed, say(language, "{0} must be a code page number such as 932", {cli::quoted("codePage")}));
    }
    as.codePage = static_cast<unsigned>(cp->number);
  }
  if (const JsonValue* member = edited.find("language")) {
    const std::optional<std::uint16_t> id = languageIdOf(member->is(Kind::String) ? std::string_view(member->string) : "");
    if (!id) throw Error(kFailed, say(language, "{0} must be a language id such as \"0x0409\"", {cli::quoted("language")}));
    as.language = *id;
  }
  return as;
}

std::string valueFromArgument(int column, const std::string& utf8, const theme::CodePage& cp, Language language) {
  static constexpr std::array<const char*, theme::kColumnCount> kOptionNames = {"", "", "", "--font", "--size",
                                                                                "--option"};
  for (std::size_t at = 0; at < utf8.size();) {
    const theme::Utf8Char ch = theme::characterAt(utf8, at);
    if (!ch.valid) throw Error(kFailed, say(language, "{0} {1} is not valid UTF-8", {kOptionNames.at(column), cli::quoted(utf8)}));
    at += ch.length;
  }
  try {
    return cellFor(column, utf8, cp, language);
  } catch (const std::invalid_argument& e) {
    throw Error(kFailed, say(language, "{0} {1} {2}", {kOptionNames.at(column), cli::quoted(utf8), e.what()}));
  }
}

void runWrite(const Options& options, Language language) {
  // Errors about the edited list name it.
  const std::string listName = options.from.value_or("") == kStandardInput ? say(language, "standard input") : options.from.value_or("");
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
  theme::ThemeImage image;
  try {
    // Only what the pages list is read now; the rest is copied from the file as it is written.
    image = theme::loadTheme(nativePath(options.theme), pages, cp, as.language, theme::Reading::ListedPartsOnly);
  } catch (const theme::ThemeError& e) {
    throw Error(kFailed, e.what()).about(options.theme);
  }
  if (languageAsked(options)) noteFallback(std::cerr, options.theme, image, as.language, language);
  checkPages(options, pages.pageCount, language);
  if (options.from) aboutList([&] { applyEditedList(edited, pages, cp, language); });
  std::optional<theme::CarriedFonts> carried;
  if (options.fontsFrom) {
    FontsFrom from;
    try {
      from = readFontsFrom(*options.fontsFrom, cp, as.language, language);
    } catch (const Error& e) {
      throw e.about(*options.fontsFrom);
    }
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
                     {options.out})
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
