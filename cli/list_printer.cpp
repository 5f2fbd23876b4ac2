#include "list_printer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cell_text.h"
#include "codepage.h"
#include "font_pages.h"
#include "json_writer.h"
#include "messages.h"
#include "shown_text.h"
#include "tsv_row.h"
#include "words.h"

namespace cli {
namespace {

// A table cell as shown, with the terminal columns it takes.
struct Cell {
  std::string text;
  std::size_t width = 0;
};

// "label: text", without a trailing blank when the text is empty.
std::string labelled(std::string_view label, const std::string& text) {
  std::string line(label);
  line += ':';
  if (!text.empty()) line += " " + text;
  return line;
}

// Whether `page` is one of `only` (every page when it is empty).
bool listed(const std::vector<int>& only, int page) {
  return only.empty() || std::find(only.begin(), only.end(), page) != only.end();
}

}  // namespace

std::string languageId(std::uint16_t language) { return "0x" + theme::hexDigits(language, 4, true); }

std::optional<std::uint16_t> languageIdOf(std::string_view text) {
  const bool hex = text.starts_with("0x") || text.starts_with("0X");
  const std::string_view digits = hex ? text.substr(2) : text;
  unsigned id = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), id, hex ? 16 : 10);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || id > 0xFFFF) return std::nullopt;
  return static_cast<std::uint16_t>(id);
}

std::string exactText(const theme::EditableText& text, const theme::CodePage& cp) {
  return text.edited() ? theme::ansiToUtf8(text.text, cp) : theme::exactUtf8(text.original);
}

std::string exactCell(const theme::FontRow& row, int column, const theme::CodePage& cp) {
  if (column >= theme::kColFont) return exactText(row.value(column), cp);
  const theme::IdentityParts parts = theme::identityParts(row.identity);
  return theme::exactUtf8(column == theme::kColFile ? parts.file : column == theme::kColSection ? parts.section : parts.key);
}

void printTable(std::ostream& out, const theme::FontPages& pages, const theme::CodePage& cp, const Words& words,
                ListedAs listedAs, const std::vector<int>& only) {
  out << format(words.listedAs, {languageId(listedAs.language), std::to_string(listedAs.codePage)}) << "\n\n";
  for (int page = 0; page < pages.pageCount; ++page) {
    if (!listed(only, page)) continue;
    out << '[' << page << "] " << theme::shown(tabTitle(pages, page, cp)) << '\n';
    out << "  " << labelled(words.sizeNameBox, theme::shown(theme::ansiToUtf8(pages.sizeNameBoxes.at(page).text, cp))) << '\n';

    std::vector<std::array<Cell, theme::kColumnCount>> lines;
    std::array<std::size_t, theme::kColumnCount> widths{};
    const auto addCell = [&](int col, std::string text) {
      const std::size_t width = theme::displayWidth(text);
      widths[col] = std::max(widths[col], width);
      lines.back()[col] = {std::move(text), width};
    };
    lines.emplace_back();
    for (int col = 0; col < theme::kColumnCount; ++col) addCell(col, words.columnTitles.at(col));
    for (const theme::FontRow& row : pages.rows(page)) {
      lines.emplace_back();
      for (int col = 0; col < theme::kColumnCount; ++col) addCell(col, theme::shown(theme::ansiToUtf8(row.cell(col), cp)));
    }
    for (const auto& line : lines) {
      std::string text = " ";
      for (int col = 0; col < theme::kColumnCount; ++col) {
        text += ' ';
        text += line[col].text;
        if (col + 1 < theme::kColumnCount) text.append(widths[col] - line[col].width + 1, ' ');
      }
      while (text.back() == ' ') text.pop_back();  // an empty last column leaves no trailing blanks
      out << text << '\n';
    }
    out << '\n';
  }
  out << labelled(words.styleName, theme::shown(theme::ansiToUtf8(pages.styleNameBox.text, cp))) << '\n';
}

JsonValue listDocument(const theme::FontPages& pages, const theme::CodePage& cp, ListedAs listedAs,
                       const std::vector<int>& only) {
  JsonValue doc = jsonObject();
  addMember(doc, "language", jsonText(languageId(listedAs.language)));
  addMember(doc, "codePage", jsonNumber(listedAs.codePage));
  addMember(doc, "pageCount", jsonNumber(pages.pageCount));
  addMember(doc, "colourCount", jsonNumber(pages.colourCount));
  addMember(doc, "styleName", jsonText(exactText(pages.styleNameBox, cp)));
  JsonValue& boxes = addMember(doc, "sizeNameBoxes", jsonArray());
  for (const theme::EditableText& box : pages.sizeNameBoxes) boxes.items.push_back(jsonText(exactText(box, cp)));
  JsonValue& list = addMember(doc, "pages", jsonArray());
  for (int page = 0; page < pages.pageCount; ++page) {
    if (!listed(only, page)) continue;
    JsonValue entry = jsonObject();
    addMember(entry, "index", jsonNumber(page));
    addMember(entry, "sizeName", jsonText(theme::exactUtf8(pages.sizeNames.at(page))));
    JsonValue& rows = addMember(entry, "rows", jsonArray());
    for (const theme::FontRow& row : pages.rows(page)) {
      JsonValue& r = rows.items.emplace_back(jsonObject());
      for (int col = 0; col < theme::kColumnCount; ++col) addMember(r, kRowJsonNames[col], jsonText(exactCell(row, col, cp)));
    }
    list.items.push_back(std::move(entry));
  }
  return doc;
}

void printJson(std::ostream& out, const theme::FontPages& pages, const theme::CodePage& cp, ListedAs listedAs,
               const std::vector<int>& only) {
  writeJson(out, listDocument(pages, cp, listedAs, only));
}

void printTsv(std::ostream& out, const theme::FontPages& pages, const theme::CodePage& cp, const std::vector<int>& only) {
  for (int page = 0; page < pages.pageCount; ++page) {
    if (!listed(only, page)) continue;
    for (const theme::FontRow& row : pages.rows(page)) {
      out << theme::tsvLine(page, row, cp) << '\n';
    }
  }
}

}  // namespace cli
