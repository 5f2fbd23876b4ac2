#include "ini_syntax.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "byte_reader.h"
#include "codepage.h"
#include "font_pages.h"
#include "text_compare.h"

namespace theme {

namespace {

constexpr std::u16string_view::size_type npos = std::u16string_view::npos;

bool isBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

// Drops trailing units for which `trim` holds, never past the start of the field.
template <typename Pred>
std::u16string_view trimEnd(std::u16string_view s, Pred trim) {
  while (!s.empty() && trim(s.back())) s.remove_suffix(1);
  return s;
}

std::u16string_view trimBlanks(std::u16string_view s) {
  return trimEnd(s, [](char16_t c) { return c == u' '; });
}

std::u16string_view trimBlanksAndBreaks(std::u16string_view s) {
  return trimEnd(s, [](char16_t c) { return c == u' ' || isBreak(c); });
}

std::size_t skipBlanks(std::u16string_view s, std::size_t pos) {
  while (pos < s.size() && s[pos] == u' ') ++pos;
  return pos;
}

}  // namespace

namespace {

// Four UTF-16 units at a time: a word holds a zero unit exactly when the lane test finds
// one, and a given unit where the word XOR that unit in every lane holds a zero.
constexpr std::uint64_t kOnes = 0x0001000100010001ULL;
constexpr std::uint64_t kHighs = 0x8000800080008000ULL;
constexpr bool holdsZeroUnit(std::uint64_t word) { return ((word - kOnes) & ~word & kHighs) != 0; }
constexpr bool holdsUnit(std::uint64_t word, char16_t unit) { return holdsZeroUnit(word ^ (kOnes * unit)); }
std::uint64_t fourUnits(std::u16string_view text, std::size_t at) {
  std::uint64_t word = 0;
  std::memcpy(&word, text.substr(at, 4).data(), sizeof word);
  return word;
}

}  // namespace

std::size_t iniTextLength(std::u16string_view units) {
  std::size_t i = 0;
  while (i + 4 <= units.size() && !holdsZeroUnit(fourUnits(units, i))) i += 4;
  return std::min(units.size(), units.find(u'\0', i));
}

std::u16string decodeIniText(std::span<const std::uint8_t> data) {
  std::u16string text = ByteReader(data).units(0, data.size() / 2, "an INI text");
  text.resize(iniTextLength(text));
  return text;
}

std::size_t iniLineEnd(std::u16string_view text, std::size_t pos) {
  // Four units at a time past those without a CR: the generic search for a two-unit
  // needle costs several times as much on lines of a few dozen units.
  for (std::size_t i = pos; i + 1 < text.size();) {
    if (i + 4 <= text.size() && !holdsUnit(fourUnits(text, i), u'\r')) {
      i += 4;
      continue;
    }
    for (const std::size_t stop = std::min(text.size() - 1, i + 4); i < stop; ++i) {
      if (text[i] != u'\r' || text[i + 1] != u'\n') continue;
      std::size_t end = i + 2;
      while (end < text.size() && isBreak(text[end])) ++end;
      return end;
    }
  }
  return text.size();
}

IniLine IniLineParser::parse(std::u16string_view line) {
  IniLine out;
  const std::u16string_view content = trimEnd(line, isBreak);
  const bool comment = !line.empty() && line.front() == u';';
  if (content.size() > kMaxLineUnits || comment) return out;

  // The first '[', ']' and '=', and the first ',' after that '=', in one pass over the line.
  std::size_t open = npos;
  std::size_t close = npos;
  std::size_t eq = npos;
  std::size_t comma = npos;
  for (std::size_t i = 0; i < line.size();) {
    if (i + 4 <= line.size()) {  // four units at a time past those that are none of them
      const std::uint64_t word = fourUnits(line, i);
      if (!holdsUnit(word, u'[') && !holdsUnit(word, u']') && !holdsUnit(word, u'=') && !holdsUnit(word, u',')) {
        i += 4;
        continue;
      }
    }
    for (const std::size_t stop = std::min(line.size(), i + 4); i < stop; ++i) {
      const char16_t c = line[i];
      if (c == u'[') {
        open = std::min(open, i);
      } else if (c == u']') {
        close = std::min(close, i);
      } else if (c == u'=') {
        eq = std::min(eq, i);
      } else if (c == u',' && eq != npos) {
        comma = std::min(comma, i);
      }
    }
  }
  const bool setsSection = open != npos && close != npos && open < close;
  if (setsSection) section_ = line.substr(open + 1, close - open - 1);

  if (eq == npos) return out;
  out.key = trimBlanks(line.substr(0, eq));
  // Most lines are other settings, or values without a ',': their fields are not needed.
  if (comma == npos || out.key.empty() || !containsIgnoreCase(out.key, u"font")) return out;

  const std::size_t valueStart = skipBlanks(line, eq + 1);
  out.font = trimBlanks(line.substr(valueStart, comma - valueStart));
  const std::size_t sizeStart = skipBlanks(line, comma + 1);
  const std::size_t comma2 = line.find(u',', sizeStart);
  if (comma2 != npos) {
    out.size = trimBlanksAndBreaks(line.substr(sizeStart, comma2 - sizeStart));
    out.option = trimBlanksAndBreaks(line.substr(skipBlanks(line, comma2 + 1)));
  } else {
    out.size = trimBlanksAndBreaks(line.substr(sizeStart));
  }
  out.fontEntry = !setsSection;
  return out;
}

namespace {

// A font entry holding both brackets is not listed: its "]" stands before its "[" (else
// the line would set the section), and once a value is rewritten that order may change,
// turning the line into a section header (its row lost, every later line moved).
bool holdsBothBrackets(const IniLine& line) {
  bool open = false;
  bool close = false;
  for (const std::u16string_view field : {line.key, line.font, line.size, line.option}) {
    open = open || field.find(u'[') != std::u16string_view::npos;
    close = close || field.find(u']') != std::u16string_view::npos;
  }
  return open && close;
}

}  // namespace

bool listedIniEntry(const IniLine& line, std::u16string_view section, const CodePage& cp, IniEntryCells& cells) {
  return line.fontEntry && !holdsBothBrackets(line) && cellText(section, cp, cells.section) &&
         cellText(line.key, cp, cells.key) && cellText(line.font, cp, cells.font) && cellText(line.size, cp, cells.size) &&
         cellText(line.option, cp, cells.option);
}

std::optional<IniEntryCells> listedIniEntry(const IniLine& line, std::u16string_view section, const CodePage& cp) {
  IniEntryCells cells;
  if (!listedIniEntry(line, section, cp, cells)) return std::nullopt;
  return cells;
}

bool isListedIniEntry(const IniLine& line, std::u16string_view section, const CodePage& cp) {
  return line.fontEntry && !holdsBothBrackets(line) && fitsCell(section, cp) && fitsCell(line.key, cp) &&
         fitsCell(line.font, cp) && fitsCell(line.size, cp) && fitsCell(line.option, cp);
}

std::u16string formatIniFontLine(std::u16string_view key, std::u16string_view font, std::u16string_view size,
                                 std::u16string_view option) {
  std::u16string line;
  line.reserve(key.size() + font.size() + size.size() + option.size() + 12);
  putIniFontLine([&line](std::u16string_view piece) { line.append(piece); }, key, font, size, option);
  return line;
}

}  // namespace theme
