#include "theme_diff.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <unordered_map>

#include "cell_text.h"
#include "codepage.h"
#include "font_page_reader.h"
#include "font_pages.h"
#include "shown_text.h"

namespace cli {
namespace {

// A row of a page: views of its theme's settings, numbered by occurrence as the font pages
// number their rows (FontPages::appendSetting).
struct SettingRow {
  std::u16string_view file, section, key, font, size, option;
  std::size_t occurrence = 0;
};

struct IdentityView {
  std::u16string_view file, section, key;
  bool operator==(const IdentityView&) const = default;
};
struct IdentityHash {
  std::size_t operator()(const IdentityView& v) const {
    const std::hash<std::u16string_view> h;
    return h(v.file) ^ (h(v.section) * 31) ^ (h(v.key) * 961);
  }
};

// Rows pair as a write finds them: by the UTF-16 they were read from (keys the code page
// shows alike, "Font?", are still different settings) and by occurrence, so the second
// setting of a key given twice meets the other theme's second.
struct RowKey {
  IdentityView identity;
  std::size_t occurrence = 0;
  bool operator==(const RowKey&) const = default;
};
struct RowKeyHash {
  std::size_t operator()(const RowKey& k) const { return IdentityHash()(k.identity) ^ (k.occurrence * 0x9E3779B9U); }
};
RowKey keyOf(const SettingRow& row) { return {{row.file, row.section, row.key}, row.occurrence}; }

using PageRows = std::array<std::vector<SettingRow>, theme::kMaxPages>;

PageRows rowsOfPages(const theme::ThemeSettings& settings) {
  PageRows rows;
  // identity -> the occurrences each page holds rows for
  std::unordered_map<IdentityView, std::array<std::size_t, theme::kMaxPages>, IdentityHash> held;
  settings.forEach([&](const theme::ListedSetting& s) {
    if (s.begin() == s.end()) return;
    std::array<std::size_t, theme::kMaxPages>& counts = held[IdentityView{s.file, s.section, s.key}];
    const std::size_t occurrence = counts.at(*s.begin());
    for (const int page : s) {
      counts.at(page) = std::max(counts.at(page), occurrence + 1);
      rows.at(page).push_back({s.file, s.section, s.key, s.font, s.size, s.option, occurrence});
    }
  });
  return rows;
}

std::string cellUtf8(std::u16string_view wide, const theme::CodePage& cp) {
  return theme::ansiToUtf8(theme::cutToCell(wide, cp), cp);
}

RowValues valuesOf(const SettingRow& row, const theme::CodePage& cp) {
  return {cellUtf8(row.font, cp), cellUtf8(row.size, cp), cellUtf8(row.option, cp)};
}

bool sameValues(const SettingRow& a, const SettingRow& b) {
  return a.font == b.font && a.size == b.size && a.option == b.option;
}

RowDifference differenceOf(const SettingRow& row, const theme::CodePage& cp) {
  return {cellUtf8(row.file, cp), cellUtf8(row.section, cp), cellUtf8(row.key, cp), std::nullopt, std::nullopt};
}

std::vector<RowDifference> compareRows(const std::vector<SettingRow>& rowsA, const std::vector<SettingRow>& rowsB,
                                       const theme::CodePage& cp) {
  constexpr std::size_t kUnpaired = static_cast<std::size_t>(-1);
  std::vector<std::size_t> pairOfA(rowsA.size(), kUnpaired);
  std::vector<bool> pairedB(rowsB.size(), false);
  // In step while both themes list the same settings in the same order, as two versions of
  // one theme mostly do; where they part, B's remaining rows by key, each pairing taking the
  // first still unpaired.
  std::size_t same = 0;
  while (same < rowsA.size() && same < rowsB.size() && keyOf(rowsA[same]) == keyOf(rowsB[same])) {
    pairOfA[same] = same;
    pairedB[same] = true;
    ++same;
  }
  if (same < rowsA.size() && same < rowsB.size()) {
    std::unordered_map<RowKey, std::deque<std::size_t>, RowKeyHash> unpairedB;
    for (std::size_t i = same; i < rowsB.size(); ++i) unpairedB[keyOf(rowsB[i])].push_back(i);
    for (std::size_t i = same; i < rowsA.size(); ++i) {
      const auto match = unpairedB.find(keyOf(rowsA[i]));
      if (match == unpairedB.end() || match->second.empty()) continue;
      pairOfA[i] = match->second.front();
      pairedB[match->second.front()] = true;
      match->second.pop_front();
    }
  }

  std::vector<RowDifference> differences;
  for (std::size_t i = 0; i < rowsA.size(); ++i) {
    const SettingRow& row = rowsA[i];
    if (pairOfA[i] != kUnpaired && sameValues(row, rowsB[pairOfA[i]])) continue;
    RowDifference d = differenceOf(row, cp);
    d.a = valuesOf(row, cp);
    if (pairOfA[i] != kUnpaired) d.b = valuesOf(rowsB[pairOfA[i]], cp);
    differences.push_back(std::move(d));
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

ThemeDifference compareThemes(const theme::FontPages& a, const theme::ThemeSettings& settingsA, const theme::FontPages& b,
                              const theme::ThemeSettings& settingsB, const theme::CodePage& cp) {
  ThemeDifference result;
  static const std::vector<SettingRow> kNoRows;
  const PageRows rowsA = rowsOfPages(settingsA);
  const PageRows rowsB = rowsOfPages(settingsB);
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
    d.rows = compareRows(inA ? rowsA.at(page) : kNoRows, inB ? rowsB.at(page) : kNoRows, cp);
    if (d.sizeName || d.sizeNameBox || !d.rows.empty()) result.pages.push_back(std::move(d));
  }
  return result;
}

}  // namespace cli
