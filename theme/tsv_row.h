#pragma once
// A font row as one line of tab-separated text: what `marvento-cli list --tsv` prints and
// what the program copies, so that both give the same bytes.
#include <string>

namespace theme {

class CodePage;
struct FontRow;

// "page<TAB>file<TAB>section<TAB>key<TAB>font<TAB>size<TAB>option" in UTF-8, without the
// line's end. Each cell is a tsvField (shown_text.h): tabs, line breaks and backslashes as
// \t, \n, \r and \\, other controls as escapes, so that a line stays one row of six cells
// for cut, awk and spreadsheets and drives no terminal.
std::string tsvLine(int page, const FontRow& row, const CodePage& cp);

}  // namespace theme
