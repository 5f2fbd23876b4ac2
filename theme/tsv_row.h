#pragma once
// A font row as one line of tab-separated text: what `marvento-cli list --tsv` prints and
// what the program copies, so that both give the same bytes.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "font_pages.h"

namespace theme {

class CodePage;

// "page<TAB>file<TAB>section<TAB>key<TAB>font<TAB>size<TAB>option" in UTF-8, without the
// line's end. Each cell is a tsvField (shown_text.h): tabs, line breaks and backslashes as
// \t, \n, \r and \\, other controls as escapes, so that a line stays one row of six cells
// for cut, awk and spreadsheets and drives no terminal. From six cells in the code page:
void appendTsvLine(std::string& out, int page, const std::array<std::string_view, kColumnCount>& cells,
                   const CodePage& cp);
// The same line from six cells given in UTF-16 (the program copies each cell's exact text).
std::string tsvLine(int page, const std::vector<std::u16string>& cells);

}  // namespace theme
