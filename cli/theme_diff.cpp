#include "theme_diff.h"

#include <algorithm>
#include <deque>
#include <map>

#include "cell_text.h"
#include "codepage.h"
#include "font_pages.h"
#include "shown_text.h"

namespace cli {
namespace {

// Rows pair as a write finds them: by the UTF-16 they were read from (keys the code page
// shows alike, "Font?", are still different settings) and by occurrence, so the second
// setting of a key given twice meets the other theme's second.
using Identity = std::pair<std::u16string, std::size_t>;

Identity identityOf(const theme::FontRow& row) { return {row.identity, row.occurrence}; }

RowValues valuesOf(const theme::FontRow& row, const theme::CodePage& cp) {
  return {theme::ansiToUtf8(row.font.text, cp), theme::ansiToUtf8(row.size.text, cp), theme::ansiToUtf8(row.option.text, cp)};
}

bool sameValues(const theme::FontRow& a, const theme::FontRow& b) {
  return a.font.original == b.font.original && a.size.original == b.size.original &&
         a.option.original == b.option.original;
}

RowDifference differenceOf(const theme::FontRow& row, const theme::CodePage& cp) {
  return {theme::ansiToUtf8(row.file, cp), theme::ansiToUtf8(row.section, cp), theme::ansiToUtf8(row.key, cp), std::nullopt, std::nullopt};
}

std::vector<RowDifference> compareRows(const theme::FontPages& a, const theme::FontPages& b, int page,
                                       const theme::CodePage& cp) {
  static const std::deque<theme::FontRow> kNoRows;
  const auto& rowsA = page < a.pageCount ? a.rows(page) : kNoRows;
  const auto& rowsB = page < b.pageCount ? b.rows(page) : kNoRows;
  // B's rows by identity and occurrence, in order; each pairing takes the first still unpaired.
  std::map<Identity, std::deque<std::size_t>> unpairedB;
  for (std::size_t i = 0; i < rowsB.size(); ++i) unpairedB[identityOf(rowsB[i])].push_back(i);
  std::vector<bool> pairedB(rowsB.size(), false);

  std::vector<RowDifference> differences;
  for (const theme::FontRow& row : rowsA) {
    auto match = unpairedB.find(identityOf(row));
    if (match == unpairedB.end() || match->second.empty()) {
      RowDifference d = differenceOf(row, cp);
      d.a = valuesOf(row, cp);
      differences.push_back(std::move(d));
      continue;
    }
    const std::size_t other = match->second.front();
    match->second.pop_front();
    pairedB[other] = true;
    if (!sameValues(row, rowsB[other])) {
      RowDifference d = differenceOf(row, cp);
      d.a = valuesOf(row, cp);
      d.b = valuesOf(rowsB[other], cp);
      differences.push_back(std::move(d));
    }
  }
  for (std::size_t i = 0; i < rowsB.size(); ++i) {
    if (pairedB[i]) continue;
    RowDifference d = differenceOf(rowsB[i], cp);
    d.b = valuesOf(rowsB[i], cp);
    differences.push_back(std::move(d));
  }
  return differences;
}

}  // namespace

ThemeDifference compareThemes(const theme::FontPages& a, const theme::FontPages& b, const theme::CodePage& cp) {
  ThemeDifference result;
  if (a.pageCount != b.pageCount) result.pageCount = {a.pageCount, b.pageCount};
  if (a.styleNameBox.original != b.styleNameBox.original) {
    result.styleName = TextChange{theme::ansiToUtf8(a.styleNameBox.text, cp), theme::ansiToUtf8(b.styleNameBox.text, cp)};
  }
  const int pages = std::max(a.pageCount, b.pageCount);
  for (int page = 0; page < pages; ++page) {
    PageDifference d;
    d.index = page;
    const bool inA = page < a.pageCount;
    const bool inB = page < b.pageCount;
    d.title = tabTitle(inA ? a : b, page, cp);
    const auto sizeNameOf = [&](const theme::FontPages& p, bool present) -> std::optional<std::string> {
      if (!present) return std::nullopt;
      return tabTitle(p, page, cp);
    };
    const auto boxOf = [&](const theme::FontPages& p, bool present) -> std::optional<std::string> {
      if (!present) return std::nullopt;
      return theme::ansiToUtf8(p.sizeNameBoxes.at(page).text, cp);
    };
    if (!inA || !inB || a.sizeNames.at(page) != b.sizeNames.at(page)) {
      d.sizeName = TextChange{sizeNameOf(a, inA), sizeNameOf(b, inB)};
    }
    if (!inA || !inB || a.sizeNameBoxes.at(page).original != b.sizeNameBoxes.at(page).original) {
      d.sizeNameBox = TextChange{boxOf(a, inA), boxOf(b, inB)};
    }
    d.rows = compareRows(a, b, page, cp);
    if (d.sizeName || d.sizeNameBox || !d.rows.empty()) result.pages.push_back(std::move(d));
  }
  return result;
}

}  // namespace cli
