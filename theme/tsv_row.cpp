#include "tsv_row.h"

#include <string_view>

#include "codepage.h"
#include "font_pages.h"
#include "utf8_codec.h"

namespace theme {
namespace {

void appendField(std::string& line, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '\t': line += "\\t"; break;
      case '\n': line += "\\n"; break;
      case '\r': line += "\\r"; break;
      case '\\': line += "\\\\"; break;
      default: line += c;
    }
  }
}

}  // namespace

std::string tsvLine(int page, const FontRow& row, const CodePage& cp) {
  std::string line = std::to_string(page);
  for (int column = 0; column < kColumnCount; ++column) {
    line += '\t';
    appendField(line, utf16ToUtf8(cp.toWide(row.cell(column))));
  }
  return line;
}

}  // namespace theme
