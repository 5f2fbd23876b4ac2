#include "tsv_row.h"

#include <string_view>

#include "codepage.h"
#include "font_pages.h"
#include "shown_text.h"

namespace theme {

std::string tsvLine(int page, const FontRow& row, const CodePage& cp) {
  std::string line = std::to_string(page);
  for (int column = 0; column < kColumnCount; ++column) {
    line += '\t';
    line += tsvField(ansiToUtf8(row.cell(column), cp));
  }
  return line;
}

}  // namespace theme
