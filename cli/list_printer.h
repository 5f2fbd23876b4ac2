#pragma once
// What `list` prints: a table per page for people, or one JSON document for programs.
// Every text is shown as the program shows it, in the code page, converted to UTF-8.
#include <array>
#include <cstddef>
#include <iosfwd>
#include <string_view>

#include "font_pages.h"

namespace cli {

struct JsonValue;
struct Words;

// The member names of a row in the JSON, by column; an edited list is read back by them.
inline constexpr std::array<const char*, theme::kColumnCount> kRowJsonNames = {"file", "section", "key",
                                                                               "font", "size",    "option"};

// Per page below the page count: "[k] <tab title>", the size-name box, the six columns
// under their titles, aligned; then the style name. Titles and labels in `words`.
void printTable(std::ostream& out, const theme::FontPages& pages, const theme::CodePage& cp, const Words& words);

// {"pageCount":N,"colourCount":N,"styleName":"…","sizeNameBoxes":[5 texts],"pages":[…]},
// indented.
JsonValue listDocument(const theme::FontPages& pages, const theme::CodePage& cp);
void printJson(std::ostream& out, const theme::FontPages& pages, const theme::CodePage& cp);

}  // namespace cli
