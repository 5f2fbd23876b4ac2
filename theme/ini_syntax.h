#pragma once
// The theme INI line syntax, written once and used by the reader and the rewriter:
// how a text is cut into lines, which lines are comments, how the current section,
// the key and the value fields are taken out, which lines are font entries.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace theme {

// The text of a TEXTFILE resource: UTF-16LE up to its first U+0000 unit or the end of
// the data; a final odd byte is not part of it.
std::u16string decodeIniText(std::span<const std::uint8_t> data);

// End of the line that starts at `pos`: past the first CR LF and every CR or LF right
// after it (the line-break run), or the end of the text. Lone CR or LF do not end lines.
std::size_t iniLineEnd(std::u16string_view text, std::size_t pos);

struct IniLine {
  bool comment = false;      // first unit is ';'
  bool overLong = false;     // beyond the line limit: passed over, copied unchanged
  bool setsSection = false;  // holds a '[' before its first ']'
  bool hasKey = false;       // holds '='
  bool hasValueComma = false;
  std::u16string_view key, font, size, option;  // views into the parsed line
  // A non-empty key containing "font" (any case), a value with ',', and no section
  // brackets: rewriting such a line could change the section of every later line.
  bool fontEntry = false;
  bool withinLimits = true;  // every field and the section within their limits
};

// Parses lines in order; keeps the current section from line to line.
class IniLineParser {
 public:
  // `line` includes its line-break run and must outlive the returned views.
  IniLine parse(std::u16string_view line);
  [[nodiscard]] const std::u16string& section() const { return section_; }

 private:
  std::u16string section_;
};

// "key = font, size[, option]\r\n"
std::u16string formatIniFontLine(std::u16string_view key, std::u16string_view font, std::u16string_view size,
                                 std::u16string_view option);

}  // namespace theme
