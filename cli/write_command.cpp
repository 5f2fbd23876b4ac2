#include "write_command.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>
#include <vector>

#include "arguments.h"
#include "cell_text.h"
#include "codepage.h"
#include "font_pages.h"
#include "json_reader.h"
#include "theme_image.h"
#include "theme_rebuild.h"

namespace cli {
namespace {

using Kind = JsonValue::Kind;

constexpr std::array<const char*, theme::kColumnCount> kJsonNames = {"file", "section", "key",
                                                                     "font", "size",    "option"};

// A value in a message, in JSON's notation, so that the message stays on one line.
std::string quoted(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string q = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      q += '\\';
      q += ch;
    } else if (c == '\n') {
      q += "\\n";
    } else if (c < 0x20 || c == 0x7F) {
      q += "\\u00";
      q += kHex[c >> 4];
      q += kHex[c & 0xF];
    } else {
      q += ch;
    }
  }
  return q + "\"";
}

// A value checked for the column it goes into: a ',' would end the font name or the size
// early when the entry is read again.
std::string cellFor(int column, std::string_view utf8, const theme::CodePage& cp) {
  std::string ansi = cellFromUtf8(utf8, cp);
  if ((column == theme::kColFont || column == theme::kColSize) && ansi.find(',') != std::string::npos) {
    throw CellTextError("holds a ','");
  }
  return ansi;
}

const JsonValue& member(const JsonValue& object, const char* key, Kind kind, const std::string& where) {
  const JsonValue* v = object.find(key);
  if (v == nullptr || !v->is(kind)) {
    static constexpr std::array<const char*, 6> kKindNames = {"null", "true or false", "a number",
                                                              "a string", "an array", "an object"};
    throw EditError(where + quoted(key) + " must be " + kKindNames.at(static_cast<std::size_t>(kind)));
  }
  return *v;
}

void setBox(theme::EditableText& box, const JsonValue& value, const std::string& where, const theme::CodePage& cp) {
  if (!value.is(Kind::String)) throw EditError(where + " must be a string");
  if (sameAsCell(value.string, box.text, cp)) return;
  try {
    box.text = cellFromUtf8(value.string, cp);
  } catch (const CellTextError& e) {
    throw EditError(where + " " + quoted(value.string) + " " + e.what());
  }
}

void applyRows(const JsonValue& rows, int page, theme::FontPages& pages, const theme::CodePage& cp) {
  const std::size_t loaded = pages.rowCount(page);
  const std::string pageName = "page " + std::to_string(page);
  for (std::size_t r = 0; r < rows.items.size(); ++r) {
    const std::string rowName = pageName + " row " + std::to_string(r);
    if (r >= loaded) {
      std::string message = rowName;
      message += ": the theme has no such row (";
      message += pageName;
      message += " has " + std::to_string(loaded) + " rows)";
      throw EditError(message);
    }
    const JsonValue& row = rows.items[r];
    if (!row.is(Kind::Object)) throw EditError(rowName + " must be an object");
    const std::string where = rowName + ": ";
    for (int col = 0; col < theme::kColumnCount; ++col) {
      const std::string& given = member(row, kJsonNames.at(col), Kind::String, where).string;
      const std::string& cell = pages.rows(page)[r].cell(col);
      if (col < theme::kColFont) {
        const std::string loadedText = ansiToUtf8(cell, cp);
        if (given != loadedText) {
          throw EditError(where + kJsonNames.at(col) + " " + quoted(given) + " does not match the theme's " +
                          quoted(loadedText));
        }
      } else if (!sameAsCell(given, cell, cp)) {
        try {
          pages.setCell(page, r, col, cellFor(col, given, cp));
        } catch (const CellTextError& e) {
          throw EditError(where + kJsonNames.at(col) + " " + quoted(given) + " " + e.what());
        }
      }
    }
  }
  if (rows.items.size() < loaded) {
    throw EditError(pageName + ": lists " + std::to_string(rows.items.size()) + " rows, the theme has " +
                    std::to_string(loaded));
  }
}

std::string readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EditError(std::string("cannot be read: ") + std::strerror(errno));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw EditError("cannot be read");
  return std::move(text).str();
}

}  // namespace

void applyEditedList(const JsonValue& edited, theme::FontPages& pages, const theme::CodePage& cp) {
  if (!edited.is(Kind::Object)) throw EditError("must be a JSON object as \"list --json\" prints it");
  theme::FontPages result = pages;

  if (const JsonValue* boxes = edited.find("sizeNameBoxes")) {
    if (!boxes->is(Kind::Array) || boxes->items.size() != result.sizeNameBoxes.size()) {
      throw EditError("\"sizeNameBoxes\" must be an array of " + std::to_string(result.sizeNameBoxes.size()) +
                      " strings");
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
    if (!entry.is(Kind::Object)) throw EditError(where + " must be an object");
    const double index = member(entry, "index", Kind::Number, where + ": ").number;
    if (index < 0 || index >= result.pageCount || index != std::floor(index)) {
      throw EditError(where + ": \"index\" must be a page of the theme, 0 to " + std::to_string(result.pageCount - 1));
    }
    const auto page = static_cast<int>(index);
    if (seen[static_cast<std::size_t>(page)]) throw EditError(where + ": page " + std::to_string(page) + " listed twice");
    seen[static_cast<std::size_t>(page)] = true;
    applyRows(member(entry, "rows", Kind::Array, where + ": "), page, result, cp);
  }
  pages = std::move(result);
}

std::string faceFromArgument(const std::string& utf8, const theme::CodePage& cp) {
  try {
    return cellFor(theme::kColFont, utf8, cp);
  } catch (const CellTextError& e) {
    throw UsageError("--font " + quoted(utf8) + " " + e.what());
  }
}

void runWrite(const Options& options, const theme::CodePage& cp) {
  std::string face;
  if (options.font) face = faceFromArgument(*options.font, cp);
  JsonValue edited;
  if (options.from) edited = parseJson(readWholeFile(nativePath(*options.from)));

  theme::FontPages pages;
  const theme::ThemeImage image = theme::loadTheme(nativePath(options.theme), pages, cp, languageOf(options));
  if (options.page && *options.page >= pages.pageCount) {
    throw UsageError("--page " + std::to_string(*options.page) + " is no page of " + options.theme + ", which has " +
                     std::to_string(pages.pageCount) + (pages.pageCount == 1 ? " page" : " pages"));
  }
  if (options.from) applyEditedList(edited, pages, cp);
  if (options.font) {
    for (int page = 0; page < pages.pageCount; ++page) {
      if (!options.page || *options.page == page) pages.setFontOfPage(page, face);
    }
  }

  const theme::RebuiltTheme rebuilt = theme::rebuildTheme(image, pages, cp);
  theme::writeFileAtomically(nativePath(options.out), rebuilt);
}

}  // namespace cli
