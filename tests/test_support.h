#pragma once
// Shared helpers of the core test suite: rows as plain values, pages set up by hand,
// images loaded from builder bytes, the real Wine themes, and kept rebuilt files.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "codepage.h"
#include "font_pages.h"
#include "theme_builder.h"
#include "theme_image.h"

namespace marvento_test {

const theme::CodePage& cp932();

// The six cells of a row, ANSI (code page 932) as the model shows them.
struct Row {
  std::string file, section, key, font, size, option;
  bool operator==(const Row&) const = default;
};
void PrintTo(const Row& row, std::ostream* os);
std::vector<Row> rowsOf(const theme::FontPages& pages, int page);

// Pages as the name lists would leave them: `table[page][colour]` file names.
theme::FontPages pagesWith(const std::vector<std::u16string>& sizeNames, int colourCount,
                           const std::vector<std::vector<std::u16string>>& table);

std::span<const std::uint8_t> span(const Bytes& b);

// Parses the bytes and reads them into `pages` (emptied first).
theme::ThemeImage loadBytes(const Bytes& bytes, theme::FontPages& pages, theme::LanguagePreference language = {});

// The file rebuilt from `original` after `edit`, made both ways: with the whole file in
// memory (as the program loads it) and with the unchanged data streamed from the file on
// disk (as the command line writes it). Expects both to give the same bytes; returns them.
// Throws WriteError where the rebuild refuses the file.
Bytes rebuiltBytes(const Bytes& original, const std::function<void(theme::FontPages&)>& edit = {},
                   theme::LanguagePreference language = {});

// Pages compared the way a user sees them: counts, names, row and box texts.
void expectSamePages(const theme::FontPages& a, const theme::FontPages& b);

// A two-size, two-colour theme with every kind of resource the tool meets: the name
// lists, the main INI text and one per size and colour, string tables with font
// entries, size names and the style name (block 188 in two languages), a bitmap of odd
// size, RCDATA and a version resource.
Bytes sampleTheme(BuildOptions options = {});
// What sampleTheme lists, written out by hand.
std::vector<Row> sampleRows(int page);

// Wine's light.msstyles, i386 (PE32) and x86_64 (PE32+) builds.
struct WineTheme {
  const char* label;
  const char* path;
};
const std::vector<WineTheme>& wineThemes();
inline void PrintTo(const WineTheme& t, std::ostream* os) { *os << t.path; }
bool fileExists(const std::string& path);

// When MARVENTO_KEEP_REBUILT names a folder, keeps `original` and `rebuilt` there as
// <stem>.orig.msstyles and <stem>.rebuilt.msstyles for the pefile/wrestool checkers.
void keepRebuilt(const std::string& stem, const Bytes& original, const Bytes& rebuilt);

// Shift-JIS bytes spelled out, independent of the code under test.
inline std::string sjis(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

}  // namespace marvento_test
