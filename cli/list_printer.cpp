#include "list_printer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cell_text.h"
#include "codepage.h"
#include "font_page_reader.h"
#include "font_pages.h"
#include "json_writer.h"
#include "messages.h"
#include "shown_text.h"
#include "tsv_row.h"
#include "words.h"

namespace cli {
namespace {

// The rows of every page as their cells in the code page: visit(page, cells) in the order
// of the pages' rows, page by page or interleaved.
using Cells = std::array<std::string_view, theme::kColumnCount>;
using RowVisit = std::function<void(int page, const Cells& cells)>;
using RowSource = std::function<void(const RowVisit& visit)>;

RowSource rowsOf(const theme::FontPages& pages) {
  return [&pages](const RowVisit& visit) {
    Cells cells;
    for (int page = 0; page < pages.pageCount; ++page) {
      for (const theme::FontRow& row : pages.rows(page)) {
        for (int col = 0; col < theme::kColumnCount; ++col) cells[col] = row.cell(col);
        visit(page, cells);
      }
    }
  };
}

RowSource rowsOf(const theme::ThemeSettings& settings) {
  return [&settings](const RowVisit& visit) {
    settings.forEach([&visit](const theme::ListedSetting& s) {
      for (const int page : s) visit(page, s.cells);
    });
  };
}

// Standard output takes the text in pieces of about this size.
constexpr std::size_t kPieceBytes = 65536;
// The most the table keeps of its rows between the measuring walk and the printing one
// (a theme has a few hundred rows; a larger table is walked again).
constexpr std::size_t kKeptRowBytes = std::size_t{256} << 10;

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

namespace {

void printTableOf(std::ostream& out, const theme::FontPages& pages, const RowSource& rows, const theme::CodePage& cp,
                  const Words& words, ListedAs listedAs, const std::vector<int>& only) {
  // The columns are measured once, over every page, then every page printed.
  std::array<std::array<std::size_t, theme::kColumnCount>, theme::kMaxPages> widths{};
  std::string text;
  for (int page = 0; page < pages.pageCount; ++page) {
    for (int col = 0; col < theme::kColumnCount; ++col) {
      widths.at(page)[col] = theme::displayWidth(words.columnTitles.at(col));
    }
  }
  // The rows as shown, kept from the measuring walk up to kKeptRowBytes, so that a theme
  // of common size is read once; past that they are walked again rather than held.
  struct KeptRow {
    int page = 0;
    std::array<std::uint32_t, theme::kColumnCount + 1> at{};  // where each cell starts in `kept`
    std::array<std::uint32_t, theme::kColumnCount> width{};
  };
  std::string kept;
  std::vector<KeptRow> keptRows;
  bool keptAll = true;
  rows([&](int page, const Cells& cells) {
    if (page >= pages.pageCount || !listed(only, page)) return;
    if (!keptAll) kept.clear();
    KeptRow row{page};
    for (int col = 0; col < theme::kColumnCount; ++col) {
      row.at[col] = static_cast<std::uint32_t>(kept.size());
      const std::size_t width = theme::appendShown(kept, cells[col], cp);
      row.width[col] = static_cast<std::uint32_t>(width);
      widths.at(page)[col] = std::max(widths.at(page)[col], width);
    }
    row.at[theme::kColumnCount] = static_cast<std::uint32_t>(kept.size());
    if (!keptAll) return;
    keptRows.push_back(row);
    if (kept.size() + keptRows.capacity() * sizeof(KeptRow) > kKeptRowBytes) {
      keptAll = false;
      keptRows = {};
      kept = {};
    }
  });

  text.clear();
  // One line into `to`: the cells padded to their columns, no trailing blanks (an empty last column).
  const auto addLine = [&](std::string& to, int page, const auto& cellOf) {
    const std::size_t start = to.size();
    to += ' ';
    for (int col = 0; col < theme::kColumnCount; ++col) {
      to += ' ';
      const std::size_t width = cellOf(to, col);
      if (col + 1 < theme::kColumnCount) to.append(widths.at(page)[col] - width + 1, ' ');
    }
    while (to.size() > start && to.back() == ' ') to.pop_back();
    to += '\n';
  };
  const auto flush = [&] {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    text.clear();
  };
  const auto addHead = [&](std::string& to, int page) {
    to += '[' + std::to_string(page) + "] " + theme::shown(tabTitle(pages, page, cp)) + '\n';
    to += "  " + labelled(words.sizeNameBox, theme::shown(theme::ansiToUtf8(pages.sizeNameBoxes.at(page).text, cp))) + '\n';
    addLine(to, page, [&](std::string& into, int col) {
      const std::string_view title = words.columnTitles.at(col);
      into += title;
      return theme::displayWidth(title);
    });
  };
  text += format(words.listedAs, {languageId(listedAs.language), std::to_string(listedAs.codePage)}) + "\n\n";
  // One more walk prints every page: the first listed one straight out, the others (a theme
  // has few rows on them, or few pages) kept until it is done.
  int first = -1;
  std::array<std::string, theme::kMaxPages> later;
  for (int page = 0; page < pages.pageCount; ++page) {
    if (!listed(only, page)) continue;
    if (first < 0) {
      first = page;
      addHead(text, page);
    } else {
      addHead(later.at(page), page);
    }
  }
  if (first >= 0 && keptAll) {
    for (const KeptRow& row : keptRows) {
      std::string& to = row.page == first ? text : later.at(row.page);
      addLine(to, row.page, [&](std::string& into, int col) {
        into.append(kept, row.at[col], row.at[col + 1] - row.at[col]);
        return row.width[col];
      });
      if (text.size() >= kPieceBytes) flush();
    }
  } else if (first >= 0) {
    rows([&](int page, const Cells& cells) {
      if (page >= pages.pageCount || !listed(only, page)) return;
      std::string& to = page == first ? text : later.at(page);
      addLine(to, page, [&](std::string& into, int col) { return theme::appendShown(into, cells[col], cp); });
      if (text.size() >= kPieceBytes) flush();
    });
  }
  for (int page = 0; page < pages.pageCount; ++page) {
    if (!listed(only, page)) continue;
    if (page != first) text += later.at(page);
    text += '\n';
  }
  text += labelled(words.styleName, theme::shown(theme::ansiToUtf8(pages.styleNameBox.text, cp))) + '\n';
  flush();
}

void printTsvOf(std::ostream& out, const theme::FontPages& pages, const RowSource& rows, const theme::CodePage& cp,
                const std::vector<int>& only) {
  // One walk: the first listed page straight out, the others kept until it is done.
  int first = -1;
  for (int page = 0; page < pages.pageCount && first < 0; ++page) {
    if (listed(only, page)) first = page;
  }
  if (first < 0) return;
  std::string text;
  std::array<std::string, theme::kMaxPages> later;
  rows([&](int page, const Cells& cells) {
    if (page >= pages.pageCount || !listed(only, page)) return;
    std::string& to = page == first ? text : later.at(page);
    theme::appendTsvLine(to, page, cells, cp);
    to += '\n';
    if (text.size() >= kPieceBytes) {
      out.write(text.data(), static_cast<std::streamsize>(text.size()));
      text.clear();
    }
  });
  for (int page = first + 1; page < pages.pageCount; ++page) text += later.at(page);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace

void printTable(std::ostream& out, const theme::FontPages& pages, const theme::CodePage& cp, const Words& words,
                ListedAs listedAs, const std::vector<int>& only) {
  printTableOf(out, pages, rowsOf(pages), cp, words, listedAs, only);
}

void printTable(std::ostream& out, const theme::FontPages& pages, const theme::ThemeSettings& settings,
                const theme::CodePage& cp, const Words& words, ListedAs listedAs, const std::vector<int>& only) {
  printTableOf(out, pages, rowsOf(settings), cp, words, listedAs, only);
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
  printTsvOf(out, pages, rowsOf(pages), cp, only);
}

void printTsv(std::ostream& out, const theme::FontPages& pages, const theme::ThemeSettings& settings,
              const theme::CodePage& cp, const std::vector<int>& only) {
  printTsvOf(out, pages, rowsOf(settings), cp, only);
}

}  // namespace cli
