#include "fonts_from_theme.h"

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "font_pages.h"
#include "text_compare.h"

namespace theme {

namespace {

std::u16string folded(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = foldCase(c);
  return out;
}

// Section and key, letter case folded: what pairs a row with the rows of the other theme.
std::u16string matchKey(const FontRow& row) {
  const IdentityParts parts = identityParts(row.identity);
  return folded(parts.section) + u'\0' + folded(parts.key);
}

const FontRow* bestMatch(const std::vector<const FontRow*>& candidates, const FontRow& row) {
  const std::u16string_view file = identityParts(row.identity).file;
  const FontRow* sameFile = nullptr;
  for (const FontRow* c : candidates) {
    if (!equalsIgnoreCase(identityParts(c->identity).file, file)) continue;
    if (c->occurrence == row.occurrence) return c;
    if (sameFile == nullptr) sameFile = c;
  }
  return sameFile != nullptr ? sameFile : candidates.front();
}

}  // namespace

CarriedFonts carryFonts(const FontPages& source, FontPages& target, const CodePage& cp) {
  CarriedFonts result;
  for (int page = 0; page < target.pageCount; ++page) {
    if (page >= source.pageCount) {
      result.pagesMissing.push_back(page);
      for (std::size_t r = 0; r < target.rowCount(page); ++r) result.unmatched.push_back({page, r});
      continue;
    }
    std::unordered_map<std::u16string, std::vector<const FontRow*>> bySetting;
    for (const FontRow& row : source.rows(page)) bySetting[matchKey(row)].push_back(&row);
    for (std::size_t r = 0; r < target.rowCount(page); ++r) {
      const FontRow& row = target.rows(page)[r];
      const auto found = bySetting.find(matchKey(row));
      if (found == bySetting.end()) {
        result.unmatched.push_back({page, r});
        continue;
      }
      const FontRow& from = *bestMatch(found->second, row);
      // Font, size and option as they would be written: compared once, then carried.
      std::array<std::u16string, 3> wide;
      bool alike = true;
      for (const int column : {kColFont, kColSize, kColOption}) {
        wide.at(column - kColFont) = from.value(column).toWrite(cp);
        alike = alike && wide.at(column - kColFont) == row.value(column).toWrite(cp);
      }
      if (alike) {
        ++result.alreadyAlike;
        continue;
      }
      for (const int column : {kColFont, kColSize, kColOption}) {
        target.setCellWide(page, r, column, std::move(wide.at(column - kColFont)), from.value(column).text);
      }
      ++result.changed;
    }
  }
  return result;
}

}  // namespace theme
