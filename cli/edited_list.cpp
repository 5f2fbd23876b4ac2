#include "edited_list.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <utility>
#include <vector>

#include "arguments.h"
#include "cell_text.h"
#include "cli_error.h"
#include "codepage.h"
#include "font_pages.h"
#include "json_reader.h"
#include "json_text.h"
#include "list_printer.h"
#include "resource_languages.h"
#include "shown_text.h"
#include "value_messages.h"
#include "value_rules.h"
#include "value_messages.h"

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

}  // namespace

std::string checkedCell(int column, std::string_view utf8, const theme::CodePage& cp, Language language) {
  std::string ansi = cellFromUtf8(utf8, cp, language);
  checkValue(column, utf8, language);
  return ansi;
}

namespace {

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
        pages.setCell(page, r, col, checkedCell(col, given, cp, language));
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

}  // namespace

void checkListSize(std::uint64_t size, Language language) {
  if (size > kMaxEditedListBytes) {
    throw Error(kFailed, say(language, "is larger than {0} MiB, too large for an edited list", {std::to_string(kMaxEditedListBytes >> 20)}));
  }
}

std::string listText(std::string text, Language language) {
  checkListSize(text.size(), language);
  // Notepad starts UTF-8 with a byte-order mark; UTF-16 (its "Unicode") is refused by name,
  // as its NUL bytes would otherwise be reported as a JSON syntax error.
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  const bool utf16 = text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF") ||
                     (text.size() >= 2 && (text[0] == '\0' || text[1] == '\0'));
  if (utf16) throw Error(kFailed, say(language, "is UTF-16 text; save it as UTF-8"));
  return text;
}

namespace {

// The whole stream as listText() takes it, read no further than kMaxEditedListBytes, so
// that an endless or huge input (a device, a pipe that never ends) cannot take all memory.
std::string readBounded(std::istream& in, Language language) {
  std::string text;
  std::array<char, 1 << 16> chunk{};
  while (in) {
    in.read(chunk.data(), chunk.size());
    text.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    checkListSize(text.size(), language);
  }
  if (in.bad()) throw Error(kFailed, say(language, "cannot be read"));
  return listText(std::move(text), language);
}

}  // namespace

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

}  // namespace cli
