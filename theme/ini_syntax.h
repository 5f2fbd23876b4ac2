#pragma once
// The theme INI line syntax, written once and used by the reader and the rewriter:
// how a text is cut into lines, which lines are comments, how the current section,
// the key and the value fields are taken out, which lines are font entries.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace theme {

class CodePage;

// The text of a TEXTFILE resource: UTF-16LE up to its first U+0000 unit or the end of
// the data; a final odd byte is not part of it.
std::u16string decodeIniText(std::span<const std::uint8_t> data);
// Where such a text ends in the units of its data: at the first U+0000, else at their end.
std::size_t iniTextLength(std::u16string_view units);

// End of the line that starts at `pos`: past the first CR LF and every CR or LF right
// after it (the line-break run), or the end of the text. Lone CR or LF do not end lines.
std::size_t iniLineEnd(std::u16string_view text, std::size_t pos);

struct IniLine {
  // Views into the parsed line; the value fields only where the key holds "font" and the
  // value a ",".
  std::u16string_view key, font, size, option;
  // A non-empty key containing "font" (any case), a value with ',', and no section
  // brackets (rewriting such a line could change the section of every later line).
  bool fontEntry = false;
};

// Parses lines in order; keeps the current section from line to line. Comments and
// lines beyond the line limit are passed over: they yield nothing and set no section.
class IniLineParser {
 public:
  // `line` includes its line-break run and must outlive the returned views, and the
  // section, which views the line that set it.
  IniLine parse(std::u16string_view line);
  [[nodiscard]] std::u16string_view section() const { return section_; }

 private:
  std::u16string_view section_;
};

// The cells a listed font entry shows (the file cell is its text's name).
struct IniEntryCells {
  std::string section, key, font, size, option;
};

// Whether a line is listed, decided once for the reader and the rewriter: a font entry
// not holding both "[" and "]" whose section and fields each fit a cell; nullopt for every other
// line, which the rewriter copies unchanged.
std::optional<IniEntryCells> listedIniEntry(const IniLine& line, std::u16string_view section, const CodePage& cp);
// The same into `cells`, whose strings keep their room from line to line; false for a line
// that is not listed (`cells` then hold no meaning).
bool listedIniEntry(const IniLine& line, std::u16string_view section, const CodePage& cp, IniEntryCells& cells);

// Walks an INI text line by line: visit(line with its line-break run, parsed line,
// current section).
template <typename Visit>
void forEachIniLine(std::u16string_view text, Visit&& visit) {
  IniLineParser parser;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = iniLineEnd(text, pos);
    const std::u16string_view line = text.substr(pos, end - pos);
    pos = end;
    const IniLine parsed = parser.parse(line);
    visit(line, parsed, parser.section());
  }
}

// Whether listedIniEntry() lists the line, without making its cells: only fields that
// are not ASCII go through the code page, to measure them.
bool isListedIniEntry(const IniLine& line, std::u16string_view section, const CodePage& cp);

// "key = font, size[, option]\r\n", piece by piece to put(std::u16string_view): the one
// statement of the form, which a writer may put straight into its output.
template <typename Put>
void putIniFontLine(Put&& put, std::u16string_view key, std::u16string_view font, std::u16string_view size,
                    std::u16string_view option) {
  put(key);
  put(u" = ");
  put(font);
  put(u", ");
  put(size);
  if (!option.empty()) {
    put(u", ");
    put(option);
  }
  put(u"\r\n");
}

std::u16string formatIniFontLine(std::u16string_view key, std::u16string_view font, std::u16string_view size,
                                 std::u16string_view option);

}  // namespace theme
