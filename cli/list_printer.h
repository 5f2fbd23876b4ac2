#pragma once
// What `list` prints: a table per page for people, or one JSON document for programs.
// Every text is shown as the program shows it, in the code page, converted to UTF-8.
#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "font_pages.h"

namespace theme {
class ThemeSettings;
}  // namespace theme

namespace cli {

struct JsonValue;
struct Words;

// The member names of a row in the JSON, by column; an edited list is read back by them.
inline constexpr std::array<const char*, theme::kColumnCount> kRowJsonNames = {"file", "section", "key",
                                                                               "font", "size",    "option"};

// How a listing was made: the language its texts and string tables were read in and the
// code page its cells are in. Recorded in the JSON, so that `write --from` reads the
// theme the same way.
struct ListedAs {
  std::uint16_t language = 0;
  unsigned codePage = 0;
};

// A LANGID as --language takes it: "0x0409".
std::string languageId(std::uint16_t language);
// And back: "0x" and hex digits, or decimal, at most 0xFFFF; nullopt for any other text.
std::optional<std::uint16_t> languageIdOf(std::string_view text);

// The exact texts of a row's columns as UTF-8 (lone surrogates kept, shown_text.h): what the
// file holds, not the code page's form, for the JSON and for finding the row again.
std::string exactCell(const theme::FontRow& row, int column, const theme::CodePage& cp);
std::string exactText(const theme::EditableText& text, const theme::CodePage& cp);

// "Language 0x0409, code page 932", then per page below the page count: "[k] <tab title>", the size-name box, the six columns
// under their titles, aligned; then the style name. Titles and labels in `words`.
// `only` names the pages to list (all when empty), in every form.
void printTable(std::ostream& out, const theme::FontPages& pages, const theme::CodePage& cp, const Words& words,
                ListedAs listedAs, const std::vector<int>& only = {});
// The same of a theme read without rows: the settings walked, the names and boxes of `pages`.
void printTable(std::ostream& out, const theme::FontPages& pages, const theme::ThemeSettings& settings,
                const theme::CodePage& cp, const Words& words, ListedAs listedAs, const std::vector<int>& only = {});

// {"language":"0x0409","codePage":N,"pageCount":N,"colourCount":N,"styleName":"…",
// "sizeNameBoxes":[5 texts],"pages":[…]}, indented, every text exactly as the file holds it.
JsonValue listDocument(const theme::FontPages& pages, const theme::CodePage& cp, ListedAs listedAs,
                       const std::vector<int>& only = {});
void printJson(std::ostream& out, const theme::FontPages& pages, const theme::CodePage& cp, ListedAs listedAs,
               const std::vector<int>& only = {});

// One row per line for pipes: page, file, section, key, font, size, option, tab-separated,
// no titles; a tab, line break or backslash in a value as \t, \n (\r) or \\.
void printTsv(std::ostream& out, const theme::FontPages& pages, const theme::CodePage& cp, const std::vector<int>& only = {});
void printTsv(std::ostream& out, const theme::FontPages& pages, const theme::ThemeSettings& settings,
              const theme::CodePage& cp, const std::vector<int>& only = {});

}  // namespace cli
