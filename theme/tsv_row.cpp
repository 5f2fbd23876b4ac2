#include "tsv_row.h"

#include "shown_text.h"

namespace theme {

namespace {

// The line's one shape: the page, then each cell after a tab.
template <typename Cells, typename AppendField>
void appendLine(std::string& out, int page, const Cells& cells, AppendField appendField) {
  out += std::to_string(page);
  for (const auto& cell : cells) {
    out += '\t';
    appendField(out, cell);
  }
}

}  // namespace

void appendTsvLine(std::string& out, int page, const std::array<std::string_view, kColumnCount>& cells,
                   const CodePage& cp) {
  appendLine(out, page, cells, [&cp](std::string& to, std::string_view cell) { appendTsvField(to, cell, cp); });
}

std::string tsvLine(int page, const std::vector<std::u16string>& cells) {
  std::string line;
  appendLine(line, page, cells, [](std::string& to, const std::u16string& cell) { to += tsvField(utf16ToUtf8(cell)); });
  return line;
}

}  // namespace theme
