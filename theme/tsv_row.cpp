#include "tsv_row.h"

#include <string_view>

#include "codepage.h"
#include "font_pages.h"
#include "shown_text.h"

namespace theme {

std::string tsvLine(int page, const FontRow& row, const CodePage& cp) {
  std::vector<std::u16string> cells;
  cells.reserve(kColumnCount);
  for (int column = 0; column < kColumnCount; ++column) cells.push_back(cp.toWide(row.cell(column)));
  return tsvLine(page, cells);
}

std::string tsvLine(int page, const std::vector<std::u16string>& cells) {
  std::string line = std::to_string(page);
  for (const std::u16string& cell : cells) {
    line += '\t';
    line += tsvField(utf16ToUtf8(cell));
  }
  return line;
}

}  // namespace theme
