#pragma once
// What `list` prints: a table per page for people, or one JSON document for programs.
// Every text is shown as the program shows it, in the code page, converted to UTF-8.
#include <cstddef>
#include <iosfwd>
#include <string_view>

namespace theme {
class CodePage;
class FontPages;
}  // namespace theme

namespace cli {

struct JsonValue;

// Per page below the page count: "[k] <tab title>", the size-name box, the six columns
// under their titles, aligned; then the style name.
void printTable(std::ostream& out, const theme::FontPages& pages, const theme::CodePage& cp);

// {"pageCount":N,"colourCount":N,"styleName":"…","sizeNameBoxes":[5 texts],"pages":[…]},
// indented.
JsonValue listDocument(const theme::FontPages& pages, const theme::CodePage& cp);
void printJson(std::ostream& out, const theme::FontPages& pages, const theme::CodePage& cp);

// Terminal columns a UTF-8 text takes: two for East Asian wide and full-width characters.
std::size_t displayWidth(std::string_view utf8);

}  // namespace cli
