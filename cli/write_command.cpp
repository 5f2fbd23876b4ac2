#include "write_command.h"

#include <algorithm>
#include <array>
#include <cerrno>
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
#include "theme_image.h"
#include "theme_rebuild.h"
#include "value_messages.h"
#include "safe_write.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace cli {
namespace {

using Kind = JsonValue::Kind;

// An edited value checked against its column's rule and converted to the code page.
std::string cellFor(int column, std::string_view utf8, const theme::CodePage& cp) {
  std::string ansi = cellFromUtf8(utf8, cp);
  checkValue(column, utf8);
  return ansi;
}

const JsonValue& member(const JsonValue& object, const char* key, Kind kind, const std::string& where) {
  const JsonValue* v = object.find(key);
  if (v == nullptr || !v->is(kind)) {
    static constexpr std::array<const char*, 6> kKindNames = {"null", "true or false", "a number",
                                                              "a string", "an array", "an object"};
    throw EditError(say("{0}{1} must be {2}", {where, quoted(key), say(kKindNames.at(static_cast<std::size_t>(kind)))}));
  }
  return *v;
}

void setBox(theme::EditableText& box, const JsonValue& value, const std::string& where, const theme::CodePage& cp) {
  if (!value.is(Kind::String)) throw EditError(say("{0} must be a string", {where}));
  if (sameAsCell(value.string, box.text, cp)) return;
  // The string rewriter writes only strings the file has (an empty string is none).
  if (box.original.empty()) throw EditError(say("{0}: the theme has no string for this name, so it cannot be changed", {where}));
  try {
    box.text = cellFromUtf8(value.string, cp);
  } catch (const CellTextError& e) {
    throw EditError(say("{0} {1} {2}", {where, quoted(value.string), e.what()}));
  }
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
    for (int col = 0; col < theme::kColumnCount; ++col) {
      const JsonValue* field = row.find(kRowJsonNames.at(col));
      const std::string& given = field != nullptr && field->is(Kind::String)
                                     ? field->string
                                     : member(row, kRowJsonNames.at(col), Kind::String, rowName() + ": ").string;  // throws
      const std::string& cell = pages.rows(page)[r].cell(col);
      if (col < theme::kColFont) {
        const std::string loadedText = ansiToUtf8(cell, cp);
        if (given != loadedText) {
          throw EditError(say("{0}{1} {2} does not match the theme's {3}",
                              {rowName() + ": ", kRowJsonNames.at(col), quoted(given), quoted(loadedText)}));
        }
      } else if (!sameAsCell(given, cell, cp)) {
        try {
          pages.setCell(page, r, col, cellFor(col, given, cp));
        } catch (const std::invalid_argument& e) {
          throw EditError(say("{0}{1} {2} {3}", {rowName() + ": ", kRowJsonNames.at(col), quoted(given), e.what()}));
        }
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
  theme::FontPages result = pages;

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
    const double index = member(entry, "index", Kind::Number, where + ": ").number;
    if (index < 0 || index >= result.pageCount || index != std::floor(index)) {
      throw EditError(say("{0}: \"index\" must be a page of the theme, 0 to {1}", {where, std::to_string(result.pageCount - 1)}));
    }
    const auto page = static_cast<int>(index);
    if (seen[static_cast<std::size_t>(page)]) throw EditError(say("{0}: page {1} listed twice", {where, std::to_string(page)}));
    seen[static_cast<std::size_t>(page)] = true;
    applyRows(member(entry, "rows", Kind::Array, where + ": "), page, result, cp);
  }
  pages = std::move(result);
}

std::string valueFromArgument(int column, const std::string& utf8, const theme::CodePage& cp) {
  static constexpr std::array<const char*, theme::kColumnCount> kOptionNames = {"", "", "", "--font", "--size",
                                                                                "--option"};
  try {
    return cellFor(column, utf8, cp);
  } catch (const std::invalid_argument& e) {
    throw ValueError(say("{0} {1} {2}", {kOptionNames.at(column), quoted(utf8), e.what()}));
  }
}

void runWrite(const Options& options, const theme::CodePage& cp) {
  // The values given on the command line, checked before any file is read.
  std::vector<std::pair<int, std::string>> values;
  if (options.font) values.emplace_back(theme::kColFont, valueFromArgument(theme::kColFont, *options.font, cp));
  if (options.size) values.emplace_back(theme::kColSize, valueFromArgument(theme::kColSize, *options.size, cp));
  if (options.option) {
    values.emplace_back(theme::kColOption, valueFromArgument(theme::kColOption, *options.option, cp));
  }
  JsonValue edited;
  if (options.from) edited = parseJson(readEditedList(*options.from));

  theme::FontPages pages;
  const theme::ThemeImage image = theme::loadTheme(nativePath(options.theme), pages, cp, languageOf(options));
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
